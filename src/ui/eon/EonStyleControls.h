#pragma once

#include <QColor>
#include <QRect>

class QPainter;
class QStyleOption;
class QStyleOptionButton;
class QStyleOptionComboBox;
class QWidget;

// The Eon style's buttons and fields: checkboxes (ticked, or just a tick in a
// menu), push buttons (raised, accent or destructive) and pickers.
namespace kivo::eonstyle {

void paintCheckIndicator(QPainter* painter, const QStyleOption* option, const QWidget* widget);
void paintPushPanel(QPainter* painter, const QStyleOptionButton* button, const QWidget* widget);
// The ink of a push button's label: dark on the accent, light on the red.
QColor pushLabelColour(const QStyleOptionButton* button, const QWidget* widget);
void paintPicker(QPainter* painter, const QStyleOptionComboBox* combo, const QRect& arrow);

} // namespace kivo::eonstyle
