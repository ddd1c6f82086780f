// The whole program as a user meets it, at 10,000 / 100,000 / 200,000 songs:
// the real window over a synthetic library (offscreen unless the caller gives
// a platform). For each size a fresh process reports
//   - start-up: process start to the song table showing the whole library,
//     and whether the list said the library was empty before that;
//   - memory: the peak and settled resident size with the table shown;
//   - for each action, the longest main-thread turn (thread CPU time, see
//     TurnMeter), the time until it shows and the peak resident size while
//     it runs (the peak is reset before each action). Among the actions:
//     playing the whole library with the queue panel open, and typing a
//     one-letter and a many-hit query into the search overlay, hosted over
//     the content as a screen would host it (no screen shows it yet), until
//     its list shows the results.
// Targets: turns of at most 50 ms; start-up 1.0 s at 100,000 and 2.0 s at
// 200,000 songs; at most 250 MB at 100,000 and 450 MB at 200,000 and no more
// than 1.3 times the settled size during an action; an import of 20,000
// files shown within 4 s.
//   bench_window_scale_bench [--songs N] [--import FILES]
//   bench_window_scale_bench --write N FILES FOLDER  (child) writes the store
//   bench_window_scale_bench --measure N FOLDER [--only TEXT]
//                            (child) runs the window, only the actions named TEXT
#include "ChildProcess.h"
#include "ProcessMemory.h"
#include "SyntheticStore.h"
#include "TurnMeter.h"
#include "app/DIContainer.h"
#include "app/MainLayoutPresenter.h"
#include "app/MainLayoutView.h"
#include "app/MainWindow.h"
#include "app/TavrenMediaStudioApp.h"
#include "engines/library/LibraryEngineImpl.h"
#include "engines/library/SearchEngineImpl.h"
#include "engines/playback/FakeAudioPlayer.h"
#include "engines/playback/QueueEngineImpl.h"
#include "platform/FreedMemory.h"
#include "support/WavWriter.h"
#include "ui/eon/EonAppearance.h"
#include "ui/library/SearchOverlayView.h"
#include "ui/player/BottomPlayerView.h"
#include "ui/player/PlayerBarPresenter.h"
#include "ui/player/QueueView.h"
#include "ui/songtable/TrackListController.h"
#include "ui/songtable/TrackListView.h"
#include "ui/songtable/TrackTableModel.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdarg>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

using namespace kivo;
using namespace Qt::Literals::StringLiterals;

namespace {

using bench::runChild;
using bench::statusKiB;

// The peak resident size starts again from the current one.
void resetPeak()
{
    const int file = ::open("/proc/self/clear_refs", O_WRONLY);
    if (file >= 0) {
        (void)!::write(file, "5", 1);
        ::close(file);
    }
}

double mib(qint64 kib)
{
    return double(kib) / 1024;
}

void say(const char* line)
{
    std::puts(line);
    std::fflush(stdout);
}

// One printf-formatted line.
__attribute__((format(printf, 1, 2))) void sayf(const char* format, ...)
{
    va_list arguments;
    va_start(arguments, format);
    std::vprintf(format, arguments);
    va_end(arguments);
    say("");
}

std::shared_ptr<UserDefaults> defaultsIn(const QString& folder)
{
    return std::make_shared<SettingsUserDefaults>(folder + u"/settings.json"_s);
}

// The store, and `importCount` files of one short tone (links to one file)
// ready to import.
int writeStore(int count, int importCount, const QString& folder)
{
    bench::writeSyntheticStore(folder + u"/data"_s, defaultsIn(folder), count, count / 2);
    QDir(folder).mkpath(u"import"_s);
    const QString tone = folder + u"/tone.wav"_s;
    test::writeWav(tone, { 8000, 1, 0.2 });
    for (int i = 0; i < importCount; ++i) {
        const QString file = u"%1/import/Imported %2.wav"_s.arg(folder).arg(i, 5, 10, QChar(u'0'));
        if (::link(QFile::encodeName(tone).constData(), QFile::encodeName(file).constData()) != 0) {
            QFile::copy(tone, file);
        }
    }
    return 0;
}

QList<QUrl> importFilesIn(const QString& folder)
{
    QList<QUrl> files;
    const QDir imports(folder + u"/import"_s);
    for (const QString& name : imports.entryList(QDir::Files, QDir::Name)) {
        files.push_back(QUrl::fromLocalFile(imports.filePath(name)));
    }
    return files;
}

class WindowUnderTest {
public:
    explicit WindowUnderTest(const QString& folder)
        : m_studio(DIContainerOptions { folder + u"/data"_s, defaultsIn(folder),
            std::make_shared<test::FakeAudioPlayerFactory>(), folder + u"/home"_s })
    {
        m_studio.mainWindow().resize(1440, 900);
        m_studio.mainWindow().show();
    }

    // The bench reads the engines' internals, which the container keeps
    // behind their interfaces.
    TavrenLibraryEngine& library() const
    {
        return static_cast<TavrenLibraryEngine&>(m_studio.container().libraryEngine());
    }
    TavrenQueueEngine& queue() const
    {
        return static_cast<TavrenQueueEngine&>(m_studio.container().queueEngine());
    }
    MainLayoutView& layout() const { return m_studio.mainWindow().layoutView(); }

    // The song list the content area shows, if any.
    TrackListController* list() const
    {
        QWidget* screen = layout().contentScreen();
        auto* view = screen ? screen->findChild<TrackListView*>() : nullptr;
        return view ? &view->controller() : nullptr;
    }
    // The list shows `rows` rows, in order.
    bool shows(qsizetype rows) const
    {
        const TrackListController* shown = list();
        return shown && shown->model().rowCount() == rows && shown->model().isUpToDate();
    }
    bool saysEmpty() const
    {
        const TrackListController* shown = list();
        return shown && shown->tracks().isEmpty()
            && shown->emptyState().title == u"No songs in library"_s;
    }

private:
    TavrenMediaStudioApp m_studio;
};

// Set by --only TEXT: only the actions whose names contain it run (for a
// profiler).
QByteArray onlyActions;

bool wanted(const char* name)
{
    return onlyActions.isEmpty() || QByteArray(name).contains(onlyActions);
}

// Runs `action`, then the event loop until `settled`; prints the longest turn,
// the wall time until settled and the peak memory meanwhile.
void measureAction(const char* name, qint64 settledKiB, const std::function<void()>& action,
    const std::function<bool()>& settled)
{
    if (!wanted(name)) {
        return;
    }
    resetPeak();
    bench::TurnMeter meter;
    QElapsedTimer wall;
    wall.start();
    meter.time(action);
    meter.settle(settled);
    const qint64 peak = statusKiB("VmHWM");
    sayf("%-22s longest turn %7.1f ms, shown after %6lld ms, peak %6.1f MiB "
         "(%.2f x settled)",
        name, meter.longestMs(), static_cast<long long>(wall.elapsed() - 50), mib(peak),
        double(peak) / double(settledKiB));
}

// Runs one engine task to its end, with the list showing `rows` rows after it.
template <typename MakeTask>
void measureTask(
    const char* name, qint64 settledKiB, WindowUnderTest& window, qsizetype rows, MakeTask makeTask)
{
    if (!wanted(name)) {
        return;
    }
    bool done = false;
    std::optional<QCoro::Task<>> running;
    measureAction(
        name, settledKiB,
        [&] {
            running.emplace([](MakeTask make, bool& finished, const char* action) -> QCoro::Task<> {
                try {
                    co_await make();
                } catch (const std::exception& error) {
                    sayf("%-22s failed: %s", action, error.what());
                }
                finished = true;
            }(makeTask, done, name));
        },
        [&] { return done && window.shows(rows); });
}

// Turns the event loop without spinning: processEvents() given a time ignores
// WaitForMoreEvents, and a spinning main thread takes a core from the workers
// whose time is measured. The heartbeat wakes the loop to look again.
void turnUntil(const std::function<bool()>& done)
{
    QTimer heartbeat;
    heartbeat.start(5);
    while (!done()) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
}

void wait(int milliseconds)
{
    QElapsedTimer timer;
    timer.start();
    turnUntil([&timer, milliseconds] { return timer.elapsed() >= milliseconds; });
}

void measureQueuePanel(
    WindowUnderTest& window, qint64 settled, const Track& restored, qsizetype middle);
void measureSearches(WindowUnderTest& window, qint64 settled);

int runWindow(qsizetype songs, const QString& folder)
{
    WindowUnderTest window(folder);
    bool saidEmpty = false;
    QElapsedTimer heartbeat;
    heartbeat.start();
    turnUntil([&] {
        saidEmpty = saidEmpty || window.saysEmpty();
        return window.shows(songs) || heartbeat.elapsed() > 120000;
    });
    if (!window.shows(songs)) {
        say("never shown");
        return 1;
    }
    say("shown");
    const QList<QUrl> importFiles = importFilesIn(folder);
    const qint64 startPeak = statusKiB("VmHWM");
    wait(3000);
    const qint64 settled = statusKiB("VmRSS");
    sayf("%-22s %s", "said empty first", saidEmpty ? "YES" : "no");
    sayf("%-22s peak %6.1f MiB (%.0f MB) up to the table shown, settled "
         "%6.1f MiB (%.0f MB)",
        "memory", mib(startPeak), double(startPeak) * 1.024 / 1000, mib(settled),
        double(settled) * 1.024 / 1000);

    TavrenLibraryEngine& library = window.library();
    const qsizetype middle = songs / 2;
    measureTask("edit one song", settled, window, songs, [&library, middle] {
        Track track = library.internalTracks().at(middle);
        track.title = u"Edited title"_s;
        return library.updateTrack(std::move(track));
    });
    measureTask("favourite one song", settled, window, songs, [&library, middle] {
        Track track = library.internalTracks().at(middle / 2);
        track.rating = track.rating >= 4 ? 0 : 5;
        return library.updateTrack(std::move(track));
    });
    const Track removed = library.internalTracks().at(middle + 1);
    // Undo puts back a song whose file still exists.
    Track restored = removed;
    restored.fileURL = QUrl::fromLocalFile(folder + u"/tone.wav"_s);
    restored.securityScopedBookmark.reset();
    measureTask("remove one song", settled, window, songs - 1,
        [&library, removed] { return library.removeTrack(removed, false); });
    measureTask("undo the removal", settled, window, songs,
        [&library, restored] { return library.restoreTrack(restored); });

    MainLayoutPresenter& presenter = window.layout().presenter();
    // The synthetic library has favourites: the screen shows once they are listed.
    measureAction(
        "switch screens", settled,
        [&] { presenter.setSelection(NavigationDestination::favorites()); },
        [&] {
            return window.list() && window.list()->model().rowCount() > 0
                && window.list()->model().isUpToDate();
        });
    measureAction(
        "switch back to songs", settled,
        [&] { presenter.setSelection(NavigationDestination::songs()); },
        [&] { return window.shows(songs); });
    measureAction(
        "select all", settled, [&] { window.list()->selectAll(); }, [] { return true; });
    window.list()->deselectAll();

    TavrenQueueEngine& queue = window.queue();
    measureAction(
        "play the whole list", settled, [&] { queue.playNow(library.internalTracks(), 0); },
        [&] { return !queue.isReordering(); });
    measureAction(
        "shuffle on", settled, [&] { queue.setShuffleMode(ShuffleMode::standard); },
        [&] { return !queue.isReordering(); });
    measureAction(
        "shuffle off", settled, [&] { queue.setShuffleMode(ShuffleMode::off); },
        [&] { return !queue.isReordering(); });

    // Each part below is set up only when one of its actions runs, so that an
    // action measured on its own meets the program as the settled figure did.
    if (wanted("queue")) {
        measureQueuePanel(window, settled, restored, middle);
    }
    if (wanted("search")) {
        measureSearches(window, settled);
    }

    if (!importFiles.isEmpty()) {
        measureTask("import files", settled, window, songs + importFiles.size(),
            [&library, importFiles] { return library.importFiles(importFiles); });
    }
    return 0;
}

// The synthetic songs' saved access cannot be restored, so a list starts
// playing only from a song whose file opens by its path.
void measureQueuePanel(
    WindowUnderTest& window, qint64 settled, const Track& restored, qsizetype middle)
{
    TavrenQueueEngine& queue = window.queue();
    const qsizetype songs = window.library().internalTracks().size();
    QList<Track> playable = window.library().internalTracks();
    playable[middle] = restored;
    PlayerBarPresenter& player = window.layout().bottomPlayer().presenter();
    const auto queuePanel = [&] { return window.layout().bottomPlayer().queuePanel(); };
    measureAction(
        "open the queue", settled, [&] { player.toggleQueue(); }, [&] { return queuePanel(); });
    measureAction(
        "play all, queue open", settled, [&] { queue.playNow(playable, middle); },
        [&] {
            // NOW PLAYING, UPCOMING and HISTORY, each with its header.
            return !queue.isReordering() && queue.currentTrack()
                && queuePanel()->model().rowCount() == songs + 3;
        });
    measureAction(
        "scroll the queue", settled, [&] { queuePanel()->list().scrollToBottom(); },
        [] { return true; });
    player.toggleQueue();
}

// The overlay as a host would show it: typing goes to the engine, the
// engine's results to the overlay.
void measureSearches(WindowUnderTest& window, qint64 settled)
{
    TavrenSearchEngine search;
    search.updateTracks(window.library().internalTracks());
    SearchOverlayView overlay(&window.layout().contentRegion());
    QObject::connect(
        &overlay, &SearchOverlayView::searchQueryChanged, &search, [&](const QString& query) {
            overlay.setSearchQuery(query);
            search.updateQuery(query);
        });
    QObject::connect(&search, &SearchEngine::resultsPublished, &overlay,
        [&](const SearchResults& results) { overlay.setResults(results); });
    overlay.show();
    overlay.raise();
    overlay.field()->setFocus();
    wait(300);
    const auto type = [&](const QString& text) {
        for (const QChar letter : text) {
            QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(letter));
            QCoreApplication::sendEvent(overlay.field(), &press);
        }
    };
    const auto resultsShow = [&](const QString& query) {
        return overlay.results().query == query && overlay.resultsList()->isVisible()
            && overlay.resultsList()->model()->rowCount() > 0;
    };
    for (const QString& query : { u"e"_s, u"night"_s }) {
        const QByteArray name = "search " + query.toUtf8();
        measureAction(
            name.constData(), settled, [&] { type(query); }, [&] { return resultsShow(query); });
        overlay.clear();
        wait(300);
    }
    overlay.hide();
}

// Writes the store, then runs the window over it, timing its start-up.
void runSize(int songs, int importCount)
{
    QTemporaryDir dir;
    runChild({ u"--write"_s, QString::number(songs), QString::number(importCount), dir.path() });
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QElapsedTimer started;
    started.start();
    child.start(QCoreApplication::applicationFilePath(),
        { u"--measure"_s, QString::number(songs), dir.path() });
    std::printf("%d songs:\n", songs);
    while (child.state() != QProcess::NotRunning || child.canReadLine()) {
        child.waitForReadyRead(100);
        while (child.canReadLine()) {
            const QByteArray line = child.readLine().trimmed();
            if (line == "shown") {
                std::printf("  %-22s %lld ms after process start\n", "library shown",
                    static_cast<long long>(started.elapsed()));
            } else {
                std::printf("  %s\n", line.constData());
            }
            std::fflush(stdout);
        }
    }
}

} // namespace

int main(int argc, char** argv)
{
    // As the program starts.
    kivo::returnLargeBlocksWhenFreed();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments().mid(1);
    if (arguments.size() == 4 && arguments[0] == u"--write"_s) {
        return writeStore(arguments[1].toInt(), arguments[2].toInt(), arguments[3]);
    }
    if (arguments.size() >= 3 && arguments[0] == u"--measure"_s) {
        if (arguments.size() == 5 && arguments[3] == u"--only"_s) {
            onlyActions = arguments[4].toUtf8();
        }
        applyEonAppearance();
        return runWindow(arguments[1].toInt(), arguments[2]);
    }
    QList<int> sizes { 10000, 100000, 200000 };
    int importCount = 20000;
    for (qsizetype i = 0; i + 1 < arguments.size(); i += 2) {
        if (arguments[i] == u"--songs"_s) {
            sizes = { arguments[i + 1].toInt() };
        } else if (arguments[i] == u"--import"_s) {
            importCount = arguments[i + 1].toInt();
        }
    }
    for (const int songs : sizes) {
        runSize(songs, importCount);
    }
    return 0;
}
