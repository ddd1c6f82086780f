#include "ui/eon/EonSymbolView.h"

#include "ui/eon/Symbols.h"

#include <QPainter>
#include <cmath>

namespace kivo {

EonSymbolView::EonSymbolView(
    const QString& symbolName, double textSize, const QColor& color, QWidget* parent)
    : QWidget(parent)
    , m_symbolName(symbolName)
    , m_size(Symbols::sizeForTextSize(textSize))
    , m_color(color)
{
    const int side = int(std::ceil(m_size));
    setFixedSize(side, side);
    setAttribute(Qt::WA_TranslucentBackground);
}

void EonSymbolView::setSymbolName(const QString& name)
{
    m_symbolName = name;
    update();
}

void EonSymbolView::setColor(const QColor& color)
{
    m_color = color;
    update();
}

void EonSymbolView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::TextAntialiasing);
    Symbols::paint(painter, rect(), m_symbolName, m_color, m_size);
}

} // namespace kivo
