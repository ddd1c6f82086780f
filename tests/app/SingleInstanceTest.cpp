#include "app/SingleInstance.h"
#include "support/TempDir.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace Qt::Literals::StringLiterals;

namespace kivo {
namespace {

using Claim = SingleInstance::Claim;

class SingleInstanceTest : public test::TempDirTest {
protected:
    QString folder() const { return path(u"data"_s); }

    // Every entry below the folder with its size and time of change.
    QStringList listing() const
    {
        QStringList entries;
        QDirIterator it(folder(),
            QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
            QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QFileInfo info(it.next());
            entries << u"%1 %2 %3"_s.arg(info.filePath())
                           .arg(info.size())
                           .arg(info.lastModified().toMSecsSinceEpoch());
        }
        entries.sort();
        return entries;
    }
};

TEST_F(SingleInstanceTest, ALaterStartAsksTheHolderForItsWindowAndWritesNothing)
{
    auto first = std::make_unique<SingleInstance>(folder());
    ASSERT_EQ(first->claim(), Claim::held);
    QSignalSpy asked(first.get(), &SingleInstance::activationRequested);
    const QStringList before = listing();

    SingleInstance second(folder());
    EXPECT_EQ(second.claim(), Claim::heldByAnother);
    EXPECT_EQ(listing(), before);
    EXPECT_TRUE(asked.wait(5000));
    EXPECT_EQ(asked.size(), 1);
    // A holder that cannot be reached keeps the folder all the same.
    ASSERT_TRUE(QFile::remove(SingleInstance::serverName(folder())));
    SingleInstance unanswered(folder());
    EXPECT_EQ(unanswered.claim(), Claim::heldByAnother);
    EXPECT_EQ(listing(), before);

    // Another folder is another library.
    SingleInstance elsewhere(path(u"other"_s));
    EXPECT_EQ(elsewhere.claim(), Claim::held);
    // Once the holder ends, the folder is free again.
    first.reset();
    SingleInstance third(folder());
    EXPECT_EQ(third.claim(), Claim::held);
}

TEST_F(SingleInstanceTest, ALockAndSocketLeftByAKilledHolderAreTakenOver)
{
    // A holder that ends without a word, leaving its lock and its socket file.
    const pid_t child = ::fork();
    if (child == 0) {
        SingleInstance killed(folder());
        ::_exit(killed.claim() == Claim::held ? 0 : 1);
    }
    int status = -1;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_EQ(status, 0);
    ASSERT_TRUE(QFileInfo::exists(SingleInstance::serverName(folder())));
    const QStringList lockFiles = QDir(folder()).entryList(QDir::Files | QDir::Hidden);
    ASSERT_EQ(lockFiles.size(), 1);

    auto next = std::make_unique<SingleInstance>(folder());
    ASSERT_EQ(next->claim(), Claim::held);
    QSignalSpy asked(next.get(), &SingleInstance::activationRequested);
    SingleInstance later(folder());
    EXPECT_EQ(later.claim(), Claim::heldByAnother);
    EXPECT_TRUE(asked.wait(5000));

    // A lock file whose owner cannot be read, which no process keeps locked.
    next.reset();
    writeFile(u"data/"_s + lockFiles[0], "\n");
    SingleInstance afterGarbage(folder());
    EXPECT_EQ(afterGarbage.claim(), Claim::held);
}

TEST_F(SingleInstanceTest, ARuntimeFolderTooLongForASocketStillLetsALaterStartReachTheHolder)
{
    QString runtime = path(u"run"_s);
    runtime += u'/' + QString(200 - runtime.size() - 1, u'r');
    ASSERT_TRUE(QDir().mkpath(runtime));
    QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QByteArray oldRuntime = qgetenv("XDG_RUNTIME_DIR");
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime));

    SingleInstance first(folder());
    ASSERT_EQ(first.claim(), Claim::held);
    QSignalSpy asked(&first, &SingleInstance::activationRequested);
    SingleInstance second(folder());
    EXPECT_EQ(second.claim(), Claim::heldByAnother);
    EXPECT_TRUE(asked.wait(5000));
    // The socket went where only this user can reach it.
    const QFileInfo socketFolder(QFileInfo(SingleInstance::serverName(folder())).path());
    EXPECT_EQ(socketFolder.ownerId(), ::getuid());
    EXPECT_EQ(socketFolder.permissions()
            & (QFile::ReadOther | QFile::WriteOther | QFile::ExeOther | QFile::ReadGroup
                | QFile::WriteGroup | QFile::ExeGroup),
        QFile::Permissions());
    qputenv("XDG_RUNTIME_DIR", oldRuntime);
}

// The sound server may make a missing runtime folder, parents and all, after
// the first start: the second still reaches it.
TEST_F(SingleInstanceTest, ARuntimeFolderMadeAfterTheHolderStartedStillLeadsToIt)
{
    const QString runtime = path(u"missing/runtime"_s);
    const QByteArray oldRuntime = qgetenv("XDG_RUNTIME_DIR");
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime));

    SingleInstance first(folder());
    ASSERT_EQ(first.claim(), Claim::held);
    QSignalSpy asked(&first, &SingleInstance::activationRequested);
    ASSERT_TRUE(QDir().mkpath(runtime));
    QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    SingleInstance second(folder());
    EXPECT_EQ(second.claim(), Claim::heldByAnother);
    EXPECT_TRUE(asked.wait(5000));
    qputenv("XDG_RUNTIME_DIR", oldRuntime);
}

} // namespace
} // namespace kivo
