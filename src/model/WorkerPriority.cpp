#include "model/WorkerPriority.h"

#include <QCoreApplication>
#include <QThread>
#include <QThreadPool>
#include <algorithm>
#include <pthread.h>
#include <sched.h>

namespace kivo {

int workerThreadCount()
{
    return std::max(1, QThread::idealThreadCount() - 1);
}

void leaveTheWindowACore()
{
    QThreadPool::globalInstance()->setMaxThreadCount(workerThreadCount());
}

void runAtWorkerPriority()
{
    thread_local bool marked = false;
    if (marked) {
        return;
    }
    const QCoreApplication* application = QCoreApplication::instance();
    if (application == nullptr || QThread::currentThread() == application->thread()) {
        return;
    }
    marked = true;
    // The batch policy keeps the thread's nice value and its share of the
    // processor; a thread under another policy (real-time, idle) stays so.
    int policy = 0;
    sched_param parameters {};
    if (::pthread_getschedparam(::pthread_self(), &policy, &parameters) == 0
        && policy == SCHED_OTHER) {
        parameters.sched_priority = 0;
        (void)::pthread_setschedparam(::pthread_self(), SCHED_BATCH, &parameters);
    }
}

} // namespace kivo
