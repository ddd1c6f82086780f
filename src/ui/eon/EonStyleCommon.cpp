#include "ui/eon/EonStyleCommon.h"

#include "ui/eon/EonPalette.h"
#include "ui/eon/EonStyle.h"

#include <QPainter>
#include <QStyleOption>

namespace kivo::eonstyle {

bool isEnabled(const QStyleOption* option)
{
    return option->state & QStyle::State_Enabled;
}

bool showsKeyboardFocus(const QStyleOption* option)
{
    return (option->state & QStyle::State_HasFocus)
        && (option->state & QStyle::State_KeyboardFocusChange);
}

bool isDestructive(const QObject* object)
{
    return object && object->property(EonStyle::destructiveProperty).toBool();
}

QColor menuEdge()
{
    return eonWithOpacity(eonTextPrimary(), 0.16);
}

void paintFocusRing(QPainter* painter, const QRectF& rect, double radius)
{
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setPen(QPen(eonAccent(), 1.5));
    painter->setBrush(Qt::NoBrush);
    painter->drawRoundedRect(rect.adjusted(0.75, 0.75, -0.75, -0.75), radius, radius);
    painter->restore();
}

} // namespace kivo::eonstyle
