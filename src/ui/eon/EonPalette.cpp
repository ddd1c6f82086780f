#include "ui/eon/EonPalette.h"

namespace kivo {

namespace {

QColor srgb(double r, double g, double b, double opacity = 1.0)
{
    QColor color = QColor::fromRgbF(float(r), float(g), float(b));
    color.setAlphaF(float(opacity));
    return color;
}

constexpr QPointF topLeading { 0.0, 0.0 };
constexpr QPointF bottomTrailing { 1.0, 1.0 };
constexpr QPointF top { 0.5, 0.0 };
constexpr QPointF bottom { 0.5, 1.0 };
constexpr QPointF leading { 0.0, 0.5 };
constexpr QPointF trailing { 1.0, 0.5 };

} // namespace

#define KIVO_EON_COLOR(name, ...)                                                                  \
    const QColor& name()                                                                           \
    {                                                                                              \
        static const QColor color = srgb(__VA_ARGS__);                                             \
        return color;                                                                              \
    }

KIVO_EON_COLOR(eonCanvas, 0.018, 0.017, 0.014)
KIVO_EON_COLOR(eonSurface, 0.035, 0.033, 0.027)
KIVO_EON_COLOR(eonSurfaceRaised, 0.078, 0.070, 0.055)
KIVO_EON_COLOR(eonSurfaceSunken, 0.026, 0.024, 0.020)
KIVO_EON_COLOR(eonHairline, 0.94, 0.68, 0.30, 0.18)
KIVO_EON_COLOR(eonTextPrimary, 0.98, 0.94, 0.86)
KIVO_EON_COLOR(eonTextSecondary, 0.85, 0.79, 0.68, 0.82)
KIVO_EON_COLOR(eonTextTertiary, 0.74, 0.64, 0.48, 0.72)
KIVO_EON_COLOR(eonAccent, 0.96, 0.67, 0.23)
KIVO_EON_COLOR(eonAccentBright, 1.0, 0.86, 0.59)
KIVO_EON_COLOR(eonAccentWash, 0.88, 0.56, 0.16, 0.16)
KIVO_EON_COLOR(eonAccentGlow, 0.95, 0.68, 0.28, 0.42)
KIVO_EON_COLOR(eonSignalCyan, 0.28, 0.72, 1.0)
KIVO_EON_COLOR(eonSignalTeal, 0.43, 0.96, 0.88)
KIVO_EON_COLOR(eonSignalViolet, 0.56, 0.46, 1.0)
KIVO_EON_COLOR(eonSignalIce, 0.91, 0.98, 1.0)
KIVO_EON_COLOR(eonDestructive, 1.0, 0.36, 0.30)
KIVO_EON_COLOR(eonDestructiveFill, 0.78, 0.22, 0.18)
KIVO_EON_COLOR(eonDestructiveLabel, 1.0, 1.0, 1.0)
KIVO_EON_COLOR(eonError, 1.0, 0.23, 0.19)
KIVO_EON_COLOR(eonErrorText, 1.0, 0.33, 0.28)
KIVO_EON_COLOR(eonWarning, 1.0, 0.584, 0.0)
KIVO_EON_COLOR(eonBannerShadow, 0.0, 0.0, 0.0, 0.3)

#undef KIVO_EON_COLOR

QColor eonWithOpacity(const QColor& color, double opacity)
{
    QColor result = color;
    result.setAlphaF(float(color.alphaF() * opacity));
    return result;
}

QLinearGradient EonGradient::toLinearGradient(Qt::LayoutDirection direction) const
{
    const auto place = [direction](QPointF point) {
        return direction == Qt::RightToLeft ? QPointF(1.0 - point.x(), point.y()) : point;
    };
    QLinearGradient gradient(place(startPoint), place(endPoint));
    gradient.setCoordinateMode(QGradient::ObjectMode);
    const qsizetype count = stops.size();
    for (qsizetype i = 0; i < count; ++i) {
        gradient.setColorAt(count == 1 ? 0.0 : double(i) / double(count - 1), stops[i]);
    }
    return gradient;
}

#define KIVO_EON_GRADIENT(name, start, end, ...)                                                   \
    const EonGradient& name()                                                                      \
    {                                                                                              \
        static const EonGradient gradient { { __VA_ARGS__ }, start, end };                         \
        return gradient;                                                                           \
    }

KIVO_EON_GRADIENT(eonWindowGradient, topLeading, bottomTrailing, srgb(0.06, 0.052, 0.038),
    eonCanvas(), srgb(0.026, 0.024, 0.019))
KIVO_EON_GRADIENT(eonPanelGradient, topLeading, bottomTrailing, srgb(0.072, 0.064, 0.049),
    eonSurface(), srgb(0.025, 0.024, 0.02))
KIVO_EON_GRADIENT(eonPlayerBarGradient, top, bottom, srgb(0.055, 0.049, 0.038), eonSurfaceSunken(),
    srgb(0.0, 0.0, 0.0, 0.96))
KIVO_EON_GRADIENT(eonAccentGradient, topLeading, bottomTrailing, eonAccentBright(), eonAccent(),
    srgb(0.76, 0.43, 0.10))
KIVO_EON_GRADIENT(eonSelectionGradient, leading, trailing, eonWithOpacity(eonAccent(), 0.22),
    eonWithOpacity(eonAccent(), 0.10), eonWithOpacity(eonSurfaceRaised(), 0.70))
KIVO_EON_GRADIENT(eonSignalWash, leading, trailing, eonWithOpacity(eonSignalTeal(), 0.23),
    eonWithOpacity(eonSignalCyan(), 0.25), eonWithOpacity(eonSignalViolet(), 0.18),
    eonWithOpacity(eonSurfaceRaised(), 0.76))
KIVO_EON_GRADIENT(eonSignalStrong, leading, trailing, eonWithOpacity(eonSignalTeal(), 0.82),
    eonWithOpacity(eonSignalCyan(), 0.56), eonWithOpacity(eonSignalViolet(), 0.38))
KIVO_EON_GRADIENT(
    eonSignalGradient, top, bottom, eonSignalTeal(), eonSignalCyan(), eonSignalViolet())
KIVO_EON_GRADIENT(eonArtworkPlaceholderGradient, topLeading, bottomTrailing, srgb(0.26, 0.17, 0.06),
    srgb(0.10, 0.075, 0.04), eonCanvas())

#undef KIVO_EON_GRADIENT

} // namespace kivo
