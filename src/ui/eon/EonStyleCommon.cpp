#include "ui/eon/EonStyleCommon.h"

#include "ui/eon/EonPalette.h"
#include "ui/eon/EonStyle.h"

#include <QPainter>
#include <QStyleOption>
#include <algorithm>

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

QColor focusRingColour()
{
    return eonSignalCyan();
}

QColor focusRingGapColour()
{
    return eonCanvas();
}

void paintFocusRing(QPainter* painter, const QRectF& rect, double radius)
{
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setBrush(Qt::NoBrush);
    const double gapInset = focusRingWidth + focusRingGap / 2;
    painter->setPen(QPen(focusRingGapColour(), focusRingGap));
    const double gapRadius = std::max(radius - gapInset, 0.0);
    painter->drawRoundedRect(
        rect.adjusted(gapInset, gapInset, -gapInset, -gapInset), gapRadius, gapRadius);
    const double ringInset = focusRingWidth / 2;
    painter->setPen(QPen(focusRingColour(), focusRingWidth));
    const double ringRadius = std::max(radius - ringInset, 0.0);
    painter->drawRoundedRect(
        rect.adjusted(ringInset, ringInset, -ringInset, -ringInset), ringRadius, ringRadius);
    painter->restore();
}

} // namespace kivo::eonstyle
