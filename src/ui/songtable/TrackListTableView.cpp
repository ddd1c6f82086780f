#include "ui/songtable/TrackListTableView.h"

#include "ui/eon/KeyModifiers.h"

#include "platform/UndoManager.h"
#include "ui/eon/EonFocusRingOverlay.h"
#include "ui/eon/MediumDateFormatter.h"
#include "ui/songtable/NowPlayingIndicator.h"
#include "ui/songtable/TrackContextMenuContent.h"
#include "ui/songtable/TrackTableGeometry.h"
#include "ui/songtable/TrackTableHeaderView.h"
#include "ui/songtable/TrackTableLayoutState.h"
#include "ui/songtable/TrackTableModel.h"
#include "ui/songtable/TrackTableRowDelegate.h"

#include <QAccessible>
#include <QApplication>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QToolTip>
#include <algorithm>
#include <cmath>
#include <optional>

using namespace Qt::Literals::StringLiterals;

namespace kivo {

namespace {

std::optional<TrackListKeyMove> keyMove(int key)
{
    switch (key) {
    case Qt::Key_Up:
        return TrackListKeyMove::up;
    case Qt::Key_Down:
        return TrackListKeyMove::down;
    case Qt::Key_PageUp:
        return TrackListKeyMove::pageUp;
    case Qt::Key_PageDown:
        return TrackListKeyMove::pageDown;
    case Qt::Key_Home:
        return TrackListKeyMove::home;
    case Qt::Key_End:
        return TrackListKeyMove::end;
    default:
        return std::nullopt;
    }
}

} // namespace

TrackListTableView::TrackListTableView(TrackTableLayoutState& layout, TrackTableModel* model,
    UndoManager* undoManager, QWidget* parent)
    : QTreeView(parent)
    , m_layout(layout)
    , m_model(model)
    , m_header(new TrackTableHeaderView(layout, undoManager, this))
    , m_delegate(new TrackTableRowDelegate(this))
    , m_scrollBarTop(new QWidget)
{
    // Room above the vertical scroll bar, under the header (updateGeometries).
    m_scrollBarTop->setFixedHeight(0);
    addScrollBarWidget(m_scrollBarTop, Qt::AlignTop);
    setHeader(m_header);
    setItemDelegate(m_delegate);
    setRootIsDecorated(false);
    setIndentation(0);
    setItemsExpandable(false);
    setExpandsOnDoubleClick(false);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::NoSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    // The keys scroll the rows they select into view themselves, vertically
    // only: the stock scrolling would also jump back to the leading edge.
    setAutoScroll(false);
    setAccessibleName(u"Songs"_s);
    // The ring goes round the whole table, not round a row.
    m_focusRing = new EonFocusRingOverlay(this);
    // Left and Right change songs here, even while the table has the focus.
    setProperty(keys::usesArrowKeysProperty, false);
    // The rows paint their own stripes over whatever the screen lays beneath.
    QPalette palette = this->palette();
    palette.setColor(QPalette::Base, Qt::transparent);
    setPalette(palette);
    viewport()->setAutoFillBackground(false);

    model->setDateText([](const Date& date) { return formatMediumDate(date); });
    setModel(model);
    m_header->setSortOrder(model->sortOrder());
    connect(
        model, &TrackTableModel::sortOrderChanged, m_header, &TrackTableHeaderView::setSortOrder);
    connect(m_header, &TrackTableHeaderView::sortRequested, model, &TrackTableModel::setSortOrder);
    connect(model, &QAbstractItemModel::modelReset, this, [this] {
        // The scroll range follows the row count at once: nothing waits for
        // a layout of the rows.
        updateGeometries();
        updateTicking();
        setMenuRow(-1);
    });
    connect(model, &QAbstractItemModel::layoutChanged, this, [this] {
        syncHeaderSections();
        updateTicking();
        // The outline follows its song to its new row.
        if (m_menuRow >= 0) {
            setMenuRow(int(m_model->orderedIDs().indexOf(m_menuID)));
        }
    });
    connect(model, &QAbstractItemModel::dataChanged, this, &TrackListTableView::updateTicking);
    connect(model, &TrackTableModel::selectionChanged, this, [this] {
        if (!QAccessible::isActive()) {
            return;
        }
        // Newer AT-SPI bridges carry the first, older ones only the second.
        QAccessibleEvent within(this, QAccessible::SelectionWithin);
        QAccessible::updateAccessibility(&within);
        const int row = m_callbacks.leadRow ? m_callbacks.leadRow() : -1;
        if (row >= 0 && row < m_model->rowCount()) {
            QAccessibleEvent selection(this, QAccessible::Selection);
            selection.setChild(1 + row);
            QAccessible::updateAccessibility(&selection);
        }
    });
    connect(
        &layout, &TrackTableLayoutState::columnsChanged, this, &TrackListTableView::layoutChanged);
    NowPlayingTicker& ticker = NowPlayingTicker::shared();
    connect(&ticker, &NowPlayingTicker::ticked, this, &TrackListTableView::tick);
    connect(&ticker, &NowPlayingTicker::reduceMotionChanged, this, [this] {
        viewport()->update();
        updateTicking();
    });
    syncHeaderSections();
}

TrackListTableView::~TrackListTableView()
{
    NowPlayingTicker::shared().unsubscribe(this);
}

void TrackListTableView::setCallbacks(TrackListTableCallbacks callbacks)
{
    m_callbacks = std::move(callbacks);
}

double TrackListTableView::contentWidth() const
{
    return TrackTableGeometry::contentWidth(m_layout.columns(), viewport()->width());
}

void TrackListTableView::syncHeaderSections()
{
    // The header spans the content as one section: its length drives the
    // horizontal scrolling, and it paints the columns itself.
    for (int section = 1; section < m_header->count(); ++section) {
        if (!m_header->isSectionHidden(section)) {
            m_header->setSectionHidden(section, true);
        }
    }
    const double width = contentWidth();
    m_header->setContentWidth(width);
    if (m_header->count() > 0) {
        m_header->setSectionHidden(0, false);
        const int length = int(std::ceil(width));
        if (m_header->sectionSize(0) != length) {
            m_header->resizeSection(0, length);
        }
    }
}

void TrackListTableView::layoutChanged()
{
    syncHeaderSections();
    updateGeometries();
    viewport()->update();
    m_header->viewport()->update();
}

void TrackListTableView::doItemsLayout()
{
    // Not the tree's: it would lay out an item per row.
    QAbstractItemView::doItemsLayout();
    m_header->doItemsLayout();
}

QModelIndex TrackListTableView::indexAt(const QPoint& point) const
{
    // Points beyond the rows' area still name the row there, as the tree's do.
    const int column = m_header->logicalIndexAt(point.x());
    const int content = point.y() + verticalOffset();
    if (column < 0 || content < 0) {
        return {};
    }
    const int row = content / TrackTableGeometry::rowHeight;
    return row < m_model->rowCount() ? m_model->index(row, column) : QModelIndex();
}

QRect TrackListTableView::visualRect(const QModelIndex& index) const
{
    if (!index.isValid() || index.model() != m_model || isIndexHidden(index)) {
        return {};
    }
    return QRect(columnViewportPosition(index.column()),
        index.row() * TrackTableGeometry::rowHeight - verticalOffset(), columnWidth(index.column()),
        TrackTableGeometry::rowHeight);
}

void TrackListTableView::scrollTo(const QModelIndex& index, ScrollHint hint)
{
    if (!index.isValid() || index.model() != m_model) {
        return;
    }
    const int top = index.row() * TrackTableGeometry::rowHeight;
    const int bottom = top + TrackTableGeometry::rowHeight;
    const int height = viewport()->height();
    QScrollBar* bar = verticalScrollBar();
    int value = bar->value();
    switch (hint) {
    case EnsureVisible:
        if (top < value) {
            value = top;
        } else if (bottom > value + height) {
            value = bottom - height;
        }
        break;
    case PositionAtTop:
        value = top;
        break;
    case PositionAtBottom:
        value = bottom - height;
        break;
    case PositionAtCenter:
        value = top - (height - TrackTableGeometry::rowHeight) / 2;
        break;
    }
    bar->setValue(value);
}

void TrackListTableView::paintEvent(QPaintEvent* event)
{
    const int rows = m_model->rowCount();
    if (rows == 0) {
        return;
    }
    QPainter painter(viewport());
    const QRect area = event->rect();
    const int offset = verticalOffset();
    const int first = std::max(0, (area.top() + offset) / TrackTableGeometry::rowHeight);
    const int last = std::min(rows - 1, (area.bottom() + offset) / TrackTableGeometry::rowHeight);
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    for (int row = first; row <= last; ++row) {
        option.rect = QRect(0, row * TrackTableGeometry::rowHeight - offset, viewport()->width(),
            TrackTableGeometry::rowHeight);
        drawRow(&painter, option, m_model->index(row, 0));
    }
}

void TrackListTableView::updateGeometries()
{
    syncHeaderSections();
    QTreeView::updateGeometries();
    // The tree sets the scroll ranges from the items it lays out, which this
    // view has none of: they come from the row count. Showing or hiding a
    // bar resizes the rows' area, which comes back here and again.
    if (!m_inGeometries) {
        m_inGeometries = true;
        for (int pass = 0; pass < 3; ++pass) {
            const QSize area(std::max(viewport()->width(), 0), std::max(viewport()->height(), 0));
            QScrollBar* vertical = verticalScrollBar();
            const int bottom
                = std::max(0, m_model->rowCount() * TrackTableGeometry::rowHeight - area.height());
            QScrollBar* horizontal = horizontalScrollBar();
            const int width = maximumViewportSize().width() >= m_header->length() && bottom <= 0
                ? maximumViewportSize().width()
                : area.width();
            const int right = std::max(m_header->length() - width, 0);
            if (vertical->maximum() == bottom && vertical->pageStep() == area.height()
                && horizontal->maximum() == right && horizontal->pageStep() == width) {
                break;
            }
            vertical->setRange(0, bottom);
            vertical->setPageStep(area.height());
            vertical->setSingleStep(
                std::max(area.height() / (area.height() / TrackTableGeometry::rowHeight + 1), 2));
            horizontal->setPageStep(width);
            horizontal->setRange(0, right);
        }
        m_inGeometries = false;
    }
    // The vertical scroll bar scrolls the rows only: it starts below the
    // header row, and the header runs on over its gutter to the table's edge.
    const int headerHeight = m_header->isHidden() ? 0 : m_header->height();
    if (m_scrollBarTop->height() != headerHeight) {
        m_scrollBarTop->setFixedHeight(headerHeight);
    }
    if (!m_header->isHidden()) {
        QRect band = m_header->geometry();
        band.setRight(contentsRect().right());
        if (m_header->geometry() != band) {
            m_header->setGeometry(band);
        }
        m_header->raise();
        // The ring stays above the header, or the header hides its top edge.
        if (m_focusRing) {
            m_focusRing->raise();
        }
    }
}

void TrackListTableView::dataChanged(
    const QModelIndex& topLeft, const QModelIndex& bottomRight, const QList<int>& roles)
{
    // A selection or playback change covers every row. The base class maps
    // the range to a rectangle index by index (over a million calls at
    // 100,000 songs); rows all have one height, so repainting what shows is
    // all there is to do.
    Q_UNUSED(topLeft);
    Q_UNUSED(bottomRight);
    Q_UNUSED(roles);
    viewport()->update();
}

void TrackListTableView::resizeEvent(QResizeEvent* event)
{
    QTreeView::resizeEvent(event);
    syncHeaderSections();
    updateTicking();
}

void TrackListTableView::scrollContentsBy(int dx, int dy)
{
    // Not the tree's: without its items it would move the header only.
    if (dx) {
        QScrollBar* bar = horizontalScrollBar();
        m_header->setOffset(isRightToLeft() ? bar->maximum() - bar->value() : bar->value());
    }
    viewport()->scroll(isRightToLeft() ? -dx : dx, dy);
    updateTicking();
}

void TrackListTableView::drawRow(
    QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    const NowPlayingTicker& ticker = NowPlayingTicker::shared();
    const QRectF row(-horizontalOffset(), option.rect.top(), contentWidth(), option.rect.height());
    m_delegate->paintRow(*painter, row, index, m_layout.columns(), ticker.seconds(),
        ticker.reduceMotion(), index.row() == m_menuRow);
}

TrackListTableView::Cell TrackListTableView::cellAt(const QPoint& position, int* column) const
{
    const double x = position.x() + horizontalOffset();
    const double width = contentWidth();
    if (TrackTableGeometry::leadingCell(1).contains(x, 0)) {
        return Cell::play;
    }
    if (TrackTableGeometry::trailingCell(width, 1).contains(x, 0)) {
        return Cell::edit;
    }
    if (column) {
        *column = -1;
        const TrackTableColumnLayout& columns = m_layout.columns();
        const QList<QRectF> frames = TrackTableGeometry::columnFrames(columns, 1);
        for (qsizetype i = 0; i < frames.size(); ++i) {
            if (x >= frames[i].left() && x < frames[i].right()) {
                *column = int(columns[i].id);
            }
        }
    }
    return Cell::column;
}

int TrackListTableView::rowsPerPage() const
{
    return std::max(1, viewport()->height() / TrackTableGeometry::rowHeight);
}

void TrackListTableView::showRow(int row)
{
    if (row < 0 || row >= m_model->rowCount()) {
        return;
    }
    const QModelIndex index = m_model->index(row, 0);
    // No selection mode: making it current selects nothing.
    setCurrentIndex(index);
    const QRect rect = visualRect(index);
    QScrollBar* bar = verticalScrollBar();
    if (rect.top() < 0) {
        bar->setValue(bar->value() + rect.top());
    } else if (rect.bottom() >= viewport()->height()) {
        bar->setValue(bar->value() + rect.bottom() - viewport()->height() + 1);
    }
}

void TrackListTableView::keyPressEvent(QKeyEvent* event)
{
    // A list of rows has nothing to move sideways to: the stock tree view
    // would scroll the columns by one step instead.
    if (event->key() == Qt::Key_Left || event->key() == Qt::Key_Right) {
        event->ignore();
        return;
    }
    const bool otherModifiers = event->modifiers() & (keys::command | keys::control | keys::option);
    const bool shift = event->modifiers() & keys::shift;
    if (const std::optional<TrackListKeyMove> move = keyMove(event->key())) {
        // With Ctrl or Alt the keys are not the table's: the stock view would
        // move its current row apart from the selection.
        if (otherModifiers) {
            event->ignore();
            return;
        }
        if (m_callbacks.onMoveSelection) {
            showRow(m_callbacks.onMoveSelection(*move, shift, rowsPerPage()));
        }
        event->accept();
        return;
    }
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && !otherModifiers
        && !shift) {
        // Return plays the row the keys are on, as a double click does.
        const int row = m_callbacks.leadRow ? m_callbacks.leadRow() : -1;
        if (row >= 0 && m_callbacks.onDoubleClick) {
            m_callbacks.onDoubleClick(row);
        }
        event->accept();
        return;
    }
    QTreeView::keyPressEvent(event);
}

bool TrackListTableView::event(QEvent* event)
{
    // While a type-select is under way a space goes on with it, not to the
    // window's Play/Pause.
    if (event->type() == QEvent::ShortcutOverride) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Space && !(key->modifiers() & keys::anyModifier)
            && m_sinceSearchKey.isValid()
            && m_sinceSearchKey.elapsed() < QApplication::keyboardInputInterval()) {
            event->accept();
            return true;
        }
    }
    return QTreeView::event(event);
}

void TrackListTableView::keyboardSearch(const QString& search)
{
    m_sinceSearchKey.start();
    // The stock search makes the row it finds current; that row is selected.
    m_searching = true;
    m_foundRow = -1;
    QAbstractItemView::keyboardSearch(search);
    m_searching = false;
    if (m_foundRow >= 0) {
        if (m_callbacks.onTypeSelect) {
            m_callbacks.onTypeSelect(m_foundRow);
        }
        showRow(m_foundRow);
    }
}

void TrackListTableView::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    // Not the tree view's own: its focus event numbers the current row as
    // (row + 1) x columns, which names another song or none; the table's
    // interface numbers its rows from 1, after the header.
    QAbstractItemView::currentChanged(current, previous);
    if (m_searching && current.isValid()) {
        m_foundRow = current.row();
    }
    if (hasFocus()) {
        notifyFocusedRow();
    }
}

void TrackListTableView::focusInEvent(QFocusEvent* event)
{
    QTreeView::focusInEvent(event);
    // The focus lands on the row the keys are on, as a screen reader says it.
    notifyFocusedRow();
}

void TrackListTableView::notifyFocusedRow()
{
    const QModelIndex current = currentIndex();
    if (QAccessible::isActive() && current.isValid()) {
        QAccessibleEvent event(this, QAccessible::Focus);
        event.setChild(1 + current.row());
        QAccessible::updateAccessibility(&event);
    }
}

void TrackListTableView::mousePressEvent(QMouseEvent* event)
{
    setFocus(Qt::MouseFocusReason);
    const QModelIndex index = indexAt(event->position().toPoint());
    m_pressedRow = -1;
    m_pressedCell = Cell::none;
    if (!index.isValid() || event->button() != Qt::LeftButton) {
        event->accept();
        return;
    }
    m_pressedRow = index.row();
    m_pressedCell = cellAt(event->position().toPoint());
    if (m_pressedCell == Cell::column && m_callbacks.onSelect) {
        m_callbacks.onSelect(index.row(), event->modifiers());
        // Type-select goes on from the clicked row.
        setCurrentIndex(m_model->index(index.row(), 0));
    }
    event->accept();
}

void TrackListTableView::mouseReleaseEvent(QMouseEvent* event)
{
    const int row = std::exchange(m_pressedRow, -1);
    const Cell pressed = std::exchange(m_pressedCell, Cell::none);
    const QModelIndex index = indexAt(event->position().toPoint());
    event->accept();
    // A button acts when released over itself, like any button.
    if (event->button() != Qt::LeftButton || !index.isValid() || index.row() != row
        || cellAt(event->position().toPoint()) != pressed) {
        return;
    }
    if (pressed == Cell::play && m_callbacks.onTogglePlayback) {
        m_callbacks.onTogglePlayback(row);
    } else if (pressed == Cell::edit && m_callbacks.onEdit) {
        m_callbacks.onEdit(row);
    }
}

void TrackListTableView::mouseDoubleClickEvent(QMouseEvent* event)
{
    const QModelIndex index = indexAt(event->position().toPoint());
    if (index.isValid() && event->button() == Qt::LeftButton
        && cellAt(event->position().toPoint()) == Cell::column) {
        m_pressedRow = -1;
        m_pressedCell = Cell::none;
        if (m_callbacks.onDoubleClick) {
            m_callbacks.onDoubleClick(index.row());
        }
        event->accept();
        return;
    }
    // On a button, the second click presses it again.
    mousePressEvent(event);
}

void TrackListTableView::mouseMoveEvent(QMouseEvent* event)
{
    // No drag selection and no rubber band: the owner keeps the selection.
    event->accept();
}

void TrackListTableView::contextMenuEvent(QContextMenuEvent* event)
{
    int row = -1;
    QPoint at = event->globalPos();
    if (event->reason() == QContextMenuEvent::Keyboard) {
        // The menu key opens the menu of the row the keys are on, below it.
        row = m_callbacks.leadRow ? m_callbacks.leadRow() : -1;
        if (row >= 0) {
            showRow(row);
            const QRect rect = visualRect(m_model->index(row, 0));
            at = viewport()->mapToGlobal(
                QPoint(int(TrackTableGeometry::leadingCellWidth), rect.bottom()));
        }
    } else {
        row = indexAt(event->pos()).row();
    }
    if (row < 0) {
        event->ignore();
        return;
    }
    QMenu* menu = buildContextMenu(row);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    // The row stays outlined while its menu is open; the selection is untouched.
    setMenuRow(row);
    connect(menu, &QMenu::aboutToHide, this, [this] { setMenuRow(-1); });
    menu->popup(at);
}

void TrackListTableView::setMenuRow(int row)
{
    if (row == m_menuRow) {
        return;
    }
    m_menuRow = row;
    m_menuID = row >= 0 ? m_model->orderedIDs().value(row) : QUuid();
    viewport()->update();
}

QMenu* TrackListTableView::buildContextMenu(int row)
{
    const Track& track = m_model->track(row);
    const QUuid id = track.id;
    // The list may be re-sorted or changed while the menu is open: an item
    // acts on the row that shows the same song at the same place, else on
    // the song's first row, else on nothing.
    auto forward = [this, row, id](std::function<void(int)> TrackListTableCallbacks::*member) {
        return [this, row, id, member] {
            const QList<QUuid>& ids = m_model->orderedIDs();
            const int target = row < ids.size() && ids[row] == id ? row : int(ids.indexOf(id));
            const std::function<void(int)>& callback = m_callbacks.*member;
            if (target >= 0 && callback) {
                callback(target);
            }
        };
    };
    TrackContextMenuActions actions;
    actions.onPlay = forward(&TrackListTableCallbacks::onPlay);
    actions.onEdit = forward(&TrackListTableCallbacks::onEdit);
    actions.onToggleFavorite = forward(&TrackListTableCallbacks::onToggleFavorite);
    actions.onChooseArtwork = forward(&TrackListTableCallbacks::onChooseArtwork);
    actions.onRemoveArtwork = forward(&TrackListTableCallbacks::onRemoveArtwork);
    actions.onRevealInFileManager = forward(&TrackListTableCallbacks::onRevealInFileManager);
    actions.onRemoveFromPlayer = forward(&TrackListTableCallbacks::onRemoveFromPlayer);
    actions.onRequestPermanentDeletion
        = forward(&TrackListTableCallbacks::onRequestPermanentDeletion);
    const qint64 count
        = m_callbacks.metadataSelectionCount ? m_callbacks.metadataSelectionCount(row) : 1;
    const bool removing = m_callbacks.isRemovalInFlight && m_callbacks.isRemovalInFlight(row);
    return TrackContextMenuContent::build(track, count, removing, std::move(actions), this);
}

bool TrackListTableView::viewportEvent(QEvent* event)
{
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const QModelIndex index = indexAt(help->pos());
        int column = -1;
        QString text;
        if (index.isValid() && cellAt(help->pos(), &column) == Cell::column && column >= 0) {
            text = m_model->index(index.row(), column).data(Qt::ToolTipRole).toString();
        }
        if (text.isEmpty()) {
            QToolTip::hideText();
        } else {
            QToolTip::showText(help->globalPos(), text, viewport());
        }
        return true;
    }
    return QTreeView::viewportEvent(event);
}

void TrackListTableView::showEvent(QShowEvent* event)
{
    QTreeView::showEvent(event);
    updateTicking();
}

void TrackListTableView::hideEvent(QHideEvent* event)
{
    QTreeView::hideEvent(event);
    updateTicking();
}

void TrackListTableView::updateTicking()
{
    bool wanted = false;
    if (isVisible() && !NowPlayingTicker::shared().reduceMotion() && m_model->rowCount() > 0) {
        const QModelIndex first = indexAt(QPoint(0, 0));
        const QModelIndex last = indexAt(QPoint(0, viewport()->height() - 1));
        const int from = first.isValid() ? first.row() : 0;
        const int to = last.isValid() ? last.row() : m_model->rowCount() - 1;
        for (int row = from; row <= to && !wanted; ++row) {
            wanted = m_model->index(row, 0).data(TrackTableModel::IsPlayingRole).toBool();
        }
    }
    if (wanted != m_ticking) {
        m_ticking = wanted;
        if (wanted) {
            NowPlayingTicker::shared().subscribe(this);
        } else {
            NowPlayingTicker::shared().unsubscribe(this);
        }
    }
}

void TrackListTableView::tick()
{
    if (!m_ticking) {
        return;
    }
    // Only the bars move: repaint the indicator slot of each playing row.
    const TrackTableColumnLayout& columns = m_layout.columns();
    const QList<QRectF> frames = TrackTableGeometry::columnFrames(columns, 1);
    double titleLeft = -1;
    for (qsizetype i = 0; i < columns.size(); ++i) {
        if (columns[i].id == TrackTableColumnID::title) {
            titleLeft = frames[i].left();
        }
    }
    if (titleLeft < 0) {
        return;
    }
    const QModelIndex first = indexAt(QPoint(0, 0));
    const QModelIndex last = indexAt(QPoint(0, viewport()->height() - 1));
    const int from = first.isValid() ? first.row() : 0;
    const int to = last.isValid() ? last.row() : m_model->rowCount() - 1;
    for (int row = from; row <= to; ++row) {
        const QModelIndex index = m_model->index(row, 0);
        if (index.data(TrackTableModel::IsPlayingRole).toBool()) {
            const QRect rect = visualRect(index);
            viewport()->update(QRect(int(titleLeft - horizontalOffset()) - 2, rect.top(),
                int(NowPlayingIndicator::width) + 4, rect.height()));
        }
    }
}

} // namespace kivo
