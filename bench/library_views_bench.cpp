// The library components at 100,000 songs. Painting one viewport of the
// compact list and of the grid (scrolled to the middle), a header click that
// sorts the compact list (with the fields ordered in the background after the
// library changed, as a user's click finds them), and the grid's filter on
// one keystroke. Targets: a viewport paints in <= 8 ms; sorting <= 100 ms.
#include "GuiBenchMain.h"
#include "SyntheticLibrary.h"
#include "support/StubLibraryEngine.h"
#include "support/StubQueueEngine.h"
#include "ui/eon/EonFonts.h"
#include "ui/library/CompactLibraryListPresenter.h"
#include "ui/library/CompactLibraryListView.h"
#include "ui/library/LibraryGridArea.h"
#include "ui/library/LibraryGridLayout.h"
#include "ui/library/LibraryGridPresenter.h"

#include <QElapsedTimer>
#include <QImage>
#include <QListView>
#include <QScrollBar>
#include <benchmark/benchmark.h>

namespace kivo {
namespace {

const QList<Track>& library()
{
    static const QList<Track> tracks = bench::makeSyntheticLibrary(100000, 2001);
    return tracks;
}

class BenchLibrary : public test::StubLibraryEngine {
public:
    QList<Track> allTracks() const override { return library(); }
};

void settle(const CompactLibraryListModel& model)
{
    while (!model.isUpToDate()) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
}

// Lets the background ordering of every field finish.
void orderEveryField(CompactLibraryListPresenter& presenter)
{
    for (int field = 0; field < 12; ++field) {
        presenter.sortBy(TrackSortField(field));
        settle(presenter.model());
    }
    presenter.sortBy(TrackSortField::title);
    settle(presenter.model());
}

void BM_CompactListViewportPaint(benchmark::State& state)
{
    BenchLibrary engine;
    test::StubQueueEngine queue;
    CompactLibraryListPresenter presenter(engine, queue);
    settle(presenter.model());
    CompactLibraryListView view(presenter);
    view.resize(1320, 820);
    view.show();
    QCoreApplication::processEvents();
    QScrollBar* bar = view.list()->verticalScrollBar();
    bar->setValue(bar->maximum() / 2);
    presenter.select(view.list()->indexAt(QPoint(10, 100)).row());
    QImage image(view.list()->viewport()->size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        image.fill(Qt::black);
        view.list()->viewport()->render(&image);
    }
    state.SetLabel(std::to_string(view.list()->viewport()->height() / 40 + 1) + " rows");
}
BENCHMARK(BM_CompactListViewportPaint)->Unit(benchmark::kMillisecond)->UseRealTime();

// From the header click to the list shown in the new order.
void BM_CompactListSortClick(benchmark::State& state)
{
    BenchLibrary engine;
    test::StubQueueEngine queue;
    CompactLibraryListPresenter presenter(engine, queue);
    settle(presenter.model());
    orderEveryField(presenter);
    const auto field = TrackSortField(state.range(0));
    for (auto _ : state) {
        presenter.sortBy(field);
        settle(presenter.model());
    }
}
BENCHMARK(BM_CompactListSortClick)
    ->Arg(int(TrackSortField::artist))
    ->Arg(int(TrackSortField::duration))
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// A click right after the library changed, before the background ordering
// could run: the clicked field is ordered while the user waits.
void BM_CompactListSortRightAfterChange(benchmark::State& state)
{
    BenchLibrary engine;
    test::StubQueueEngine queue;
    CompactLibraryListPresenter presenter(engine, queue);
    settle(presenter.model());
    int round = 0;
    for (auto _ : state) {
        state.PauseTiming();
        QList<Track> tracks = library();
        tracks[round++ % tracks.size()].title += QStringLiteral("!");
        presenter.model().setTracks(tracks);
        settle(presenter.model());
        state.ResumeTiming();
        presenter.sortBy(TrackSortField::artist);
        settle(presenter.model());
        state.PauseTiming();
        presenter.sortBy(TrackSortField::title);
        settle(presenter.model());
        state.ResumeTiming();
    }
}
BENCHMARK(BM_CompactListSortRightAfterChange)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_GridViewportPaint(benchmark::State& state)
{
    LibraryGridPresenter presenter;
    presenter.setLibraryTracks(library());
    LibraryGridArea area(presenter.model());
    area.resize(1000, 800);
    area.setItemWidth(double(state.range(0)), false);
    area.verticalScrollBar()->setValue(area.verticalScrollBar()->maximum() / 2);
    QImage image(area.viewport()->size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        area.viewport()->render(&image);
    }
    state.SetLabel(std::to_string(area.layout().columns) + " columns");
}
BENCHMARK(BM_GridViewportPaint)->Arg(120)->Arg(240)->Unit(benchmark::kMillisecond)->UseRealTime();

// One keystroke in the host's search field: the grid filters every song.
void BM_GridFilter(benchmark::State& state)
{
    LibraryGridPresenter presenter;
    presenter.setLibraryTracks(library());
    int round = 0;
    for (auto _ : state) {
        presenter.setSearchQuery(round++ % 2 ? QStringLiteral("night") : QStringLiteral("nigh"));
    }
    state.SetLabel(std::to_string(presenter.model().rowCount()) + " shown");
}
BENCHMARK(BM_GridFilter)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
} // namespace kivo

int main(int argc, char** argv)
{
    return kivo::bench::runGuiBenchmarks(argc, argv, [] {
        kivo::loadEonFonts();
        kivo::library();
    });
}
