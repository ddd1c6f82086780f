#include "ui/eon/EonPressButtonStyle.h"

#include <QEnterEvent>
#include <QPainter>

namespace kivo {

void EonPressButtonStyle::apply(QPainter& painter, const QRectF& bounds, double progress)
{
    const QPointF centre = bounds.center();
    painter.translate(centre);
    painter.scale(scale(progress), scale(progress));
    painter.translate(-centre);
    painter.setOpacity(painter.opacity() * opacity(progress));
}

EonPressButton::EonPressButton(QWidget* parent)
    : QAbstractButton(parent)
{
    setAttribute(Qt::WA_Hover);
    // Like the desktop's own toolbar buttons, these never take the keyboard
    // focus: a click leaves the focus (and the arrow keys) where they were.
    setFocusPolicy(Qt::NoFocus);
    m_animation.setDuration(EonPressButtonStyle::durationMs);
    m_animation.setEasingCurve(QEasingCurve::OutQuad);
    connect(&m_animation, &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
        m_pressProgress = value.toDouble();
        update();
    });
    connect(this, &QAbstractButton::pressed, this, [this] { animatePress(true); });
    connect(this, &QAbstractButton::released, this, [this] { animatePress(false); });
}

void EonPressButton::animatePress(bool down)
{
    m_animation.stop();
    m_animation.setStartValue(m_pressProgress);
    m_animation.setEndValue(down ? 1.0 : 0.0);
    m_animation.start();
}

void EonPressButton::setPressAnimation(int durationMs, const QEasingCurve& curve)
{
    m_animation.setDuration(durationMs);
    m_animation.setEasingCurve(curve);
}

void EonPressButton::paintPressed(QPainter& painter, const QRectF& bounds, double progress)
{
    EonPressButtonStyle::apply(painter, bounds, progress);
    paintLabel(painter, bounds);
}

void EonPressButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    if (!isEnabled()) {
        painter.setOpacity(EonPressButtonStyle::disabledOpacity);
    }
    paintPressed(painter, rect(), m_pressProgress);
}

void EonPressButton::enterEvent(QEnterEvent* event)
{
    m_hovering = true;
    update();
    QAbstractButton::enterEvent(event);
}

void EonPressButton::leaveEvent(QEvent* event)
{
    m_hovering = false;
    update();
    QAbstractButton::leaveEvent(event);
}

} // namespace kivo
