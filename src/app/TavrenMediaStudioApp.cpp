#include "app/TavrenMediaStudioApp.h"

#include "app/AppAccessibility.h"
#include "app/MainWindow.h"
#include "app/WindowFrameMemory.h"
#include "app/WorkspacePanelState.h"
#include "engines/playback/QueueEngineImpl.h"
#include "platform/UserDefaults.h"
#include "ui/songtable/TrackTableLayoutState.h"

#include <QCoreApplication>

namespace kivo {

namespace {

DIContainerOptions withDefaults(DIContainerOptions options)
{
    if (!options.defaults) {
        options.defaults = std::make_shared<SettingsUserDefaults>();
    }
    return options;
}

} // namespace

TavrenMediaStudioApp::TavrenMediaStudioApp(DIContainerOptions options)
    : m_defaults(withDefaults(options).defaults)
{
    options.defaults = m_defaults;
    installAppAccessibility();
    m_container = DIContainer::createOrExit(std::move(options));
    m_panelState = std::make_unique<WorkspacePanelState>(m_defaults);
    m_trackTableLayout = std::make_unique<TrackTableLayoutState>(m_defaults);
    m_mainWindow = std::make_unique<MainWindow>(*m_container, *m_panelState, *m_trackTableLayout);
    m_mainFrame = std::make_unique<WindowFrameMemory>(*m_mainWindow, m_defaults, mainFrameKey);
    // A quit that closes no window (a menu's Quit, a session logout) still
    // leaves the session on disk.
    QObject::connect(qApp, &QCoreApplication::aboutToQuit, m_container.get(),
        [container = m_container.get()] { container->queueEngine().savePlaybackState(true); });
}

TavrenMediaStudioApp::~TavrenMediaStudioApp() = default;

} // namespace kivo
