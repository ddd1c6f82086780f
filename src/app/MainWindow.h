#pragma once

#include <QWidget>

namespace kivo {

class DIContainer;
class MainLayoutView;
class WorkspacePanelState;

// The program's one main window: 1320 by 820 at first, never smaller than
// 900 by 650, showing the main layout. Closing it writes the playback session
// before the window goes, since quitting may follow before the application is
// ever reported inactive.
class MainWindow : public QWidget {
    Q_OBJECT
public:
    MainWindow(DIContainer& container, WorkspacePanelState& panels, QWidget* parent = nullptr);

    MainLayoutView& layoutView() const { return *m_layout; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    MainLayoutView* m_layout;
};

} // namespace kivo
