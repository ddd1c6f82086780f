#include "app/AboutToolbarButton.h"

#include "ui/eon/EonFonts.h"
#include "ui/eon/EonMetrics.h"
#include "ui/eon/EonPalette.h"
#include "ui/eon/Symbols.h"

#include <QPainter>
#include <QPainterPath>

using namespace Qt::Literals::StringLiterals;

namespace kivo {

namespace {

QColor blend(const QColor& from, const QColor& to, double progress)
{
    const auto mix = [progress](float a, float b) { return a + (b - a) * float(progress); };
    return QColor::fromRgbF(mix(from.redF(), to.redF()), mix(from.greenF(), to.greenF()),
        mix(from.blueF(), to.blueF()), mix(from.alphaF(), to.alphaF()));
}

} // namespace

AboutToolbarButton::AboutToolbarButton(QWidget* parent)
    : EonPressButton(parent)
{
    setObjectName(u"aboutToolbarButton"_s);
    setFixedSize(26, 26);
    setAccessibleName(u"About KIVO VOVID"_s);
    setToolTip(u"About KIVO VOVID"_s);
    setCursor(Qt::ArrowCursor);
    m_hover.setDuration(140);
    m_hover.setEasingCurve(QEasingCurve::OutCubic);
    connect(&m_hover, &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
        m_hoverProgress = value.toDouble();
        update();
    });
}

QString AboutToolbarButton::symbolName() const
{
    return u"info.circle"_s;
}

AboutToolbarButton::Look AboutToolbarButton::lookFor(bool isHovering)
{
    if (isHovering) {
        return { eonAccentBright(), eonWithOpacity(eonSurfaceRaised(), 0.86) };
    }
    return { eonTextSecondary(), QColor(Qt::transparent) };
}

void AboutToolbarButton::enterEvent(QEnterEvent* event)
{
    EonPressButton::enterEvent(event);
    animateHover();
}

void AboutToolbarButton::leaveEvent(QEvent* event)
{
    EonPressButton::leaveEvent(event);
    animateHover();
}

void AboutToolbarButton::animateHover()
{
    m_hover.stop();
    m_hover.setStartValue(m_hoverProgress);
    m_hover.setEndValue(isHovering() ? 1.0 : 0.0);
    m_hover.start();
}

void AboutToolbarButton::paintLabel(QPainter& painter, const QRectF& bounds)
{
    const Look rest = lookFor(false);
    const Look hovered = lookFor(true);
    QColor fill = hovered.fill;
    fill.setAlphaF(hovered.fill.alphaF() * float(m_hoverProgress));
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(fill);
    painter.drawRoundedRect(bounds, eon::controlCornerRadius, eon::controlCornerRadius);
    Symbols::paint(painter, bounds, symbolName(),
        blend(rest.symbol, hovered.symbol, m_hoverProgress),
        Symbols::sizeForTextSize(eon::textCallout));
}

} // namespace kivo
