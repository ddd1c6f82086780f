#include "ui/eon/EonPressButtonStyle.h"

#include "ui/eon/EonFocusRing.h"
#include "ui/eon/KeyModifiers.h"

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
    // Tab reaches them, a click does not take the focus: it stays (with the
    // arrow keys) where it was, as with the desktop's own toolbar buttons.
    setFocusPolicy(Qt::TabFocus);
    // Tab moves between them; bare Left and Right keep changing songs.
    setProperty(keys::usesArrowKeysProperty, false);
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
    painter.save();
    paintPressed(painter, rect(), m_pressProgress);
    painter.restore();
    painter.setOpacity(1);
    EonFocusRing::paintFor(painter, *this);
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
