// The library store and the track index at 100,000 tracks: loading, saving
// (atomic write), upserting one track, building the index, and how long the
// main thread is held while a save runs.
#include "BenchMain.h"
#include "SyntheticLibrary.h"

#include "model/DatabaseManagerImpl.h"
#include "model/MetadataCache.h"
#include "model/StoreFile.h"
#include "platform/UserDefaults.h"

#include <QCoreApplication>
#include <QCoroTask>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <benchmark/benchmark.h>

using namespace Qt::Literals::StringLiterals;

namespace kivo {
namespace {

constexpr int libraryTracks = 100000;

const QList<Track>& library()
{
    static const QList<Track> tracks = bench::makeSyntheticLibrary(libraryTracks);
    return tracks;
}

// A store in a temporary folder, optionally holding the whole library.
struct BenchStore {
    explicit BenchStore(bool filled)
    {
        store = std::make_unique<TavrenDatabaseManager>(
            folder.path(), std::make_shared<SettingsUserDefaults>(folder.filePath(u"s.json"_s)));
        if (filled) {
            storefile::writeAtomically(store->tracksFilePath(), storefile::encodeList(library()));
        }
    }
    qint64 fileSize() const { return QFile(store->tracksFilePath()).size(); }

    QTemporaryDir folder;
    std::unique_ptr<TavrenDatabaseManager> store;
};

void BM_LoadAllTracks(benchmark::State& state)
{
    BenchStore bench(true);
    for (auto _ : state) {
        const QList<Track> tracks = QCoro::waitFor(bench.store->loadAllTracks());
        if (tracks.size() != libraryTracks) {
            state.SkipWithError("wrong track count");
        }
    }
    state.counters["file_MB"] = double(bench.fileSize()) / 1e6;
}
BENCHMARK(BM_LoadAllTracks)->Unit(benchmark::kMillisecond)->UseRealTime();

// The whole library saved into an empty store: encode, atomic write.
void BM_SaveAllTracks(benchmark::State& state)
{
    BenchStore bench(false);
    for (auto _ : state) {
        state.PauseTiming();
        QFile(bench.store->tracksFilePath()).resize(0);
        state.ResumeTiming();
        QCoro::waitFor(bench.store->saveTracks(library()));
    }
    state.counters["file_MB"] = double(bench.fileSize()) / 1e6;
}
BENCHMARK(BM_SaveAllTracks)->Unit(benchmark::kMillisecond)->UseRealTime();

// The write step alone: encoding the list and replacing the file atomically.
void BM_EncodeAndWriteAtomically(benchmark::State& state)
{
    BenchStore bench(false);
    for (auto _ : state) {
        storefile::writeAtomically(bench.store->tracksFilePath(), storefile::encodeList(library()));
    }
}
BENCHMARK(BM_EncodeAndWriteAtomically)->Unit(benchmark::kMillisecond)->UseRealTime();

// One edited track in a full library: read, decode, replace, encode, write.
void BM_UpsertOneTrack(benchmark::State& state)
{
    BenchStore bench(true);
    Track edited = library()[libraryTracks / 2];
    int round = 0;
    for (auto _ : state) {
        edited.rating = ++round % 6;
        QCoro::waitFor(bench.store->saveTracks({ edited }));
    }
}
BENCHMARK(BM_UpsertOneTrack)->Unit(benchmark::kMillisecond)->UseRealTime();

// What a save of the whole library costs the main thread: the call itself
// (it only hands the work to the store's worker) and the longest gap between
// the ticks of a 1 ms timer on the main thread while the save runs, which is
// the longest a window would stay frozen.
void BM_MainThreadHeldBySave(benchmark::State& state)
{
    BenchStore bench(true);
    double callMs = 0;
    double longestGapMs = 0;
    for (auto _ : state) {
        QElapsedTimer sinceTick;
        QTimer ticker;
        ticker.setTimerType(Qt::PreciseTimer);
        ticker.setInterval(1);
        QObject::connect(&ticker, &QTimer::timeout, [&] {
            longestGapMs = std::max(longestGapMs, sinceTick.nsecsElapsed() / 1e6);
            sinceTick.restart();
        });
        sinceTick.start();
        ticker.start();

        QElapsedTimer call;
        call.start();
        bool done = false;
        auto save = [](TavrenDatabaseManager& store, bool& finished) -> QCoro::Task<void> {
            co_await store.saveTracks(library());
            finished = true;
        };
        QCoro::Task<void> task = save(*bench.store, done);
        callMs = std::max(callMs, call.nsecsElapsed() / 1e6);
        while (!done) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        }
        ticker.stop();
    }
    state.counters["call_ms"] = callMs;
    state.counters["longest_gap_ms"] = longestGapMs;
}
BENCHMARK(BM_MainThreadHeldBySave)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_IndexBuild(benchmark::State& state)
{
    const QList<Track>& tracks = library();
    for (auto _ : state) {
        auto cache = std::make_unique<MetadataCache>();
        cache->insert(tracks);
        benchmark::DoNotOptimize(cache->count());
        state.PauseTiming(); // tearing the index down is not part of building it
        cache.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_IndexBuild)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
} // namespace kivo

int main(int argc, char** argv)
{
    return kivo::bench::runBenchmarks(argc, argv, [] { (void)kivo::library(); });
}
