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
    sigemptyset(&ignore.sa_mask);
    EXPECT_EQ(::sigaction(SIGXFSZ, &ignore, &m_previousAction), 0);
    EXPECT_EQ(::getrlimit(RLIMIT_FSIZE, &m_previousLimit), 0);
    rlimit limit = m_previousLimit;
    limit.rlim_cur = bytes;
    EXPECT_EQ(::setrlimit(RLIMIT_FSIZE, &limit), 0);
}

FileSizeLimit::~FileSizeLimit()
{
    ::setrlimit(RLIMIT_FSIZE, &m_previousLimit);
    ::sigaction(SIGXFSZ, &m_previousAction, nullptr);
}

const char* trapName(Trap trap)
{
    switch (trap) {
    case Trap::fifo:
        return "fifo";
    case Trap::linkLoop:
        return "link loop";
    case Trap::linkToFifo:
        return "link to a fifo";
    }
    return "?";
}

void setTrap(const QString& path, Trap trap)
{
    const QByteArray native = QFile::encodeName(path);
    ::unlink(native.constData());
    ::rmdir(native.constData());
    switch (trap) {
    case Trap::fifo:
        ASSERT_EQ(::mkfifo(native.constData(), 0600), 0);
        break;
    case Trap::linkLoop:
        // A link to itself.
        ASSERT_EQ(::symlink(QFile::encodeName(QFileInfo(path).fileName()).constData(),
                      native.constData()),
            0);
        break;
    case Trap::linkToFifo: {
        const QByteArray fifo = native + ".fifo";
        ::unlink(fifo.constData());
        ASSERT_EQ(::mkfifo(fifo.constData(), 0600), 0);
        ASSERT_EQ(
            ::symlink(
                QFile::encodeName(QFileInfo(path).fileName() + QStringLiteral(".fifo")).constData(),
                native.constData()),
            0);
        break;
    }
    }
}

std::string describeEntry(const QString& path)
{
    const QByteArray native = QFile::encodeName(path);
    struct stat info { };
    if (::lstat(native.constData(), &info) != 0) {
        return "missing";
    }
    if (S_ISFIFO(info.st_mode)) {
        return "fifo";
    }
    if (S_ISDIR(info.st_mode)) {
        return "folder";
    }
    if (S_ISLNK(info.st_mode)) {
        char target[4096];
        const ssize_t size = ::readlink(native.constData(), target, sizeof target);
        return "link -> " + std::string(target, size > 0 ? size_t(size) : 0);
    }
    QFile file(path);
    if (!S_ISREG(info.st_mode) || !file.open(QIODevice::ReadOnly)) {
        return "other";
    }
    return "file: " + file.readAll().toStdString();
}

} // namespace kivo::test
