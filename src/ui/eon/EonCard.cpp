#include "ui/eon/EonCard.h"

#include "ui/eon/EonMetrics.h"
#include "ui/eon/EonPalette.h"

#include <QPainter>
#include <QPainterPath>

namespace kivo {

EonCard::EonCard(double fillOpacity, QWidget* parent)
    : QWidget(parent)
    , m_fillOpacity(fillOpacity)
{
}

void EonCard::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath shape;
    shape.addRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), eon::cardCornerRadius,
        eon::cardCornerRadius);
    painter.fillPath(shape, eonWithOpacity(eonSurfaceRaised(), m_fillOpacity));
    painter.setPen(QPen(eonHairline(), 1));
    painter.drawPath(shape);
}

} // namespace kivo
