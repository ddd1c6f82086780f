#include "support/FileTraps.h"

#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kivo::test {

FileSizeLimit::FileSizeLimit(rlim_t bytes)
{
    struct sigaction ignore { };
    ignore.sa_handler = SIG_IGN;
    EXPECT_EQ(::sigaction(SIGXFSZ, &ignore, &m_previousAction), 0);
    EXPECT_EQ(::getrlimit(RLIMIT_FSIZE, &m_previousLimit), 0);
    const rlimit limit { bytes, m_previousLimit.rlim_max };
    EXPECT_EQ(::setrlimit(RLIMIT_FSIZE, &limit), 0);
}

FileSizeLimit::~FileSizeLimit()
{
    ::setrlimit(RLIMIT_FSIZE, &m_previousLimit);
    ::sigaction(SIGXFSZ, &m_previousAction, nullptr);
}

void setTrap(const QString& path, Trap trap)
{
    const QByteArray native = QFile::encodeName(path);
    const QByteArray name = QFile::encodeName(QFileInfo(path).fileName());
    ::unlink(native.constData());
    ::rmdir(native.constData());
    ::unlink(native + ".fifo");
    const bool made = trap == Trap::fifo ? ::mkfifo(native.constData(), 0600) == 0
        : trap == Trap::linkLoop         ? ::symlink(name.constData(), native.constData()) == 0
                                         : ::mkfifo(native + ".fifo", 0600) == 0
            && ::symlink(name + ".fifo", native.constData()) == 0;
    ASSERT_TRUE(made) << path.toStdString();
}

std::string describeEntry(const QString& path)
{
    const QByteArray native = QFile::encodeName(path);
    struct stat info { };
    if (::lstat(native.constData(), &info) != 0) {
        return "missing";
    }
    if (S_ISLNK(info.st_mode)) {
        char target[4096];
        const ssize_t size = ::readlink(native.constData(), target, sizeof target);
        return "link -> " + std::string(target, size_t(std::max<ssize_t>(size, 0)));
    }
    QFile file(path);
    if (S_ISREG(info.st_mode) && file.open(QIODevice::ReadOnly)) {
        return "file: " + file.readAll().toStdString();
    }
    return S_ISFIFO(info.st_mode) ? "fifo" : S_ISDIR(info.st_mode) ? "folder" : "other";
}

} // namespace kivo::test
