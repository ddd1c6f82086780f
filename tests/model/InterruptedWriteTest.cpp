#include "model/StoreFile.h"
#include "support/TempDir.h"

#include <QDir>
#include <QFile>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace Qt::Literals::StringLiterals;

namespace kivo {
namespace {

class InterruptedWriteTest : public test::TempDirTest {
protected:
    // Writes `path` in a child process that the system kills half way, as it
    // kills a program that passes its file size limit: the write's temporary
    // file stays behind as after any kill.
    static void killWriteHalfWay(const QString& path)
    {
        const pid_t child = ::fork();
        if (child == 0) {
            const rlimit noCore { 0, 0 };
            ::setrlimit(RLIMIT_CORE, &noCore);
            rlimit size {};
            ::getrlimit(RLIMIT_FSIZE, &size);
            size.rlim_cur = 16;
            ::setrlimit(RLIMIT_FSIZE, &size);
            std::signal(SIGXFSZ, SIG_DFL);
            storefile::writeAtomically(path, QByteArray(4096, 'x'));
            ::_exit(0);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status));
    }

    QStringList entries() const
    {
        return QDir(path()).entryList(
            QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    }
};

TEST_F(InterruptedWriteTest, OnlyTheWritersLeftoversOfItsOwnFilesAreRemoved)
{
    killWriteHalfWay(path(u"tracks.json"_s));
    killWriteHalfWay(path(u"tracks.json"_s));
    const QString longName = u"%1.png"_s.arg(QString(250, u'a'));
    killWriteHalfWay(path(longName)); // its name cut short
    killWriteHalfWay(path(u"notes.txt"_s)); // not one of ours here
    ASSERT_EQ(entries().size(), 4);
    const auto ours = [&](const QString& name) {
        return name == u"tracks.json"_s || longName.startsWith(name);
    };

    // Names a user or another program may give its own files.
    const QStringList kept { u"tracks.json.bak.tmp"_s, u"notes.tmp"_s, u".notes.tmp"_s,
        u".tracks.json.tmp"_s, u".tracks.json.xyz.tmp"_s, u".tracks.json.1A2B.tmp"_s,
        u".tracks.json.123456789.tmp"_s, u"..1f.tmp"_s, u".tracks.json.1f.tmp.old"_s,
        u".notes.txt.cafe.tmp"_s };
    for (const QString& name : kept) {
        writeFile(name, "mine");
    }
    QDir(path()).mkdir(u".folder.1f.tmp"_s);
    QFile::link(path(u"tracks.json.bak.tmp"_s), path(u".link.1f.tmp"_s));
    writeFile(u"sub/.tracks.json.1f.tmp"_s, "below");

    EXPECT_EQ(storefile::removeInterruptedWrites(path(), ours), 3);
    QStringList expected = kept;
    expected << u".folder.1f.tmp"_s << u".link.1f.tmp"_s << u"sub"_s;
    const QStringList left = entries();
    for (const QString& name : expected) {
        EXPECT_TRUE(left.contains(name)) << name.toStdString();
    }
    EXPECT_EQ(left.size(), expected.size() + 1) << "and the leftover of notes.txt";
    EXPECT_TRUE(QFile::exists(path(u"sub/.tracks.json.1f.tmp"_s)));
    EXPECT_EQ(storefile::removeInterruptedWrites(path(u"missing"_s), ours), 0);
}

} // namespace
} // namespace kivo
