#pragma once

#include <QColor>
#include <QLinearGradient>
#include <QList>
#include <QPointF>

// The shared colours of every window: dark warm surfaces, cream text, an amber
// accent and a cool signal family. Views draw with these instead of literal
// colours. Each constant is built once, on first use (safe from any thread).
namespace kivo {

const QColor& eonCanvas();
const QColor& eonSurface();
const QColor& eonSurfaceRaised();
const QColor& eonSurfaceSunken();
const QColor& eonHairline();
const QColor& eonTextPrimary();
const QColor& eonTextSecondary();
const QColor& eonTextTertiary();
const QColor& eonAccent();
const QColor& eonAccentBright();
const QColor& eonAccentWash();
const QColor& eonAccentGlow();
const QColor& eonSignalCyan();
const QColor& eonSignalTeal();
const QColor& eonSignalViolet();
const QColor& eonSignalIce();
// Actions that remove or destroy something: their text and icon.
const QColor& eonDestructive();
// The fill of a destructive default button: deep enough for a white label
// (at least 4.5:1).
const QColor& eonDestructiveFill();
// The white label on `eonDestructiveFill`.
const QColor& eonDestructiveLabel();
// Invalid fields and error marks: the system's red.
const QColor& eonError();
// Error texts: the system's red lifted so that even at the muted opacity of a
// header's error line (0.86) it reads at 4.5:1 on every surface.
const QColor& eonErrorText();
// Warnings and notices that need attention: the system's orange.
const QColor& eonWarning();
// The drop shadow under floating banners.
const QColor& eonBannerShadow();

// `color` with its opacity multiplied by `opacity`.
QColor eonWithOpacity(const QColor& color, double opacity);

// A linear gradient over evenly spaced stops. The points are in the unit square
// of the filled shape: (0, 0) is the top leading corner, (1, 1) the bottom
// trailing one.
struct EonGradient {
    QList<QColor> stops;
    QPointF startPoint;
    QPointF endPoint;

    // Ready to fill any shape (object bounding-box coordinates); leading and
    // trailing follow `direction`.
    QLinearGradient toLinearGradient(Qt::LayoutDirection direction = Qt::LeftToRight) const;
};

const EonGradient& eonWindowGradient();
const EonGradient& eonPanelGradient();
const EonGradient& eonPlayerBarGradient();
const EonGradient& eonAccentGradient();
const EonGradient& eonSelectionGradient();
const EonGradient& eonSignalWash();
const EonGradient& eonSignalStrong();
const EonGradient& eonSignalGradient();
// Behind the large artwork square when a song has none.
const EonGradient& eonArtworkPlaceholderGradient();

} // namespace kivo
