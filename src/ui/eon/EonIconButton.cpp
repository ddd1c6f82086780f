#include "ui/eon/EonIconButton.h"

#include "ui/eon/EonPalette.h"
#include "ui/eon/Symbols.h"

#include <QPainter>

namespace kivo {

namespace {
constexpr double iconTextSize = 14;
} // namespace

EonIconButtonLook EonIconButtonLook::forState(bool isActive, bool isHovering)
{
    EonIconButtonLook look;
    look.icon = isActive ? eonAccent() : eonTextSecondary();
    look.fill
        = isActive ? eonAccentWash() : eonWithOpacity(eonSurfaceRaised(), isHovering ? 0.92 : 0.0);
    look.outline
        = (isActive || isHovering) ? eonWithOpacity(eonAccent(), 0.34) : QColor(Qt::transparent);
    return look;
}

EonIconButton::EonIconButton(const QString& symbolName, int size, bool isActive,
    std::optional<QString> accessibilityLabel, QWidget* parent)
    : EonPressButton(parent)
    , m_symbolName(symbolName)
    , m_isActive(isActive)
    , m_accessibilityLabel(std::move(accessibilityLabel))
{
    setFixedSize(size, size);
    updateAccessibleName();
}

void EonIconButton::setSymbolName(const QString& name)
{
    m_symbolName = name;
    updateAccessibleName();
    update();
}

void EonIconButton::setActive(bool active)
{
    m_isActive = active;
    update();
}

void EonIconButton::setAccessibilityLabel(std::optional<QString> label)
{
    m_accessibilityLabel = std::move(label);
    updateAccessibleName();
}

void EonIconButton::updateAccessibleName()
{
    const QString name = m_accessibilityLabel.value_or(m_symbolName);
    if (accessibleName() != name) {
        setAccessibleName(name);
    }
}

void EonIconButton::paintLabel(QPainter& painter, const QRectF& bounds)
{
    const EonIconButtonLook colours = look();
    const QRectF circle = bounds.adjusted(0.5, 0.5, -0.5, -0.5);
    painter.setPen(colours.outline.alpha() ? QPen(colours.outline, 1) : QPen(Qt::NoPen));
    painter.setBrush(colours.fill);
    painter.drawEllipse(circle);
    Symbols::paint(
        painter, bounds, m_symbolName, colours.icon, Symbols::sizeForTextSize(iconTextSize));
}

} // namespace kivo
