#pragma once

#include "platform/UndoManager.h"

#include <QWidget>

namespace kivo {

class DIContainer;
class MainLayoutView;
class TrackTableLayoutState;
class WorkspacePanelState;

// The program's one main window: 1320 by 820 at first, never smaller than
// 900 by 650, showing the main layout. Closing it writes the playback session
// before the window goes, since quitting may follow before the application is
// ever reported inactive. The window owns the one undo history that every
// view inside it registers its steps with.
class MainWindow : public QWidget {
    Q_OBJECT
public:
    MainWindow(DIContainer& container, WorkspacePanelState& panels,
        TrackTableLayoutState& trackTableLayout, QWidget* parent = nullptr);

    MainLayoutView& layoutView() const { return *m_layout; }
    UndoManager& undoManager() { return m_undoManager; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    // Declared before the layout: the views' steps may outlive any one view,
    // never the window.
    UndoManager m_undoManager;
    MainLayoutView* m_layout;
};

} // namespace kivo
