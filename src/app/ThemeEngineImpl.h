#pragma once

#include "app/ThemeEngine.h"

namespace kivo {

// The program's one theme engine. Lives on the main thread.
class TavrenThemeEngine final : public ThemeEngine {
    Q_OBJECT
public:
    // Accent for empty image bytes, and for bytes that do not decode to an image.
    static constexpr StudioColor emptyImageAccent { 0.5, 0.5, 0.55, 1.0 };
    static constexpr StudioColor undecodableImageAccent { 0.5, 0.55, 0.6, 1.0 };
    // Larger images are not decoded (they would need hundreds of megabytes) and
    // count as undecodable.
    static constexpr qint64 maxAccentImagePixels = 32LL * 1024 * 1024;

    // Without a reduce-motion source, motion is never reduced unless
    // setReduceMotion() says so. With one, the engine starts from its value and
    // follows its changes.
    explicit TavrenThemeEngine(
        ReduceMotionSource* reduceMotion = nullptr, QObject* parent = nullptr);

    ThemeConfiguration currentConfiguration() const override { return m_configuration; }
    QCoro::Task<StudioColor> extractAccentColor(QByteArray imageBytes) override;
    void updateTheme(const std::function<void(ThemeConfiguration&)>& mutation) override;
    void resetToDefaults() override;
    void setReduceMotion(bool enabled) override;

    // The last value given to setReduceMotion().
    bool isReduceMotionEnabled() const { return m_baseReduceMotion; }

    // The work behind extractAccentColor(), synchronous and free of engine
    // state so that it can run on a worker thread.
    static StudioColor accentColorFromImage(const QByteArray& imageBytes);

private:
    void publish(const ThemeConfiguration& configuration);

    ThemeConfiguration m_configuration = ThemeConfiguration::starting();
    bool m_baseReduceMotion = false;
};

} // namespace kivo
