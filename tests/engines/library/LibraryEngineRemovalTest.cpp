// Removal (with and without deleting the file), its rollback, and restore.
#include "LibraryEngineFakes.h"
#include "model/DatabaseManagerImpl.h"
#include "model/DatabaseTestSupport.h"

#include <QDir>
#include <QFile>
#include <cstring>
#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace kivo {
namespace {

using test::await;
using test::titles;

class LibraryRemovalTest : public test::LibraryEngineTest {
protected:
    void SetUp() override
    {
        LibraryEngineTest::SetUp();
        FileAccessPlatform::setShared(access);
    }

    // A stored track whose bookmark resolves to its file.
    Track stored(const QString& name)
    {
        Track track = test::makeTrack(name, writeFile(name + u".mp3"_s, "audio"));
        track.securityScopedBookmark = track.fileURL.toLocalFile().toUtf8();
        store->stored.push_back(track);
        return track;
    }

    // The error's text when it is an `Error`.
    template <typename Error> QString failure(QCoro::Task<> task)
    {
        const auto outcome = QCoro::waitFor(test::settle(std::move(task)));
        return outcome.template errorAs<Error>() ? test::describe(outcome.error) : u"?"_s;
    }

    std::shared_ptr<test::FakeFileAccess> access = std::make_shared<test::FakeFileAccess>();
};

TEST_F(LibraryRemovalTest, EverythingIsCheckedBeforeTheStoreChanges)
{
    const Track a = stored(u"a"_s);
    Track unresolvable = stored(u"b"_s);
    store->stored.back().securityScopedBookmark = unresolvable.securityScopedBookmark = "broken";
    const Track folder = stored(u"c"_s);
    QFile::remove(folder.fileURL.toLocalFile());
    QDir().mkpath(folder.fileURL.toLocalFile());
    TavrenLibraryEngine& library = engine();

    EXPECT_EQ(failure<DatabaseError>(library.removeTrack(test::makeTrack(u"x"_s, u"/x"_s), true)),
        u"Track not found in the local library."_s);
    EXPECT_EQ(failure<LibraryTrackRemovalError>(library.removeTrack(folder, true)),
        u"The selected item is not an audio file and was not deleted: "_s
            + folder.fileURL.toLocalFile());
    EXPECT_NE(failure<SecurityScopedAccessError>(library.removeTrack(unresolvable, true)), u"?"_s);
    store->failDelete = true;
    EXPECT_EQ(failure<StoreFileError>(library.removeTrack(a, true)), test::storeFailureText);
    EXPECT_TRUE(QFile::exists(a.fileURL.toLocalFile()));
    EXPECT_EQ(store->stored.size(), 3);
    EXPECT_EQ(library.allTracks().size(), 3);
    EXPECT_EQ(access->starts, access->stops);

    // Without deletion the file is never opened: a broken bookmark is no matter.
    store->failDelete = false;
    await(library.removeTrack(unresolvable, false));
    EXPECT_EQ(titles(library.allTracks()), (QStringList { u"a"_s, u"c"_s }));
    EXPECT_FALSE(cache->track(unresolvable.id));
}

TEST_F(LibraryRemovalTest, DeletionGoesStoreFileIndexListInThatOrder)
{
    const Track a = stored(u"a"_s);
    const Track b = stored(u"b"_s);
    const Track c = stored(u"c"_s);
    TavrenLibraryEngine& library = engine();
    bool fileAndIndexKeptAtDelete = false;
    store->onDelete = [&] {
        fileAndIndexKeptAtDelete = QFile::exists(b.fileURL.toLocalFile()) && cache->track(b.id);
    };
    await(library.removeTrack(b, true));
    EXPECT_TRUE(fileAndIndexKeptAtDelete);
    EXPECT_FALSE(QFile::exists(b.fileURL.toLocalFile()));
    EXPECT_EQ(store->stored, (QList<Track> { a, c }));
    EXPECT_EQ(library.allTracks(), (QList<Track> { a, c }));
    EXPECT_FALSE(cache->track(b.id));

    // A file gone already: the file system's error, and nothing changes.
    QFile::remove(a.fileURL.toLocalFile());
    EXPECT_EQ(failure<std::system_error>(library.removeTrack(a, true)),
        QString::fromUtf8(std::strerror(ENOENT)));
    EXPECT_EQ(store->stored.size(), 2);
}

// A folder takes the file's place after the checks: it must survive, and the
// entry goes back to the end of "tracks.json".
TEST_F(LibraryRemovalTest, AFailedDeletionRollsTheEntryBack)
{
    struct SwappingStore : test::FakeStore {
        std::shared_ptr<DatabaseManager> real;
        QString swap;
        QCoro::Task<QList<Track>> loadAllTracks() override { return real->loadAllTracks(); }
        QCoro::Task<void> saveTracks(QList<Track> tracks) override
        {
            return failSave ? FakeStore::saveTracks(tracks) : real->saveTracks(tracks);
        }
        QCoro::Task<void> deleteTracks(QList<Track> tracks) override
        {
            QFile::remove(swap);
            QDir().mkpath(swap + u"/inside"_s);
            return real->deleteTracks(tracks);
        }
    };
    auto swapping = std::make_shared<SwappingStore>();
    swapping->real = std::make_shared<TavrenDatabaseManager>(
        path(u"data"_s), std::make_shared<test::MemoryUserDefaults>());
    const Track a = stored(u"a"_s);
    const Track b = stored(u"b"_s);
    const Track c = stored(u"c"_s);
    swapping->swap = b.fileURL.toLocalFile();
    await(swapping->real->saveTracks(store->stored));
    TavrenLibraryEngine& library = engine(swapping);

    const QString reason = QString::fromUtf8(std::strerror(EISDIR));
    EXPECT_EQ(failure<LibraryTrackRemovalError>(library.removeTrack(b, true)),
        u"b.mp3 could not be deleted. The library entry was restored. "_s + reason);
    EXPECT_TRUE(QDir(swapping->swap + u"/inside"_s).exists());
    EXPECT_EQ(
        titles(await(swapping->real->loadAllTracks())), (QStringList { u"a"_s, u"c"_s, u"b"_s }));
    EXPECT_EQ(library.allTracks(), (QList<Track> { a, b, c }));
    EXPECT_TRUE(cache->track(b.id));

    QDir(swapping->swap).removeRecursively();
    writeFile(u"b.mp3"_s, "audio");
    swapping->failSave = true;
    EXPECT_EQ(failure<LibraryTrackRemovalError>(library.removeTrack(b, true)),
        u"b.mp3 could not be deleted, and its library entry could not be restored "
        "automatically. Deletion error: "_s
            + reason + u". Recovery error: "_s + test::storeFailureText);
    EXPECT_EQ(titles(await(swapping->real->loadAllTracks())), (QStringList { u"a"_s, u"c"_s }));
    EXPECT_EQ(library.allTracks().size(), 3);
}

TEST_F(LibraryRemovalTest, RestoreReplacesInPlaceOrAppends)
{
    const Track a = stored(u"a"_s);
    const Track b = stored(u"b"_s);
    TavrenLibraryEngine& library = engine();
    await(library.removeTrack(a, false));
    await(library.restoreTrack(a));
    EXPECT_EQ(library.allTracks(), (QList<Track> { b, a }));
    EXPECT_EQ(store->stored, (QList<Track> { b, a }));
    EXPECT_EQ(cache->track(a.id), a);

    Track renamed = b;
    renamed.title = u"B2"_s;
    await(library.restoreTrack(renamed));
    EXPECT_EQ(titles(library.allTracks()), (QStringList { u"B2"_s, u"a"_s }));

    QFile::remove(b.fileURL.toLocalFile());
    EXPECT_EQ(failure<LibraryTrackRemovalError>(library.restoreTrack(b)),
        u"b.mp3 cannot be restored because the original file is no longer available."_s);
    EXPECT_EQ(titles(library.allTracks()), (QStringList { u"B2"_s, u"a"_s }));
}

} // namespace
} // namespace kivo
