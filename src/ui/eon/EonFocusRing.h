#pragma once

#include <QColor>

class QPainter;
class QRectF;
class QWidget;

namespace kivo {

// The accent ring of the control that has the keyboard focus. It shows only
// while the focus came from the keyboard (Tab, Shift+Tab, a shortcut): the
// Eon style marks the window when it does and unmarks it on a click, so a
// control clicked into shows no ring. Widgets that draw themselves paint it
// here; the style's own controls paint the same ring.
struct EonFocusRing {
    // `widget` has the focus and its window's focus came from the keyboard.
    static bool isShown(const QWidget& widget);
    // The ring just inside `rect`, with corners of `radius`.
    static void paint(QPainter& painter, const QRectF& rect, double radius);
    // The ring round `widget`'s whole rectangle (a capsule or circle for
    // round controls when `radius` is negative), when isShown().
    static void paintFor(QPainter& painter, const QWidget& widget, double radius = -1);
    // The ring's band along the edge, and the dark band inside it that parts
    // it from the control.
    static QColor colour();
    static QColor gapColour();
};

} // namespace kivo
