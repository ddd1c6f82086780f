#include "ui/library/SidebarRowDelegate.h"

#include "ui/eon/EonFonts.h"
#include "ui/eon/EonMetrics.h"
#include "ui/eon/EonPalette.h"
#include "ui/eon/EonStyleCommon.h"
#include "ui/eon/PlainToolTip.h"
#include "ui/eon/Symbols.h"
#include "ui/library/SidebarListView.h"
#include "ui/library/SidebarRowListModel.h"

#include <QAbstractItemView>
#include <QHelpEvent>
#include <QPainter>
#include <QPainterPath>
#include <QToolTip>

namespace kivo {

namespace {

QFont titleFont()
{
    return eonFont(eon::textHeadline, QFont::Medium);
}

// Right of the 20-wide symbol, inside the row's 12 of padding.
QRectF titleArea(const QRect& rowRect)
{
    return QRectF(rowRect).adjusted(12 + 20 + 12, 0, -12, 0);
}

} // namespace

void SidebarRowDelegate::paint(
    QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    const bool selected = index.data(SidebarRowListModel::SelectedRole).toBool();
    const QRect rowRect = option.rect.adjusted(0, 0, 0, -rowGap);
    const QRectF bounds = QRectF(rowRect).adjusted(0.5, 0.5, -0.5, -0.5);
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    if (selected) {
        QPainterPath shape;
        shape.addRoundedRect(bounds, eon::tileCornerRadius, eon::tileCornerRadius);
        // The glow: a faint amber halo around the row.
        for (int ring = 4; ring >= 1; --ring) {
            QPainterPath halo;
            halo.addRoundedRect(bounds.adjusted(-ring, -ring, ring, ring), 8 + ring, 8 + ring);
            painter->fillPath(halo, eonWithOpacity(eonAccent(), 0.02));
        }
        QLinearGradient wash(bounds.topLeft(), bounds.topRight());
        wash.setColorAt(0, eonWithOpacity(eonAccent(), 0.22));
        wash.setColorAt(0.5, eonWithOpacity(eonAccent(), 0.1));
        wash.setColorAt(1, eonWithOpacity(eonSurfaceRaised(), 0.7));
        painter->fillPath(shape, eonSurfaceSunken());
        painter->fillPath(shape, wash);
        painter->setPen(QPen(eonWithOpacity(eonAccent(), 0.22), 1));
        painter->drawPath(shape);
    }
    const QRectF content = QRectF(rowRect).adjusted(12, 0, -12, 0);
    const QRectF symbolRect(content.left(), content.top(), 20, content.height());
    Symbols::paint(*painter, symbolRect, index.data(SidebarRowListModel::SymbolRole).toString(),
        selected ? eonAccentBright() : eonTextSecondary(),
        Symbols::sizeForTextSize(eon::textHeadline) * 0.8);
    const QFont font = titleFont();
    painter->setFont(font);
    painter->setPen(selected ? eonTextPrimary() : eonTextSecondary());
    const QRectF titleRect = titleArea(rowRect);
    const QString title = QFontMetrics(font).elidedText(
        index.data(Qt::DisplayRole).toString(), Qt::ElideRight, int(titleRect.width()));
    painter->drawText(titleRect, Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine, title);
    const auto* list = qobject_cast<const SidebarListView*>(option.widget);
    if ((option.state & QStyle::State_HasFocus) && list && list->showsFocusRing()) {
        eonstyle::paintFocusRing(painter, bounds, eon::tileCornerRadius);
    }
    painter->restore();
}

bool SidebarRowDelegate::isTitleElided(const QRect& rowRect, const QString& title)
{
    const int room = int(titleArea(rowRect).width());
    return QFontMetrics(titleFont()).elidedText(title, Qt::ElideRight, room) != title;
}

bool SidebarRowDelegate::helpEvent(QHelpEvent* event, QAbstractItemView* view,
    const QStyleOptionViewItem& option, const QModelIndex& index)
{
    if (event->type() != QEvent::ToolTip || !index.isValid()) {
        return QStyledItemDelegate::helpEvent(event, view, option, index);
    }
    const QString title = index.data(Qt::DisplayRole).toString();
    if (isTitleElided(option.rect.adjusted(0, 0, 0, -rowGap), title)) {
        QToolTip::showText(event->globalPos(), plainToolTip(title), view->viewport());
    } else {
        QToolTip::hideText();
    }
    return true;
}

QSize SidebarRowDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const
{
    return { option.rect.width(), rowHeight + rowGap };
}

} // namespace kivo
