#include "ui/library/DropOverlay.h"

#include "ui/eon/EonFonts.h"
#include "ui/eon/EonMetrics.h"
#include "ui/eon/EonPalette.h"
#include "ui/eon/Symbols.h"

#include <QPainter>
#include <QPainterPath>

using namespace Qt::Literals::StringLiterals;

namespace kivo {

DropOverlay::DropOverlay(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(u"dropOverlay"_s);
    setAccessibleName(u"Drop songs here"_s);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFixedSize(250, 132);
    setVisible(false);
}

void DropOverlay::place()
{
    if (QWidget* host = parentWidget()) {
        move((host->width() - width()) / 2, (host->height() - height()) / 2);
        raise();
    }
}

void DropOverlay::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath shape;
    shape.addRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), eon::panelCornerRadius,
        eon::panelCornerRadius);
    // A thick material under the shade: the rows' texts never read through
    // "Drop songs here".
    painter.fillPath(shape, eonCanvas());
    painter.fillPath(shape, eonWithOpacity(eonSurfaceRaised(), 0.94));
    painter.setPen(QPen(eonWithOpacity(eonAccent(), 0.48), 1));
    painter.drawPath(shape);

    const QFont font = eonFont(eon::textSubheadline, QFont::DemiBold);
    const int textHeight = QFontMetrics(font).height();
    const double symbolSize = Symbols::sizeForTextSize(eon::textDisplay);
    const double top = (height() - (symbolSize + 8 + textHeight)) / 2;
    Symbols::paint(painter, QRectF(0, top, width(), symbolSize), u"square.and.arrow.down"_s,
        eonTextPrimary(), symbolSize);
    painter.setFont(font);
    painter.setPen(eonTextPrimary());
    painter.drawText(QRectF(0, top + symbolSize + 8, width(), textHeight), Qt::AlignCenter,
        u"Drop songs here"_s);
}

} // namespace kivo
