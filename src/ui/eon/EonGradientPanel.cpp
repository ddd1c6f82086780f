#include "ui/eon/EonGradientPanel.h"

#include <QPainter>

namespace kivo {

EonGradientPanel::EonGradientPanel(const EonGradient& gradient, QWidget* parent)
    : QWidget(parent)
    , m_gradient(gradient)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void EonGradientPanel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black); // gradients with translucent stops sit on black
    painter.fillRect(rect(), QBrush(m_gradient.toLinearGradient(layoutDirection())));
}

} // namespace kivo
