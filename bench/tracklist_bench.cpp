// The track list screen at 100,000 songs, shown offscreen with its table.
// A library change handed to the screen (the list minus 1,000 songs, with
// every song selected, so that the selection is pruned): the main thread's
// time in the call (id comparison, pruning, counts), the longest turn of the
// event loop until the table shows the new list, and the wall time until
// then (with lists shown before, and with new ones). Select All through the menu's command target,
// and playing the displayed list from a row. Target: no main-thread turn over 50 ms.
#include "GuiBenchMain.h"
#include "StubbedTrackList.h"
#include "SyntheticLibrary.h"
#include "ui/eon/EonFonts.h"
#include "ui/songtable/TrackListSelectionCommands.h"
#include "ui/songtable/TrackTableModel.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <ctime>

using namespace Qt::Literals::StringLiterals;

namespace kivo {
namespace {

const QList<Track>& library()
{
    static const QList<Track> tracks = bench::makeSyntheticLibrary(100000, 2001);
    return tracks;
}

const QList<Track>& smallerLibrary()
{
    static const QList<Track> tracks = [] {
        QList<Track> list = library();
        for (int i = 0; i < 1000; ++i) {
            list.removeAt(i * 97);
        }
        return list;
    }();
    return tracks;
}

double threadCpuMs()
{
    timespec now {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

double longestTurnMs = 0;

void settle(const TrackTableModel& model)
{
    while (!model.isUpToDate()) {
        const double start = threadCpuMs();
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        longestTurnMs = std::max(longestTurnMs, threadCpuMs() - start);
    }
    const double start = threadCpuMs();
    QCoreApplication::processEvents();
    longestTurnMs = std::max(longestTurnMs, threadCpuMs() - start);
}

class NullQueue final : public test::StubQueueEngine {
public:
    qsizetype played = 0;
    void playNow(const QList<Track>& tracks, qsizetype) override { played += tracks.size(); }
};

// One screen over the library, shown in a 1320 x 820 window.
struct Screen {
    Screen()
        : songList(folder.filePath(u"settings.json"_s))
    {
        songList.show(u"All Songs"_s, library());
        settle(songList.view.controller().model());
    }

    QTemporaryDir folder;
    bench::StubbedTrackList<NullQueue> songList;
};

void BM_LibraryChangeReachesTheScreen(benchmark::State& state)
{
    Screen screen;
    TrackListController& controller = screen.songList.view.controller();
    double callMs = 0;
    int calls = 0;
    longestTurnMs = 0;
    bool smaller = false;
    for (auto _ : state) {
        state.PauseTiming();
        controller.selectAll();
        QCoreApplication::processEvents();
        smaller = !smaller;
        QList<Track> next = smaller ? smallerLibrary() : library();
        if (state.range(0) == 1) {
            next.detach(); // a list never shown before, as after a real change
        }
        state.ResumeTiming();
        const double start = threadCpuMs();
        controller.setTracks(std::move(next));
        const double spent = threadCpuMs() - start;
        callMs += spent;
        ++calls;
        longestTurnMs = std::max(longestTurnMs, spent);
        settle(controller.model());
    }
    state.counters["main_thread_call_ms"] = callMs / std::max(calls, 1);
    state.counters["longest_main_thread_turn_ms"] = longestTurnMs;
    state.SetLabel(state.range(0) == 0 ? "lists shown before" : "new lists");
}
// Arg 0 alternates between two lists (the table has their orders after the
// first time); arg 1 hands a new list each time.
BENCHMARK(BM_LibraryChangeReachesTheScreen)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

void BM_SelectAllCommand(benchmark::State& state)
{
    Screen screen;
    TrackListController& controller = screen.songList.view.controller();
    for (auto _ : state) {
        controller.commandTarget()->send(TrackListSelectionCommand::selectAll);
        QCoreApplication::processEvents(); // the table repaints what shows
        state.PauseTiming();
        controller.deselectAll();
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_SelectAllCommand)->Unit(benchmark::kMillisecond)->UseRealTime();

// A double click: the list goes to the queue in display order (made on a
// worker); the time until the queue has it, and the longest main-thread turn.
void BM_PlayFromRow(benchmark::State& state)
{
    Screen screen;
    TrackListController& controller = screen.songList.view.controller();
    int row = 0;
    longestTurnMs = 0;
    for (auto _ : state) {
        row = (row + 997) % controller.model().rowCount();
        const qsizetype before = screen.songList.queue.played;
        double start = threadCpuMs();
        controller.selectAndPlay(controller.model().track(row));
        longestTurnMs = std::max(longestTurnMs, threadCpuMs() - start);
        while (screen.songList.queue.played == before) {
            start = threadCpuMs();
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
            longestTurnMs = std::max(longestTurnMs, threadCpuMs() - start);
        }
    }
    state.counters["longest_main_thread_turn_ms"] = longestTurnMs;
}
BENCHMARK(BM_PlayFromRow)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
} // namespace kivo

int main(int argc, char** argv)
{
    return kivo::bench::runGuiBenchmarks(argc, argv, [] {
        kivo::loadEonFonts();
        kivo::smallerLibrary();
    });
}
