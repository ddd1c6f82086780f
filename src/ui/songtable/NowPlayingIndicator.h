#pragma once

#include <QObject>
#include <QRectF>
#include <QSet>
#include <QString>
#include <QTimer>
#include <array>

class QPainter;

namespace kivo {

class ReduceMotionSource;

// The one clock every now-playing mark follows, so that all of them move in
// step. It ticks (about 30 times a second) only while some view asks for it.
class NowPlayingTicker : public QObject {
    Q_OBJECT
public:
    static NowPlayingTicker& shared();

    // Seconds since the reference date: the bars' phase.
    double seconds() const;
    // The system asks for less motion: every mark stands still.
    bool reduceMotion() const { return m_reduceMotion; }
    void setReduceMotion(bool reduceMotion);
    // Takes the desktop's setting now and on every change.
    void followReduceMotion(const ReduceMotionSource& source);

    // A view that shows a moving mark subscribes; the timer runs while any do.
    void subscribe(const QObject* subscriber);
    void unsubscribe(const QObject* subscriber);
    bool isRunning() const { return m_timer.isActive(); }

Q_SIGNALS:
    void ticked();
    void reduceMotionChanged(bool reduceMotion);

private:
    NowPlayingTicker();
    void updateTimer();

    QTimer m_timer;
    QSet<const QObject*> m_subscribers;
    bool m_reduceMotion = false;
};

// The three amber bars next to the current song: moving while it plays,
// standing at fixed heights when paused or when motion is reduced.
struct NowPlayingIndicator {
    static constexpr double width = 14;
    static constexpr double height = 12;
    static constexpr std::array<double, 3> staticBarHeights { 4, 8, 5 };

    static bool moves(bool isAnimating, bool reduceMotion) { return isAnimating && !reduceMotion; }
    static std::array<double, 3> barHeights(bool isAnimating, bool reduceMotion, double seconds);
    // "Now playing" while animating, else "Current track".
    static QString accessibilityLabel(bool isAnimating);
    // Draws the bars centred in `slot`.
    static void paint(
        QPainter& painter, const QRectF& slot, bool isAnimating, bool reduceMotion, double seconds);
};

} // namespace kivo
