#include "DatabaseTestSupport.h"
#include "model/DatabaseManagerImpl.h"
#include "model/PlaylistStorageImpl.h"
#include "support/Await.h"
#include "support/FileTraps.h"
#include "support/TempDir.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <functional>
#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace kivo {
namespace {

using test::await;
using test::describeEntry;
using test::errorOf;

// Every store file with a change that rewrites it; each call makes the file
// larger than the one before.
class StoreSafetyTest : public test::TempDirTest {
protected:
    struct Store {
        const char* file;
        std::function<void(StoreSafetyTest&)> change;
        // Playback history swallows its failures (a play is not worth a message).
        bool reportsFailures = true;
    };

    void SetUp() override
    {
        TempDirTest::SetUp();
        database = std::make_unique<TavrenDatabaseManager>(folder(), defaults);
        playlists = std::make_unique<TavrenPlaylistStorage>(folder());
    }

    QString folder() const { return path(u"data"_s); }
    QString file(const char* name) const { return folder() + u'/' + QString::fromUtf8(name); }

    static QList<Store> stores()
    {
        return {
            { "tracks.json",
                [](StoreSafetyTest& t) {
                    const QString name = u"Song %1.mp3"_s.arg(++t.n);
                    await(t.database->saveTracks(
                        { Track::make(QUuid::createUuid(), QUrl::fromLocalFile(u"/music/"_s + name),
                            name, name, 60.0, Date { 700000000.0 }) }));
                } },
            { "playlists.json",
                [](StoreSafetyTest& t) {
                    t.database->savePlaylists(QList<Playlist>(++t.n,
                        Playlist::make(QUuid::createUuid(), u"List"_s, PlaylistType::standard())));
                } },
            { "playback_history.json",
                [](StoreSafetyTest& t) {
                    t.database->recordPlayback(QUuid::createUuid(), Date { double(++t.n) });
                },
                false },
            { "playback_state.json",
                [](StoreSafetyTest& t) {
                    PlaybackStateSnapshot snapshot;
                    snapshot.upcomingTrackIDs = QList<QUuid>(++t.n, QUuid::createUuid());
                    t.database->savePlaybackState(snapshot);
                } },
            { "playlist_records.json",
                [](StoreSafetyTest& t) {
                    t.playlists->saveRecord(PlaylistRecord {
                        .id = QUuid::createUuid(), .name = u"Mix %1"_s.arg(++t.n) });
                } },
        };
    }

    // What the change threw, as text; empty when it threw nothing.
    std::string failureOf(const Store& store)
    {
        try {
            store.change(*this);
        } catch (const std::exception& error) {
            return error.what();
        }
        return {};
    }

    int n = 0;
    std::shared_ptr<test::MemoryUserDefaults> defaults
        = std::make_shared<test::MemoryUserDefaults>();
    std::unique_ptr<TavrenDatabaseManager> database;
    std::unique_ptr<TavrenPlaylistStorage> playlists;
};

TEST_F(StoreSafetyTest, AFullDiskFailsEveryStoreWithTheSystemsReasonAndKeepsItsBytes)
{
    for (const Store& store : stores()) {
        SCOPED_TRACE(store.file);
        store.change(*this);
        const std::string before = describeEntry(file(store.file));
        ASSERT_GT(before.size(), 16u);
        std::string failure;
        {
            const test::FileSizeLimit fullDisk(16);
            failure = failureOf(store);
        }
        if (store.reportsFailures) {
            EXPECT_EQ(failure,
                "The file \"" + std::string(store.file) + "\" couldn't be saved: File too large");
        }
        EXPECT_EQ(describeEntry(file(store.file)), before);
    }
    // No temporary file is left behind.
    EXPECT_EQ(QDir(folder()).entryList(QDir::Files | QDir::Hidden).size(), 5);
}

TEST_F(StoreSafetyTest, NoStoreReplacesWhatItCannotReadBackButEachFillsAnEmptyFile)
{
    // A NUL ends nlohmann's input: the bytes after it would be lost on the next save.
    const QByteArray undecodable("[]\0[\"more\"]", 11);
    for (const Store& store : stores()) {
        for (const test::Trap trap : test::allTraps) {
            SCOPED_TRACE(std::string(store.file) + ", trap " + std::to_string(int(trap)));
            test::setTrap(file(store.file), trap);
            const std::string before = describeEntry(file(store.file));
            EXPECT_EQ(failureOf(store).empty(), !store.reportsFailures);
            EXPECT_EQ(describeEntry(file(store.file)), before);
        }
        SCOPED_TRACE(store.file);
        QFile::remove(file(store.file));
        writeFile(u"data/"_s + QString::fromUtf8(store.file), undecodable);
        EXPECT_EQ(failureOf(store).empty(), !store.reportsFailures);
        EXPECT_EQ(describeEntry(file(store.file)), "file: " + undecodable.toStdString());
        // What earlier versions created at first start: nothing to lose.
        writeFile(u"data/"_s + QString::fromUtf8(store.file), QByteArray());
        EXPECT_EQ(failureOf(store), "");
        EXPECT_GT(QFileInfo(file(store.file)).size(), 0);
    }
}

TEST_F(StoreSafetyTest, ALinkToARegularFileStaysALinkAndItsTargetIsReplaced)
{
    for (const Store& store : stores()) {
        SCOPED_TRACE(store.file);
        store.change(*this);
        const QString target = path(u"elsewhere/"_s + QString::fromUtf8(store.file));
        QDir().mkpath(path(u"elsewhere"_s));
        ASSERT_TRUE(QFile::rename(file(store.file), target));
        ASSERT_TRUE(QFile::link(target, file(store.file)));
        const std::string before = describeEntry(target);

        EXPECT_EQ(failureOf(store), "");
        EXPECT_EQ(describeEntry(file(store.file)), "link -> " + target.toStdString());
        EXPECT_NE(describeEntry(target), before);
    }
    EXPECT_EQ(await(database->loadAllTracks()).size(), 2);
}

TEST_F(StoreSafetyTest, AFileOfTwoGibibytesOrMoreIsRefusedBeforeItIsRead)
{
    QFile huge(writeFile(u"data/tracks.json"_s, "[]"));
    for (const qint64 size : { storefile::maximumFileSize, storefile::maximumFileSize + 1 }) {
        ASSERT_TRUE(huge.resize(size)); // sparse: takes no space
        for (const auto& attempt : std::initializer_list<std::function<void()>> {
                 [&] { (void)await(database->loadAllTracks()); },
                 [&] { stores()[0].change(*this); } }) {
            const auto error = errorOf<StoreFileError>(attempt);
            ASSERT_TRUE(error);
            EXPECT_EQ(error->errorCase(), StoreFileError::Case::readFailed);
            EXPECT_EQ(error->reason(), u"It is 2 GiB or larger."_s);
        }
        EXPECT_EQ(QFileInfo(huge).size(), size);
    }
    // The limit itself is refused, one byte less is read.
    writeFile(u"data/small"_s, "1234");
    EXPECT_EQ(storefile::read(file("small"), 5), QByteArray("1234"));
    EXPECT_THROW(storefile::read(file("small"), 4), StoreFileError);
}

} // namespace
} // namespace kivo
