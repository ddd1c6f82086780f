#pragma once

#include "app/WorkspacePanelState.h"
#include "ui/eon/EonSymbolButton.h"

#include <QPointer>
#include <QWidget>
#include <functional>
#include <optional>

namespace kivo {

// What a divider reports; the layout decides what each gesture changes.
struct WorkspacePanelDividerActions {
    std::function<void(double)> onResize; // the proposed width, unclamped
    std::function<void()> onCollapse;
    std::function<void()> onToggleLock;
    std::function<void()> onDisable;
};

// The 12-pixel strip beside an expanded side panel: dragging it proposes a new
// width (from the width the drag started at; dragging left widens the right
// panel), its top button collapses the panel, and its context menu locks,
// collapses or disables it. A locked divider ignores drags and its collapse
// button is disabled. The button is wider than the strip, so it lives beside
// the strip in the same parent, centred over it.
class WorkspacePanelDivider : public QWidget {
    Q_OBJECT
public:
    static constexpr int stripWidth = 12;

    WorkspacePanelDivider(
        WorkspacePanelSide side, WorkspacePanelDividerActions actions, QWidget* parent = nullptr);
    ~WorkspacePanelDivider() override;

    // The panel's current width and lock, as the state holds them.
    void setPanel(double width, bool isLocked);
    bool isLocked() const { return m_isLocked; }
    EonSymbolButton& collapseButton() const { return *m_collapseButton; }

    // Drag steps in the strip's own horizontal coordinate; also used by tests.
    void beginDrag(double x);
    void dragTo(double x);
    void endDrag();

    // The texts of the context menu, in order (the separator as an empty text).
    QStringList menuTexts() const;

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void updateLook();
    void placeCollapseButton();

    WorkspacePanelSide m_side;
    WorkspacePanelDividerActions m_actions;
    double m_width = 0;
    bool m_isLocked = false;
    bool m_isHovering = false;
    std::optional<double> m_pressX;
    std::optional<double> m_dragOrigin;
    QPointer<EonSymbolButton> m_collapseButton;
};

} // namespace kivo
