#pragma once

#include "app/FolderChooser.h"
#include "app/MainMenuBarCommands.h"
#include "platform/UndoManager.h"

#include <QPointer>
#include <QWidget>
#include <memory>

class QAction;

namespace kivo {

class AboutToolbarButton;
class AboutView;
class DIContainer;
class LinkOpener;
class MainMenuBar;
class MainLayoutView;
class TrackTableLayoutState;
class WorkspacePanelState;

// The program's one main window: 1320 by 820 at first, its content never
// smaller than 900 by 650, showing the menu bar (with the About button at its
// trailing end) over the main layout. Closing it writes the playback session
// before the window goes, since quitting may follow before the application is
// ever reported inactive. The window owns the one undo history that every
// view inside it registers its steps with.
class MainWindow : public QWidget {
    Q_OBJECT
public:
    MainWindow(DIContainer& container, WorkspacePanelState& panels,
        TrackTableLayoutState& trackTableLayout, QWidget* parent = nullptr);
    ~MainWindow() override;

    MainLayoutView& layoutView() const { return *m_layout; }
    UndoManager& undoManager() { return m_undoManager; }

    MainMenuBarCommands& menuCommands() const { return *m_commands; }
    MainMenuBar& menuBar() const { return *m_menuBar; }
    QAction& action(MenuCommand command) const;
    AboutToolbarButton& aboutButton() const;

    // Brings up the one About window, opening it when none is open.
    void showAbout();
    AboutView* aboutWindow() const;
    // Opens the settings sheet (the layout's).
    void showSettings();
    // Shows the window over the others with the keyboard, also when it was
    // minimized: what a second start of the program asks for.
    void bringToFront();

    // Tests replace the folder dialog and the system's link handling.
    void setFolderChooser(FolderChooser* chooser);
    void setLinkOpener(LinkOpener* opener);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void showAlert(const QString& message, const QString& informativeText);

    // The views' steps may outlive any one view, never the window: the
    // destructor lets the layout go before this does.
    UndoManager m_undoManager;
    MainLayoutView* m_layout;
    DialogFolderChooser m_dialogChooser;
    std::unique_ptr<LinkOpener> m_desktopLinks;
    LinkOpener* m_links;
    std::unique_ptr<MainMenuBarCommands> m_commands;
    MainMenuBar* m_menuBar;
    QPointer<AboutView> m_about;
};

} // namespace kivo
