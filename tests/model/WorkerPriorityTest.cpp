#include "model/WorkerPriority.h"

#include <QThreadPool>
#include <QtConcurrent/QtConcurrentRun>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

using namespace kivo;

namespace {

int ownNice()
{
    return ::getpriority(PRIO_PROCESS, id_t(::gettid()));
}

} // namespace

// A worker gives way to the window; the window's own thread never does, even
// when it takes part in a job as blocking maps do.
TEST(WorkerPriorityTest, WorkersGoBelowTheMainThreadWhichStaysAsItWas)
{
    const int mainBefore = ownNice();
    runAtWorkerPriority();
    EXPECT_EQ(ownNice(), mainBefore);

    QThreadPool pool;
    const auto niceAfterTwoCalls = [] {
        runAtWorkerPriority();
        runAtWorkerPriority();
        return ownNice();
    };
    const int worker = QtConcurrent::run(&pool, niceAfterTwoCalls).result();
    EXPECT_GT(worker, mainBefore);
    EXPECT_EQ(ownNice(), mainBefore);
}
