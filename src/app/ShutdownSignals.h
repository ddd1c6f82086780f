#pragma once

#include <QObject>
#include <QSocketNotifier>
#include <memory>
#include <vector>

namespace kivo {

// Turns SIGTERM, SIGINT and SIGHUP (the system ending the program, Ctrl+C, a
// closed terminal) into a signal on the main thread, so that they end the
// program the way quitting does instead of killing it. The handler only
// writes a byte to a socket pair; everything else happens in the event loop.
// A signal the process was started with ignored stays ignored. One at a time
// per process; the default handling returns when it is destroyed.
class ShutdownSignals : public QObject {
    Q_OBJECT
public:
    explicit ShutdownSignals(QObject* parent = nullptr);
    ~ShutdownSignals() override;

Q_SIGNALS:
    // Emitted on the main thread once per signal received.
    void received(int signalNumber);

private:
    void readPending();

    int m_readEnd = -1;
    // The signals this object handles: the others were inherited as ignored.
    std::vector<int> m_caught;
    std::unique_ptr<QSocketNotifier> m_notifier;
};

} // namespace kivo
