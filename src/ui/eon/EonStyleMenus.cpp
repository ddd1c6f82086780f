#include "ui/eon/EonStyleMenus.h"

#include "ui/eon/EonPalette.h"
#include "ui/eon/EonStyle.h"
#include "ui/eon/EonStyleCommon.h"

#include <QMenu>
#include <QPainter>
#include <QPixmap>
#include <QStyleOption>

namespace kivo::eonstyle {

QColor separatorColour()
{
    return eonWithOpacity(eonTextPrimary(), 0.14);
}

bool isPickerList(const QWidget* widget)
{
    return widget && widget->inherits("QComboBoxPrivateContainer");
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
    // Menus and pickers' lists are translucent windows, so their corners
    // can be round; any other panel is square.
    const double radius = qobject_cast<const QMenu*>(widget) || isPickerList(widget)
        ? EonStyle::menuCornerRadius
        : 0;
    // Every floating surface takes the one hairline edge.
    painter->setPen(QPen(eonHairline(), 1));
    painter->setBrush(eonSurfaceRaised());
    painter->drawRoundedRect(QRectF(option->rect).adjusted(0.5, 0.5, -0.5, -0.5), radius, radius);
    painter->restore();
}

void paintToolTipPanel(QPainter* painter, const QStyleOption* option)
{
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setPen(QPen(eonHairline(), 1));
    painter->setBrush(eonSurfaceRaised());
    painter->drawRoundedRect(QRectF(option->rect).adjusted(0.5, 0.5, -0.5, -0.5),
        EonStyle::menuCornerRadius, EonStyle::menuCornerRadius);
    painter->restore();
}

QIcon destructiveIcon(const QIcon& icon)
{
    QIcon tinted;
    QList<QSize> sizes = icon.availableSizes();
    if (sizes.isEmpty()) {
        sizes = { QSize(16, 16) };
    }
    for (const QSize& size : std::as_const(sizes)) {
        QPixmap pixmap = icon.pixmap(size);
        QPainter painter(&pixmap);
        painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
        painter.fillRect(
            QRect(QPoint(0, 0), pixmap.deviceIndependentSize().toSize()), eonDestructive());
        painter.end();
        tinted.addPixmap(pixmap);
    }
    return tinted;
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
