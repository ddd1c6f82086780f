#include "ui/player/PlayerPressStyle.h"

#include <QImage>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <numbers>

namespace kivo {

namespace {

// A damped spring released from rest at 0 towards 1, over the curve's
// normalised time.
qreal spring(qreal normalised)
{
    if (normalised >= 1.0) {
        return 1.0;
    }
    const double seconds = normalised * PlayerPressStyle::durationMs / 1000.0;
    const double natural = 2 * std::numbers::pi / PlayerPressStyle::springResponse;
    const double zeta = PlayerPressStyle::springDamping;
    const double damped = natural * std::sqrt(1 - zeta * zeta);
    const double decay = std::exp(-zeta * natural * seconds);
    return 1.0
        - decay
        * (std::cos(damped * seconds) + zeta * natural / damped * std::sin(damped * seconds));
}

} // namespace

QEasingCurve PlayerPressStyle::springCurve()
{
    QEasingCurve curve;
    curve.setCustomType(spring);
    return curve;
}

void PlayerPressStyle::darken(QImage& layer, double amount)
{
    if (amount <= 0) {
        return;
    }
    const int step = int(std::lround(amount * 255));
    for (int y = 0; y < layer.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(layer.scanLine(y));
        for (int x = 0; x < layer.width(); ++x) {
            const QRgb pixel = line[x];
            const int alpha = qAlpha(pixel);
            // Premultiplied: a half-covered edge pixel darkens by half.
            const int lowered = step * alpha / 255;
            line[x] = qRgba(std::max(0, qRed(pixel) - lowered),
                std::max(0, qGreen(pixel) - lowered), std::max(0, qBlue(pixel) - lowered), alpha);
        }
    }
}

void PlayerPressStyle::paint(QPainter& painter, const QRectF& bounds, double progress,
    const std::function<void(QPainter&, const QRectF&)>& paintLabel)
{
    const double ratio = painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
    QImage layer((bounds.size() * ratio).toSize(), QImage::Format_ARGB32_Premultiplied);
    layer.setDevicePixelRatio(ratio);
    layer.fill(Qt::transparent);
    {
        QPainter labelPainter(&layer);
        labelPainter.setRenderHints(painter.renderHints());
        paintLabel(labelPainter, QRectF(QPointF(0, 0), bounds.size()));
    }
    darken(layer, pressedDarkening * std::max(0.0, progress));
    const QPointF centre = bounds.center();
    painter.save();
    painter.translate(centre);
    painter.scale(scale(progress), scale(progress));
    painter.translate(-centre);
    painter.drawImage(bounds.topLeft(), layer);
    painter.restore();
}

} // namespace kivo
