#include "platform/InotifyWatcher.h"
#include "support/TempDir.h"

#include <QDir>
#include <QFile>
#include <atomic>
#include <condition_variable>
#include <dlfcn.h>
#include <future>
#include <gtest/gtest.h>
#include <mutex>
#include <sys/inotify.h>
#include <thread>
#include <vector>

namespace {
std::mutex watchesMutex;
std::vector<std::thread::id> watchingThreads; // of every watch added
} // namespace

// Notes which thread adds each watch, then adds it.
extern "C" int inotify_add_watch(int fd, const char* path, uint32_t mask)
{
    using Add = int (*)(int, const char*, uint32_t);
    static const auto add = reinterpret_cast<Add>(dlsym(RTLD_NEXT, "inotify_add_watch"));
    {
        std::lock_guard lock(watchesMutex);
        watchingThreads.push_back(std::this_thread::get_id());
    }
    return add(fd, path, mask);
}

using namespace Qt::Literals::StringLiterals;
using namespace std::chrono_literals;

namespace kivo {
namespace {

// Collects batches from the watcher's thread.
class Collector {
public:
    FolderEventSource::BatchHandler handler()
    {
        return [this](const QList<FolderEvent>& batch) {
            std::lock_guard lock(m_mutex);
            batches.append(batch);
            m_changed.notify_all();
        };
    }

    // Waits until some event of `path` carries `flags`; 0 gives every flag
    // seen so far. The limit only keeps a broken watcher from hanging the run.
    quint32 waitFor(const QString& path, quint32 flags = 0)
    {
        std::unique_lock lock(m_mutex);
        quint32 seen = 0;
        m_changed.wait_for(lock, flags ? 20s : 0s, [&] {
            seen = 0;
            for (const QList<FolderEvent>& batch : std::as_const(batches)) {
                for (const FolderEvent& event : batch) {
                    seen |= event.path == path ? event.flags : 0;
                }
            }
            return (seen & flags) != 0;
        });
        return flags ? seen & flags : seen;
    }

    QList<QList<FolderEvent>> batches; // read once the watcher is quiet

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
};

bool append(const QString& file, const QByteArray& bytes)
{
    QFile out(file);
    return out.open(QIODevice::WriteOnly | QIODevice::Append) && out.write(bytes) == bytes.size();
}

// Replaces the folders and waits until they are watched.
bool watch(InotifyWatcher& watcher, const QStringList& folders)
{
    auto watching = std::make_shared<std::promise<void>>();
    std::future<void> watched = watching->get_future();
    return watcher.setFolders(folders, [watching] { watching->set_value(); })
        && watched.wait_for(20s) == std::future_status::ready;
}

class InotifyWatcherTest : public test::TempDirTest {
protected:
    Collector collector;
};

// Only the given folder is watched on the caller's thread, before the call
// returns; the 80 below it on the watcher's.
TEST_F(InotifyWatcherTest, TheFoldersBelowAreWalkedAndWatchedOnTheWatchersThread)
{
    for (int i = 0; i < 40; ++i) {
        ASSERT_TRUE(QDir().mkpath(path(u"Artist %1/Album"_s.arg(i))));
    }
    InotifyWatcher watcher(collector.handler(), 20ms);
    {
        std::lock_guard lock(watchesMutex);
        watchingThreads.clear();
    }
    ASSERT_TRUE(watch(watcher, { path() }));
    std::lock_guard lock(watchesMutex);
    EXPECT_EQ(watchingThreads.size(), 81u);
    EXPECT_EQ(
        std::count(watchingThreads.cbegin(), watchingThreads.cend(), std::this_thread::get_id()),
        1);
    ASSERT_TRUE(append(path(u"Artist 7/Album/song.mp3"_s), "x"));
    EXPECT_TRUE(
        collector.waitFor(path(u"Artist 7/Album/song.mp3"_s), FolderEventFlag::itemCreated));
}

TEST_F(InotifyWatcherTest, RenamesNameBothPathsAndFoldersMadeLaterAreWatched)
{
    const QString first = writeFile(u"song.mp3"_s, "ID3");
    InotifyWatcher watcher(collector.handler(), 20ms);
    ASSERT_TRUE(watch(watcher, { path() }));

    const QString second = path(u"renamed.mp3"_s);
    ASSERT_TRUE(QFile::rename(first, second));
    EXPECT_TRUE(collector.waitFor(first, FolderEventFlag::itemRenamed));
    EXPECT_TRUE(collector.waitFor(second, FolderEventFlag::itemRenamed));

    ASSERT_TRUE(QFile::remove(second));
    EXPECT_TRUE(collector.waitFor(second, FolderEventFlag::itemRemoved));
    EXPECT_FALSE(collector.waitFor(first) & FolderEventFlag::itemRemoved);

    ASSERT_TRUE(QDir().mkdir(path(u"Album"_s)));
    EXPECT_TRUE(collector.waitFor(path(u"Album"_s), FolderEventFlag::itemCreated));
    EXPECT_TRUE(collector.waitFor(path(u"Album"_s)) & FolderEventFlag::itemIsDirectory);
    ASSERT_TRUE(append(path(u"Album/01.flac"_s), "fLaC"));
    EXPECT_TRUE(collector.waitFor(path(u"Album/01.flac"_s), FolderEventFlag::itemCreated));

    // A whole tree made at once, faster than watches can be added: what is
    // already inside when its folder is first seen still counts as created.
    ASSERT_TRUE(QDir().mkpath(path(u"Deep/Er/Est"_s)));
    ASSERT_TRUE(append(path(u"Deep/Er/Est/track.mp3"_s), "x"));
    EXPECT_TRUE(collector.waitFor(path(u"Deep/Er/Est/track.mp3"_s), FolderEventFlag::itemCreated));
    ASSERT_TRUE(append(path(u"Deep/Er/Est/track.mp3"_s), "y"));
    EXPECT_TRUE(collector.waitFor(path(u"Deep/Er/Est/track.mp3"_s), FolderEventFlag::itemModified));
}

TEST_F(InotifyWatcherTest, StepsWithinOneLatencyArriveAsOneEventPerPath)
{
    InotifyWatcher watcher(collector.handler(), 2s);
    ASSERT_TRUE(watch(watcher, { path() }));
    const QString file = path(u"brief.wav"_s);
    ASSERT_TRUE(append(file, "RIFF"));
    ASSERT_TRUE(append(file, "WAVE"));
    ASSERT_TRUE(QFile::remove(file));
    ASSERT_TRUE(collector.waitFor(file, FolderEventFlag::itemRemoved));

    const QList<QList<FolderEvent>> batches = collector.batches;
    ASSERT_EQ(batches.size(), 1);
    ASSERT_EQ(batches.first().size(), 1);
    const quint32 all = FolderEventFlag::itemCreated | FolderEventFlag::itemModified
        | FolderEventFlag::itemRemoved;
    EXPECT_EQ(batches.first().first().flags & all, all);
}

TEST_F(InotifyWatcherTest, ReplacingTheFoldersForgetsTheOldOnes)
{
    ASSERT_TRUE(QDir().mkdir(path(u"a"_s)));
    ASSERT_TRUE(QDir().mkdir(path(u"b"_s)));
    InotifyWatcher watcher(collector.handler(), 20ms);
    ASSERT_TRUE(watcher.setFolders({ path(u"a"_s) }));
    ASSERT_TRUE(watch(watcher, { path(u"b"_s) }));

    ASSERT_TRUE(append(path(u"a/old.mp3"_s), "x"));
    ASSERT_TRUE(append(path(u"b/new.mp3"_s), "x"));
    EXPECT_TRUE(collector.waitFor(path(u"b/new.mp3"_s), FolderEventFlag::itemCreated));
    EXPECT_EQ(collector.waitFor(path(u"a/old.mp3"_s)), 0u);

    ASSERT_TRUE(watch(watcher, {}));
    ASSERT_TRUE(watch(watcher, { path(u"a"_s) }));
    ASSERT_TRUE(append(path(u"a/again.mp3"_s), "x"));
    EXPECT_TRUE(collector.waitFor(path(u"a/again.mp3"_s), FolderEventFlag::itemCreated));
}

TEST_F(InotifyWatcherTest, DestroyingWhileEventsFlowStopsDelivery)
{
    std::atomic<int> delivered { 0 };
    std::atomic<bool> writing { true };
    std::thread writer([&] {
        for (int i = 0; writing.load(); ++i) {
            const QString file = path(u"churn-%1.tmp"_s.arg(i % 16));
            append(file, "data");
            QFile::remove(file);
        }
    });
    {
        InotifyWatcher watcher(
            [&delivered](const QList<FolderEvent>&) {
                ++delivered;
                std::this_thread::sleep_for(1ms); // be mid-delivery when destruction starts
            },
            1ms);
        ASSERT_TRUE(watch(watcher, { path() }));
        const auto giveUp = std::chrono::steady_clock::now() + 20s;
        while (delivered.load() < 3 && std::chrono::steady_clock::now() < giveUp) {
            std::this_thread::yield();
        }
        EXPECT_GE(delivered.load(), 3);
    }
    const int afterDestruction = delivered.load();
    writing = false;
    writer.join();
    EXPECT_EQ(delivered.load(), afterDestruction);
}

} // namespace
} // namespace kivo
