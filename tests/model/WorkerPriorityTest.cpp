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

// A worker keeps the program's own priority and only stops cutting in on
// threads that wake; the window's own thread is never touched, even when it
// takes part in a job as blocking maps do. Pools leave the window a core.
TEST(WorkerPriorityTest, WorkersKeepTheProgramsPriorityAndTheMainThreadStaysAsItWas)
{
    const auto mainBefore = ownPriority();
    runAtWorkerPriority();
    EXPECT_EQ(ownPriority(), mainBefore);

    QThreadPool pool;
    const auto afterTwoCalls = [] {
        runAtWorkerPriority();
        runAtWorkerPriority();
        return ownPriority();
    };
    const auto worker = QtConcurrent::run(&pool, afterTwoCalls).result();
    EXPECT_EQ(worker.first, mainBefore.first);
    EXPECT_EQ(worker.second, SCHED_BATCH);
    EXPECT_EQ(ownPriority(), mainBefore);
    EXPECT_EQ(workerThreadCount(), std::max(1, QThread::idealThreadCount() - 1));
}
