#include "ui/eon/EonFocusRing.h"

#include "ui/eon/EonStyleCommon.h"

#include <QPainter>
#include <QWidget>
#include <algorithm>

namespace kivo {

bool EonFocusRing::isShown(const QWidget& widget)
{
    return widget.hasFocus() && widget.window()->testAttribute(Qt::WA_KeyboardFocusChange);
}

void EonFocusRing::paint(QPainter& painter, const QRectF& rect, double radius)
{
    eonstyle::paintFocusRing(&painter, rect, radius);
}

QColor EonFocusRing::colour()
{
    return eonstyle::focusRingColour();
}

QColor EonFocusRing::gapColour()
{
    return eonstyle::focusRingGapColour();
}

void EonFocusRing::paintFor(QPainter& painter, const QWidget& widget, double radius)
{
    if (!isShown(widget)) {
        return;
    }
    const QRectF rect = widget.rect();
    paint(painter, rect, radius >= 0 ? radius : std::min(rect.width(), rect.height()) / 2);
}

} // namespace kivo
