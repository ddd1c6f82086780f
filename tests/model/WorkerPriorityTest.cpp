#include "model/WorkerPriority.h"

#include <QThread>
#include <QThreadPool>
#include <QtConcurrent/QtConcurrentRun>
#include <gtest/gtest.h>
#include <sched.h>
#include <sys/resource.h>
#include <unistd.h>
#include <utility>

using namespace kivo;

namespace {

// The calling thread's nice value and scheduling policy.
std::pair<int, int> ownPriority()
{
    return { ::getpriority(PRIO_PROCESS, id_t(::gettid())), ::sched_getscheduler(0) };
}

} // namespace

// Workers keep the program's own priority and scheduling, so that work the
// user waits for does not give way to other programs; the pools leave the
// window's thread a core.
TEST(WorkerPriorityTest, WorkersKeepTheProgramsPriorityAndThePoolsLeaveTheWindowACore)
{
    const auto mainPriority = ownPriority();
    QThreadPool pool;
    EXPECT_EQ(QtConcurrent::run(&pool, ownPriority).result(), mainPriority);
    leaveTheWindowACore();
    EXPECT_EQ(workerThreadCount(), std::max(1, QThread::idealThreadCount() - 1));
    EXPECT_EQ(QThreadPool::globalInstance()->maxThreadCount(), workerThreadCount());
}
