#include "model/WorkerPriority.h"

#include <QCoreApplication>
#include <QThread>
#include <algorithm>
#include <cerrno>
#include <sys/resource.h>
#include <unistd.h>

namespace kivo {

namespace {

// Weighs a worker at about a third of the window's thread where both want
// one core; work still goes on at full speed on a core of its own.
constexpr int workerNice = 5;

} // namespace

void runAtWorkerPriority()
{
    thread_local bool lowered = false;
    if (lowered) {
        return;
    }
    const QCoreApplication* application = QCoreApplication::instance();
    if (application == nullptr || QThread::currentThread() == application->thread()) {
        return;
    }
    lowered = true;
    // Linux keeps a nice value per thread; a thread already lower stays so.
    const id_t thread = id_t(::gettid());
    errno = 0;
    const int current = ::getpriority(PRIO_PROCESS, thread);
    if (errno == 0 && current < workerNice) {
        (void)::setpriority(PRIO_PROCESS, thread, workerNice);
    }
}

} // namespace kivo
