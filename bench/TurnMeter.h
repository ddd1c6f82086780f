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

// The longest main-thread turn seen: the action's own call, then every pass
// of the event loop until `settled` holds and a quiet 50 ms has passed. A
// 5 ms heartbeat keeps the loop turning, so a long turn cannot hide between
// two events.
class TurnMeter {
public:
    template <typename Action> void time(Action&& action)
    {
        const double start = threadCpuMs();
        action();
        m_longest = std::max(m_longest, threadCpuMs() - start);
    }
    void settle(const std::function<bool()>& settled = {})
    {
        QElapsedTimer quiet;
        quiet.start();
        QTimer heartbeat;
        heartbeat.start(5);
        while (quiet.elapsed() < 50 || (settled && !settled())) {
            const double start = threadCpuMs();
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
            const double spent = threadCpuMs() - start;
            m_longest = std::max(m_longest, spent);
            // A pass that did work is not quiet: what it posted runs next.
            if (spent > 1.0 || (settled && !settled())) {
                quiet.restart();
            }
        }
    }
    double longestMs() const { return m_longest; }

private:
    double m_longest = 0;
};

} // namespace kivo::bench
