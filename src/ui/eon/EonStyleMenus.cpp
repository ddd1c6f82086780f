#include "ui/eon/EonStyleMenus.h"

#include "ui/eon/EonPalette.h"
#include "ui/eon/EonStyle.h"
#include "ui/eon/EonStyleCommon.h"

#include <QMenu>
#include <QPainter>
#include <QStyleOption>

namespace kivo::eonstyle {

QColor separatorColour()
{
    return eonWithOpacity(eonTextPrimary(), 0.14);
}

const QAction* menuActionAt(const QWidget* widget, const QRect& rect)
{
    const auto* menu = qobject_cast<const QMenu*>(widget);
    return menu ? menu->actionAt(rect.center()) : nullptr;
}

void paintMenuPanel(QPainter* painter, const QStyleOption* option, const QWidget* widget)
{
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    // Menus are translucent windows, so their corners can be round; other
    // popups (a picker's list) are square.
    const double radius = qobject_cast<const QMenu*>(widget) ? EonStyle::menuCornerRadius : 0;
    painter->setPen(QPen(menuEdge(), 1));
    painter->setBrush(eonSurfaceRaised());
    painter->drawRoundedRect(QRectF(option->rect).adjusted(0.5, 0.5, -0.5, -0.5), radius, radius);
    painter->restore();
}

void paintMenuSelection(QPainter* painter, const QRectF& rect)
{
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setPen(Qt::NoPen);
    painter->setBrush(eonWithOpacity(eonAccent(), 0.24));
    painter->drawRoundedRect(rect, eon::badgeCornerRadius, eon::badgeCornerRadius);
    painter->restore();
}

void paintMenuSeparator(QPainter* painter, const QRect& itemRect)
{
    const QRectF line(itemRect.left() + 8, itemRect.center().y(), itemRect.width() - 16, 1);
    painter->fillRect(line, separatorColour());
}

} // namespace kivo::eonstyle
