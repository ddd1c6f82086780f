#include "ui/songtable/TrackTableHeaderView.h"

#include "platform/UndoManager.h"
#include "ui/eon/EonFonts.h"
#include "ui/eon/EonMetrics.h"
#include "ui/eon/EonPalette.h"
#include "ui/eon/Symbols.h"
#include "ui/songtable/TrackTableGeometry.h"
#include "ui/songtable/TrackTableLayoutState.h"

#include <QApplication>
#include <QDrag>
#include <QDragEnterEvent>
#include <QFontMetricsF>
#include <QHelpEvent>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

namespace kivo {

namespace {

constexpr double rowHeight = TrackTableGeometry::headerRowHeight;
constexpr double controlSize = 24;
constexpr double controlSpacing = 2;
constexpr double handleWidth = 5;
constexpr double handleHeight = 20;
constexpr double handleSlop = 3;

double gripWidth(const TrackTableColumnConfiguration& column)
{
    return column.isCollapsed ? 14 : 18;
}

QRectF handleRect(const QRectF& frame)
{
    return QRectF(
        frame.right() - handleWidth, (rowHeight - handleHeight) / 2, handleWidth, handleHeight);
}

// The chevron at this glyph size is about as wide as the design's 8-point
// one; the default widths were drawn for that.
constexpr double chevronSize = 8;
constexpr double chevronSpacing = 3;

QFont labelFont(bool collapsed)
{
    QFont font = eonMonoFont(eon::textCaption, QFont::Bold);
    font.setLetterSpacing(QFont::AbsoluteSpacing, collapsed ? 0 : 0.6);
    return font;
}

QIcon menuIcon(const QString& symbol)
{
    return QIcon(Symbols::pixmap(symbol, eonTextSecondary(), 16, 18));
}

QAction* addMenuItem(QMenu* menu, const QString& text, const QString& symbol)
{
    QAction* action = menu->addAction(menuIcon(symbol), text);
    action->setProperty("symbolName", symbol);
    return action;
}

QString escapedForMenu(QString text)
{
    return text.replace(QLatin1Char('&'), QStringLiteral("&&"));
}

} // namespace

TrackTableHeaderView::TrackTableHeaderView(
    TrackTableLayoutState& layout, UndoManager* undoManager, QWidget* parent)
    : QHeaderView(Qt::Horizontal, parent)
    , m_layout(layout)
    , m_undoManager(undoManager)
    , m_drags(layout, undoManager)
{
    setSectionsMovable(false);
    setSectionsClickable(false);
    setStretchLastSection(false);
    setSectionResizeMode(QHeaderView::Fixed);
    setMouseTracking(true);
    viewport()->setMouseTracking(true);
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
    setAutoFillBackground(false);
    viewport()->setAutoFillBackground(false);
    connect(&m_layout, &TrackTableLayoutState::columnsChanged, viewport(),
        qOverload<>(&QWidget::update));
}

void TrackTableHeaderView::setSortOrder(const TrackSortOrder& sortOrder)
{
    m_sortOrder = sortOrder;
    viewport()->update();
}

void TrackTableHeaderView::setContentWidth(double width)
{
    if (m_contentWidth != width) {
        m_contentWidth = width;
        viewport()->update();
    }
}

bool TrackTableHeaderView::showsRestoreButton() const
{
    return !m_layout.isDefaultLayout();
}

QRectF TrackTableHeaderView::restoreButtonRect() const
{
    const QRectF cell = TrackTableGeometry::trailingCell(m_contentWidth, rowHeight);
    const double left = cell.center().x() - (2 * controlSize + controlSpacing) / 2;
    return QRectF(left, (rowHeight - controlSize) / 2, controlSize, controlSize);
}

QRectF TrackTableHeaderView::menuButtonRect() const
{
    return restoreButtonRect().translated(controlSize + controlSpacing, 0);
}

TrackTableHeaderView::Hit TrackTableHeaderView::hitTest(const QPointF& position) const
{
    if (position.y() < 0 || position.y() >= TrackTableGeometry::headerHeight) {
        return {};
    }
    if (menuButtonRect().contains(position)) {
        return { Part::menuButton, std::nullopt };
    }
    if (showsRestoreButton() && restoreButtonRect().contains(position)) {
        return { Part::restoreButton, std::nullopt };
    }
    const TrackTableColumnLayout& columns = m_layout.columns();
    const QList<QRectF> frames = TrackTableGeometry::columnFrames(columns, rowHeight);
    // The handles reach a little past their column, over the next grip.
    for (qsizetype i = 0; i < columns.size(); ++i) {
        const QRectF handle
            = handleRect(frames[i]).adjusted(-handleSlop, -handleSlop, handleSlop, handleSlop);
        if (handle.contains(position)) {
            return { Part::resizeHandle, columns[i].id };
        }
    }
    for (qsizetype i = 0; i < columns.size(); ++i) {
        if (position.x() >= frames[i].left() && position.x() < frames[i].right()) {
            const bool onGrip = position.x() < frames[i].left() + gripWidth(columns[i]);
            return { onGrip ? Part::grip : Part::title, columns[i].id };
        }
    }
    return {};
}

QSize TrackTableHeaderView::sizeHint() const
{
    return QSize(int(m_contentWidth), TrackTableGeometry::headerHeight);
}

QPointF TrackTableHeaderView::contentPosition(const QPointF& viewportPosition) const
{
    return viewportPosition + QPointF(offset(), 0);
}

void TrackTableHeaderView::paintEvent(QPaintEvent*)
{
    QPainter painter(viewport());
    painter.translate(-offset(), 0);
    const QRectF row(
        0, 0, std::max(m_contentWidth, double(viewport()->width() + offset())), rowHeight);
    QLinearGradient panel = eonPanelGradient().toLinearGradient(layoutDirection());
    painter.fillRect(row.adjusted(0, 0, 0, 1), panel);
    painter.fillRect(QRectF(row.left(), rowHeight, row.width(), 1), eonHairline());

    const TrackTableColumnLayout& columns = m_layout.columns();
    const QList<QRectF> frames = TrackTableGeometry::columnFrames(columns, rowHeight);
    for (qsizetype i = 0; i < columns.size(); ++i) {
        const bool sorted = sortField(columns[i].id) == m_sortOrder.field;
        TrackTableColumnHeaderView::paint(painter, columns[i], frames[i],
            sorted ? std::optional<bool>(m_sortOrder.ascending) : std::nullopt,
            m_hovered == columns[i].id);
    }

    if (showsRestoreButton()) {
        Symbols::paint(painter, restoreButtonRect(), QStringLiteral("arrow.counterclockwise"),
            eonAccent(), Symbols::sizeForTextSize(eon::textCaption));
    }
    Symbols::paint(painter, menuButtonRect(), QStringLiteral("rectangle.3.group"),
        eonTextTertiary(), Symbols::sizeForTextSize(eon::textFootnote));
}

double TrackTableColumnHeaderView::labelRoom(
    const TrackTableColumnConfiguration& column, bool sorted)
{
    // Trailing titles keep clear of the resize handle, as the cells below do;
    // a sorted one's chevron may run under the handle's thin line.
    const bool trailing = contentAlignment(column.id) & Qt::AlignRight;
    const double inset = trailing && !sorted ? TrackTableGeometry::trailingTextInset : 0;
    return std::max(0.0, column.width - gripWidth(column) - inset);
}

EonSortLabel TrackTableColumnHeaderView::columnLabel(
    const TrackTableColumnConfiguration& column, std::optional<bool> sortedAscending)
{
    const QString chevron = !sortedAscending ? QString()
        : *sortedAscending                   ? QStringLiteral("chevron.up")
                                             : QStringLiteral("chevron.down");
    return EonSortLabel::layout(labelFont(false), title(column.id),
        labelRoom(column, sortedAscending.has_value()), chevron, chevronSize, chevronSpacing);
}

void TrackTableColumnHeaderView::paint(QPainter& painter,
    const TrackTableColumnConfiguration& column, const QRectF& frame,
    std::optional<bool> sortedAscending, bool hovering)
{
    const bool sorted = sortedAscending.has_value();
    painter.save();
    painter.setClipRect(frame);
    if (hovering) {
        painter.fillRect(frame, eonWithOpacity(eonSurfaceRaised(), 0.46));
    }
    const QRectF grip(frame.left(), 0, gripWidth(column), rowHeight);
    Symbols::paint(painter, grip, QStringLiteral("line.3.horizontal"),
        hovering ? eonWithOpacity(eonAccent(), 0.8) : eonWithOpacity(eonTextTertiary(), 0.55),
        Symbols::sizeForTextSize(8));

    const QColor color = sorted ? eonAccent() : eonTextTertiary();
    const Qt::Alignment alignment = contentAlignment(column.id);
    const QRectF area(frame.left() + grip.width(), 0, labelRoom(column, sorted), rowHeight);
    const QString chevron = sorted
        ? (*sortedAscending ? QStringLiteral("chevron.up") : QStringLiteral("chevron.down"))
        : QString();
    EonSortLabel label;
    if (column.isCollapsed) {
        label = EonSortLabel::layout(
            labelFont(true), QString(), area.width(), chevron, chevronSize, chevronSpacing);
        label.textWidth = Symbols::sizeForTextSize(eon::textCaption);
    } else {
        label = columnLabel(column, sortedAscending);
    }
    const double contentWidth = label.textWidth;
    const double labelWidth = label.width();
    double left = area.left();
    if (alignment & Qt::AlignRight) {
        left = area.right() - labelWidth;
    } else if (alignment & Qt::AlignHCenter) {
        left = area.center().x() - labelWidth / 2;
    }
    const QRectF content(left, 0, contentWidth, rowHeight);
    if (column.isCollapsed) {
        Symbols::paint(painter, content, symbolName(column.id), color, contentWidth);
    } else {
        painter.setFont(label.font);
        painter.setPen(color);
        painter.drawText(content.adjusted(0, 0, 1, 0),
            Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, label.text);
    }
    if (sorted) {
        Symbols::paint(painter,
            QRectF(content.right() + label.spacing, 0, label.chevronWidth, rowHeight), chevron,
            color, chevronSize);
    }
    painter.fillRect(handleRect(frame),
        hovering ? eonWithOpacity(eonAccent(), 0.55) : eonWithOpacity(eonHairline(), 0.7));
    painter.restore();
}

void TrackTableHeaderView::setHovered(std::optional<TrackTableColumnID> column)
{
    if (m_hovered != column) {
        m_hovered = column;
        viewport()->update();
    }
}

void TrackTableHeaderView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    m_pressPosition = event->position();
    m_pressed = hitTest(contentPosition(event->position()));
    m_resizing = false;
    if (m_pressed.part == Part::menuButton) {
        QMenu* menu = buildColumnMenu(this);
        menu->setAttribute(Qt::WA_DeleteOnClose);
        menu->popup(viewport()->mapToGlobal(
            (menuButtonRect().bottomLeft() + QPointF(-offset(), 2)).toPoint()));
        m_pressed = {};
    }
    event->accept();
}

void TrackTableHeaderView::mouseMoveEvent(QMouseEvent* event)
{
    const QPointF position = contentPosition(event->position());
    if (!(event->buttons() & Qt::LeftButton)) {
        setHovered(hitTest(position).column);
        return;
    }
    const double translation = event->position().x() - m_pressPosition.x();
    if (m_pressed.part == Part::resizeHandle && m_pressed.column) {
        // At least one point of movement makes it a drag.
        if (m_resizing || std::abs(translation) >= 1) {
            m_resizing = true;
            m_drags.resizeDragMoved(*m_pressed.column, translation);
        }
    } else if (m_pressed.part == Part::grip && m_pressed.column
        && (event->position() - m_pressPosition).manhattanLength()
            >= QApplication::startDragDistance()) {
        const TrackTableColumnID column = *m_pressed.column;
        m_pressed = {};
        startReorderDrag(column);
    }
    event->accept();
}

void TrackTableHeaderView::mouseReleaseEvent(QMouseEvent* event)
{
    const Hit pressed = std::exchange(m_pressed, {});
    if (std::exchange(m_resizing, false)) {
        m_drags.resizeDragEnded();
    } else if (event->button() == Qt::LeftButton) {
        const Hit released = hitTest(contentPosition(event->position()));
        if (released == pressed && pressed.part == Part::title && pressed.column) {
            Q_EMIT sortRequested(sortOrderAfterHeaderClick(*pressed.column, m_sortOrder));
        } else if (released == pressed && pressed.part == Part::restoreButton) {
            restoreDefaultLayout();
        }
    }
    event->accept();
}

void TrackTableHeaderView::mouseDoubleClickEvent(QMouseEvent* event)
{
    const Hit hit = hitTest(contentPosition(event->position()));
    if (event->button() == Qt::LeftButton && hit.part == Part::resizeHandle && hit.column) {
        m_pressed = {};
        m_layout.resetWidth(*hit.column, m_undoManager.data());
        event->accept();
        return;
    }
    // Anything else is a second click.
    mousePressEvent(event);
}

void TrackTableHeaderView::contextMenuEvent(QContextMenuEvent* event)
{
    const Hit hit = hitTest(contentPosition(event->pos()));
    if (!hit.column) {
        event->ignore();
        return;
    }
    QMenu* menu = buildColumnContextMenu(*hit.column, this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}

void TrackTableHeaderView::startReorderDrag(TrackTableColumnID column)
{
    auto* mime = new QMimeData;
    mime->setText(m_drags.beginReorderDrag(column));
    auto* drag = new QDrag(this);
    drag->setMimeData(mime);
    drag->exec(Qt::MoveAction);
    // Dropped, cancelled or dropped elsewhere: no column is being dragged any more.
    m_drags.endReorderDrag();
}

void TrackTableHeaderView::dragEnterEvent(QDragEnterEvent* event)
{
    if (m_drags.acceptsDrop(event->source() == this)) {
        event->setDropAction(Qt::MoveAction);
        event->accept();
    } else {
        event->ignore();
    }
}

void TrackTableHeaderView::dragMoveEvent(QDragMoveEvent* event)
{
    const Hit hit = hitTest(contentPosition(event->position()));
    if (hit.column && m_drags.acceptsDrop(event->source() == this)) {
        event->setDropAction(Qt::MoveAction);
        event->accept();
    } else {
        event->ignore();
    }
}

void TrackTableHeaderView::dropEvent(QDropEvent* event)
{
    const Hit hit = hitTest(contentPosition(event->position()));
    if (hit.column && m_drags.drop(*hit.column, event->source() == this)) {
        event->setDropAction(Qt::MoveAction);
        event->accept();
    } else {
        event->ignore();
    }
}

bool TrackTableHeaderView::viewportEvent(QEvent* event)
{
    switch (event->type()) {
    case QEvent::ToolTip: {
        auto* help = static_cast<QHelpEvent*>(event);
        const Hit hit = hitTest(contentPosition(help->pos()));
        QString text;
        switch (hit.part) {
        case Part::grip:
        case Part::title:
            text = QStringLiteral("Drag to reorder. Drag the right edge to resize.");
            break;
        case Part::resizeHandle:
            text = QStringLiteral("Drag to resize. Double-click to reset width.");
            break;
        case Part::restoreButton:
            text = QStringLiteral("Restore default song-column layout");
            break;
        case Part::menuButton:
            text = QStringLiteral("Show, hide, and restore song columns");
            break;
        case Part::none:
            break;
        }
        if (text.isEmpty()) {
            QToolTip::hideText();
        } else {
            QToolTip::showText(help->globalPos(), text, viewport());
        }
        return true;
    }
    case QEvent::Leave:
        setHovered(std::nullopt);
        break;
    default:
        break;
    }
    return QHeaderView::viewportEvent(event);
}

QMenu* TrackTableHeaderView::buildColumnMenu(QWidget* parent)
{
    auto* menu = new QMenu(parent);
    menu->setObjectName(QStringLiteral("songColumnMenu"));
    const QString message = m_layout.recoveryMessage();
    if (!message.isEmpty()) {
        QAction* text = menu->addAction(escapedForMenu(message));
        text->setEnabled(false);
        connect(menu->addAction(QStringLiteral("Dismiss Message")), &QAction::triggered, this,
            [this] { m_layout.setRecoveryMessage({}); });
        menu->addSeparator();
    }
    for (const TrackTableColumnID id : allTrackTableColumnIDs()) {
        QAction* toggle = addMenuItem(
            menu, title(id), m_layout.isVisible(id) ? QStringLiteral("checkmark") : symbolName(id));
        toggle->setObjectName(rawValue(id));
        connect(toggle, &QAction::triggered, this, [this, id] { toggleColumn(id); });
    }
    menu->addSeparator();
    QAction* restore = addMenuItem(
        menu, QStringLiteral("Restore Default Layout"), QStringLiteral("arrow.counterclockwise"));
    restore->setEnabled(showsRestoreButton());
    connect(restore, &QAction::triggered, this, &TrackTableHeaderView::restoreDefaultLayout);
    return menu;
}

QMenu* TrackTableHeaderView::buildColumnContextMenu(TrackTableColumnID column, QWidget* parent)
{
    auto* menu = new QMenu(parent);
    const bool collapsed = m_layout.isVisible(column)
        && m_layout.columns()[m_layout.visibleColumnIDs().indexOf(column)].isCollapsed;
    QAction* collapse = collapsed
        ? addMenuItem(menu, QStringLiteral("Expand Column"),
            QStringLiteral("arrow.right.and.line.vertical.and.arrow.left"))
        : addMenuItem(menu, QStringLiteral("Collapse Column"),
            QStringLiteral("arrow.left.and.line.vertical.and.arrow.right"));
    connect(collapse, &QAction::triggered, this,
        [this, column] { m_layout.toggleCollapsed(column, m_undoManager.data()); });
    connect(
        addMenuItem(menu, QStringLiteral("Reset Width"), QStringLiteral("arrow.left.and.right")),
        &QAction::triggered, this,
        [this, column] { m_layout.resetWidth(column, m_undoManager.data()); });
    menu->addSeparator();
    QAction* remove = addMenuItem(
        menu, QStringLiteral("Remove Column"), QStringLiteral("rectangle.badge.minus"));
    remove->setProperty("isDestructive", true);
    connect(remove, &QAction::triggered, this,
        [this, column] { m_layout.setColumnVisible(column, false, m_undoManager.data()); });
    return menu;
}

void TrackTableHeaderView::toggleColumn(TrackTableColumnID column)
{
    m_layout.setColumnVisible(column, !m_layout.isVisible(column), m_undoManager.data());
}

void TrackTableHeaderView::restoreDefaultLayout()
{
    m_layout.applyColumns(TrackTableLayoutState::defaultColumns(),
        QStringLiteral("Restore Song Columns"), m_undoManager.data());
}

} // namespace kivo
