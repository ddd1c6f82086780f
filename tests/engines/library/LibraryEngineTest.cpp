// Loading, edits, removal and restore, over a store in memory.
#include "LibraryEngineFakes.h"
#include "engines/library/LibraryTrackList.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QPromise>
#include <QSignalSpy>
#include <QThread>
#include <cmath>
#include <cstring>
#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace kivo {
namespace {

using test::await;
using test::failure;
using test::makeTrack;
using test::titles;

using LibraryEngineLoadTest = test::LibraryEngineTest;

TEST_F(LibraryEngineLoadTest, RepeatedIdsKeepTheFirstAndAFailedLoadIsPrintedAndPublished)
{
    Track a = makeTrack(u"A"_s, u"/m/a.mp3"_s);
    a.rating = 4; // favourites start at four stars
    Track again = a;
    again.title = u"A again"_s;
    Track b = makeTrack(u"B"_s, u"/m/b.mp3"_s);
    b.rating = 3;
    Track c = makeTrack(u"C"_s, u"/m/c.mp3"_s);
    c.rating = 5;
    store->stored = { a, b, again, c };
    TavrenLibraryEngine& library = engine();
    EXPECT_EQ(titles(library.allTracks()), (QStringList { u"A"_s, u"B"_s, u"C"_s }));
    EXPECT_EQ(cache->track(a.id)->title, u"A"_s);
    EXPECT_EQ(library.getMostPlayed(-1), QList<Track> {});
    EXPECT_EQ(library.getRecentlyAdded(9), library.allTracks());
    EXPECT_EQ(titles(library.getFavorites()), (QStringList { u"A"_s, u"C"_s }));

    store->failLoad = true;
    testing::internal::CaptureStdout();
    await(library.loadLibraryFromDisk());
    EXPECT_EQ(QString::fromStdString(testing::internal::GetCapturedStdout()),
        u"LibraryEngine failed to load tracks: "_s + test::storeFailureText + u'\n');
    EXPECT_EQ(library.allTracks().size(), 3);
    EXPECT_EQ(library.loadState(), LibraryLoadState::failed);
    EXPECT_TRUE(library.loadError());

    store->failLoad = false;
    await(library.loadLibraryFromDisk());
    EXPECT_EQ(library.loadState(), LibraryLoadState::loaded);
    EXPECT_FALSE(library.loadError());
}

// The index shares the loaded list rather than copying it (edits copy it on
// a worker), and lets go of each list the library replaces: the library is
// held once, not once more for the index.
TEST_F(LibraryEngineLoadTest, TheLoadedListIsHeldOnceByTheLibraryAndItsIndex)
{
    store->stored = { makeTrack(u"A"_s, u"/m/a.mp3"_s), makeTrack(u"B"_s, u"/m/b.mp3"_s) };
    TavrenLibraryEngine& library = engine();
    store->stored.clear();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); // waits let go
    EXPECT_EQ(cache->count(), 2);

    QList<Track> before = library.internalTracks();
    Track renamed = before.at(0);
    renamed.title = u"Renamed"_s;
    await(library.updateTracks({ renamed }));
    const QDeadlineTimer deadline(5000);
    while (!before.isDetached() && !deadline.hasExpired()) {
        QThread::msleep(5);
    }
    EXPECT_TRUE(before.isDetached());
    EXPECT_EQ(cache->track(renamed.id)->title, u"Renamed"_s);
    EXPECT_EQ(cache->count(), 2);
}

// The start-up load reads the store before an import saves to it and
// publishes after the import did: the imported track must stay listed.
TEST_F(LibraryEngineLoadTest, ALoadNeverHidesAnImportPublishedMeanwhile)
{
    store->stored = { makeTrack(u"Stored"_s, u"/m/stored.mp3"_s) };
    QPromise<void> gate;
    gate.start();
    store->loadGate = gate.future();
    TavrenLibraryEngine library(store, metadata, cache, watcher);
    EXPECT_EQ(library.loadState(), LibraryLoadState::loading);
    metadata->titles.insert(u"new.mp3"_s, u"New"_s);
    await(library.importFiles({ file(u"new.mp3"_s) }));
    EXPECT_EQ(titles(library.allTracks()), QStringList { u"New"_s });

    QSignalSpy published(&library, &LibraryEngine::tracksChanged);
    QSignalSpy done(&library, &LibraryEngine::loadStateChanged);
    gate.finish();
    // The list is published before the index is filled; the load is done
    // only once both hold the tracks.
    ASSERT_TRUE(done.wait(10000));
    EXPECT_FALSE(published.isEmpty());
    EXPECT_EQ(titles(library.allTracks()), (QStringList { u"Stored"_s, u"New"_s }));
    EXPECT_EQ(library.loadState(), LibraryLoadState::loaded);
    EXPECT_EQ(cache->count(), 2);
}

TEST_F(LibraryEngineLoadTest, UpdatesAreCheckedInOrderBeforeAnythingIsSaved)
{
    const Track a = makeTrack(u"A"_s, u"/m/a.mp3"_s);
    const Track b = makeTrack(u"B"_s, u"/m/b.mp3"_s);
    store->stored = { a, b };
    TavrenLibraryEngine& library = engine();
    auto update = [&](QList<Track> batch) { return failure(library.updateTracks(batch)); };
    Track blank = a;
    blank.title = u" \n\t"_s;
    Track negative = b;
    negative.duration = -1;
    Track notANumber = b;
    notANumber.duration = std::nan("");
    EXPECT_EQ(update({ blank, a }), u"The metadata update contains duplicate tracks."_s);
    EXPECT_EQ(update({ negative, blank }), u"Track duration cannot be negative."_s);
    EXPECT_EQ(update({ blank, negative }), u"Track title cannot be empty."_s);
    EXPECT_EQ(update({ notANumber }), u"Track duration cannot be negative."_s);
    EXPECT_EQ(update({ a, makeTrack(u"Gone"_s, u"/m/gone.mp3"_s) }),
        u"One or more tracks are no longer in the local library."_s);
    await(library.updateTracks({}));
    EXPECT_TRUE(store->saves.isEmpty());

    store->failSave = true;
    Track renamed = a;
    renamed.title = u"  Renamed "_s;
    renamed.duration = 0;
    EXPECT_EQ(update({ renamed }), test::storeFailureText);
    EXPECT_EQ(library.allTracks(), (QList<Track> { a, b }));
    store->failSave = false;
    await(library.updateTracks({ renamed }));
    EXPECT_EQ(titles(library.allTracks()), (QStringList { u"  Renamed "_s, u"B"_s }));
    EXPECT_EQ(cache->track(a.id)->title, u"  Renamed "_s);
}

// The removal runs while the update's save is awaited: the update must not
// write the removed track back into the list (or the index) at a stale place.
TEST_F(LibraryEngineLoadTest, AnUpdateSkipsATrackRemovedDuringItsSave)
{
    const Track a = makeTrack(u"A"_s, u"/m/a.mp3"_s);
    const Track b = makeTrack(u"B"_s, u"/m/b.mp3"_s);
    store->stored = { a, b };
    TavrenLibraryEngine& library = engine();
    std::optional<QCoro::Task<>> removal;
    store->onSave = [&] {
        store->onSave = nullptr;
        removal.emplace(library.removeTrack(a, false));
    };
    Track edited = b;
    edited.title = u"B2"_s;
    await(library.updateTracks({ a, edited }));
    await(std::move(*removal));
    EXPECT_EQ(titles(library.allTracks()), QStringList { u"B2"_s });
    EXPECT_FALSE(cache->track(a.id));
}

// ---- removal and restore ---------------------------------------------------------

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

    std::shared_ptr<test::CountingFileAccess> access = std::make_shared<test::CountingFileAccess>();
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
    Track missing = a; // its file gone: the file system's error
    missing.securityScopedBookmark = path(u"gone.mp3"_s).toUtf8();
    EXPECT_EQ(failure<std::system_error>(library.removeTrack(missing, true)),
        QString::fromUtf8(std::strerror(ENOENT)));
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

// The real access layer lets a folder in the song's place reach the removal's
// own check.
TEST_F(LibraryRemovalTest, AFolderInASongsPlaceIsRefusedThroughTheRealAccessLayer)
{
    FileAccessPlatform::setShared(nullptr);
    Track song = test::makeTrack(u"s"_s, writeFile(u"s.mp3"_s, "audio"));
    song.securityScopedBookmark = SecurityScopedResource::makeBookmark(song.fileURL);
    store->stored.push_back(song);
    TavrenLibraryEngine& library = engine();
    QFile::remove(song.fileURL.toLocalFile());
    QDir().mkpath(song.fileURL.toLocalFile());
    EXPECT_EQ(failure<LibraryTrackRemovalError>(library.removeTrack(song, true)),
        u"The selected item is not an audio file and was not deleted: "_s
            + song.fileURL.toLocalFile());
    EXPECT_EQ(library.allTracks(), QList<Track> { song });
    EXPECT_TRUE(QFileInfo(song.fileURL.toLocalFile()).isDir());
}

// The order of the four places, and the rollback of a failed deletion: a
// folder that took the file's place after the checks must survive, and the
// entry goes back at the end of the stored list.
TEST_F(LibraryRemovalTest, DeletionGoesStoreFileIndexListAndRollsBack)
{
    const Track a = stored(u"a"_s);
    const Track b = stored(u"b"_s);
    const Track c = stored(u"c"_s);
    TavrenLibraryEngine& library = engine();
    bool keptAtDelete = false; // the file and the index entry
    store->onDelete
        = [&] { keptAtDelete = QFile::exists(a.fileURL.toLocalFile()) && cache->track(a.id); };
    await(library.removeTrack(a, true));
    EXPECT_TRUE(keptAtDelete);
    EXPECT_FALSE(QFile::exists(a.fileURL.toLocalFile()));
    EXPECT_FALSE(cache->track(a.id));

    const QString at = b.fileURL.toLocalFile();
    store->onDelete = [&] {
        QFile::remove(at);
        QDir().mkpath(at + u"/inside"_s);
    };
    const QString reason = QString::fromUtf8(std::strerror(EISDIR));
    EXPECT_EQ(failure<LibraryTrackRemovalError>(library.removeTrack(b, true)),
        u"b.mp3 could not be deleted. The library entry was restored. "_s + reason);
    EXPECT_TRUE(QDir(at + u"/inside"_s).exists());
    EXPECT_EQ(store->stored, (QList<Track> { c, b }));
    EXPECT_EQ(library.allTracks(), (QList<Track> { b, c }));
    EXPECT_TRUE(cache->track(b.id));

    QDir(at).removeRecursively();
    writeFile(u"b.mp3"_s, "audio");
    store->failSave = true;
    EXPECT_EQ(failure<LibraryTrackRemovalError>(library.removeTrack(b, true)),
        u"b.mp3 could not be deleted, and its library entry could not be restored "
        "automatically. Deletion error: "_s
            + reason + u". Recovery error: "_s + test::storeFailureText);
    EXPECT_EQ(store->stored, QList<Track> { c });
    EXPECT_EQ(library.allTracks().size(), 2);
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
// Appending to a list that others still read copies none of its lookups;
// every lookup still sees both parts, also after a removal joins them.
TEST(LibraryTrackList, AppendsBesideASharedListAndFindsEverySong)
{
    const Track a = makeTrack(u"A"_s, u"/m/a.mp3"_s);
    const Track b = makeTrack(u"B"_s, u"/m/b.mp3"_s);
    const LibraryTrackList built(QList<Track> { a, b });
    LibraryTrackList list = built;
    const Track c = makeTrack(u"C"_s, u"/m//c.mp3"_s);
    const Track sameFile = makeTrack(u"C again"_s, u"/m/c.mp3"_s);
    EXPECT_EQ(list.append({ c, b, sameFile, c }), 2);
    EXPECT_EQ(built.size(), 2);
    EXPECT_EQ(list.positionOf(sameFile.id), 3);
    EXPECT_EQ(list.firstAtLocation(u"/m/c.mp3"_s)->title, u"C"_s);
    EXPECT_EQ(list.firstAtLocation(u"/m/a.mp3"_s)->title, u"A"_s);

    EXPECT_TRUE(list.remove(a.id));
    EXPECT_EQ(list.positionOf(c.id), 1);
    EXPECT_EQ(list.positionOf(sameFile.id), 2);
    EXPECT_FALSE(list.positionOf(a.id));
    EXPECT_FALSE(list.containsLocation(u"/m/a.mp3"_s));
    EXPECT_TRUE(list.remove(c.id));
    EXPECT_EQ(list.firstAtLocation(u"/m/c.mp3"_s)->title, u"C again"_s);
    EXPECT_EQ(built.positionOf(a.id), 0);
    EXPECT_FALSE(built.positionOf(c.id));
}

// Removals leave the lookups as built: later positions follow from the removed
// slots, a song put back is found at its new place, a song moved to another
// file under its new location only, and a copy taken before sees none of it.
TEST(LibraryTrackList, RemovesAndPutsBackWithoutChangingACopy)
{
    QList<Track> songs;
    for (const QString& name : { u"a"_s, u"b"_s, u"c"_s, u"d"_s, u"e"_s }) {
        songs.push_back(makeTrack(name, u"/m/"_s + name + u".mp3"_s));
    }
    LibraryTrackList list(songs);
    const LibraryTrackList before = list;
    EXPECT_TRUE(list.remove(songs[3].id));
    EXPECT_TRUE(list.remove(songs[1].id));
    EXPECT_FALSE(list.remove(songs[1].id));
    EXPECT_EQ(list.append({ songs[1] }), 1);
    Track moved = songs[4];
    moved.fileURL = QUrl::fromLocalFile(u"/m/moved.mp3"_s);
    EXPECT_TRUE(list.replace(moved));
    EXPECT_TRUE(list.remove(songs[0].id));

    const auto positions = [](const LibraryTrackList& of, const QList<Track>& tracks) {
        QList<qsizetype> found;
        for (const Track& track : tracks) {
            found.push_back(of.positionOf(track.id).value_or(-1));
        }
        return found;
    };
    EXPECT_EQ(positions(list, songs), (QList<qsizetype> { -1, 2, 0, -1, 1 }));
    EXPECT_EQ(titles(list.tracks()), (QStringList { u"c"_s, u"e"_s, u"b"_s }));
    EXPECT_EQ(list.firstAtLocation(u"/m/b.mp3"_s)->id, songs[1].id);
    EXPECT_EQ(list.firstAtLocation(u"/m/moved.mp3"_s)->id, moved.id);
    EXPECT_FALSE(list.containsLocation(u"/m/e.mp3"_s));
    EXPECT_FALSE(list.containsLocation(u"/m/a.mp3"_s));
    EXPECT_EQ(before.tracks(), songs);
    EXPECT_EQ(positions(before, songs), (QList<qsizetype> { 0, 1, 2, 3, 4 }));
    EXPECT_EQ(before.firstAtLocation(u"/m/e.mp3"_s)->id, songs[4].id);
}

} // namespace kivo
