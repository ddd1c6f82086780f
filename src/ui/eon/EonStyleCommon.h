#pragma once

#include "ui/eon/EonMetrics.h"

#include <QColor>

class QObject;
class QPainter;
class QRectF;
class QStyleOption;

// What the Eon style's painters share: the disabled look, the focus ring and
// the edge of raised panels. Only the style and its painters use these.
namespace kivo::eonstyle {

inline constexpr double disabledOpacity = 0.4;
inline constexpr double buttonCornerRadius = eon::controlCornerRadius;
// The ring sits just outside the button's rounded panel.
inline constexpr double buttonFocusRingRadius = buttonCornerRadius + 1;

bool isEnabled(const QStyleOption* option);
bool showsKeyboardFocus(const QStyleOption* option);
// Set on a QAction or QPushButton by the views (EonStyle::destructiveProperty).
bool isDestructive(const QObject* object);

// The edge of plain push buttons (floating surfaces take eonHairline).
QColor menuEdge();

// The focus ring: a cyan band along the edge of `rect` and, inside it, a band
// of the canvas that parts it from the control. The cyan stands out from the
// dark surroundings and reads as no control's own state (amber is "on"); the
// dark band keeps it apart from an amber fill or the control's outline.
inline constexpr double focusRingWidth = 2;
inline constexpr double focusRingGap = 1.5;
QColor focusRingColour();
QColor focusRingGapColour();
void paintFocusRing(QPainter* painter, const QRectF& rect, double radius);

} // namespace kivo::eonstyle
