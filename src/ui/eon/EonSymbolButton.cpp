#include "ui/eon/EonSymbolButton.h"

#include "ui/eon/Symbols.h"

#include <QPainter>

namespace kivo {

EonSymbolButton::EonSymbolButton(
    const QString& symbolName, double textSize, const QColor& color, QWidget* parent)
    : EonPressButton(parent)
    , m_symbolName(symbolName)
    , m_size(Symbols::sizeForTextSize(textSize))
    , m_color(color)
{
}

void EonSymbolButton::setSymbolName(const QString& name)
{
    m_symbolName = name;
    update();
}

void EonSymbolButton::setColor(const QColor& color)
{
    m_color = color;
    update();
}

void EonSymbolButton::paintLabel(QPainter& painter, const QRectF& bounds)
{
    paintBackground(painter, bounds);
    Symbols::paint(painter, bounds, m_symbolName, m_color, m_size);
}

} // namespace kivo
