// The song table at 100,000 tracks. A library change: the time until the
// table shows the new list (ordered on the model's worker) and the main
// thread's share of it (the model reset). A header click that sorts by Title
// or by Duration: with the fields ordered in the background after the change,
// and right after the change while that is still under way. What the worker
// spends ordering one field (collation keys for Title). Select all, and the
// cell texts of one full viewport (30 rows), and painting one viewport.
// Targets: sort <= 100 ms from click to sorted model; no main-thread stall
// over 50 ms.
#include "BenchMain.h"
#include "GuiBenchMain.h"
#include "SyntheticLibrary.h"
#include "platform/UndoManager.h"
#include "platform/UserDefaults.h"
#include "ui/eon/EonFonts.h"
#include "ui/songtable/TrackListSelectionCommands.h"
#include "ui/songtable/TrackListTableView.h"
#include "ui/songtable/TrackSelectionState.h"
#include "ui/songtable/TrackTableGeometry.h"
#include "ui/songtable/TrackTableLayoutState.h"
#include "ui/songtable/TrackTableModel.h"

#include <QElapsedTimer>
#include <QImage>
#include <QScrollBar>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <ctime>

namespace kivo {
namespace {

const QList<Track>& library()
{
    static const QList<Track> tracks = bench::makeSyntheticLibrary(100000, 2001);
    return tracks;
}

double threadCpuMs()
{
    timespec now {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

// The most main-thread time one turn of the event loop took: the longest the
// window could have stalled.
double longestTurnMs = 0;

void settle(const TrackTableModel& model)
{
    while (!model.isUpToDate()) {
        const double start = threadCpuMs();
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        longestTurnMs = std::max(longestTurnMs, threadCpuMs() - start);
    }
}

// Waits until every field is ordered: a click on each then takes effect at once.
void orderEveryField(TrackTableModel& model)
{
    for (int column = 0; column < model.columnCount(); ++column) {
        model.sort(column);
        settle(model);
    }
}

void BM_LibraryChangeUntilShown(benchmark::State& state)
{
    TrackTableModel model;
    model.setSortOrder({ state.range(0) == 0 ? TrackSortField::title : TrackSortField::duration });
    double resetMs = 0;
    int resets = 0;
    QElapsedTimer resetTimer;
    QObject::connect(&model, &TrackTableModel::modelAboutToBeReset, [&] { resetTimer.start(); });
    QObject::connect(&model, &TrackTableModel::modelReset, [&] {
        resetMs += resetTimer.nsecsElapsed() / 1e6;
        ++resets;
    });
    longestTurnMs = 0;
    for (auto _ : state) {
        state.PauseTiming();
        QList<Track> changed = library();
        changed.detach(); // a new list: none of its orders is known yet
        state.ResumeTiming();
        const double start = threadCpuMs();
        model.setTracks(std::move(changed));
        longestTurnMs = std::max(longestTurnMs, threadCpuMs() - start);
        settle(model);
    }
    state.counters["main_thread_reset_ms"] = resets > 0 ? resetMs / resets : 0;
    state.counters["longest_main_thread_turn_ms"] = longestTurnMs;
    state.SetLabel(state.range(0) == 0 ? "sorted by Title" : "sorted by Duration");
}
BENCHMARK(BM_LibraryChangeUntilShown)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

// Clicks alternate between the column and Date Added, so each one reorders.
void BM_SortClick(benchmark::State& state)
{
    const int column
        = int(state.range(0) == 0 ? TrackTableColumnID::title : TrackTableColumnID::duration);
    TrackTableModel model;
    model.setTracks(library());
    settle(model);
    orderEveryField(model);
    bool ascending = false;
    for (auto _ : state) {
        ascending = !ascending;
        model.sort(column, ascending ? Qt::AscendingOrder : Qt::DescendingOrder);
        settle(model);
        state.PauseTiming();
        model.sort(int(TrackTableColumnID::dateAdded));
        state.ResumeTiming();
    }
    state.SetLabel(state.range(0) == 0 ? "Title" : "Duration");
}
BENCHMARK(BM_SortClick)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

// The worst case: a click right after a library change, while the worker is
// still ordering the other fields.
void BM_SortClickRightAfterLibraryChange(benchmark::State& state)
{
    const int column
        = int(state.range(0) == 0 ? TrackTableColumnID::title : TrackTableColumnID::duration);
    for (auto _ : state) {
        state.PauseTiming();
        auto model = std::make_unique<TrackTableModel>();
        model->setSortOrder({ TrackSortField::dateAdded, true });
        QList<Track> changed = library();
        changed.detach(); // a new list: none of its orders is known yet
        model->setTracks(std::move(changed));
        settle(*model);
        state.ResumeTiming();
        model->sort(column);
        settle(*model);
        state.PauseTiming();
        model.reset();
        state.ResumeTiming();
    }
    state.SetLabel(state.range(0) == 0 ? "Title" : "Duration");
}
BENCHMARK(BM_SortClickRightAfterLibraryChange)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// The worker's cost of one field: the id ranks are made once per list.
void BM_OrderOneField(benchmark::State& state)
{
    const TrackSortField field = TrackSortField(state.range(0));
    const std::vector<int> idRank = TrackSortIndex::idRanks(library());
    for (auto _ : state) {
        benchmark::DoNotOptimize(TrackSortIndex::makeFieldOrder(library(), idRank, field, true));
    }
    state.SetLabel(rawValue(field).toStdString());
}
BENCHMARK(BM_OrderOneField)
    ->Arg(int(TrackSortField::title))
    ->Arg(int(TrackSortField::duration))
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// Ctrl+A: the selection, the rows' states and the menu's counts.
void BM_SelectAll(benchmark::State& state)
{
    TrackTableModel model;
    model.setTracks(library());
    settle(model);
    TrackListSelectionCommandTarget target;
    for (auto _ : state) {
        TrackSelectionState selection;
        selection.selectAll(model.orderedIDs());
        model.setSelectedIDs(selection.selectedIDs());
        target.update(model.rowCount(), int(selection.selectedIDs().size()));
        state.PauseTiming();
        model.setSelectedIDs({});
        state.ResumeTiming();
    }
}
BENCHMARK(BM_SelectAll)->Unit(benchmark::kMillisecond)->UseRealTime();

// What a delegate reads to draw 30 rows of all twelve columns.
void BM_ViewportCellTexts(benchmark::State& state)
{
    TrackTableModel model;
    model.setTracks(library());
    settle(model);
    int first = 0;
    for (auto _ : state) {
        first = (first + 997) % (model.rowCount() - 30);
        for (int row = first; row < first + 30; ++row) {
            for (int column = 0; column < model.columnCount(); ++column) {
                const QModelIndex index = model.index(row, column);
                benchmark::DoNotOptimize(index.data(Qt::DisplayRole));
                benchmark::DoNotOptimize(index.data(TrackTableModel::RowStateRole));
            }
        }
    }
}
BENCHMARK(BM_ViewportCellTexts)->Unit(benchmark::kMicrosecond)->UseRealTime();

// Painting one full viewport of the table (a 1320 x 820 window) somewhere in
// the library, with a playing row and a selection in view. Target: <= 8 ms.
void BM_ViewportPaint(benchmark::State& state)
{
    QTemporaryDir folder;
    TrackTableLayoutState layout(
        std::make_shared<SettingsUserDefaults>(folder.filePath(QStringLiteral("settings.json"))));
    TrackTableModel model;
    model.setTracks(library());
    settle(model);
    UndoManager undo;
    TrackListTableView view(layout, &model, &undo);
    view.resize(1320, 820);
    view.show();
    QCoreApplication::processEvents();
    QImage image(view.viewport()->size(), QImage::Format_ARGB32_Premultiplied);
    int first = 0;
    for (auto _ : state) {
        state.PauseTiming();
        first = (first + 997) % (model.rowCount() - 30);
        view.verticalScrollBar()->setValue(first * TrackTableGeometry::rowHeight);
        model.setCurrentTrack(model.track(first + 2).id, true);
        model.setSelectedIDs({ model.track(first + 4).id, model.track(first + 5).id });
        image.fill(Qt::black);
        state.ResumeTiming();
        view.viewport()->render(&image);
    }
    state.SetLabel(
        std::to_string(view.viewport()->height() / TrackTableGeometry::rowHeight + 1) + " rows");
}
BENCHMARK(BM_ViewportPaint)->Unit(benchmark::kMillisecond)->UseRealTime();

// A selection change reaching a shown table: the model announces every row,
// the view repaints what shows.
void BM_SelectionChangeInView(benchmark::State& state)
{
    QTemporaryDir folder;
    TrackTableLayoutState layout(
        std::make_shared<SettingsUserDefaults>(folder.filePath(QStringLiteral("settings.json"))));
    TrackTableModel model;
    model.setTracks(library());
    settle(model);
    UndoManager undo;
    TrackListTableView view(layout, &model, &undo);
    view.resize(1320, 820);
    view.show();
    QCoreApplication::processEvents();
    int row = 0;
    for (auto _ : state) {
        row = (row + 997) % model.rowCount();
        model.setSelectedIDs({ model.track(row).id });
        QCoreApplication::processEvents();
    }
}
BENCHMARK(BM_SelectionChangeInView)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
} // namespace kivo

int main(int argc, char** argv)
{
    return kivo::bench::runGuiBenchmarks(argc, argv, [] {
        kivo::loadEonFonts();
        kivo::library();
    });
}
