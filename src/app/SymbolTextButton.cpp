#include "app/SymbolTextButton.h"

#include "ui/eon/EonFonts.h"
#include "ui/eon/EonMetrics.h"
#include "ui/eon/EonPalette.h"
#include "ui/eon/Symbols.h"

#include <QEvent>
#include <QPainter>

namespace kivo {

SymbolTextButton::SymbolTextButton(const QString& symbolName, const QString& text, double textSize,
    Style style, const QColor& tint, QWidget* parent)
    : EonPressButton(parent)
    , m_symbol(symbolName)
    , m_text(text)
    , m_font(eonFont(textSize, QFont::DemiBold))
    , m_symbolSize(Symbols::sizeForTextSize(textSize))
    , m_style(style)
    , m_tint(tint)
{
    setAccessibleName(text);
    setCursor(Qt::PointingHandCursor);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void SymbolTextButton::setMinimumButtonWidth(int width)
{
    m_minimumWidth = width;
    updateGeometry();
}

QSize SymbolTextButton::sizeHint() const
{
    const QFontMetrics metrics(m_font);
    const int content = qCeil(m_symbolSize) + gap + metrics.horizontalAdvance(m_text);
    if (m_style == Style::plain) {
        return { content + 4, std::max(metrics.height(), qCeil(m_symbolSize)) + 4 };
    }
    return { std::max(m_minimumWidth, content + 24), metrics.height() + 14 };
}

void SymbolTextButton::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::EnabledChange) {
        update();
    }
    EonPressButton::changeEvent(event);
}

void SymbolTextButton::paintLabel(QPainter& painter, const QRectF& bounds)
{
    painter.setRenderHint(QPainter::Antialiasing);
    if (!isEnabled()) {
        painter.setOpacity(painter.opacity() * 0.42);
    }
    QColor label = m_tint;
    if (m_style == Style::prominent) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(m_tint);
        painter.drawRoundedRect(
            bounds.adjusted(0.5, 0.5, -0.5, -0.5), eon::plateCornerRadius, eon::plateCornerRadius);
        label = eonCanvas();
    } else if (m_style == Style::bordered) {
        painter.setPen(QPen(eonWithOpacity(m_tint, 0.42), 1));
        painter.setBrush(eonWithOpacity(m_tint, 0.14));
        painter.drawRoundedRect(bounds.adjusted(0.5, 0.5, -0.5, -0.5), eon::controlCornerRadius,
            eon::controlCornerRadius);
    }
    const QFontMetricsF metrics(m_font);
    const double width = m_symbolSize + gap + metrics.horizontalAdvance(m_text);
    double x = bounds.center().x() - width / 2;
    Symbols::paint(painter, QRectF(x, bounds.top(), m_symbolSize, bounds.height()), m_symbol, label,
        m_symbolSize);
    x += m_symbolSize + gap;
    painter.setFont(m_font);
    painter.setPen(label);
    painter.drawText(
        QRectF(x, bounds.top(), width, bounds.height()), Qt::AlignLeft | Qt::AlignVCenter, m_text);
}

} // namespace kivo
