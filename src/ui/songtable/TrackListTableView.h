#pragma once

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
};

// The scrolling body of the song table over a TrackTableModel: the pinned
// header row on top, rows 42 high painted whole by the row delegate in the
// shared column layout, a content width of the larger of the columns' total
// and the visible width. It keeps no selection of its own (the owner's
// selection reaches the model) and forwards clicks and menu choices to the
// callbacks. Header clicks sort the model. The layout state and the undo
// manager must outlive the view (the app owns the one layout).
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

protected:
    void drawRow(QPainter* painter, const QStyleOptionViewItem& option,
        const QModelIndex& index) const override;
    void drawBranches(QPainter*, const QRect&, const QModelIndex&) const override { }
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
    bool viewportEvent(QEvent* event) override;
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

    TrackTableLayoutState& m_layout;
    TrackTableModel* m_model;
    TrackTableHeaderView* m_header;
    TrackTableRowDelegate* m_delegate;
    QWidget* m_scrollBarTop;
    TrackListTableCallbacks m_callbacks;
    int m_pressedRow = -1;
    Cell m_pressedCell = Cell::none;
    bool m_ticking = false;
};

} // namespace kivo
