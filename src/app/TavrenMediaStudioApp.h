#pragma once

#include "app/DIContainer.h"

#include <QString>
#include <memory>

namespace kivo {

class MainWindow;
class TrackTableLayoutState;
class UserDefaults;
class WindowFrameMemory;
class WorkspacePanelState;

// The application object: owns, for the life of the process, the composition
// root (whose construction builds every engine and starts the bootstrap), the
// side-panel layout, the song-column layout every song table shares (both
// made from the same defaults) and the main window over them. Every way out
// (closing the window, quitting, the session manager's request to save)
// writes the playback session before the process ends.
class TavrenMediaStudioApp {
public:
    // Absent options use the user's data folder, settings and sound output.
    // Ends the process when the engines cannot be built.
    // Made while this process holds the data folder (see SingleInstance):
    // what a killed save left there is removed before any store is read.
    explicit TavrenMediaStudioApp(DIContainerOptions options = {});
    ~TavrenMediaStudioApp();

    // Ends the program as closing its window does: the window closes, writing
    // the session, and the event loop ends.
    void quit();

    // Puts on disk what the program would lose if it ended now, as closing
    // the window and leaving do: the session, written before this returns,
    // and every store write already under way. For the session manager's
    // request before a logout, which may end the process without a quit.
    void saveForEnd();

    DIContainer& container() const { return *m_container; }
    WorkspacePanelState& panelState() const { return *m_panelState; }
    TrackTableLayoutState& trackTableLayout() const { return *m_trackTableLayout; }
    MainWindow& mainWindow() const { return *m_mainWindow; }

    // Where the main window's size and position are kept between runs.
    static inline const QString mainFrameKey = QStringLiteral("window.mainFrame");

private:
    std::shared_ptr<UserDefaults> m_defaults;
    std::unique_ptr<DIContainer> m_container;
    std::unique_ptr<WorkspacePanelState> m_panelState;
    std::unique_ptr<TrackTableLayoutState> m_trackTableLayout;
    // Declared last: torn down first, while what it shows still exists.
    std::unique_ptr<MainWindow> m_mainWindow;
    // Goes before the window, saving its frame while it still exists.
    std::unique_ptr<WindowFrameMemory> m_mainFrame;
};

} // namespace kivo
