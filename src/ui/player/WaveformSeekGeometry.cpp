#include "ui/player/WaveformSeekGeometry.h"

#include <algorithm>
#include <cmath>

namespace kivo::waveformseek {

const QList<float>& placeholderPeaks()
{
    static const QList<float> peaks = [] {
        QList<float> values;
        values.reserve(96);
        for (int i = 0; i < 96; ++i) {
            values.append(float(std::abs(std::sin(0.38 * i)) * 0.18 + 0.12));
        }
        return values;
    }();
    return peaks;
}

double clampedFraction(double fraction)
{
    if (!(fraction > 0)) {
        return 0;
    }
    return std::min(fraction, 1.0);
}

double safeDuration(double duration)
{
    return duration > 0 && std::isfinite(duration) ? duration : 0;
}

double seekFraction(double x, double width)
{
    if (!std::isfinite(width) || !(width > 0) || !std::isfinite(x)) {
        return 0;
    }
    return std::clamp(x / width, 0.0, 1.0);
}

QList<Bar> bars(const QList<float>& peaks, double w, double h, double fraction)
{
    QList<Bar> result;
    if (!std::isfinite(w) || !std::isfinite(h) || !(w > 0) || !(h > 0)) {
        return result;
    }
    const QList<float>& source = peaks.isEmpty() ? placeholderPeaks() : peaks;
    const qsizetype count = source.size();
    const qsizetype n = std::min<qsizetype>(count, qsizetype(std::trunc(w / 3)));
    const qsizetype barCount = std::max<qsizetype>(n, 1);
    const double step = w / double(barCount);
    const double barWidth = std::clamp(step * 0.56, 1.0, 2.4);
    const double played = clampedFraction(fraction);
    result.reserve(barCount);
    for (qsizetype i = 0; i < barCount; ++i) {
        const double t = n >= 3 ? double(i) / double(barCount - 1) : double(i);
        const qsizetype index
            = std::min<qsizetype>(count - 1, qsizetype(std::trunc(t * double(count - 1))));
        const float sample = source[index];
        const double amplitude
            = std::isfinite(sample) ? std::clamp(double(sample), 0.08, 1.0) : 0.08;
        const double height = std::max(h * amplitude * 0.82, 2.0);
        result.append({ QRectF((step - barWidth) / 2 + step * double(i), h / 2 - height / 2,
                            barWidth, height),
            index, t, t <= played });
    }
    return result;
}

double Scrub::drag(double x, double width, double duration)
{
    const double fraction = seekFraction(x, width);
    m_scrubProgress = fraction;
    return fraction * safeDuration(duration);
}

double Scrub::release(double x, double width, double duration)
{
    const double seconds = safeDuration(duration) * seekFraction(x, width);
    m_scrubProgress.reset();
    return seconds;
}

double accessibilityStep(int direction, double displayedFraction, double duration)
{
    const double safe = safeDuration(duration);
    const double target
        = accessibilityStepSeconds * direction + safe * clampedFraction(displayedFraction);
    return std::clamp(target, 0.0, safe);
}

double bubbleOffset(double scrubProgress, double width)
{
    const double limit = std::max(width - 50, 0.0);
    return std::min(std::max(scrubProgress * width - 24, 0.0), limit);
}

double playheadOffset(double displayedFraction, double width)
{
    return std::max((width - 8) * clampedFraction(displayedFraction), 4.0);
}

} // namespace kivo::waveformseek
