#include "app/MainWindow.h"

#include "app/AboutToolbarButton.h"
#include "app/AboutView.h"
#include "app/DIContainer.h"
#include "app/LinkOpener.h"
#include "app/MainLayoutView.h"
#include "engines/library/LibraryEngineImpl.h"
#include "engines/playback/AudioEngineImpl.h"
#include "engines/playback/QueueEngineImpl.h"
#include "ui/eon/EonMetrics.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QScreen>
#include <QVBoxLayout>

using namespace Qt::Literals::StringLiterals;

namespace kivo {

namespace {

// Menu texts show "&" as itself, never as a mnemonic marker.
QString actionText(const QString& title)
{
    QString text = title;
    return text.replace(u'&', u"&&"_s);
}

} // namespace

MainWindow::MainWindow(DIContainer& container, WorkspacePanelState& panels,
    TrackTableLayoutState& trackTableLayout, QWidget* parent)
    : QWidget(parent)
    , m_layout(new MainLayoutView(container, panels, trackTableLayout, m_undoManager, this))
    , m_desktopLinks(std::make_unique<DesktopLinkOpener>())
    , m_links(m_desktopLinks.get())
    , m_commands(std::make_unique<MainMenuBarCommands>(
          MainMenuBarCommands::Services { container.libraryEngine(), container.audioEngine(),
              container.queueEngine(), panels, m_undoManager, &m_dialogChooser, this }))
    , m_menuBar(new QMenuBar(this))
    , m_aboutButton(new AboutToolbarButton(m_menuBar))
{
    setObjectName(u"mainWindow"_s);
    setWindowTitle(u"KIVO VOVID"_s);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->setMenuBar(m_menuBar);
    layout->addWidget(m_layout);
    resize(eon::windowWidth, eon::windowHeight);

    m_menuBar->setObjectName(u"menuBar"_s);
    m_menuBar->setNativeMenuBar(false);
    // The About button sits where a toolbar's primary action would: top right.
    auto* corner = new QWidget(m_menuBar);
    auto* cornerLayout = new QHBoxLayout(corner);
    cornerLayout->setContentsMargins(0, 0, 8, 0);
    cornerLayout->addWidget(m_aboutButton);
    m_menuBar->setCornerWidget(corner, Qt::TopRightCorner);
    buildMenus();

    MainLayoutPresenter& presenter = m_layout->presenter();
    connect(&presenter, &MainLayoutPresenter::visibleCommandTargetChanged, this,
        [this, &presenter] { m_commands->setCommandTarget(presenter.visibleCommandTarget()); });
    m_commands->setCommandTarget(presenter.visibleCommandTarget());
    connect(m_commands.get(), &MainMenuBarCommands::itemsChanged, this, &MainWindow::updateActions);
    connect(m_commands.get(), &MainMenuBarCommands::aboutRequested, this, &MainWindow::showAbout);
    connect(m_commands.get(), &MainMenuBarCommands::alertRequested, this, &MainWindow::showAlert);
    connect(m_commands.get(), &MainMenuBarCommands::quitRequested, this, [this] {
        close();
        QCoreApplication::quit();
    });
    connect(m_aboutButton, &QAbstractButton::clicked, this, &MainWindow::showAbout);
    updateActions();
}

MainWindow::~MainWindow()
{
    // The About window and any sheet go first, while what they show exists.
    delete m_about.data();
}

void MainWindow::buildMenus()
{
    for (const MenuDescription& description : MainMenuBarCommands::menus()) {
        QMenu* menu = m_menuBar->addMenu(description.title);
        // A menu opened after a change nobody announced still shows the truth.
        connect(menu, &QMenu::aboutToShow, this, &MainWindow::updateActions);
        for (const std::optional<MenuCommand>& entry : description.entries) {
            if (!entry) {
                menu->addSeparator();
                continue;
            }
            const MenuCommand command = *entry;
            auto* action = new QAction(menu);
            action->setShortcutContext(Qt::WindowShortcut);
            // Triggering re-checks the condition; the checkmark is then read
            // back from the state, not left as Qt toggled it.
            connect(action, &QAction::triggered, this, [this, command] {
                m_commands->trigger(command);
                updateActions();
            });
            menu->addAction(action);
            // Keys reach the actions wherever the focus is in the window.
            addAction(action);
            m_actions.insert(command, action);
        }
    }
}

void MainWindow::updateActions()
{
    for (auto it = m_actions.cbegin(); it != m_actions.cend(); ++it) {
        const MenuItemState state = m_commands->item(it.key());
        QAction* action = it.value();
        action->setText(actionText(state.title));
        action->setShortcut(state.shortcut);
        action->setEnabled(state.isEnabled);
        action->setCheckable(state.isCheckable);
        action->setChecked(state.isChecked);
    }
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
    auto* alert = new QMessageBox(QMessageBox::Warning, message, message, QMessageBox::Ok, this);
    alert->setObjectName(u"folderImportAlert"_s);
    alert->setTextFormat(Qt::PlainText);
    alert->setInformativeText(informativeText);
    // The error names the user's files: shown as written, never as markup.
    if (auto* label = alert->findChild<QLabel*>(u"qt_msgbox_informativelabel"_s)) {
        label->setTextFormat(Qt::PlainText);
    }
    alert->setWindowModality(Qt::WindowModal);
    alert->setAttribute(Qt::WA_DeleteOnClose);
    alert->open();
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    m_layout->presenter().windowClosing();
    QWidget::closeEvent(event);
}

} // namespace kivo
