#include "app/MainWindow.h"

#include "app/AboutToolbarButton.h"
#include "app/AboutView.h"
#include "app/DIContainer.h"
#include "app/LinkOpener.h"
#include "app/MainLayoutView.h"
#include "app/MainMenuBar.h"
#include "engines/library/LibraryEngine.h"
#include "engines/playback/AudioEngine.h"
#include "engines/playback/QueueEngine.h"
#include "ui/eon/EonAlert.h"
#include "ui/eon/EonMetrics.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QScreen>
#include <QVBoxLayout>

using namespace Qt::Literals::StringLiterals;

namespace kivo {

MainWindow::MainWindow(DIContainer& container, WorkspacePanelState& panels,
    TrackTableLayoutState& trackTableLayout, QWidget* parent)
    : QWidget(parent)
    , m_layout(new MainLayoutView(container, panels, trackTableLayout, m_undoManager, this))
    , m_desktopLinks(std::make_unique<DesktopLinkOpener>())
    , m_links(m_desktopLinks.get())
    , m_commands(std::make_unique<MainMenuBarCommands>(
          MainMenuBarCommands::Services { container.libraryEngine(), container.audioEngine(),
              container.queueEngine(), panels, m_undoManager, &m_dialogChooser, this }))
    , m_menuBar(new MainMenuBar(*m_commands, this))
{
    setObjectName(u"mainWindow"_s);
    setWindowTitle(u"KIVO VOVID"_s);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->setMenuBar(m_menuBar);
    layout->addWidget(m_layout);
    resize(eon::windowWidth, eon::windowHeight);

    // Keys reach the items wherever the focus is in the window.
    addActions(m_menuBar->itemActions());

    MainLayoutPresenter& presenter = m_layout->presenter();
    connect(&presenter, &MainLayoutPresenter::visibleCommandTargetChanged, this,
        [this, &presenter] { m_commands->setCommandTarget(presenter.visibleCommandTarget()); });
    m_commands->setCommandTarget(presenter.visibleCommandTarget());
    connect(m_layout, &MainLayoutView::settingsRequested, m_layout, &MainLayoutView::showSettings);
    connect(m_commands.get(), &MainMenuBarCommands::aboutRequested, this, &MainWindow::showAbout);
    connect(m_commands.get(), &MainMenuBarCommands::alertRequested, this, &MainWindow::showAlert);
    connect(m_commands.get(), &MainMenuBarCommands::quitRequested, this, [this] {
        close();
        QCoreApplication::quit();
    });
}

MainWindow::~MainWindow()
{
    // Child widgets would otherwise outlive the members: the layout's screens
    // hand their coordinators to the undo manager as they go, and the menu bar
    // reads the commands, so both go while those still exist.
    delete m_about.data();
    delete m_menuBar;
    delete m_layout;
}

QAction& MainWindow::action(MenuCommand command) const
{
    return m_menuBar->action(command);
}

AboutToolbarButton& MainWindow::aboutButton() const
{
    return m_menuBar->aboutButton();
}

void MainWindow::showAbout()
{
    if (!m_about) {
        m_about = new AboutView(*m_links, this);
        m_about->setAttribute(Qt::WA_DeleteOnClose);
        if (const QScreen* screen = this->screen()) {
            QRect frame(QPoint(), AboutView::fixedSize);
            frame.moveCenter(screen->availableGeometry().center());
            m_about->move(frame.topLeft());
        }
    }
    m_about->show();
    m_about->raise();
    m_about->activateWindow();
}

AboutView* MainWindow::aboutWindow() const
{
    return m_about.data();
}

void MainWindow::showSettings()
{
    m_layout->showSettings();
}

void MainWindow::setFolderChooser(FolderChooser* chooser)
{
    m_commands->setFolderChooser(chooser ? chooser : &m_dialogChooser);
}

void MainWindow::setLinkOpener(LinkOpener* opener)
{
    m_links = opener ? opener : m_desktopLinks.get();
}

void MainWindow::showAlert(const QString& message, const QString& informativeText)
{
    // The error names the user's files: shown as written, never as markup.
    auto* alert = new EonAlert(message, informativeText, this);
    alert->setObjectName(u"folderImportAlert"_s);
    alert->open();
}

void MainWindow::bringToFront()
{
    setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    m_layout->presenter().windowClosing();
    QWidget::closeEvent(event);
}

} // namespace kivo
