#pragma once

#include <QRect>
#include <QStyle>

class QPainter;
class QStyleOptionSlider;

// The Eon style's scroll bars (a thin rounded thumb, no arrows, nothing when
// there is nothing to scroll) and sliders (an accent track and a round handle).
namespace kivo::eonstyle {

QRect scrollBarPart(const QStyleOptionSlider* bar, QStyle::SubControl part);
void paintScrollBar(QPainter* painter, const QStyleOptionSlider* bar);
QRect sliderPart(const QStyleOptionSlider* slider, QStyle::SubControl part);
void paintSlider(QPainter* painter, const QStyleOptionSlider* slider);

} // namespace kivo::eonstyle
