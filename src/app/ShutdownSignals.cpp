#include "app/ShutdownSignals.h"

#include "model/Logging.h"

#include <cerrno>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

using namespace Qt::Literals::StringLiterals;

namespace kivo {

namespace {

constexpr int handledSignals[] = { SIGTERM, SIGINT, SIGHUP };

// Written by the handler, so a plain int: nothing else is safe there.
volatile sig_atomic_t writeEnd = -1;

void onSignal(int signalNumber)
{
    const int savedErrno = errno;
    const char byte = char(signalNumber);
    // A full pair means a wake-up is already pending; losing the byte is harmless.
    (void)!::write(writeEnd, &byte, 1);
    errno = savedErrno;
}

} // namespace

ShutdownSignals::ShutdownSignals(QObject* parent)
    : QObject(parent)
{
    int ends[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, ends) != 0) {
        qCWarning(logging::app).noquote()
            << u"Signals will end the program without saving: %1"_s.arg(qt_error_string(errno));
        return;
    }
    m_readEnd = ends[0];
    writeEnd = ends[1];
    m_notifier = std::make_unique<QSocketNotifier>(m_readEnd, QSocketNotifier::Read);
    connect(m_notifier.get(), &QSocketNotifier::activated, this, &ShutdownSignals::readPending);

    struct sigaction action { };
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signalNumber : handledSignals) {
        struct sigaction inherited { };
        ::sigaction(signalNumber, nullptr, &inherited);
        // Whoever started us with a signal ignored (nohup, a background job)
        // asked for it to stay ignored.
        if (inherited.sa_handler == SIG_IGN) {
            continue;
        }
        ::sigaction(signalNumber, &action, nullptr);
        m_caught.push_back(signalNumber);
    }
}

ShutdownSignals::~ShutdownSignals()
{
    if (m_readEnd < 0) {
        return;
    }
    for (const int signalNumber : m_caught) {
        std::signal(signalNumber, SIG_DFL);
    }
    m_notifier.reset();
    ::close(writeEnd);
    writeEnd = -1;
    ::close(m_readEnd);
}

void ShutdownSignals::readPending()
{
    char bytes[16];
    ssize_t count = 0;
    while ((count = ::read(m_readEnd, bytes, sizeof bytes)) > 0) {
        for (ssize_t i = 0; i < count; ++i) {
            Q_EMIT received(int(bytes[i]));
        }
    }
}

} // namespace kivo
