#pragma once

#include <QList>
#include <QRectF>
#include <optional>

namespace kivo {

// The geometry of the waveform seek bar, kept apart from the widget so that
// every number of the drawing and of the pointer mapping is tested directly.
namespace waveformseek {

inline constexpr double horizontalInset = 6;
inline constexpr double verticalInset = 4;
inline constexpr double accessibilityStepSeconds = 5;
// Page Up and Page Down on the focused bar.
inline constexpr double largeStepSeconds = 30;

// One drawn bar in canvas coordinates.
struct Bar {
    QRectF rect;
    qsizetype sampleIndex = 0;
    double position = 0; // 0...1 along the track
    bool played = false;
};

// 96 gentle bumps that stand in while no peaks exist.
const QList<float>& placeholderPeaks();

// At most one bar per 3 points and never more bars than peaks (at least one).
// `fraction` is the displayed fraction, clamped here. A canvas whose size is
// not finite and positive draws nothing; a non-finite peak draws as silence.
QList<Bar> bars(
    const QList<float>& peaks, double canvasWidth, double canvasHeight, double fraction);

// 0...1 for a pointer at x in a bar W wide; 0 when either is unusable.
double seekFraction(double x, double width);
// The duration when above 0, else 0 (also for NaN).
double safeDuration(double duration);
double clampedFraction(double fraction);

// The press-drag-release gesture: each step returns the seconds to seek to.
class Scrub {
public:
    double press(double x, double width, double duration) { return drag(x, width, duration); }
    double drag(double x, double width, double duration);
    double release(double x, double width, double duration);

    const std::optional<double>& scrubProgress() const { return m_scrubProgress; }
    // The scrub fraction while dragging, else the playback fraction.
    double displayedFraction(double progress) const
    {
        return clampedFraction(m_scrubProgress.value_or(progress));
    }

private:
    std::optional<double> m_scrubProgress;
};

// The accessibility increment (+1) or decrement (-1): five seconds from the
// displayed position, kept inside the track.
double accessibilityStep(int direction, double displayedFraction, double duration);

// Where the scrub bubble's leading edge sits in a bar W wide.
double bubbleOffset(double scrubProgress, double width);
// Where the playhead sits in a bar W wide.
double playheadOffset(double displayedFraction, double width);

} // namespace waveformseek

} // namespace kivo
