// The play queue at 100,000 tracks: what playing a whole library, turning
// shuffle on and saving the session cost the main thread, and what the
// synchronous save made when the window goes inactive costs in all.
#include "BenchMain.h"
#include "SavingQueue.h"
#include "SyntheticLibrary.h"

#include <QCoreApplication>
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

struct BenchQueue : bench::SavingQueue {
    BenchQueue()
        : SavingQueue(&library())
    {
    }

    // Lets the queued writes finish, outside the measurement.
    void drain(benchmark::State& state)
    {
        state.PauseTiming();
        queue.savePlaybackState(true);
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
};

void BM_PlayNowShuffled(benchmark::State& state)
{
    BenchQueue bench;
    bench.queue.setShuffleMode(ShuffleMode::standard);
    for (auto _ : state) {
        bench.queue.playNow(library(), 0);
        bench.drain(state);
    }
}
BENCHMARK(BM_PlayNowShuffled)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ShuffleOnAndOff(benchmark::State& state)
{
    BenchQueue bench;
    bench.queue.playNow(library(), 0);
    bench.queue.savePlaybackState(true);
    for (auto _ : state) {
        bench.queue.setShuffleMode(ShuffleMode::standard);
        bench.queue.setShuffleMode(ShuffleMode::off);
        bench.drain(state);
    }
}
BENCHMARK(BM_ShuffleOnAndOff)->Unit(benchmark::kMillisecond)->UseRealTime();

// The main thread's share of a routine save: the snapshot of the ids.
void BM_SessionSaveQueued(benchmark::State& state)
{
    BenchQueue bench;
    bench.queue.playNow(library(), libraryTracks / 2);
    bench.queue.savePlaybackState(true);
    for (auto _ : state) {
        bench.queue.savePlaybackState(false);
        bench.drain(state);
    }
}
BENCHMARK(BM_SessionSaveQueued)->Unit(benchmark::kMillisecond)->UseRealTime();

// The whole write, as when the window goes inactive.
void BM_SessionSaveSynchronous(benchmark::State& state)
{
    BenchQueue bench;
    bench.queue.playNow(library(), libraryTracks / 2);
    bench.queue.savePlaybackState(true);
    for (auto _ : state) {
        bench.queue.savePlaybackState(true);
    }
}
BENCHMARK(BM_SessionSaveSynchronous)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
} // namespace kivo

int main(int argc, char** argv)
{
    return kivo::bench::runBenchmarks(argc, argv, [] { (void)kivo::library(); });
}
