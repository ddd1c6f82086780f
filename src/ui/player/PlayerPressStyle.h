#pragma once

#include <QEasingCurve>
#include <QRectF>
#include <functional>

class QImage;
class QPainter;

namespace kivo {

// The play/pause button's own press feedback: while pressed its label shrinks
// about its centre to 0.93 and its colours darken by 0.08, following the
// press with a spring (response 0.2 s, damping 0.72) rather than the kit's
// ease-out.
struct PlayerPressStyle {
    static constexpr double pressedScale = 0.93;
    static constexpr double pressedDarkening = 0.08;
    static constexpr double springResponse = 0.2;
    static constexpr double springDamping = 0.72;
    // Long enough for the spring to settle within a thousandth.
    static constexpr int durationMs = 320;

    // `progress` runs from 0 (released) to 1 (pressed); the spring may carry
    // it a little past either end.
    static double scale(double progress) { return 1.0 + (pressedScale - 1.0) * progress; }
    static QEasingCurve springCurve();
    // Lowers every colour channel of `layer` (premultiplied) by `amount`.
    static void darken(QImage& layer, double amount);
    // Draws what `paintLabel` paints into `bounds`, scaled and darkened.
    static void paint(QPainter& painter, const QRectF& bounds, double progress,
        const std::function<void(QPainter&, const QRectF&)>& paintLabel);
};

} // namespace kivo
