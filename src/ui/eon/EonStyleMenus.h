#pragma once

#include <QColor>

class QAction;
class QPainter;
class QRect;
class QRectF;
class QStyleOption;
class QWidget;

// The Eon style's menus: a rounded raised panel with a visible edge, items
// selected with a rounded accent wash, thin separators.
namespace kivo::eonstyle {

QColor separatorColour();
// Whether the widget is a picker's open list (the window around its items).
bool isPickerList(const QWidget* widget);
// The action a menu draws in `rect`, if the widget is a menu.
const QAction* menuActionAt(const QWidget* widget, const QRect& rect);
void paintMenuPanel(QPainter* painter, const QStyleOption* option, const QWidget* widget);
// A tooltip: the menus' surface and edge, square.
void paintToolTipPanel(QPainter* painter, const QStyleOption* option);
// The wash behind a selected menu item or an open menu bar title.
void paintMenuSelection(QPainter* painter, const QRectF& rect);
void paintMenuSeparator(QPainter* painter, const QRect& itemRect);

} // namespace kivo::eonstyle
