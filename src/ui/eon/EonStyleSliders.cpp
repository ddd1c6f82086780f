#include "ui/eon/EonStyleSliders.h"

#include "ui/eon/EonPalette.h"
#include "ui/eon/EonStyle.h"
#include "ui/eon/EonStyleCommon.h"

#include <QPainter>
#include <QStyleOption>

namespace kivo::eonstyle {

QRect scrollBarPart(const QStyleOptionSlider* bar, QStyle::SubControl part)
{
    const QRect& r = bar->rect;
    const bool horizontal = bar->orientation == Qt::Horizontal;
    const int length = horizontal ? r.width() : r.height();
    int thumb = length;
    if (bar->maximum != bar->minimum) {
        const qint64 range = qint64(bar->maximum) - bar->minimum;
        thumb = int(qint64(bar->pageStep) * length / (range + bar->pageStep));
        thumb = std::clamp(thumb, std::min(EonStyle::scrollBarMinimumThumb, length), length);
    }
    const int start = QStyle::sliderPositionFromValue(
        bar->minimum, bar->maximum, bar->sliderPosition, length - thumb, bar->upsideDown);
    const auto span = [&](int from, int size) {
        return horizontal ? QRect(r.x() + from, r.y(), size, r.height())
                          : QRect(r.x(), r.y() + from, r.width(), size);
    };
    switch (part) {
    case QStyle::SC_ScrollBarGroove:
        return r;
    case QStyle::SC_ScrollBarSlider:
        return span(start, thumb);
    case QStyle::SC_ScrollBarSubPage:
        return span(0, start);
    case QStyle::SC_ScrollBarAddPage:
        return span(start + thumb, length - start - thumb);
    default:
        // No arrow buttons.
        return {};
    }
}

void paintScrollBar(QPainter* painter, const QStyleOptionSlider* bar)
{
    // Nothing to scroll: nothing to show.
    if (bar->minimum == bar->maximum) {
        return;
    }
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    QRectF thumb = scrollBarPart(bar, QStyle::SC_ScrollBarSlider);
    const double inset = 2.5;
    thumb = bar->orientation == Qt::Horizontal ? thumb.adjusted(1, inset, -1, -inset)
                                               : thumb.adjusted(inset, 1, -inset, -1);
    const bool hot = (bar->activeSubControls & QStyle::SC_ScrollBarSlider)
        && (bar->state & (QStyle::State_MouseOver | QStyle::State_Sunken));
    double opacity = hot ? 0.9 : 0.6;
    if (!isEnabled(bar)) {
        opacity *= disabledOpacity;
    }
    const double radius = std::min(thumb.width(), thumb.height()) / 2;
    painter->setPen(Qt::NoPen);
    painter->setBrush(eonWithOpacity(eonTextTertiary(), opacity));
    painter->drawRoundedRect(thumb, radius, radius);
    painter->restore();
}

QRect sliderPart(const QStyleOptionSlider* slider, QStyle::SubControl part)
{
    const QRect& r = slider->rect;
    if (part != QStyle::SC_SliderHandle) {
        return r;
    }
    const int side = EonStyle::sliderHandleSize;
    const bool horizontal = slider->orientation == Qt::Horizontal;
    const int travel = std::max(0, (horizontal ? r.width() : r.height()) - side);
    const int position = QStyle::sliderPositionFromValue(slider->minimum, slider->maximum,
        slider->sliderPosition, travel, horizontal ? slider->upsideDown : !slider->upsideDown);
    return horizontal
        ? QRect(r.x() + position, r.center().y() - side / 2 + 1 - side % 2, side, side)
        : QRect(r.center().x() - side / 2 + 1 - side % 2, r.y() + position, side, side);
}

void paintSlider(QPainter* painter, const QStyleOptionSlider* slider)
{
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    if (!isEnabled(slider)) {
        painter->setOpacity(disabledOpacity);
    }
    const QRectF handle = sliderPart(slider, QStyle::SC_SliderHandle);
    const QRectF r = slider->rect;
    const bool horizontal = slider->orientation == Qt::Horizontal;
    const double thickness = EonStyle::sliderGrooveThickness;
    const double half = EonStyle::sliderHandleSize / 2.0;
    const QRectF groove = horizontal ? QRectF(r.left() + half, handle.center().y() - thickness / 2,
                              r.width() - 2 * half, thickness)
                                     : QRectF(handle.center().x() - thickness / 2, r.top() + half,
                                         thickness, r.height() - 2 * half);
    painter->setPen(Qt::NoPen);
    painter->setBrush(eonWithOpacity(eonTextTertiary(), 0.35));
    painter->drawRoundedRect(groove, thickness / 2, thickness / 2);
    // The filled part runs from the minimum to the handle.
    QRectF filled = groove;
    if (horizontal) {
        if (slider->upsideDown) {
            filled.setLeft(handle.center().x());
        } else {
            filled.setRight(handle.center().x());
        }
    } else if (slider->upsideDown) {
        filled.setBottom(handle.center().y());
    } else {
        filled.setTop(handle.center().y());
    }
    painter->setBrush(eonAccent());
    painter->drawRoundedRect(filled, thickness / 2, thickness / 2);
    painter->setBrush(eonAccentBright());
    painter->setPen(QPen(eonAccent(), 1));
    painter->drawEllipse(handle.adjusted(0.5, 0.5, -0.5, -0.5));
    painter->restore();
    if (showsKeyboardFocus(slider)) {
        paintFocusRing(painter, handle.adjusted(-3, -3, 3, 3), half + 3);
    }
}

} // namespace kivo::eonstyle
