// Loading, queries and edits of the library engine over a store in memory.
#include "LibraryEngineFakes.h"

#include <QPromise>
#include <QSignalSpy>
#include <cmath>
#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace kivo {
namespace {

using test::await;
using test::makeTrack;
using test::settle;
using test::titles;

using LibraryEngineLoadTest = test::LibraryEngineTest;

TEST_F(LibraryEngineLoadTest, AFailedLoadIsPrintedAndKeepsTheList)
{
    store->stored = { makeTrack(u"A"_s, u"/m/a.mp3"_s) };
    TavrenLibraryEngine& library = engine();
    store->failLoad = true;
    testing::internal::CaptureStdout();
    await(library.loadLibraryFromDisk());
    EXPECT_EQ(QString::fromStdString(testing::internal::GetCapturedStdout()),
        u"LibraryEngine failed to load tracks: "_s + test::storeFailureText + u'\n');
    EXPECT_EQ(titles(library.allTracks()), QStringList { u"A"_s });
}

TEST_F(LibraryEngineLoadTest, RepeatedStoredIdsKeepTheFirstEverywhere)
{
    const Track a = makeTrack(u"A"_s, u"/m/a.mp3"_s);
    Track again = a;
    again.title = u"A again"_s;
    store->stored = { a, makeTrack(u"B"_s, u"/m/b.mp3"_s), again };
    TavrenLibraryEngine& library = engine();
    EXPECT_EQ(titles(library.allTracks()), (QStringList { u"A"_s, u"B"_s }));
    EXPECT_EQ(cache->track(a.id)->title, u"A"_s);
    again.title = u"A edited"_s;
    await(library.updateTrack(again));
    EXPECT_EQ(titles(library.allTracks()), (QStringList { u"A edited"_s, u"B"_s }));
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
    metadata->titles.insert(u"new.mp3"_s, u"New"_s);
    await(library.importFiles({ file(u"new.mp3"_s) }));
    EXPECT_EQ(titles(library.allTracks()), QStringList { u"New"_s });

    QSignalSpy published(&library, &LibraryEngine::tracksChanged);
    gate.finish();
    ASSERT_TRUE(published.wait(10000));
    EXPECT_EQ(titles(library.allTracks()), (QStringList { u"Stored"_s, u"New"_s }));
    EXPECT_EQ(cache->count(), 2);
}

TEST_F(LibraryEngineLoadTest, QueriesFollowListOrder)
{
    Track lovely = makeTrack(u"Lovely Day"_s, u"/m/1.mp3"_s);
    Track rain = makeTrack(u"Rain"_s, u"/m/2.mp3"_s);
    rain.artist = u"Love"_s;
    lovely.rating = 4;
    rain.rating = 3;
    store->stored = { lovely, rain };
    TavrenLibraryEngine& library = engine();
    EXPECT_EQ(titles(library.search(u"LOVE"_s)), QStringList { u"Lovely Day"_s });
    EXPECT_EQ(titles(library.getFavorites()), QStringList { u"Lovely Day"_s });
    EXPECT_TRUE(library.getMostPlayed(-1).isEmpty());
    EXPECT_EQ(titles(library.getRecentlyAdded(1)), QStringList { u"Lovely Day"_s });
    EXPECT_EQ(library.getMostPlayed(99), library.allTracks());
}

TEST_F(LibraryEngineLoadTest, UpdatesAreCheckedInOrderBeforeAnythingIsSaved)
{
    const Track a = makeTrack(u"A"_s, u"/m/a.mp3"_s);
    const Track b = makeTrack(u"B"_s, u"/m/b.mp3"_s);
    store->stored = { a, b };
    TavrenLibraryEngine& library = engine();
    auto failure = [&](QList<Track> batch) { return test::failure(library.updateTracks(batch)); };
    Track blank = a;
    blank.title = u" \n\t"_s;
    Track negative = b;
    negative.duration = -1;
    Track notANumber = b;
    notANumber.duration = std::nan("");
    EXPECT_EQ(failure({ blank, a }), u"The metadata update contains duplicate tracks."_s);
    EXPECT_EQ(failure({ negative, blank }), u"Track duration cannot be negative."_s);
    EXPECT_EQ(failure({ blank, negative }), u"Track title cannot be empty."_s);
    EXPECT_EQ(failure({ notANumber }), u"Track duration cannot be negative."_s);
    const auto missing = QCoro::waitFor(
        settle(library.updateTracks({ a, makeTrack(u"Gone"_s, u"/m/gone.mp3"_s) })));
    EXPECT_EQ(missing.errorAs<DatabaseError>()->errorCase(), DatabaseError::Case::entityNotFound);
    EXPECT_EQ(
        test::describe(missing.error), u"One or more tracks are no longer in the local library."_s);
    await(library.updateTracks({}));
    EXPECT_TRUE(store->saves.isEmpty());

    store->failSave = true;
    Track renamed = a;
    renamed.title = u"  Renamed "_s;
    renamed.duration = 0;
    EXPECT_EQ(failure({ renamed }), test::storeFailureText);
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

} // namespace
} // namespace kivo
