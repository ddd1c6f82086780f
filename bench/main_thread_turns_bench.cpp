// What a user's everyday actions cost the main thread as the library and the
// queue grow (10,000 / 100,000 / 200,000 songs): dragging a queue row with the
// queue panel shown, turning shuffle on and off, playing a shuffled list, and
// editing or favouriting one song while the song list shows the library.
// Each reports the longest main-thread turn (thread CPU time of one pass of
// the event loop, so other programs on the machine do not inflate it) from
// the action until everything it started has settled. Target: 50 ms.
#include "BenchFakes.h"
#include "GuiBenchMain.h"
#include "SavingQueue.h"
#include "StubbedTrackList.h"
#include "SyntheticLibrary.h"
#include "TurnMeter.h"

#include "engines/library/LibraryEngineImpl.h"
#include "engines/library/MetadataEngineImpl.h"
#include "model/DatabaseManagerImpl.h"
#include "model/StoreFile.h"
#include "platform/UserDefaults.h"
#include "ui/eon/EonFonts.h"
#include "ui/player/QueueView.h"
#include "ui/songtable/TrackTableModel.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>
#include <benchmark/benchmark.h>

using namespace Qt::Literals::StringLiterals;

namespace kivo {
namespace {

using bench::TurnMeter;

const QList<Track>& library(qsizetype count)
{
    return bench::syntheticLibraryOf(count);
}

// A queue with a listener that reads the published upcoming ids.
struct BenchQueue : bench::SavingQueue {
    explicit BenchQueue(const QList<Track>& songs)
        : SavingQueue(&songs)
    {
        QObject::connect(&queue, &QueueEngine::upcomingChanged,
            [this](const QList<QUuid>& upcoming) { shown = upcoming.size(); });
    }

    qsizetype shown = 0;

    // Every pass until the queue has published what it is working on.
    void settle(TurnMeter& meter)
    {
        meter.settle([this] { return !queue.isReordering(); });
    }
};

void report(benchmark::State& state, const TurnMeter& meter)
{
    state.counters["longest_main_thread_turn_ms"] = meter.longestMs();
}

// Each case runs three times, timed in milliseconds of wall time.
void threePasses(benchmark::internal::Benchmark* family)
{
    family->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
}

// range(0): songs in the library.
void atLibrarySizes(benchmark::internal::Benchmark* family)
{
    threePasses(family->Arg(10000)->Arg(100000)->Arg(200000));
}

// range(0): songs in the queue; range(1): rows the first row is dragged
// past (0: to the end).
void BM_QueueDrag(benchmark::State& state)
{
    const qsizetype songs = state.range(0);
    BenchQueue bench(library(songs + 1));
    bench.queue.playNow(library(songs + 1), 0);
    bench::NoArtwork artwork;
    QueueView view(bench.queue, artwork);
    view.resize(390, 360);
    view.show();
    // Every row's artwork load ends before the drags are measured.
    for (int pass = 0; pass < 20; ++pass) {
        QCoreApplication::processEvents();
    }
    TurnMeter meter;
    bench.settle(meter);
    meter = {};
    const qsizetype destination = state.range(1) == 0 ? songs : state.range(1) + 1;
    for (auto _ : state) {
        meter.time([&] { view.model().moveUpcoming({ 0 }, destination); });
        bench.settle(meter);
    }
    report(state, meter);
}
BENCHMARK(BM_QueueDrag)->ArgsProduct({ { 10000, 100000, 200000 }, { 10, 0 } })->Apply(threePasses);

void BM_ShuffleOnAndOff(benchmark::State& state)
{
    BenchQueue bench(library(state.range(0)));
    bench.queue.playNow(library(state.range(0)), 0);
    TurnMeter meter;
    bench.settle(meter);
    meter = {};
    for (auto _ : state) {
        meter.time([&] { bench.queue.setShuffleMode(ShuffleMode::standard); });
        bench.settle(meter);
        meter.time([&] { bench.queue.setShuffleMode(ShuffleMode::off); });
        bench.settle(meter);
    }
    report(state, meter);
}
BENCHMARK(BM_ShuffleOnAndOff)->Apply(atLibrarySizes);

void BM_PlayShuffledList(benchmark::State& state)
{
    const QList<Track>& tracks = library(state.range(0));
    BenchQueue bench(tracks);
    bench.queue.setShuffleMode(ShuffleMode::standard);
    TurnMeter meter;
    qsizetype start = 0;
    for (auto _ : state) {
        start = (start + 997) % tracks.size();
        meter.time([&] { bench.queue.playNow(tracks, start); });
        bench.settle(meter);
    }
    report(state, meter);
}
BENCHMARK(BM_PlayShuffledList)->Apply(atLibrarySizes);

// The library engine over a stored synthetic library, and the song list
// showing what it publishes, as the Songs screen does.
struct BenchLibrary {
    explicit BenchLibrary(qsizetype songs)
        : store(std::make_shared<TavrenDatabaseManager>(
            folder.path(), std::make_shared<SettingsUserDefaults>(folder.filePath(u"s.json"_s))))
        , songList(folder.filePath(u"layout.json"_s))
    {
        storefile::writeAtomically(store->tracksFilePath(), storefile::encodeList(library(songs)));
        engine
            = std::make_unique<TavrenLibraryEngine>(store, std::make_shared<TavrenMetadataEngine>(),
                std::make_shared<MetadataCache>(), std::make_shared<bench::IdleWatcher>());
        QObject::connect(engine.get(), &LibraryEngine::tracksChanged, &songList.view,
            [this](const QList<Track>& tracks) {
                songList.view.setTracks(tracks);
                ++published;
            });
        while (engine->allTracks().size() != songs) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        }
        songList.show(u"Songs"_s, engine->allTracks());
        TurnMeter().settle([this] { return songList.view.controller().model().isUpToDate(); });
    }

    // Runs one update of the song at `row` of the library, as the editor or
    // the heart does, until the list shows it.
    void update(TurnMeter& meter, qsizetype row, const std::function<void(Track&)>& change)
    {
        Track track = engine->allTracks().at(row);
        change(track);
        const int before = published;
        bool done = false;
        std::optional<QCoro::Task<>> running;
        meter.time([&] {
            running.emplace(
                [](TavrenLibraryEngine& library, Track edited, bool& finished) -> QCoro::Task<> {
                    co_await library.updateTrack(std::move(edited));
                    finished = true;
                }(*engine, std::move(track), done));
        });
        meter.settle([&] {
            return done && published > before && songList.view.controller().model().isUpToDate();
        });
    }

    QTemporaryDir folder;
    std::shared_ptr<TavrenDatabaseManager> store;
    std::unique_ptr<TavrenLibraryEngine> engine;
    bench::StubbedTrackList<> songList;
    int published = 0;
};

void BM_EditOneSong(benchmark::State& state)
{
    BenchLibrary bench(state.range(0));
    TurnMeter meter;
    int edit = 0;
    for (auto _ : state) {
        ++edit;
        bench.update(meter, state.range(0) / 2,
            [&](Track& track) { track.title = u"Edited %1"_s.arg(edit); });
    }
    report(state, meter);
}
BENCHMARK(BM_EditOneSong)->Apply(atLibrarySizes);

void BM_FavouriteOneSong(benchmark::State& state)
{
    BenchLibrary bench(state.range(0));
    TurnMeter meter;
    for (auto _ : state) {
        bench.update(meter, state.range(0) / 3,
            [](Track& track) { track.rating = track.rating > 3 ? 0 : 5; });
    }
    report(state, meter);
}
BENCHMARK(BM_FavouriteOneSong)->Apply(atLibrarySizes);

} // namespace
} // namespace kivo

int main(int argc, char** argv)
{
    return kivo::bench::runGuiBenchmarks(argc, argv, [] { kivo::loadEonFonts(); });
}
