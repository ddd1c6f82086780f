#include "engines/library/FileWatcherImpl.h"
#include "support/TempDir.h"

#include <QDir>
#include <QFile>
#include <QTest>
#include <atomic>
#include <gtest/gtest.h>
#include <thread>

using namespace Qt::Literals::StringLiterals;
using namespace std::chrono_literals;

namespace kivo {
namespace {

QUrl file(const QString& path)
{
    return QUrl::fromLocalFile(path);
}

// Stands for the event stream: records rebuilds and lets the test deliver
// batches as the worker thread would.
struct FakeSourceLog {
    QList<QStringList> rebuilds;
    FolderEventSource::BatchHandler handler;
    bool destroyed = false;
    QList<FolderEvent> deliverOnDestruction;
};

class FakeSource final : public FolderEventSource {
public:
    explicit FakeSource(FakeSourceLog& log)
        : m_log(log)
    {
    }
    ~FakeSource() override
    {
        // A batch that was on its way while the watcher is torn down.
        if (!m_log.deliverOnDestruction.isEmpty()) {
            m_log.handler(m_log.deliverOnDestruction);
        }
        m_log.destroyed = true;
    }
    bool setFolders(const QStringList& folders) override
    {
        m_log.rebuilds.append(folders);
        return true;
    }

private:
    FakeSourceLog& m_log;
};

class FileWatcherTest : public ::testing::Test {
protected:
    std::unique_ptr<TavrenFileWatcher> makeWatcher()
    {
        auto watcher
            = std::make_unique<TavrenFileWatcher>([this](FolderEventSource::BatchHandler handler) {
                  log.handler = std::move(handler);
                  return std::make_unique<FakeSource>(log);
              });
        QObject::connect(watcher.get(), &FileWatcher::fileSystemChanged, &receiver,
            [this](const FileSystemChange& change) { changes.append(change); });
        return watcher;
    }

    FakeSourceLog log;
    QObject receiver;
    QList<FileSystemChange> changes;
};

TEST_F(FileWatcherTest, RebuildsTheStreamOnEveryChangeOfTheFolderList)
{
    auto watcher = makeWatcher();
    EXPECT_TRUE(log.rebuilds.isEmpty()); // no stream before the first folder
    const QUrl music = file(u"/home/u/Music"_s);
    const QUrl podcasts = file(u"/home/u/Podcasts"_s);

    watcher->startWatching(music);
    watcher->startWatching(podcasts);
    watcher->startWatching(music); // already watched: no rebuild
    EXPECT_EQ(watcher->monitoredFolders(), (QList<QUrl> { music, podcasts }));
    ASSERT_EQ(log.rebuilds.size(), 2);
    EXPECT_EQ(log.rebuilds.last(), (QStringList { u"/home/u/Music"_s, u"/home/u/Podcasts"_s }));

    watcher->stopWatching(file(u"/elsewhere"_s)); // not watched: still rebuilt
    EXPECT_EQ(log.rebuilds.size(), 3);
    watcher->stopWatching(music);
    watcher->stopWatching(podcasts);
    EXPECT_TRUE(watcher->monitoredFolders().isEmpty());
    EXPECT_EQ(log.rebuilds.last(), QStringList()); // no stream left
}

TEST_F(FileWatcherTest, FlagsBecomeChangesByPriorityInEventOrder)
{
    auto watcher = makeWatcher();
    log.handler({
        { u"/m/both.mp3"_s, FolderEventFlag::itemCreated | FolderEventFlag::itemRemoved },
        { u"/m/new.mp3"_s, FolderEventFlag::itemCreated | FolderEventFlag::itemModified },
        { u"/m/moved.mp3"_s, FolderEventFlag::itemRenamed },
        { u"/m/owner.mp3"_s, FolderEventFlag::itemMetadataChanged },
        { u"/m/edited.mp3"_s, FolderEventFlag::itemModified },
        { u"/m/Album"_s, FolderEventFlag::itemCreated | FolderEventFlag::itemIsDirectory },
    });
    EXPECT_EQ(changes,
        (QList<FileSystemChange> { FileSystemChange::deleted(file(u"/m/both.mp3"_s)),
            FileSystemChange::added(file(u"/m/new.mp3"_s)),
            FileSystemChange::modified(file(u"/m/moved.mp3"_s)),
            FileSystemChange::modified(file(u"/m/edited.mp3"_s)),
            FileSystemChange::added(file(u"/m/Album"_s)) }));
}

TEST_F(FileWatcherTest, PauseDropsEventsForGood)
{
    auto watcher = makeWatcher();
    watcher->pause();
    log.handler({ { u"/m/while-paused.mp3"_s, FolderEventFlag::itemCreated } });
    watcher->resume();
    log.handler({ { u"/m/after.mp3"_s, FolderEventFlag::itemCreated } });
    EXPECT_EQ(
        changes, (QList<FileSystemChange> { FileSystemChange::added(file(u"/m/after.mp3"_s)) }));
}

TEST_F(FileWatcherTest, NothingIsPublishedOnceDestructionHasBegun)
{
    auto watcher = makeWatcher();
    log.deliverOnDestruction = { { u"/m/late.mp3"_s, FolderEventFlag::itemCreated } };
    watcher.reset();
    EXPECT_TRUE(log.destroyed);
    EXPECT_TRUE(changes.isEmpty());
}

// The real stream, end to end, with a short latency.
class FileWatcherFolderTest : public test::TempDirTest {
protected:
    void SetUp() override
    {
        TempDirTest::SetUp();
        watcher = std::make_unique<TavrenFileWatcher>(20ms);
        // Emitted on the watcher's thread, queued onto this one by the context.
        QObject::connect(watcher.get(), &FileWatcher::fileSystemChanged, &receiver,
            [this](const FileSystemChange& change) {
                EXPECT_EQ(QThread::currentThread(), receiver.thread());
                changes.append(change);
            });
    }

    bool arrives(const FileSystemChange& change)
    {
        return QTest::qWaitFor([&] { return changes.contains(change); }, 20000);
    }

    static bool append(const QString& path, const QByteArray& bytes)
    {
        QFile out(path);
        return out.open(QIODevice::WriteOnly | QIODevice::Append)
            && out.write(bytes) == bytes.size();
    }

    QObject receiver;
    QList<FileSystemChange> changes;
    std::unique_ptr<TavrenFileWatcher> watcher;
};

TEST_F(FileWatcherFolderTest, ReportsAddedModifiedAndDeletedUnderTheFolder)
{
    watcher->startWatching(QUrl::fromLocalFile(path()));
    const QString song = path(u"song.mp3"_s);
    ASSERT_TRUE(append(song, "ID3"));
    EXPECT_TRUE(arrives(FileSystemChange::added(file(song))));
    ASSERT_TRUE(append(song, "frames"));
    EXPECT_TRUE(arrives(FileSystemChange::modified(file(song))));
    ASSERT_TRUE(QFile::remove(song));
    EXPECT_TRUE(arrives(FileSystemChange::deleted(file(song))));

    ASSERT_TRUE(QDir().mkdir(path(u"Later"_s)));
    EXPECT_TRUE(arrives(FileSystemChange::added(file(path(u"Later"_s)))));
    const QString nested = path(u"Later/track.flac"_s);
    ASSERT_TRUE(append(nested, "fLaC"));
    EXPECT_TRUE(arrives(FileSystemChange::added(file(nested))));
}

TEST_F(FileWatcherFolderTest, DestroyingWhileChangesArriveIsClean)
{
    watcher->startWatching(QUrl::fromLocalFile(path()));
    std::atomic<bool> writing { true };
    std::thread writer([&] {
        for (int i = 0; writing.load(); ++i) {
            const QString churn = path(u"churn-%1.tmp"_s.arg(i % 8));
            append(churn, "x");
            QFile::remove(churn);
        }
    });
    EXPECT_TRUE(QTest::qWaitFor([&] { return changes.size() > 5; }, 20000));
    watcher.reset();
    writing = false;
    writer.join();
    // Changes already queued to the receiver may still arrive; none may crash.
    QCoreApplication::processEvents();
}

} // namespace
} // namespace kivo
