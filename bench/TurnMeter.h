#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <ctime>
#include <functional>

namespace kivo::bench {

// Milliseconds of CPU time this thread has used: other programs on the
// machine do not inflate it.
inline double threadCpuMs()
{
    timespec now {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

// One pass of the event loop as the running program makes it: a bench turns
// the loop with processEvents() from main(), outside any exec(), and there
// Qt never deletes what deleteLater() was given (a screen that went, with all
// it holds), where the program's loop deletes it on its next pass.
inline void turnEventLoop()
{
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// The longest main-thread stall seen, two ways: the wall-clock gap between
// two beats of a 4 ms heartbeat on the main thread (what a user feels,
// waiting for the machine included), and the CPU time of the longest single
// turn (the action's own call, or one pass of the event loop). Both run from
// the action until `settled` holds and a quiet 50 ms has passed.
class TurnMeter {
public:
    TurnMeter() { m_clock.start(); }

    template <typename Action> void time(Action&& action)
    {
        // The loop was free up to here: the action's call is part of the
        // first gap.
        m_lastBeatNs = m_clock.nsecsElapsed();
        const double start = threadCpuMs();
        action();
        m_longest = std::max(m_longest, threadCpuMs() - start);
    }
    void settle(const std::function<bool()>& settled = {})
    {
        if (m_lastBeatNs < 0) {
            m_lastBeatNs = m_clock.nsecsElapsed();
        }
        QElapsedTimer quiet;
        quiet.start();
        QTimer heartbeat;
        heartbeat.setTimerType(Qt::PreciseTimer);
        QObject::connect(&heartbeat, &QTimer::timeout, [this] { beat(); });
        heartbeat.start(4);
        while (quiet.elapsed() < 50 || (settled && !settled())) {
            const double start = threadCpuMs();
            turnEventLoop();
            const double spent = threadCpuMs() - start;
            m_longest = std::max(m_longest, spent);
            // A pass that did work is not quiet: what it posted runs next.
            if (spent > 1.0 || (settled && !settled())) {
                quiet.restart();
            }
        }
        beat();
        m_lastBeatNs = -1;
    }
    // CPU time of the longest turn.
    double longestMs() const { return m_longest; }
    // Wall-clock time of the longest gap between heartbeats.
    double longestStallMs() const { return m_longestStall; }

private:
    void beat()
    {
        const qint64 now = m_clock.nsecsElapsed();
        m_longestStall = std::max(m_longestStall, double(now - m_lastBeatNs) / 1e6);
        m_lastBeatNs = now;
    }

    QElapsedTimer m_clock;
    qint64 m_lastBeatNs = -1;
    double m_longest = 0;
    double m_longestStall = 0;
};

} // namespace kivo::bench
