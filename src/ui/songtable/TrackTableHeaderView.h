#pragma once

#include "model/TrackSortOrder.h"
#include "ui/eon/EonSortLabel.h"
#include "ui/songtable/TrackTableHeaderDrags.h"

#include <QHeaderView>
#include <QPointer>
#include <optional>

class QMenu;

namespace kivo {

class TrackTableLayoutState;
class UndoManager;

// The header cell of one column: the grip, the title (the column's symbol
// when collapsed) with the sort chevron, and the resize handle. The header
// row paints every cell itself; these are the cell's own looks.
struct TrackTableColumnHeaderView {
    // The title and chevron of an expanded column as its cell draws them, in
    // the room the cell leaves beside the grip and the resize handle.
    static EonSortLabel columnLabel(
        const TrackTableColumnConfiguration& column, std::optional<bool> sortedAscending);
    static double labelRoom(const TrackTableColumnConfiguration& column, bool sorted);
    // `frame` in the header row's content coordinates; `sortedAscending` is
    // set when the table is sorted by this column.
    static void paint(QPainter& painter, const TrackTableColumnConfiguration& column,
        const QRectF& frame, std::optional<bool> sortedAscending, bool hovering);
};

// The pinned header row of the song table: one cell per shown column (grip,
// title with the sort chevron, resize handle), an empty leading cell and a
// trailing cell with the restore button and the column menu. It paints itself
// over the whole content width and scrolls sideways with the rows; every
// layout change goes through the shared layout state with the undo manager.
class TrackTableHeaderView : public QHeaderView {
    Q_OBJECT
public:
    enum class Part { none, grip, title, resizeHandle, restoreButton, menuButton };
    struct Hit {
        Part part = Part::none;
        std::optional<TrackTableColumnID> column;
        bool operator==(const Hit&) const = default;
    };

    TrackTableHeaderView(
        TrackTableLayoutState& layout, UndoManager* undoManager, QWidget* parent = nullptr);

    const TrackSortOrder& sortOrder() const { return m_sortOrder; }
    void setSortOrder(const TrackSortOrder& sortOrder);
    // The rows' width: the columns' total or the visible width, whichever is larger.
    void setContentWidth(double width);
    double contentWidth() const { return m_contentWidth; }

    // The restore button shows only when the layout differs from the
    // default; an empty slot keeps the menu button in place otherwise.
    bool showsRestoreButton() const;
    // What lies under a point of the content (x before scrolling).
    Hit hitTest(const QPointF& contentPosition) const;
    QRectF restoreButtonRect() const;
    QRectF menuButtonRect() const;
    // The column menu: the recovery message with "Dismiss Message", the
    // twelve column toggles, "Restore Default Layout". Owned by `parent`.
    QMenu* buildColumnMenu(QWidget* parent);
    // A column's own menu: collapse or expand, reset width, remove.
    QMenu* buildColumnContextMenu(TrackTableColumnID column, QWidget* parent);

    void toggleColumn(TrackTableColumnID column);
    void restoreDefaultLayout();

    QSize sizeHint() const override;

Q_SIGNALS:
    // A click on a column's title: the order the table should take.
    void sortRequested(const kivo::TrackSortOrder& sortOrder);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool viewportEvent(QEvent* event) override;

private:
    QPointF contentPosition(const QPointF& viewportPosition) const;
    void setHovered(std::optional<TrackTableColumnID> column);
    void startReorderDrag(TrackTableColumnID column);

    TrackTableLayoutState& m_layout;
    QPointer<UndoManager> m_undoManager;
    TrackTableHeaderDrags m_drags;
    TrackSortOrder m_sortOrder;
    double m_contentWidth = 0;
    std::optional<TrackTableColumnID> m_hovered;
    Hit m_pressed;
    QPointF m_pressPosition;
    bool m_resizing = false;
};

} // namespace kivo
