#include "ui/songtable/NowPlayingIndicator.h"

#include "model/Date.h"
#include "platform/ReduceMotionSource.h"
#include "ui/eon/EonPalette.h"

#include <QPainter>
#include <QPainterPath>
#include <cmath>

namespace kivo {

NowPlayingTicker& NowPlayingTicker::shared()
{
    static NowPlayingTicker* ticker = new NowPlayingTicker; // lives as long as the program
    return *ticker;
}

NowPlayingTicker::NowPlayingTicker()
{
    m_timer.setInterval(33);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &NowPlayingTicker::ticked);
}

double NowPlayingTicker::seconds() const
{
    return Date::now().secondsSinceReferenceDate;
}

void NowPlayingTicker::setReduceMotion(bool reduceMotion)
{
    if (m_reduceMotion == reduceMotion) {
        return;
    }
    m_reduceMotion = reduceMotion;
    updateTimer();
    Q_EMIT reduceMotionChanged(reduceMotion);
}

void NowPlayingTicker::followReduceMotion(const ReduceMotionSource& source)
{
    setReduceMotion(source.isReduceMotionEnabled());
    connect(&source, &ReduceMotionSource::reduceMotionChanged, this,
        &NowPlayingTicker::setReduceMotion, Qt::UniqueConnection);
}

void NowPlayingTicker::subscribe(const QObject* subscriber)
{
    m_subscribers.insert(subscriber);
    updateTimer();
}

void NowPlayingTicker::unsubscribe(const QObject* subscriber)
{
    m_subscribers.remove(subscriber);
    updateTimer();
}

void NowPlayingTicker::updateTimer()
{
    const bool run = !m_subscribers.isEmpty() && !m_reduceMotion;
    if (run && !m_timer.isActive()) {
        m_timer.start();
    } else if (!run) {
        m_timer.stop();
    }
}

std::array<double, 3> NowPlayingIndicator::barHeights(
    bool isAnimating, bool reduceMotion, double seconds)
{
    if (!moves(isAnimating, reduceMotion) || !std::isfinite(seconds)) {
        return staticBarHeights;
    }
    std::array<double, 3> heights {};
    for (int i = 0; i < 3; ++i) {
        heights[size_t(i)] = (std::sin(i * 1.45 + seconds * 5.2) + 1) * 0.5 * 7 + 3;
    }
    return heights;
}

QString NowPlayingIndicator::accessibilityLabel(bool isAnimating)
{
    return isAnimating ? QStringLiteral("Now playing") : QStringLiteral("Current track");
}

void NowPlayingIndicator::paint(
    QPainter& painter, const QRectF& slot, bool isAnimating, bool reduceMotion, double seconds)
{
    constexpr double barWidth = 2;
    constexpr double spacing = 1.5;
    const std::array<double, 3> heights = barHeights(isAnimating, reduceMotion, seconds);
    const double glow = moves(isAnimating, reduceMotion) ? 0.42 : 0.18;
    const double left = slot.center().x() - (3 * barWidth + 2 * spacing) / 2;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    for (int i = 0; i < 3; ++i) {
        const double h = heights[size_t(i)];
        const QRectF bar(left + i * (barWidth + spacing), slot.center().y() - h / 2, barWidth, h);
        // A soft amber halo stands in for the bars' shadow.
        painter.setBrush(eonWithOpacity(eonAccent(), glow * 0.5));
        painter.drawRoundedRect(bar.adjusted(-1, -1, 1, 1), barWidth / 2 + 1, barWidth / 2 + 1);
        painter.setBrush(eonAccent());
        painter.drawRoundedRect(bar, barWidth / 2, barWidth / 2);
    }
    painter.restore();
}

} // namespace kivo
