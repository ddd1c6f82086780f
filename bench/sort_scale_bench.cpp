// Sorting as the library grows: 100,000 → 200,000 → 400,000 songs. What a
// header click waits for when the field is not ordered yet (the worker's
// order of the field, texts through collation keys), and the main thread's
// part of a click on a shown table whose orders are made. Target: each
// doubling costs at most 2.3 times as much (n log n), never 4 times.
#include "GuiBenchMain.h"
#include "SyntheticLibrary.h"
#include "platform/UndoManager.h"
#include "platform/UserDefaults.h"
#include "ui/eon/EonFonts.h"
#include "ui/songtable/TrackListTableView.h"
#include "ui/songtable/TrackTableLayoutState.h"
#include "ui/songtable/TrackTableModel.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace kivo {
namespace {

const QList<Track>& library(qsizetype count)
{
    return bench::syntheticLibraryOf(count);
}

void settle(const TrackTableModel& model)
{
    while (!model.isUpToDate()) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
}

// On one thread (the background order of a field, and the CPU time it
// costs), or spread over the pool (a field someone waits for).
void BM_OrderAField(benchmark::State& state)
{
    const QList<Track>& tracks = library(state.range(1));
    const TrackSortField field = TrackSortField(state.range(0));
    const bool parallel = state.range(2) != 0;
    const std::vector<int> idRank = TrackSortIndex::idRanks(tracks);
    for (auto _ : state) {
        benchmark::DoNotOptimize(TrackSortIndex::makeFieldOrder(tracks, idRank, field, parallel));
    }
    state.SetLabel(rawValue(field).toStdString() + (parallel ? ", all cores" : ", one thread"));
}
BENCHMARK(BM_OrderAField)
    ->ArgsProduct({ { int(TrackSortField::title), int(TrackSortField::artist),
                        int(TrackSortField::duration) },
        { 100000, 200000, 400000 }, { 0, 1 } })
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// 100,000, 200,000 and 400,000 songs, with the fit to n log n.
void bySize(benchmark::internal::Benchmark* benchmark)
{
    benchmark->Arg(100000)
        ->Arg(200000)
        ->Arg(400000)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime()
        ->Complexity(benchmark::oNLogN);
}

// The ids' order, made once per list: the ties of every field.
void BM_OrderTheIDs(benchmark::State& state)
{
    const QList<Track>& tracks = library(state.range(0));
    for (auto _ : state) {
        benchmark::DoNotOptimize(TrackSortIndex::idRanks(tracks));
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_OrderTheIDs)->Apply(bySize);

// A click on Title of a shown table, alternating the direction, every field
// ordered already: what the main thread does until the view shows it.
void BM_ClickOnAShownTable(benchmark::State& state)
{
    QTemporaryDir folder;
    TrackTableLayoutState layout(
        std::make_shared<SettingsUserDefaults>(folder.filePath(QStringLiteral("settings.json"))));
    TrackTableModel model;
    model.setTracks(library(state.range(0)));
    settle(model);
    for (int column = 0; column < model.columnCount(); ++column) {
        model.sort(column);
        settle(model);
    }
    UndoManager undo;
    TrackListTableView view(layout, &model, &undo);
    view.resize(1320, 820);
    view.show();
    QCoreApplication::processEvents();
    const int title = int(TrackTableColumnID::title);
    bool ascending = false;
    for (auto _ : state) {
        ascending = !ascending;
        model.sort(title, ascending ? Qt::AscendingOrder : Qt::DescendingOrder);
        settle(model);
        QCoreApplication::processEvents();
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_ClickOnAShownTable)->Apply(bySize);

} // namespace
} // namespace kivo

int main(int argc, char** argv)
{
    return kivo::bench::runGuiBenchmarks(argc, argv, [] { kivo::loadEonFonts(); });
}
