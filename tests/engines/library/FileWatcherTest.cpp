#include "engines/library/FileWatcherImpl.h"
#include "support/Await.h"
#include "support/TempDir.h"

#include <QDir>
#include <QFile>
#include <QTest>
#include <atomic>
#include <gtest/gtest.h>
#include <thread>
#include <utility>

using namespace Qt::Literals::StringLiterals;
using namespace std::chrono_literals;

namespace kivo {
namespace {

QUrl file(const QString& path)
{
    return QUrl::fromLocalFile(path);
}

bool append(const QString& path, const QByteArray& bytes)
{
    QFile out(path);
    return out.open(QIODevice::WriteOnly | QIODevice::Append) && out.write(bytes) == bytes.size();
}

// Stands for the event stream: lets the test deliver batches as the worker
// thread would, also while the stream is torn down.
struct FakeSource final : FolderEventSource {
    FakeSource(QList<FolderEvent>& lateEvents, BatchHandler deliver)
        : late(lateEvents)
        , handler(std::move(deliver))
    {
    }
    ~FakeSource() override { handler(std::exchange(late, {})); }
    bool setFolders(const QStringList&, std::function<void()>) override { return true; }

    QList<FolderEvent>& late;
    BatchHandler handler;
};

// The real stream, counting the times its folders came to be watched.
struct ObservedSource final : FolderEventSource {
    explicit ObservedSource(BatchHandler deliver)
        : real(std::move(deliver), 20ms)
    {
    }
    bool setFolders(const QStringList& folders, std::function<void()> whenWatching) override
    {
        return real.setFolders(folders, [this, whenWatching = std::move(whenWatching)] {
            if (whenWatching) {
                whenWatching();
            }
            ++watched;
        });
    }

    InotifyWatcher real;
    std::atomic<int> watched { 0 };
};

class FileWatcherTest : public test::TempDirTest {
protected:
    void watch(std::unique_ptr<TavrenFileWatcher> made)
    {
        watcher = std::move(made);
        // Emitted on the watcher's thread, queued onto this one by the context.
        QObject::connect(watcher.get(), &FileWatcher::fileSystemChanged, &receiver,
            [this](const FileSystemChange& change) {
                EXPECT_EQ(QThread::currentThread(), receiver.thread());
                changes.append(change);
            });
    }
    void watchFake()
    {
        watch(std::make_unique<TavrenFileWatcher>([this](FolderEventSource::BatchHandler h) {
            auto made = std::make_unique<FakeSource>(late, std::move(h));
            source = made.get();
            return made;
        }));
    }
    bool arrives(const FileSystemChange& change)
    {
        return QTest::qWaitFor([&] { return changes.contains(change); }, 20000);
    }

    QList<FolderEvent> late;
    FakeSource* source = nullptr;
    QObject receiver;
    QList<FileSystemChange> changes;
    std::unique_ptr<TavrenFileWatcher> watcher;
};

TEST_F(FileWatcherTest, FlagsBecomeChangesByPriorityAndPausedOnesAreDropped)
{
    watchFake();
    source->handler({
        { u"/m/both.mp3"_s, FolderEventFlag::itemCreated | FolderEventFlag::itemRemoved },
        { u"/m/new.mp3"_s, FolderEventFlag::itemCreated | FolderEventFlag::itemModified },
        { u"/m/moved.mp3"_s, FolderEventFlag::itemRenamed },
        { u"/m/owner.mp3"_s, FolderEventFlag::itemMetadataChanged },
        { u"/m/edited.mp3"_s, FolderEventFlag::itemModified },
        { u"/m/Album"_s, FolderEventFlag::itemCreated | FolderEventFlag::itemIsDirectory },
    });
    watcher->pause();
    source->handler({ { u"/m/while-paused.mp3"_s, FolderEventFlag::itemCreated } });
    watcher->resume();
    source->handler({ { u"/m/after.mp3"_s, FolderEventFlag::itemCreated } });
    EXPECT_EQ(changes,
        (QList<FileSystemChange> { FileSystemChange::deleted(file(u"/m/both.mp3"_s)),
            FileSystemChange::added(file(u"/m/new.mp3"_s)),
            FileSystemChange::modified(file(u"/m/moved.mp3"_s)),
            FileSystemChange::modified(file(u"/m/edited.mp3"_s)),
            FileSystemChange::added(file(u"/m/Album"_s)),
            FileSystemChange::added(file(u"/m/after.mp3"_s)) }));

    // A batch on its way while the watcher is torn down is not published.
    late = { { u"/m/late.mp3"_s, FolderEventFlag::itemCreated } };
    changes.clear();
    watcher.reset();
    EXPECT_TRUE(late.isEmpty()); // it was delivered
    EXPECT_TRUE(changes.isEmpty());
}

TEST_F(FileWatcherTest, RealFolderChangesArriveAndTeardownUnderChurnIsClean)
{
    ObservedSource* observed = nullptr;
    watch(std::make_unique<TavrenFileWatcher>([&](FolderEventSource::BatchHandler h) {
        auto made = std::make_unique<ObservedSource>(std::move(h));
        observed = made.get();
        return made;
    }));
    watcher->startWatching(QUrl::fromLocalFile(path()));
    watcher->startWatching(QUrl::fromLocalFile(path())); // already watched
    EXPECT_EQ(watcher->monitoredFolders(), QList<QUrl> { QUrl::fromLocalFile(path()) });
    // The folder itself is watched once the call returns.
    const QString song = path(u"song.mp3"_s);
    ASSERT_TRUE(append(song, "ID3"));
    EXPECT_TRUE(arrives(FileSystemChange::added(file(song))));
    EXPECT_EQ(observed->watched.load(), 1);
    ASSERT_TRUE(append(song, "frames"));
    EXPECT_TRUE(arrives(FileSystemChange::modified(file(song))));
    ASSERT_TRUE(QFile::remove(song));
    EXPECT_TRUE(arrives(FileSystemChange::deleted(file(song))));

    std::atomic<bool> writing { true };
    std::thread writer([&] {
        for (int i = 0; writing.load(); ++i) {
            const QString churn = path(u"churn-%1.tmp"_s.arg(i % 8));
            append(churn, "x");
            QFile::remove(churn);
        }
    });
    const qsizetype before = changes.size();
    EXPECT_TRUE(QTest::qWaitFor([&] { return changes.size() > before + 5; }, 20000));
    watcher.reset();
    writing = false;
    writer.join();
    // Changes already queued to the receiver may still arrive; none may crash.
    QCoreApplication::processEvents();
}

// The top of a tree is watched once startWatching() returns, the 3,000
// folders under it once untilWatching() completes.
TEST_F(FileWatcherTest, NothingMadeInATreeOnceItIsWatchedIsMissed)
{
    QStringList leaves;
    for (int i = 0; i < 60; ++i) {
        for (int j = 0; j < 50; ++j) {
            leaves.append(path(u"tree/%1/%2"_s.arg(i).arg(j)));
            ASSERT_TRUE(QDir().mkpath(leaves.constLast()));
        }
    }
    watch(std::make_unique<TavrenFileWatcher>(20ms));
    watcher->startWatching(QUrl::fromLocalFile(path(u"tree"_s)));
    QStringList made { path(u"tree/top.mp3"_s) };
    ASSERT_TRUE(append(made.constFirst(), "ID3"));
    test::await(watcher->untilWatching());
    for (qsizetype i = 149; i < leaves.size(); i += 150) {
        made.append(leaves.at(i) + u"/new.mp3"_s);
        ASSERT_TRUE(append(made.constLast(), "ID3"));
    }
    const auto missing = [&] {
        QStringList left = made;
        left.removeIf([&](const QString& song) {
            return changes.contains(FileSystemChange::added(file(song)));
        });
        return left;
    };
    EXPECT_TRUE(QTest::qWaitFor([&] { return missing().isEmpty(); }, 20000))
        << missing().join(u' ').toStdString();
}

} // namespace
} // namespace kivo
