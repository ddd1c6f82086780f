#pragma once

#include "platform/ReduceMotionSource.h"

#include <QByteArray>
#include <QColor>
#include <QHashFunctions>
#include <QMetaType>
#include <QObject>
#include <functional>
#include <qcoro/qcorotask.h>

namespace kivo {

// A colour as red, green, blue and opacity, each 0 to 1.
struct StudioColor {
    double r = 0;
    double g = 0;
    double b = 0;
    double alpha = 1;

    bool operator==(const StudioColor&) const = default;

    QColor toQColor() const { return QColor::fromRgbF(float(r), float(g), float(b), float(alpha)); }
};

// Combines the four fields in order.
size_t qHash(const StudioColor& color, size_t seed = 0) noexcept;

// The program's one appearance configuration.
struct ThemeConfiguration {
    StudioColor accentColor { 0.5, 0.5, 0.55, 1.0 };
    double roundedCorners = 8.0;
    double animationSpeedMultiplier = 1.0;
    double fontSizeScale = 1.0;
    bool isCompactMode = false;
    double panelTransparency = 0.85;

    bool operator==(const ThemeConfiguration&) const = default;

    // The values a new engine starts with.
    static ThemeConfiguration starting() { return {}; }
    // The values resetToDefaults() restores; the accent differs from the starting one.
    static ThemeConfiguration defaults()
    {
        ThemeConfiguration configuration;
        configuration.accentColor = { 0.5, 0.55, 0.6, 1.0 };
        return configuration;
    }
};

// Holds and publishes the appearance configuration. No operation fails.
class ThemeEngine : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~ThemeEngine() override = default;

    // Published property: read it, then connect to configurationChanged.
    virtual ThemeConfiguration currentConfiguration() const = 0;

    // Average colour of an artwork image, lifted when it is dark. Never fails:
    // empty bytes and undecodable images give fixed fallback colours. Does not
    // change the configuration.
    virtual QCoro::Task<StudioColor> extractAccentColor(QByteArray imageBytes) = 0;

    // Runs `mutation` on a copy of the configuration and publishes the result.
    // While reduce motion is on, the animation speed is published as 0
    // whatever the mutation set.
    virtual void updateTheme(const std::function<void(ThemeConfiguration&)>& mutation) = 0;

    // Publishes ThemeConfiguration::defaults() (animation speed 0 while reduce
    // motion is on).
    virtual void resetToDefaults() = 0;

    // Records the switch and publishes the configuration with animation speed
    // 0 (on) or 1.0 (off); the speed from before is not remembered.
    virtual void setReduceMotion(bool enabled) = 0;

Q_SIGNALS:
    void configurationChanged(const kivo::ThemeConfiguration& configuration);
};

} // namespace kivo

Q_DECLARE_METATYPE(kivo::StudioColor)
Q_DECLARE_METATYPE(kivo::ThemeConfiguration)
