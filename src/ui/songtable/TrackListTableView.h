#pragma once

#include "ui/songtable/TrackSelectionState.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QTreeView>
#include <functional>

namespace kivo {

class TrackTableHeaderView;
class TrackTableLayoutState;
class TrackTableModel;
class TrackTableRowDelegate;
class UndoManager;

// What the rows ask of their owner (the track list screen). Rows are
// positions in the model's display order, never track ids: a playlist may
// list one song twice. Every entry may be left empty.
struct TrackListTableCallbacks {
    std::function<void(int row)> onTogglePlayback;
    std::function<void(int row, Qt::KeyboardModifiers modifiers)> onSelect;
    std::function<void(int row)> onDoubleClick;
    std::function<void(int row)> onEdit;
    // The context menu's items.
    std::function<void(int row)> onPlay;
    std::function<void(int row)> onToggleFavorite;
    std::function<void(int row)> onChooseArtwork;
    std::function<void(int row)> onRemoveArtwork;
    std::function<void(int row)> onRevealInFileManager;
    std::function<void(int row)> onRemoveFromPlayer;
    std::function<void(int row)> onRequestPermanentDeletion;
    // How many songs the menu's edit item covers, opened on that row (1 when unset).
    std::function<qint64(int row)> metadataSelectionCount;
    std::function<bool(int row)> isRemovalInFlight;
    // The keys: a move of the selection (Shift extends it) answered with the
    // row moved to, or -1; a row that type-select found; the row the keys
    // move from, which Return plays and the keyboard's menu opens on (-1: none).
    std::function<int(TrackListKeyMove move, bool extend, int pageRows)> onMoveSelection;
    std::function<void(int row)> onTypeSelect;
    std::function<int()> leadRow;
};

// The scrolling body of the song table over a TrackTableModel: the pinned
// header row on top, rows 42 high painted whole by the row delegate in the
// shared column layout, a content width of the larger of the columns' total
// and the visible width. It keeps no selection of its own (the owner's
// selection reaches the model) and forwards clicks and menu choices to the
// callbacks. Header clicks sort the model. The layout state and the undo
// manager must outlive the view (the app owns the one layout).
//
// Rows all have one height and no children, so where a row shows is
// arithmetic: the view never has the stock tree lay out an item per row
// (8 MB and tens of milliseconds for each new list of 200,000 songs).
class TrackListTableView : public QTreeView {
    Q_OBJECT
public:
    TrackListTableView(TrackTableLayoutState& layout, TrackTableModel* model,
        UndoManager* undoManager, QWidget* parent = nullptr);
    ~TrackListTableView() override;

    void setCallbacks(TrackListTableCallbacks callbacks);
    const TrackListTableCallbacks& callbacks() const { return m_callbacks; }
    TrackTableModel* trackModel() const { return m_model; }
    TrackTableHeaderView* headerView() const { return m_header; }
    TrackTableLayoutState& layoutState() const { return m_layout; }
    double contentWidth() const;

    // The row's context menu, as a right click shows it. Owned by the view.
    QMenu* buildContextMenu(int row);
    // The row whose context menu is open, outlined while it is; -1 when none.
    int menuRow() const { return m_menuRow; }
    // Whole rows that fit in the visible area: a Page Up or Down.
    int rowsPerPage() const;
    void keyboardSearch(const QString& search) override;
    QModelIndex indexAt(const QPoint& point) const override;
    QRect visualRect(const QModelIndex& index) const override;
    // Vertically only: the stock scrolling would also jump to the column.
    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;
    void doItemsLayout() override;

protected:
    void drawRow(QPainter* painter, const QStyleOptionViewItem& option,
        const QModelIndex& index) const override;
    void drawBranches(QPainter*, const QRect&, const QModelIndex&) const override { }
    void paintEvent(QPaintEvent* event) override;
    // The table's keys are its own (keyPressEvent): the stock ones move nothing.
    QModelIndex moveCursor(CursorAction, Qt::KeyboardModifiers) override { return {}; }
    void updateGeometries() override;
    void dataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight,
        const QList<int>& roles = {}) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void focusInEvent(QFocusEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    enum class Cell { none, play, column, edit };
    Cell cellAt(const QPoint& viewportPosition, int* column = nullptr) const;
    void syncHeaderSections();
    void layoutChanged();
    // Runs the shared ticker only while a visible row shows moving bars.
    void updateTicking();
    void tick();
    // Makes the row current (where type-select starts) and scrolls it into view.
    void showRow(int row);
    void setMenuRow(int row);
    // Tells assistive technology which row has the focus (the current one).
    void notifyFocusedRow();

    TrackTableLayoutState& m_layout;
    TrackTableModel* m_model;
    TrackTableHeaderView* m_header;
    TrackTableRowDelegate* m_delegate;
    QWidget* m_scrollBarTop;
    QWidget* m_focusRing = nullptr;
    TrackListTableCallbacks m_callbacks;
    int m_pressedRow = -1;
    Cell m_pressedCell = Cell::none;
    bool m_ticking = false;
    bool m_inGeometries = false;
    int m_menuRow = -1;
    QUuid m_menuID;
    bool m_searching = false;
    int m_foundRow = -1;
    // Since the last type-select key: within the keyboard's input interval a
    // space is part of the text typed.
    QElapsedTimer m_sinceSearchKey;
};

} // namespace kivo
