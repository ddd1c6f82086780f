// The whole program as a user meets it, at 10,000 / 100,000 / 200,000 songs:
// the real window over a synthetic library (offscreen unless the caller gives
// a platform). For each size a fresh process reports
//   - start-up: process start to the song table showing the whole library,
//     and whether the list said the library was empty before that;
//   - memory: the peak and settled resident size with the table shown;
//   - for start-up and each action, the longest wall-clock stall of the main
//     thread (the largest gap between two beats of a 4 ms heartbeat, see
//     TurnMeter) with the longest turn's CPU time beside it, the time until
//     it shows and the peak resident size while it runs against the size
//     just before it (the peak is reset before each action). Among the
//     actions: playing the whole library (with the queue panel closed and
//     open) and shuffling it, each saying how many songs it queued; File >
//     Add Folder to Library of a tree of 3,000 folders, as the menu does it;
//     and typing a one-letter and a many-hit query into the search overlay,
//     hosted over the content as a screen would host it (no screen shows it
//     yet), until its list shows the results.
// A list counts as shown once its model is up to date and a paint of the
// table has finished after that. Each action runs in a fresh process unless
// --one-session asks for all of them in one.
// Targets: stalls of at most 50 ms; start-up 1.0 s at 100,000 and 2.0 s at
// 200,000 songs; at most 250 MB at 100,000 and 450 MB at 200,000 (through a
// whole session too) and no more than 1.3 times the size before an action
// during it; an import of 20,000 files shown within 4 s; with every core kept
// busy by other programs, start-up and adding a folder slowed no more than
// before.
// Usage: see usageText below (bench_window_scale_bench --help).
#include "ChildProcess.h"
#include "ProcessMemory.h"
#include "SyntheticStore.h"
#include "TurnMeter.h"
#include "app/DIContainer.h"
#include "app/MainLayoutPresenter.h"
#include "app/MainLayoutView.h"
#include "app/MainMenuBarCommands.h"
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
#include "ui/songtable/TrackListTableView.h"
#include "ui/songtable/TrackListView.h"
#include "ui/songtable/TrackTableModel.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QPointer>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <unistd.h>
#include <vector>

using namespace kivo;
using namespace Qt::Literals::StringLiterals;

namespace {

using bench::runChild;
using bench::statusKiB;

// The highest peak resident size of this process, across every reset.
qint64 sessionPeakKiB = 0;

// The peak resident size starts again from the current one.
void resetPeak()
{
    sessionPeakKiB = std::max(sessionPeakKiB, statusKiB("VmHWM"));
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

// Where "play all, queue open" starts: songs before it become the history.
qsizetype queueStart(qsizetype songs)
{
    return songs / 4;
}

// The tree that "add a folder" adds: 100 artists of 29 albums, 3,000
// folders, one song in each album.
constexpr int treeArtists = 100;
constexpr int treeAlbums = 29;
constexpr int treeSongs = treeArtists * treeAlbums;

void linkTone(const QString& tone, const QString& file)
{
    if (::link(QFile::encodeName(tone).constData(), QFile::encodeName(file).constData()) != 0) {
        QFile::copy(tone, file);
    }
}

// The store, `importCount` files of one short tone (links to one file) ready
// to import, and the tree of folders.
int writeStore(int count, int importCount, const QString& folder)
{
    QDir().mkpath(folder);
    const QString tone = folder + u"/tone.wav"_s;
    test::writeWav(tone, { 8000, 1, 0.2 });
    // The synthetic songs' saved access cannot be restored, so a list starts
    // playing only from a song whose file opens by its path.
    bench::writeSyntheticStore(
        folder + u"/data"_s, defaultsIn(folder), count, count / 2, [&](QList<Track>& songs) {
            for (const qsizetype playable : { qsizetype(0), queueStart(songs.size()) }) {
                songs[playable].fileURL = QUrl::fromLocalFile(tone);
                songs[playable].securityScopedBookmark.reset();
            }
        });
    QDir(folder).mkpath(u"import"_s);
    for (int i = 0; i < importCount; ++i) {
        linkTone(tone, u"%1/import/Imported %2.wav"_s.arg(folder).arg(i, 5, 10, QChar(u'0')));
    }
    for (int artist = 0; artist < treeArtists; ++artist) {
        for (int album = 0; album < treeAlbums; ++album) {
            const QString albumFolder
                = u"%1/tree/Artist %2/Album %3"_s.arg(folder).arg(artist).arg(album);
            QDir().mkpath(albumFolder);
            linkTone(tone, albumFolder + u"/01 Song.wav"_s);
        }
    }
    return 0;
}

// Answers the menu's folder chooser with one folder, as a user would.
class ChosenFolder final : public FolderChooser {
public:
    explicit ChosenFolder(QString folder)
        : m_folder(std::move(folder))
    {
    }
    void chooseFolders(QWidget*, std::function<void(QList<QUrl>)> done) override
    {
        QTimer::singleShot(0,
            [done = std::move(done), folder = m_folder] { done({ QUrl::fromLocalFile(folder) }); });
    }

private:
    QString m_folder;
};

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
    MainWindow& mainWindow() const { return m_studio.mainWindow(); }

    // The song list the content area shows, if any.
    TrackListController* list() const
    {
        QWidget* screen = layout().contentScreen();
        auto* view = screen ? screen->findChild<TrackListView*>() : nullptr;
        return view ? &view->controller() : nullptr;
    }
    // The list shows `rows` rows, in order, and the table has painted them:
    // once the model is up to date the bench asks for a paint and waits for
    // it to finish (the loop turns after the paint event).
    bool shows(qsizetype rows) const
    {
        const TrackListController* shown = list();
        if (!shown || shown->model().rowCount() != rows || !shown->model().isUpToDate()) {
            m_paints.disarm();
            return false;
        }
        return m_paints.paintedSince(
            layout().contentScreen()->findChild<TrackListView*>()->table()->viewport());
    }
    bool saysEmpty() const
    {
        const TrackListController* shown = list();
        return shown && shown->tracks().isEmpty()
            && shown->emptyState().title == u"No songs in library"_s;
    }

private:
    // Counts the paints of one widget from the moment it is armed.
    class PaintWatch final : public QObject {
    public:
        bool paintedSince(QWidget* widget)
        {
            if (m_widget != widget) {
                disarm();
                m_widget = widget;
                widget->installEventFilter(this);
                widget->update();
                return false;
            }
            return m_painted;
        }
        void disarm()
        {
            if (m_widget) {
                m_widget->removeEventFilter(this);
            }
            m_widget = nullptr;
            m_painted = false;
        }

    protected:
        bool eventFilter(QObject* watched, QEvent* event) override
        {
            if (watched == m_widget && event->type() == QEvent::Paint) {
                m_painted = true;
            }
            return false;
        }

    private:
        QPointer<QWidget> m_widget;
        bool m_painted = false;
    };

    TavrenMediaStudioApp m_studio;
    mutable PaintWatch m_paints;
};

// Set by --only TEXT: only the actions whose names contain it run (for a
// profiler).
QByteArray onlyActions;

bool wanted(const char* name)
{
    return onlyActions.isEmpty() || QByteArray(name).contains(onlyActions);
}

// Every action in the order a session runs them; a default run gives each
// its own process.
const char* const actionNames[] = { "edit one song", "favourite one song", "remove one song",
    "undo the removal", "switch screens", "switch back to songs", "select all",
    "play the whole list", "shuffle on", "shuffle off", "open the queue", "play all, queue open",
    "scroll the queue", "search e", "search night", "import files", "add a folder" };

// Adding the folder of files to import (what "import files" imports) runs
// only when asked for by name: after "import files" it would add nothing.
constexpr const char* addImportFolder = "add the import folder";

bool wantedAny(std::initializer_list<const char*> names)
{
    return std::any_of(names.begin(), names.end(), wanted);
}

// `beforeKiB`: the resident size before the action; 0 when there is none.
void report(const char* name, const bench::TurnMeter& meter, qint64 shownAfterMs, qint64 beforeKiB,
    const QByteArray& detail = {})
{
    const qint64 peak = statusKiB("VmHWM");
    const QByteArray ratio = beforeKiB > 0
        ? " (" + QByteArray::number(double(peak) / double(beforeKiB), 'f', 2) + " x before)"
        : QByteArray();
    sayf("%-22s longest stall %7.1f ms (CPU %6.1f ms), shown after %6lld ms, peak %6.1f MiB%s%s",
        name, meter.longestStallMs(), meter.longestMs(), static_cast<long long>(shownAfterMs),
        mib(peak), ratio.constData(), detail.constData());
}

// Runs `action`, then the event loop until `settled`; prints the longest
// stall, the wall time until settled, the peak memory meanwhile and what
// `detail` says afterwards.
void measureAction(const char* name, const std::function<void()>& action,
    const std::function<bool()>& settled, const std::function<QByteArray()>& detail = {})
{
    if (!wanted(name)) {
        return;
    }
    const qint64 before = statusKiB("VmRSS");
    resetPeak();
    bench::TurnMeter meter;
    QElapsedTimer wall;
    wall.start();
    meter.time(action);
    meter.settle(settled);
    report(name, meter, wall.elapsed() - 50, before, detail ? detail() : QByteArray());
}

// Runs one engine task to its end, with the list showing `rows` rows after it.
template <typename MakeTask>
void measureTask(const char* name, WindowUnderTest& window, qsizetype rows, MakeTask makeTask)
{
    if (!wanted(name)) {
        return;
    }
    bool done = false;
    std::optional<QCoro::Task<>> running;
    measureAction(
        name,
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
        bench::turnEventLoop();
    }
}

void wait(int milliseconds)
{
    QElapsedTimer timer;
    timer.start();
    turnUntil([&timer, milliseconds] { return timer.elapsed() >= milliseconds; });
}

void measureQueuePanel(WindowUnderTest& window);
void measureSearches(WindowUnderTest& window);
void measureAddFolder(
    WindowUnderTest& window, const char* name, const QString& folder, qsizetype added);

// How many songs the queue holds, as the queue actions print it.
QByteArray queuedText(const TavrenQueueEngine& queue)
{
    const qsizetype queued
        = queue.historyCount() + (queue.currentTrack() ? 1 : 0) + queue.upcomingCount();
    return ", " + QByteArray::number(queued) + " songs queued";
}

int runWindow(qsizetype songs, const QString& folder)
{
    WindowUnderTest window(folder);
    bool saidEmpty = false;
    bool shown = false;
    qint64 shownAfterMs = 0; // from the window made
    QElapsedTimer sinceStart;
    sinceStart.start();
    // From the window's first pass to the table shown, and on for 3 s while
    // the index fills and the session is restored.
    bench::TurnMeter startup;
    startup.settle([&] {
        saidEmpty = saidEmpty || window.saysEmpty();
        if (!shown && window.shows(songs)) {
            shown = true;
            shownAfterMs = sinceStart.elapsed();
            say("shown");
        }
        return shown || sinceStart.elapsed() > 120000;
    });
    if (!shown) {
        say("never shown");
        return 1;
    }
    const qint64 startPeak = statusKiB("VmHWM");
    QElapsedTimer sinceShown;
    sinceShown.start();
    startup.settle([&] { return sinceShown.elapsed() >= 3000; });
    report("start-up", startup, shownAfterMs, 0);
    const QList<QUrl> importFiles = importFilesIn(folder);
    const qint64 settled = statusKiB("VmRSS");
    sayf("%-22s %s", "said empty first", saidEmpty ? "YES" : "no");
    sayf("%-22s peak %6.1f MiB (%.0f MB) up to the table shown, settled "
         "%6.1f MiB (%.0f MB)",
        "memory", mib(startPeak), double(startPeak) * 1.024 / 1000, mib(settled),
        double(settled) * 1.024 / 1000);

    TavrenLibraryEngine& library = window.library();
    const qsizetype middle = songs / 2;
    measureTask("edit one song", window, songs, [&library, middle] {
        Track track = library.internalTracks().at(middle);
        track.title = u"Edited title"_s;
        return library.updateTrack(std::move(track));
    });
    measureTask("favourite one song", window, songs, [&library, middle] {
        Track track = library.internalTracks().at(middle / 2);
        track.rating = track.rating >= 4 ? 0 : 5;
        return library.updateTrack(std::move(track));
    });
    const Track removed = library.internalTracks().at(middle + 1);
    // Undo puts back a song whose file still exists.
    Track restored = removed;
    restored.fileURL = QUrl::fromLocalFile(folder + u"/tone.wav"_s);
    restored.securityScopedBookmark.reset();
    measureTask("remove one song", window, songs - 1,
        [&library, removed] { return library.removeTrack(removed, false); });
    if (!wanted("remove one song") && wanted("undo the removal")) {
        // Undo puts back a song that is gone, not one the library still has.
        bool done = false;
        QCoro::Task<> removing
            = [](TavrenLibraryEngine& engine, Track song, bool& finished) -> QCoro::Task<> {
            co_await engine.removeTrack(std::move(song), false);
            finished = true;
        }(library, removed, done);
        bench::TurnMeter().settle([&] { return done && window.shows(songs - 1); });
    }
    measureTask("undo the removal", window, songs,
        [&library, restored] { return library.restoreTrack(restored); });

    MainLayoutPresenter& presenter = window.layout().presenter();
    // The synthetic library has favourites: the screen shows once they are listed.
    measureAction(
        "switch screens", [&] { presenter.setSelection(NavigationDestination::favorites()); },
        [&] {
            return window.list() && window.list()->model().rowCount() > 0
                && window.list()->model().isUpToDate();
        });
    if (!wanted("switch screens") && wanted("switch back to songs")) {
        presenter.setSelection(NavigationDestination::favorites());
        bench::TurnMeter().settle(
            [&] { return window.list() && window.list()->model().isUpToDate(); });
    }
    measureAction(
        "switch back to songs", [&] { presenter.setSelection(NavigationDestination::songs()); },
        [&] { return window.shows(songs); });
    // A large list is selected a moment later: until every row shows selected.
    measureAction(
        "select all", [&] { window.list()->selectAll(); },
        [&] { return window.list()->selectionCount() == songs && window.shows(songs); });
    window.list()->deselectAll();

    // The library's first song plays (see writeStore), so the whole library
    // is queued; each shuffle measured on its own first gets that queue.
    TavrenQueueEngine& queue = window.queue();
    const auto reordered = [&] { return !queue.isReordering(); };
    const auto queued = [&] { return queuedText(queue); };
    // From the song table, as a double-click on the first song plays it.
    const auto playAll = [&] { window.list()->play(library.internalTracks().first()); };
    if (!wanted("play the whole list") && (wanted("shuffle on") || wanted("shuffle off"))) {
        playAll();
        bench::TurnMeter().settle(reordered);
    }
    if (!wanted("shuffle on") && wanted("shuffle off")) {
        queue.setShuffleMode(ShuffleMode::standard);
        bench::TurnMeter().settle(reordered);
    }
    measureAction("play the whole list", playAll, reordered, queued);
    measureAction(
        "shuffle on", [&] { queue.setShuffleMode(ShuffleMode::standard); }, reordered, queued);
    measureAction(
        "shuffle off", [&] { queue.setShuffleMode(ShuffleMode::off); }, reordered, queued);

    // Each part below is set up only when one of its actions runs, so that an
    // action measured on its own meets the program as the settled figure did.
    if (wantedAny({ "open the queue", "play all, queue open", "scroll the queue" })) {
        // The panel opens on the whole library queued, as after the actions above.
        if (!wanted("play the whole list")) {
            playAll();
            bench::TurnMeter().settle(reordered);
        }
        measureQueuePanel(window);
    }
    if (wantedAny({ "search e", "search night" })) {
        measureSearches(window);
    }

    if (!importFiles.isEmpty() && onlyActions != addImportFolder) {
        measureTask("import files", window, library.internalTracks().size() + importFiles.size(),
            [&library, importFiles] { return library.importFiles(importFiles); });
    }

    // As File > Add Folder to Library does it, with the chooser answering.
    if (wanted("add a folder")) {
        measureAddFolder(window, "add a folder", folder + u"/tree"_s, treeSongs);
    }
    if (onlyActions == addImportFolder) {
        measureAddFolder(window, addImportFolder, folder + u"/import"_s, importFiles.size());
    }
    if (onlyActions.isEmpty()) {
        sayf("%-22s resident %6.1f MiB, peak %6.1f MiB over the whole session", "session end",
            mib(statusKiB("VmRSS")), mib(std::max(sessionPeakKiB, statusKiB("VmHWM"))));
    }
    return 0;
}

void measureAddFolder(
    WindowUnderTest& window, const char* name, const QString& folder, qsizetype added)
{
    TavrenLibraryEngine& library = window.library();
    {
        ChosenFolder tree(folder);
        window.mainWindow().setFolderChooser(&tree);
        MainMenuBarCommands& commands = window.mainWindow().menuCommands();
        bool finished = false;
        QObject::connect(&commands, &MainMenuBarCommands::folderImportFinished,
            [&finished] { finished = true; });
        QObject::connect(&commands, &MainMenuBarCommands::alertRequested,
            [name](const QString& message, const QString& text) {
                sayf("%-22s failed: %s %s", name, qUtf8Printable(message), qUtf8Printable(text));
            });
        const qsizetype rows = library.internalTracks().size() + added;
        measureAction(
            name, [&] { commands.trigger(MenuCommand::addFolder); },
            [&] { return finished && window.shows(rows); });
        window.mainWindow().setFolderChooser(nullptr);
    }
}

void measureQueuePanel(WindowUnderTest& window)
{
    TavrenQueueEngine& queue = window.queue();
    const TavrenLibraryEngine& library = window.library();
    const qsizetype songs = library.internalTracks().size();
    PlayerBarPresenter& player = window.layout().bottomPlayer().presenter();
    const auto queuePanel = [&] { return window.layout().bottomPlayer().queuePanel(); };
    if (!wanted("open the queue")) {
        player.toggleQueue();
        bench::TurnMeter().settle([&] { return queuePanel() != nullptr; });
    }
    measureAction(
        "open the queue", [&] { player.toggleQueue(); }, [&] { return queuePanel(); },
        [&] { return queuedText(queue); });
    // A double-click on a song a quarter down the table: those above it go
    // to the history.
    measureAction(
        "play all, queue open",
        [&] { window.list()->play(window.list()->model().track(int(queueStart(songs)))); },
        [&] {
            // NOW PLAYING, UPCOMING and HISTORY, each with its header.
            return !queue.isReordering() && queue.currentTrack()
                && queuePanel()->model().rowCount() == songs + 3;
        },
        [&] { return queuedText(queue); });
    measureAction(
        "scroll the queue", [&] { queuePanel()->list().scrollToBottom(); }, [] { return true; });
    player.toggleQueue();
}

// The overlay as a host would show it: typing goes to the engine, the
// engine's results to the overlay.
void measureSearches(WindowUnderTest& window)
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
            name.constData(), [&] { type(query); }, [&] { return resultsShow(query); });
        overlay.clear();
        wait(300);
    }
    overlay.hide();
}

const char usageText[] = R"(usage:
  bench_window_scale_bench [--songs N] [--import FILES] [--one-session]
      at 10,000, 100,000 and 200,000 songs (or N): start-up in a fresh
      process, then each action in a fresh process of its own; with
      --one-session, every action one after another in one process, with the
      resident size at its end and its peak over the whole session.
      FILES (20,000 unless given) files are written for "import files".
  bench_window_scale_bench --busy [--songs N] [--import FILES] [--runs R]
                           [--processes P]
      start-up and File > Add Folder to Library of a folder of FILES files,
      each until all rows are painted, in fresh processes: R times (3 unless
      given) without and then with P busy processes at the normal priority
      (P = the cores unless given), with the ratio busy / idle.
  bench_window_scale_bench --measure N FOLDER [--only TEXT]   (child)
  bench_window_scale_bench --write N FILES FOLDER             (child)
  bench_window_scale_bench --spin                             (child)
)";

QByteArray loadAverage()
{
    QFile file(u"/proc/loadavg"_s);
    return file.open(QIODevice::ReadOnly) ? file.readLine().trimmed() : QByteArray("?");
}

// One window child over the store in `folder`: forwards what it prints,
// with the start-up's "shown" turned into the time since the process
// started. Returns that time (-1 if never shown) and, through `lines`,
// every line the child printed.
qint64 measureChild(int songs, const QString& folder, const QByteArray& only, bool echo,
    QList<QByteArray>* lines = nullptr)
{
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QElapsedTimer started;
    started.start();
    QStringList arguments { u"--measure"_s, QString::number(songs), folder };
    if (!only.isEmpty()) {
        arguments << u"--only"_s << QString::fromUtf8(only);
    }
    child.start(QCoreApplication::applicationFilePath(), arguments);
    qint64 shownMs = -1;
    // What a child printed just before it ended is read after it ended.
    bool ended = false;
    while (!ended || child.bytesAvailable() > 0) {
        if (!child.waitForReadyRead(100) && child.state() == QProcess::NotRunning) {
            ended = true;
            child.waitForFinished();
        }
        while (child.canReadLine() || (ended && child.bytesAvailable() > 0)) {
            const QByteArray line = child.readLine().trimmed();
            if (line == "shown") {
                shownMs = started.elapsed();
            }
            if (lines) {
                lines->push_back(line);
            }
            if (!echo) {
                continue;
            }
            if (line == "shown") {
                std::printf("  %-22s %lld ms after process start\n", "library shown",
                    static_cast<long long>(shownMs));
            } else {
                std::printf("  %s\n", line.constData());
            }
            std::fflush(stdout);
        }
    }
    return shownMs;
}

// Writes the store into `dir`.
void writeStoreIn(const QTemporaryDir& dir, int songs, int importCount)
{
    runChild({ u"--write"_s, QString::number(songs), QString::number(importCount), dir.path() });
}

void copyTree(const QString& from, const QString& to)
{
    QDir().mkpath(to);
    const QDir source(from);
    for (const QFileInfo& entry :
        source.entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden)) {
        const QString target = to + u'/' + entry.fileName();
        if (entry.isDir()) {
            copyTree(entry.filePath(), target);
        } else {
            QFile::copy(entry.filePath(), target);
        }
    }
}

// What a window child saves into the store's folder (the songs it removed or
// added, the queue, the settings); the files it reads stay as written.
const QString savedState[] = { u"data"_s, u"home"_s, u"settings.json"_s };

void removeSavedState(const QString& folder)
{
    for (const QString& name : savedState) {
        const QString path = folder + u'/' + name;
        if (QFileInfo(path).isDir()) {
            QDir(path).removeRecursively();
        } else {
            QFile::remove(path);
        }
    }
}

// Copies what a child saves from the folder `from` into `to`.
void copySavedState(const QString& from, const QString& to)
{
    for (const QString& name : savedState) {
        const QFileInfo source(from + u'/' + name);
        if (source.isDir()) {
            copyTree(source.filePath(), to + u'/' + name);
        } else if (source.exists()) {
            QFile::copy(source.filePath(), to + u'/' + name);
        }
    }
}

// Writes the store, then runs the window over it: start-up alone, then each
// action in its own process (or, for a session, all in one).
void runSize(int songs, int importCount, bool session)
{
    QTemporaryDir dir;
    writeStoreIn(dir, songs, importCount);
    std::printf("%d songs (load %s):\n", songs, loadAverage().constData());
    if (session) {
        measureChild(songs, dir.path(), {}, true);
        return;
    }
    // Every child starts from the store as written: what one saves (a
    // removed song, an import) would otherwise change the next one's library.
    QTemporaryDir written;
    copySavedState(dir.path(), written.path());
    // A name no action has: only the start-up runs.
    measureChild(songs, dir.path(), "start-up", true);
    for (const char* action : actionNames) {
        if (QByteArray(action) == "import files" && importCount == 0) {
            continue;
        }
        removeSavedState(dir.path());
        copySavedState(written.path(), dir.path());
        QList<QByteArray> lines;
        measureChild(songs, dir.path(), action, false, &lines);
        bool printed = false;
        for (const QByteArray& line : lines) {
            // A child that failed before its action says why.
            const bool failure = line == "never shown" || line.contains("failed");
            if (line.startsWith(action)) {
                std::printf("  %s\n", line.constData());
                printed = true;
            } else if (failure) {
                std::printf("  %-22s %s\n", action, line.constData());
                printed = true;
            }
        }
        if (!printed) {
            std::printf("  %-22s printed nothing\n", action);
        }
        std::fflush(stdout);
    }
}

// What one busy or idle run measured.
struct BusyRun {
    qint64 tableMs = -1;
    double addedMs = -1;
};

BusyRun measureBusyRun(int songs, const QString& folder)
{
    QList<QByteArray> lines;
    BusyRun run;
    run.tableMs = measureChild(songs, folder, addImportFolder, false, &lines);
    if (run.tableMs < 0) {
        for (const QByteArray& line : lines) {
            std::printf("  %s\n", line.constData());
        }
    }
    for (const QByteArray& line : lines) {
        const qsizetype at = line.indexOf("shown after");
        if (line.startsWith(addImportFolder) && at >= 0) {
            run.addedMs = line.mid(at + 11).trimmed().split(' ').value(0).toDouble();
        }
    }
    return run;
}

double median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    return values.isEmpty() ? -1 : values[values.size() / 2];
}

// Start-up and adding the folder of import files, without and with `busy`
// processes spinning at the normal priority, alternately.
void runBusy(int songs, int importCount, int runs, int busy)
{
    std::printf("%d songs, Add Folder of %d files, %d busy processes:\n", songs, importCount, busy);
    QList<double> table[2];
    QList<double> added[2];
    for (int i = 0; i < runs; ++i) {
        for (const bool loaded : { false, true }) {
            // A fresh store each time: a run saves the songs it added.
            QTemporaryDir dir;
            writeStoreIn(dir, songs, importCount);
            // The store just written would otherwise still be going to disk
            // while the run saves its own, which then waits on it.
            ::sync();
            std::vector<std::unique_ptr<QProcess>> spinners;
            for (int p = 0; loaded && p < busy; ++p) {
                auto spinner = std::make_unique<QProcess>();
                spinner->start(QCoreApplication::applicationFilePath(), { u"--spin"_s });
                spinner->waitForStarted();
                spinners.push_back(std::move(spinner));
            }
            const QByteArray load = loadAverage();
            const BusyRun run = measureBusyRun(songs, dir.path());
            for (const auto& spinner : spinners) {
                spinner->kill();
                spinner->waitForFinished();
            }
            table[loaded].push_back(double(run.tableMs));
            added[loaded].push_back(run.addedMs);
            std::printf("  %-5s table after %6lld ms, all added rows painted after %8.0f ms"
                        "  (load %s)\n",
                loaded ? "busy" : "idle", static_cast<long long>(run.tableMs), run.addedMs,
                load.constData());
            std::fflush(stdout);
        }
    }
    const auto ratio = [](const QList<double>* values) {
        return median(values[1]) / std::max(1.0, median(values[0]));
    };
    std::printf("  median: table %.0f ms idle, %.0f ms busy (%.2f x); added rows %.0f ms idle, "
                "%.0f ms busy (%.2f x)\n",
        median(table[0]), median(table[1]), ratio(table), median(added[0]), median(added[1]),
        ratio(added));
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 2 && std::strcmp(argv[1], "--spin") == 0) {
        // A busy program at the normal priority, until the bench ends it.
        volatile unsigned long turns = 0;
        for (;;) {
            turns = turns + 1;
        }
    }
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
    bool session = false;
    bool busy = false;
    int runs = 3;
    int processes = std::max(1, QThread::idealThreadCount());
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& option = arguments[i];
        const bool valued = i + 1 < arguments.size();
        // Not "--session": the toolkit takes that, and the word after it.
        if (option == u"--one-session"_s) {
            session = true;
        } else if (option == u"--busy"_s) {
            busy = true;
        } else if (valued && option == u"--songs"_s) {
            sizes = { arguments[++i].toInt() };
        } else if (valued && option == u"--import"_s) {
            importCount = arguments[++i].toInt();
        } else if (valued && option == u"--runs"_s) {
            runs = std::max(1, arguments[++i].toInt());
        } else if (valued && option == u"--processes"_s) {
            processes = std::max(1, arguments[++i].toInt());
        } else {
            std::fputs(usageText, option == u"--help"_s || option == u"-h"_s ? stdout : stderr);
            return option == u"--help"_s || option == u"-h"_s ? 0 : 2;
        }
    }
    for (const int songs : sizes) {
        if (busy) {
            runBusy(songs, importCount, runs, processes);
        } else {
            runSize(songs, importCount, session);
        }
    }
    return 0;
}
