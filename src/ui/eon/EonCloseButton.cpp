#include "ui/eon/EonCloseButton.h"

#include "ui/eon/EonPalette.h"
#include "ui/eon/Symbols.h"

#include <QPainter>

using namespace Qt::Literals::StringLiterals;

namespace kivo {

EonCloseButton::EonCloseButton(
    const Look& look, const QString& objectName, const QString& label, QWidget* parent)
    : EonPressButton(parent)
    , m_look(look)
{
    setFixedSize(look.diameter, look.diameter);
    setObjectName(objectName);
    setAccessibleName(label);
    setToolTip(label);
}

void EonCloseButton::paintLabel(QPainter& painter, const QRectF& bounds)
{
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(eonHairline(), 1));
    painter.setBrush(eonWithOpacity(eonSurfaceRaised(), m_look.discOpacity));
    painter.drawEllipse(bounds.adjusted(0.5, 0.5, -0.5, -0.5));
    Symbols::paint(painter, bounds, u"xmark"_s, eonTextSecondary(),
        Symbols::sizeForTextSize(m_look.glyphTextSize));
}

} // namespace kivo
