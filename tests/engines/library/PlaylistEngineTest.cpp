#include "engines/library/PlaylistEngineImpl.h"
#include "model/PlaylistStorageImpl.h"
#include "support/ScriptedLibraryEngine.h"
#include "support/ScriptedQueueEngine.h"
#include "support/SpyPlaylistStorage.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <atomic>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace kivo {
namespace {

using StorageSpy = test::SpyPlaylistStorage;

using FakeLibrary = test::ScriptedLibraryEngine;
using FakeQueue = test::ScriptedQueueEngine;

Track track(const QString& title)
{
    return Track::make(QUuid::createUuid(), QUrl::fromLocalFile(u"/music/"_s + title + u".mp3"_s),
        title + u".mp3"_s, title, 60, Date { 0 });
}

// The error's text, or "none" when `action` does not throw PlaylistError.
QString errorOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const PlaylistError& error) {
        EXPECT_EQ(error.what(), error.errorDescription().toStdString());
        return error.errorDescription();
    }
    return u"none"_s;
}

template <typename Entry> QStringList names(const QList<Entry>& playlists)
{
    QStringList result;
    for (const Entry& playlist : playlists) {
        result.push_back(playlist.name);
    }
    return result;
}

class PlaylistEngineTest : public ::testing::Test {
protected:
    PlaylistRecord put(PlaylistRecord record)
    {
        if (record.id.isNull()) {
            record.id = QUuid::createUuid();
        }
        storage->inner.saveRecord(record);
        return record;
    }
    TavrenPlaylistEngine& start()
    {
        engine = std::make_unique<TavrenPlaylistEngine>(storage, &library, &queue);
        QCoro::waitFor(engine->loadPlaylists());
        return *engine;
    }

    std::shared_ptr<StorageSpy> storage = std::make_shared<StorageSpy>();
    FakeLibrary library;
    FakeQueue queue;
    std::unique_ptr<TavrenPlaylistEngine> engine;
};

TEST_F(PlaylistEngineTest, BuildsTheTreeFromFlatRecordsInStoreOrder)
{
    const QUuid folderID = QUuid::createUuid();
    const auto early = put({ .name = u"Early child"_s, .parentFolderID = folderID });
    put({ .id = folderID, .name = u"Folder"_s, .isFolder = true });
    put({ .name = u"Orphan"_s, .parentFolderID = QUuid::createUuid() });
    const QUuid selfID = QUuid::createUuid();
    put({ .id = selfID, .name = u"Self"_s, .parentFolderID = selfID });
    put({ .name = u"both"_s, .isFolder = true, .isSmart = true, .smartCriteria = u"x"_s });
    put({ .name = u"smart"_s, .isSmart = true });
    const auto late = put({ .name = u"Late child"_s, .parentFolderID = folderID });

    const QList<Playlist> roots = start().rootPlaylists();
    ASSERT_THAT(names(roots), ElementsAre(u"both"_s, u"Folder"_s, u"smart"_s));
    EXPECT_TRUE(roots[0].type.isFolder());
    EXPECT_EQ(roots[2].type, PlaylistType::smart(QString()));
    EXPECT_THAT(roots[1].childrenIDs, ElementsAre(early.id, late.id));

    // Nested entries are held only as ids: every operation on the top level misses them.
    EXPECT_THAT(engine->getTracks(early.id), IsEmpty());
    for (const auto& action : std::initializer_list<std::function<void()>> {
             [&] { engine->duplicate(early.id); }, [&] { engine->deletePlaylist(early.id); },
             [&] { engine->addTracks({}, early.id); }, [&] { engine->removeTracks({}, early.id); },
             [&] { engine->move(early.id, std::nullopt, 0); },
             [&] { engine->toggleFavorite(early.id); },
             [&] { engine->updateMetadata(early.id, std::nullopt, {}); },
             [&] { engine->queuePlaylist(early.id); } }) {
        EXPECT_EQ(errorOf(action), u"Playlist not found"_s);
    }
    EXPECT_EQ(storage->writes, 0);
}

// The collator is chosen once per process from the locale, so each locale
// gets a child process of this test program.
TEST_F(PlaylistEngineTest, ListsNamesInLocaleOrderUnderCAndEnglish)
{
    if (qEnvironmentVariableIsSet("KIVO_LOCALE_ORDER_CHILD")) {
        const auto first = put({ .name = u"apple"_s });
        put({ .name = u"Banana"_s });
        const auto second = put({ .name = u"apple"_s });
        const QList<Playlist> roots = start().rootPlaylists();
        ASSERT_THAT(names(roots), ElementsAre(u"apple"_s, u"apple"_s, u"Banana"_s));
        EXPECT_EQ(roots[0].id, first.id);
        EXPECT_EQ(roots[1].id, second.id);
        return;
    }
    for (const QString& locale : { u"C"_s, u"en_US.UTF-8"_s }) {
        QProcess child;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(u"LC_ALL"_s, locale);
        environment.insert(u"LANG"_s, locale);
        environment.insert(u"KIVO_LOCALE_ORDER_CHILD"_s, u"1"_s);
        child.setProcessEnvironment(environment);
        child.setProcessChannelMode(QProcess::MergedChannels);
        child.start(QCoreApplication::applicationFilePath(),
            { u"--gtest_filter=PlaylistEngineTest.ListsNamesInLocaleOrderUnderCAndEnglish"_s });
        ASSERT_TRUE(child.waitForFinished(120000));
        EXPECT_EQ(child.exitCode(), 0) << locale.toStdString() << "\n"
                                       << child.readAll().toStdString();
    }
}

TEST_F(PlaylistEngineTest, AnUnreadableStoreIsPrintedGivesAnEmptyTreeAndTakesNoNewEntries)
{
    put({ .name = u"Kept"_s });
    QFile file(storage->inner.storageFilePath());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write("not json") > 0);
    file.close();
    engine = std::make_unique<TavrenPlaylistEngine>(storage, &library, &queue);
    EXPECT_EQ(storage->fetchedOn, nullptr); // the constructor reads nothing
    testing::internal::CaptureStdout();
    QCoro::waitFor(engine->loadPlaylists());
    EXPECT_THAT(
        testing::internal::GetCapturedStdout(), testing::StartsWith("Failed to load playlists: "));
    EXPECT_NE(storage->fetchedOn, QThread::currentThread());
    EXPECT_THAT(engine->rootPlaylists(), IsEmpty());
    EXPECT_TRUE(engine->loadError());
    EXPECT_THROW(engine->createPlaylist(u"New"_s), JsonCodingError);
    EXPECT_EQ(storage->writes, 0);

    // A store of 2 GiB is refused by its size alone (sparse: it takes no space).
    ASSERT_TRUE(file.resize(storefile::maximumFileSize));
    testing::internal::CaptureStdout();
    QCoro::waitFor(engine->loadPlaylists());
    testing::internal::GetCapturedStdout();
    ASSERT_TRUE(engine->loadError());
    try {
        std::rethrow_exception(engine->loadError());
    } catch (const StoreFileError& error) {
        EXPECT_EQ(error.reason(), u"It is 2 GiB or larger."_s);
    } catch (...) {
        ADD_FAILURE() << "not a read failure";
    }
    EXPECT_EQ(file.size(), storefile::maximumFileSize);
}

TEST_F(PlaylistEngineTest, RenameTrimsChecksTheLengthAndReachesNestedEntries)
{
    const auto folder = put({ .name = u"Folder"_s, .isFolder = true });
    const auto nested
        = put({ .name = u"Old"_s, .parentFolderID = folder.id, .displayOrderIndex = 7 });
    start();

    engine->rename(nested.id, u"  Night drive \n"_s);
    PlaylistRecord expected = nested;
    expected.name = u"Night drive"_s;
    EXPECT_EQ(storage->find(nested.id), expected);

    const int writes = storage->writes;
    engine->rename(nested.id, u"Night drive"_s);
    EXPECT_EQ(storage->writes, writes);

    // 120 user-perceived characters of two code units each are accepted.
    const QString accented = u"e\u0301"_s;
    EXPECT_EQ(errorOf([&] { engine->rename(nested.id, accented.repeated(120)); }), u"none"_s);
    EXPECT_EQ(errorOf([&] { engine->rename(nested.id, accented.repeated(121)); }),
        u"Playlist names must be 120 characters or fewer."_s);
    // The name is checked before the id is looked up.
    EXPECT_EQ(errorOf([&] { engine->rename(QUuid::createUuid(), u" \n\t"_s); }),
        u"Playlist names cannot be empty."_s);
    EXPECT_EQ(
        errorOf([&] { engine->rename(QUuid::createUuid(), u"Fine"_s); }), u"Playlist not found"_s);
}

TEST_F(PlaylistEngineTest, CreatesAndDuplicatesAppendUnsortedUntilTheNextReload)
{
    start();
    Playlist mix = engine->createPlaylist(u"Mix"_s);
    engine->toggleFavorite(mix.id);
    engine->addTracks({ track(u"a"_s) }, mix.id);
    engine->updateMetadata(mix.id, u"Evening"_s, { u"calm"_s });
    const Playlist copy = engine->duplicate(mix.id);
    const Playlist copyOfCopy = engine->duplicate(copy.id);
    engine->createSmartPlaylist(u"Alpha"_s, u"rating > 3"_s);

    mix = *engine->getPlaylist(mix.id);
    EXPECT_THAT(names(engine->rootPlaylists()),
        ElementsAre(u"Mix"_s, u"Mix (Copy)"_s, u"Mix (Copy) (Copy)"_s, u"Alpha"_s));
    EXPECT_FALSE(copy.isFavorite);
    EXPECT_EQ(std::tie(copy.trackIDs, copy.description, copy.tags),
        std::tie(mix.trackIDs, mix.description, mix.tags));
    EXPECT_EQ(storage->find(copyOfCopy.id)->displayOrderIndex, 2);

    engine->reloadPlaylists();
    EXPECT_EQ(engine->rootPlaylists()[0].type, PlaylistType::smart(u"rating > 3"_s));
    EXPECT_EQ(engine->rootPlaylists()[1], mix);
}

TEST_F(PlaylistEngineTest, AddsOnlyNewTracksAndRemovesByPositionFromTheEnd)
{
    const Track a = track(u"a"_s), b = track(u"b"_s), c = track(u"c"_s), d = track(u"d"_s);
    const QUuid id = start().createPlaylist(u"List"_s).id;
    engine->addTracks({ a, b }, id);
    engine->addTracks({ b, c, c, d }, id);
    EXPECT_THAT(engine->getPlaylist(id)->trackIDs, ElementsAre(a.id, b.id, c.id, c.id, d.id));

    engine->removeTracks({ 3, 0, 3 }, id);
    EXPECT_THAT(storage->find(id)->trackIDs, ElementsAre(b.id, c.id, d.id));

    // One bad position spoils the whole call.
    const int writes = storage->writes;
    for (const QList<qsizetype>& positions : { QList<qsizetype> { 0, 3 }, { -1 } }) {
        EXPECT_EQ(errorOf([&] { engine->removeTracks(positions, id); }), u"Invalid operation"_s);
    }
    EXPECT_THAT(engine->getPlaylist(id)->trackIDs, ElementsAre(b.id, c.id, d.id));
    EXPECT_EQ(storage->writes, writes);
}

TEST_F(PlaylistEngineTest, AFailedSaveLeavesTheListAsStored)
{
    const auto kept = put({ .name = u"Kept"_s, .trackIDs = { QUuid::createUuid() } });
    const auto folder = put({ .name = u"Folder"_s, .isFolder = true });
    const QList<Playlist> before = start().rootPlaylists();
    storage->failWrites = true;
    for (const auto& action :
        std::initializer_list<std::function<void()>> { [&] { engine->createPlaylist(u"New"_s); },
            [&] { engine->duplicate(kept.id); }, [&] { engine->deletePlaylist(kept.id); },
            [&] { engine->addTracks({ track(u"x"_s) }, kept.id); },
            [&] { engine->removeTracks({ 0 }, kept.id); }, [&] { engine->toggleFavorite(kept.id); },
            [&] { engine->updateMetadata(kept.id, u"d"_s, {}); },
            [&] { engine->move(kept.id, folder.id, 0); } }) {
        EXPECT_THROW(action(), StoreFileError);
        EXPECT_EQ(engine->rootPlaylists(), before);
    }
}

TEST_F(PlaylistEngineTest, MoveRefusesTargetsThatWouldCutTheEntryOffTheTree)
{
    const auto outer = put({ .name = u"Outer"_s, .isFolder = true });
    const auto inner = put({ .name = u"Inner"_s, .parentFolderID = outer.id, .isFolder = true });
    const auto deep = put({ .name = u"Deep"_s, .parentFolderID = inner.id, .isFolder = true });
    const auto other = put({ .name = u"Other"_s, .isFolder = true });
    const auto zed = put({ .name = u"Zed"_s });
    const auto list = put({ .name = u"List"_s });
    const QList<Playlist> before = start().rootPlaylists();

    for (const QUuid& target : { outer.id, inner.id, deep.id, list.id, QUuid::createUuid() }) {
        EXPECT_EQ(errorOf([&] { engine->move(outer.id, target, 0); }), u"Invalid operation"_s);
    }
    EXPECT_EQ(errorOf([&] { engine->createFolder(u"New"_s, list.id); }), u"Invalid operation"_s);
    EXPECT_EQ(engine->rootPlaylists(), before);
    EXPECT_EQ(storage->writes, 0);

    engine->move(outer.id, other.id, 5);
    EXPECT_EQ(storage->find(outer.id)->displayOrderIndex, 5);
    EXPECT_THAT(engine->getPlaylist(other.id)->childrenIDs, ElementsAre(outer.id));
    // The index orders nothing: after the reload the name decides.
    engine->move(zed.id, std::nullopt, 0);
    EXPECT_THAT(names(engine->rootPlaylists()), ElementsAre(u"List"_s, u"Other"_s, u"Zed"_s));

    engine->deletePlaylist(other.id);
    EXPECT_THAT(names(storage->fetchAllRecords()), ElementsAre(u"Zed"_s, u"List"_s));
}

TEST_F(PlaylistEngineTest, QueuesTheLibrarySongsOfAPlaylistButNotAFolder)
{
    const Track a = track(u"a"_s), b = track(u"b"_s);
    library.tracks = { a, b };
    const auto mix
        = put({ .name = u"Mix"_s, .trackIDs = { b.id, QUuid::createUuid(), a.id, b.id } });
    const auto gone = put({ .name = u"Gone"_s, .trackIDs = { QUuid::createUuid() } });
    const auto folder = put({ .name = u"Folder"_s, .isFolder = true });
    start();

    engine->queuePlaylist(mix.id);
    engine->queuePlaylist(gone.id);
    EXPECT_EQ(errorOf([&] { engine->queuePlaylist(folder.id); }), u"Cannot play a folder"_s);
    ASSERT_EQ(queue.played.size(), 1);
    EXPECT_THAT(queue.played[0], ElementsAre(b, a, b));
}

} // namespace
} // namespace kivo
