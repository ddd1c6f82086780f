// Switching the content column between All Songs, Favourites and a 5,000-song
// playlist on a 100,000-track library, through the real window: from the
// sidebar's selection to the new screen with its table ordered and painted.
// Target: <= 100 ms per switch.
#include "BenchMain.h"
#include "GuiBenchMain.h"
#include "SyntheticStore.h"
#include "app/DIContainer.h"
#include "app/MainLayoutView.h"
#include "app/MainWindow.h"
#include "app/TavrenMediaStudioApp.h"
#include "engines/library/LibraryEngineImpl.h"
#include "engines/library/PlaylistEngineImpl.h"
#include "platform/UserDefaults.h"
#include "ui/eon/EonAppearance.h"
#include "ui/songtable/TrackListTableView.h"
#include "ui/songtable/TrackListView.h"
#include "ui/songtable/TrackTableModel.h"

#include <QElapsedTimer>
#include <QImage>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <ctime>

using namespace Qt::Literals::StringLiterals;

namespace kivo {
namespace {

constexpr int trackCount = 100000;
constexpr int playlistSize = 5000;

struct Studio {
    QTemporaryDir folder;
    std::unique_ptr<TavrenMediaStudioApp> app;
    std::optional<NavigationDestination> playlist;
};

double threadCpuMs()
{
    timespec now {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

Studio& studio()
{
    static Studio shared;
    return shared;
}

void prepare()
{
    Studio& s = studio();
    const QString data = s.folder.filePath(u"data"_s);
    const auto defaults
        = std::make_shared<SettingsUserDefaults>(s.folder.filePath(u"settings.json"_s));
    bench::writeSyntheticStore(data, defaults, trackCount, 500);
    s.app = std::make_unique<TavrenMediaStudioApp>(
        DIContainerOptions { data, defaults, nullptr, s.folder.filePath(u"home"_s) });
    LibraryEngine& library = s.app->container().libraryEngine();
    while (library.allTracks().size() < trackCount) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    }
    PlaylistEngine& playlists = s.app->container().playlistEngine();
    const Playlist mix = playlists.createPlaylist(u"Five Thousand"_s);
    playlists.addTracks(library.allTracks().mid(40000, playlistSize), mix.id);
    s.playlist = NavigationDestination::playlist(mix.id);
    s.app->mainWindow().show();
    QCoreApplication::processEvents();
}

// Selects `destination`, then runs the event loop until the new screen's
// table is ordered, and paints the content column once.
// The parts of the last switch: building the screen on the main thread, then
// waiting for its table's order, then painting.
struct Parts {
    double buildMs = 0;
    double buildCpuMs = 0; // the main thread's own time in it
    double orderMs = 0;
    double paintMs = 0;
};

Parts showAndPaint(const NavigationDestination& destination, QImage& image)
{
    Parts parts;
    QElapsedTimer clock;
    clock.start();
    const double cpuStart = threadCpuMs();
    MainLayoutView& layout = studio().app->mainWindow().layoutView();
    layout.presenter().setSelection(destination);
    auto* list = layout.contentScreen()->findChild<TrackListView*>();
    TrackTableModel* model = list->table()->trackModel();
    parts.buildMs = double(clock.nsecsElapsed()) / 1e6;
    parts.buildCpuMs = threadCpuMs() - cpuStart;
    while (!model->isUpToDate()) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    QCoreApplication::processEvents();
    parts.orderMs = double(clock.nsecsElapsed()) / 1e6 - parts.buildMs;
    layout.contentRegion().render(&image);
    parts.paintMs = double(clock.nsecsElapsed()) / 1e6 - parts.buildMs - parts.orderMs;
    return parts;
}

NavigationDestination destination(int which)
{
    switch (which) {
    case 0:
        return NavigationDestination::songs();
    case 1:
        return NavigationDestination::favorites();
    default:
        return *studio().playlist;
    }
}

// Arg: the screen switched to (0 All Songs, 1 Favourites, 2 the playlist),
// each time from the one before it in that cycle.
void BM_SwitchScreen(benchmark::State& state)
{
    const int target = int(state.range(0));
    QImage image(studio().app->mainWindow().layoutView().contentRegion().size(),
        QImage::Format_ARGB32_Premultiplied);
    Parts total;
    for (auto _ : state) {
        state.PauseTiming();
        showAndPaint(destination((target + 2) % 3), image);
        state.ResumeTiming();
        const Parts parts = showAndPaint(destination(target), image);
        total.buildMs += parts.buildMs;
        total.buildCpuMs += parts.buildCpuMs;
        total.orderMs += parts.orderMs;
        total.paintMs += parts.paintMs;
    }
    const double runs = double(state.iterations());
    state.counters["build_ms"] = total.buildMs / runs;
    state.counters["build_cpu_ms"] = total.buildCpuMs / runs;
    state.counters["order_ms"] = total.orderMs / runs;
    state.counters["paint_ms"] = total.paintMs / runs;
    const char* names[] = { "All Songs", "Favorites", "5,000-song playlist" };
    state.SetLabel(names[target]);
}
BENCHMARK(BM_SwitchScreen)
    ->Arg(0)
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(10);

} // namespace
} // namespace kivo

int main(int argc, char** argv)
{
    return kivo::bench::runGuiBenchmarks(
        argc, argv,
        [] {
            kivo::applyEonAppearance();
            kivo::prepare();
        },
        [] { kivo::studio().app.reset(); });
}
