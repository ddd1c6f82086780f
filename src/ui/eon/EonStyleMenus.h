#pragma once

#include <QColor>
#include <QIcon>

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
// A tooltip: the menus' surface, edge and corner radius (the tooltip window is
// translucent, see EonStyle::polish).
void paintToolTipPanel(QPainter* painter, const QStyleOption* option);
// A tooltip's room around its text, beside the margin Qt gives it from the
// frame width: the text sits as far in as a menu item's.
constexpr int toolTipFrameWidth = 4;
constexpr int toolTipExtraHorizontalInset = 4;
// `icon` in the destructive colour, its shape kept: a destructive menu item's
// icon takes the colour of its text.
QIcon destructiveIcon(const QIcon& icon);
// The wash behind a selected menu item or an open menu bar title.
void paintMenuSelection(QPainter* painter, const QRectF& rect);
void paintMenuSeparator(QPainter* painter, const QRect& itemRect);

} // namespace kivo::eonstyle
