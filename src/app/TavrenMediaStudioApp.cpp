#include "app/TavrenMediaStudioApp.h"

#include "app/AppAccessibility.h"
#include "app/MainWindow.h"
#include "app/WindowFrameMemory.h"
#include "app/WorkspacePanelState.h"
#include "engines/artwork/ArtworkCacheImpl.h"
#include "engines/playback/QueueEngine.h"
#include "engines/playback/WaveformCache.h"
#include "model/DatabaseManagerImpl.h"
#include "model/PlaylistStorageImpl.h"
#include "model/StoreFile.h"
#include "platform/ReduceMotionSource.h"
#include "platform/UserDefaults.h"
#include "ui/eon/EonFileDialog.h"
#include "ui/songtable/NowPlayingIndicator.h"
#include "ui/songtable/TrackTableLayoutState.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QSessionManager>

using namespace Qt::Literals::StringLiterals;

namespace kivo {

namespace {

DIContainerOptions withDefaults(DIContainerOptions options)
{
    if (!options.defaults) {
        options.defaults = std::make_shared<SettingsUserDefaults>();
    }
    return options;
}

// Only this process writes in the folder now; a temporary file there of a
// file the program writes is what a killed save left behind, and nothing will
// ever rename it into place.
void removeInterruptedWrites(const std::optional<QString>& dataFolder)
{
    QString folder;
    try {
        folder = dataFolder ? *dataFolder : storefile::defaultDataFolder();
    } catch (const StoreFileError&) {
        return; // the stores report it
    }
    const QStringList storeFiles = TavrenDatabaseManager::fileNames()
        << TavrenPlaylistStorage::fileName();
    storefile::removeInterruptedWrites(
        folder, [&](const QString& name) { return storeFiles.contains(name); });
    storefile::removeInterruptedWrites(
        folder + u"/ArtworkCache"_s, &TavrenArtworkCache::isCacheFileName);
    storefile::removeInterruptedWrites(
        folder + u"/WaveformCache"_s, &WaveformCache::isCacheFileName);
}

} // namespace

TavrenMediaStudioApp::TavrenMediaStudioApp(DIContainerOptions options)
    : m_defaults(withDefaults(options).defaults)
{
    options.defaults = m_defaults;
    installAppAccessibility();
    removeInterruptedWrites(options.dataFolder);
    const std::shared_ptr<ReduceMotionSource> reduceMotion = options.reduceMotion;
    m_container = DIContainer::createOrExit(std::move(options));
    // The theme engine follows it through the container; the song tables'
    // now-playing bars through their shared clock.
    if (reduceMotion) {
        NowPlayingTicker::shared().followReduceMotion(*reduceMotion);
    }
    m_panelState = std::make_unique<WorkspacePanelState>(m_defaults);
    m_trackTableLayout = std::make_unique<TrackTableLayoutState>(m_defaults);
    m_mainWindow = std::make_unique<MainWindow>(*m_container, *m_panelState, *m_trackTableLayout);
    m_mainFrame = std::make_unique<WindowFrameMemory>(*m_mainWindow, m_defaults, mainFrameKey);
    keepEonFileDialogFoldersIn(m_defaults);
    // A quit that closes no window (a menu's Quit, a session logout) still
    // leaves the session on disk; so does the session manager's request to
    // save before it ends the program.
    QObject::connect(qApp, &QCoreApplication::aboutToQuit, m_container.get(),
        [container = m_container.get()] { container->queueEngine().savePlaybackState(true); });
    if (auto* gui = qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        QObject::connect(gui, &QGuiApplication::commitDataRequest, m_container.get(),
            [this](QSessionManager&) { saveForEnd(); });
    }
}

TavrenMediaStudioApp::~TavrenMediaStudioApp()
{
    keepEonFileDialogFoldersIn(nullptr);
}

void TavrenMediaStudioApp::quit()
{
    m_mainWindow->close();
    QCoreApplication::quit();
}

void TavrenMediaStudioApp::saveForEnd()
{
    m_container->saveForEnd();
}

} // namespace kivo
