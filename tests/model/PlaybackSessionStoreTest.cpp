#include "model/PlaybackSessionStore.h"
#include "DatabaseTestSupport.h"
#include "model/DatabaseManagerImpl.h"
#include "model/ErrorText.h"
#include "support/StubDatabaseManager.h"
#include "support/TempDir.h"

#include <QCoreApplication>
#include <QMutex>
#include <QThread>
#include <chrono>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <latch>
#include <limits>
#include <thread>

using namespace Qt::Literals::StringLiterals;
using ::testing::ElementsAre;

namespace kivo {
namespace {

PlaybackStateSnapshot snapshotAt(double time)
{
    PlaybackStateSnapshot snapshot;
    snapshot.repeatMode = u"off"_s;
    snapshot.shuffleMode = u"off"_s;
    snapshot.currentTime = time;
    return snapshot;
}

// Records every session write and the thread it ran on; the first write can
// be held until the test lets it go.
class RecordingDatabase final : public test::StubDatabaseManager {
public:
    void savePlaybackState(const PlaybackStateSnapshot& snapshot) override
    {
        if (holdFirst) {
            holdFirst->wait();
            holdFirst = nullptr;
        }
        QMutexLocker lock(&mutex);
        times.push_back(snapshot.currentTime);
        threads.push_back(QThread::currentThread());
    }

    QList<double> writtenTimes()
    {
        QMutexLocker lock(&mutex);
        return times;
    }

    std::latch* holdFirst = nullptr;
    QMutex mutex;
    QList<double> times;
    QList<QThread*> threads;
};

void processEventsUntil(const std::function<bool()>& done)
{
    while (!done()) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
}

TEST(PlaybackSessionStoreTest, BlockingSaveWaitsForTheSavesQueuedBeforeIt)
{
    auto database = std::make_shared<RecordingDatabase>();
    std::latch gate(1);
    database->holdFirst = &gate;
    PlaybackSessionStore store(database);

    QList<double> completed;
    QList<QThread*> completionThreads;
    auto record = [&](double time) {
        return [&, time](std::exception_ptr error) {
            EXPECT_FALSE(error);
            // Reported only once the write is on record.
            EXPECT_TRUE(database->writtenTimes().contains(time));
            completed.push_back(time);
            completionThreads.push_back(QThread::currentThread());
        };
    };
    store.save(snapshotAt(1), record(1));
    store.save(snapshotAt(2), record(2));
    // Let the first write go only a little later, so that a blocking save that
    // jumped the queue would be seen writing first.
    std::thread opener([&gate] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        gate.count_down();
    });
    const std::exception_ptr error = store.saveSynchronously(snapshotAt(3));
    opener.join();

    EXPECT_FALSE(error);
    EXPECT_THAT(database->writtenTimes(), ElementsAre(1.0, 2.0, 3.0));
    for (QThread* thread : database->threads) {
        EXPECT_NE(thread, QThread::currentThread());
    }
    // Completions come through the main thread's event loop, in order.
    EXPECT_TRUE(completed.isEmpty());
    processEventsUntil([&] { return completed.size() == 2; });
    EXPECT_THAT(completed, ElementsAre(1.0, 2.0));
    EXPECT_THAT(completionThreads, ElementsAre(QThread::currentThread(), QThread::currentThread()));
}

TEST(PlaybackSessionStoreTest, DestroyingTheStoreFinishesWritesAndDropsCompletions)
{
    auto database = std::make_shared<RecordingDatabase>();
    bool called = false;
    {
        PlaybackSessionStore store(database);
        for (int i = 0; i < 20; ++i) {
            store.save(snapshotAt(i), [&](std::exception_ptr) { called = true; });
        }
    }
    EXPECT_EQ(database->writtenTimes().size(), 20);
    QCoreApplication::processEvents();
    EXPECT_FALSE(called);
}

class PlaybackSessionStoreFileTest : public test::TempDirTest { };

TEST_F(PlaybackSessionStoreFileTest, AFailedSaveReachesItsCallerAndKeepsThePreviousSession)
{
    auto database = std::make_shared<TavrenDatabaseManager>(
        path(), std::make_shared<test::MemoryUserDefaults>());
    PlaybackSessionStore store(database);
    EXPECT_FALSE(store.saveSynchronously(snapshotAt(5)));

    PlaybackStateSnapshot broken = snapshotAt(std::numeric_limits<double>::quiet_NaN());
    const std::exception_ptr returned = store.saveSynchronously(broken);
    ASSERT_TRUE(returned);
    EXPECT_THROW(std::rethrow_exception(returned), JsonCodingError);
    EXPECT_TRUE(describeError(returned).startsWith(u"The data couldn't be written"_s));

    broken = snapshotAt(6);
    broken.volume = std::numeric_limits<float>::infinity();
    std::optional<std::exception_ptr> reported;
    store.save(broken, [&](std::exception_ptr error) { reported = error; });
    // Without a completion a failure goes nowhere.
    store.save(broken);
    processEventsUntil([&] { return reported.has_value(); });
    ASSERT_TRUE(*reported);
    EXPECT_THROW(std::rethrow_exception(*reported), JsonCodingError);

    EXPECT_EQ(database->loadPlaybackState(), snapshotAt(5));
}

} // namespace
} // namespace kivo
