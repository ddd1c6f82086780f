#include "ui/library/LibraryGridArea.h"

#include "ui/eon/EonPalette.h"
#include "ui/library/LibraryGridDelegate.h"
#include "ui/library/LibraryGridLayout.h"
#include "ui/library/LibraryGridModel.h"

#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyleOptionViewItem>
#include <cmath>

namespace kivo {

LibraryGridArea::LibraryGridArea(LibraryGridModel& model, QWidget* parent)
    : QAbstractScrollArea(parent)
    , m_model(model)
    , m_delegate(new LibraryGridDelegate(this))
    , m_itemWidth(LibraryGridLayout::defaultItemWidth)
{
    setObjectName(QStringLiteral("libraryGrid.tiles"));
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    verticalScrollBar()->setSingleStep(24);
    m_animation.setDuration(200);
    m_animation.setEasingCurve(QEasingCurve::OutBack);
    connect(&m_animation, &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
        m_itemWidth = value.toDouble();
        updateScrollRange();
        viewport()->update();
    });
    const auto refresh = [this] {
        updateScrollRange();
        viewport()->update();
    };
    connect(&m_model, &QAbstractItemModel::modelReset, this, refresh);
    connect(&m_model, &QAbstractItemModel::dataChanged, this, refresh);
}

void LibraryGridArea::setItemWidth(double width, bool animated)
{
    m_animation.stop();
    if (animated) {
        m_animation.setStartValue(m_itemWidth);
        m_animation.setEndValue(width);
        m_animation.start();
        return;
    }
    m_itemWidth = width;
    updateScrollRange();
    viewport()->update();
}

LibraryGridLayout LibraryGridArea::layout() const
{
    return LibraryGridLayout(viewport()->width(), m_itemWidth, m_delegate->captionHeight());
}

void LibraryGridArea::updateScrollRange()
{
    const LibraryGridLayout grid = layout();
    const int content = int(std::ceil(grid.contentHeight(m_model.rowCount())));
    verticalScrollBar()->setPageStep(viewport()->height());
    verticalScrollBar()->setRange(0, std::max(0, content - viewport()->height()));
}

void LibraryGridArea::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    updateScrollRange();
}

void LibraryGridArea::paintEvent(QPaintEvent* event)
{
    QPainter painter(viewport());
    painter.fillRect(event->rect(), eonCanvas());
    const LibraryGridLayout grid = layout();
    const double offset = verticalScrollBar()->value();
    const QRectF dirty = QRectF(event->rect()).translated(0, offset);
    const auto [first, last] = grid.visibleRange(dirty.top(), dirty.bottom(), m_model.rowCount());
    painter.translate(0, -offset);
    QStyleOptionViewItem option;
    option.initFrom(viewport());
    for (int i = first; i < last; ++i) {
        // Every tile the same whole size, whatever its fractional position.
        option.rect = QRect(grid.tileRect(i).topLeft().toPoint(),
            QSize(int(grid.columnWidth), int(grid.tileHeight)));
        m_delegate->paint(&painter, option, m_model.index(i));
    }
}

} // namespace kivo
