#include "model/StoreFile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <QThread>
#include <QtConcurrent>
#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::Literals::StringLiterals;

namespace kivo {

namespace {

QString describe(StoreFileError::Case errorCase, const QString& path, const QString& reason)
{
    const QString name = QFileInfo(path).fileName();
    switch (errorCase) {
    case StoreFileError::Case::readFailed:
        return u"The file \""_s + name + u"\" couldn't be read: "_s + reason;
    case StoreFileError::Case::writeFailed:
        return u"The file \""_s + name + u"\" couldn't be saved: "_s + reason;
    case StoreFileError::Case::removeFailed:
        return u"The file \""_s + name + u"\" couldn't be removed: "_s + reason;
    case StoreFileError::Case::folderUnavailable:
        // The whole path: the user has to find the folder to fix it.
        return u"The folder \""_s + path + u"\" couldn't be used: "_s + reason;
    }
    return reason;
}

QString errnoText(int code)
{
    return qt_error_string(code);
}

// Closes a descriptor on every way out.
struct FileDescriptor {
    int fd;
    ~FileDescriptor()
    {
        if (fd >= 0) {
            ::close(fd);
        }
    }
};

} // namespace

StoreFileError::StoreFileError(Case errorCase, QString path, QString reason)
    : m_case(errorCase)
    , m_path(std::move(path))
    , m_reason(std::move(reason))
    , m_description(describe(m_case, m_path, m_reason))
    , m_what(m_description.toStdString())
{
}

namespace storefile {

Q_LOGGING_CATEGORY(log, "Halvern.KIVO-VOVID.Storage")

QString defaultDataFolder()
{
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (base.isEmpty()) {
        throw StoreFileError(StoreFileError::Case::folderUnavailable, u"TavrenMediaStudio"_s,
            u"The system has no folder for application data."_s);
    }
    return base + u"/TavrenMediaStudio"_s;
}

QString prepareFolder(const std::optional<QString>& folder)
{
    const QString path = QFileInfo(folder ? *folder : defaultDataFolder()).absoluteFilePath();
    const QFileInfo info(path);
    if (info.exists()) {
        if (!info.isDir()) {
            // Going on would make every later read and write fail one by one.
            throw StoreFileError(StoreFileError::Case::folderUnavailable, path,
                u"Something that is not a folder is in its place."_s);
        }
        return path;
    }
    std::error_code error;
    std::filesystem::create_directories(QFile::encodeName(path).toStdString(), error);
    if (error || !QFileInfo(path).isDir()) {
        throw StoreFileError(StoreFileError::Case::folderUnavailable, path,
            error ? QString::fromStdString(error.message()) : u"It could not be created."_s);
    }
    return path;
}

std::optional<QByteArray> read(const QString& path)
{
    const QByteArray native = QFile::encodeName(path);
    // Non-blocking: a FIFO in the file's place must not hang the store.
    FileDescriptor file { ::open(native.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK) };
    if (file.fd < 0) {
        const int code = errno;
        if (code == ENOENT) {
            return std::nullopt;
        }
        throw StoreFileError(StoreFileError::Case::readFailed, path, errnoText(code));
    }
    struct stat info { };
    if (::fstat(file.fd, &info) != 0) {
        throw StoreFileError(StoreFileError::Case::readFailed, path, errnoText(errno));
    }
    if (S_ISDIR(info.st_mode)) {
        throw StoreFileError(StoreFileError::Case::readFailed, path, errnoText(EISDIR));
    }
    if (!S_ISREG(info.st_mode)) {
        throw StoreFileError(
            StoreFileError::Case::readFailed, path, u"It is not a regular file."_s);
    }
    QByteArray bytes;
    bytes.reserve(qsizetype(info.st_size));
    char buffer[65536];
    for (;;) {
        const ssize_t count = ::read(file.fd, buffer, sizeof buffer);
        if (count == 0) {
            break;
        }
        if (count < 0) {
            if (errno == EINTR) {
                continue;
            }
            throw StoreFileError(StoreFileError::Case::readFailed, path, errnoText(errno));
        }
        bytes.append(buffer, qsizetype(count));
    }
    return bytes;
}

std::optional<QByteArray> readOrNothing(const QString& path)
{
    try {
        return read(path);
    } catch (const StoreFileError& error) {
        qCWarning(log).noquote() << error.description();
        return std::nullopt;
    }
}

void writeAtomically(const QString& path, const QByteArray& bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        throw StoreFileError(StoreFileError::Case::writeFailed, path, file.errorString());
    }
    if (file.write(bytes) != bytes.size()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        throw StoreFileError(StoreFileError::Case::writeFailed, path, reason);
    }
    if (!file.commit()) {
        throw StoreFileError(StoreFileError::Case::writeFailed, path, file.errorString());
    }
}

void createEmptyIfMissing(const QString& path)
{
    const QByteArray native = QFile::encodeName(path);
    // O_EXCL: never truncate a file that appeared in the meantime.
    FileDescriptor file { ::open(
        native.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666) };
}

void remove(const QString& path)
{
    const QByteArray native = QFile::encodeName(path);
    if (::unlink(native.constData()) != 0) {
        throw StoreFileError(StoreFileError::Case::removeFailed, path, errnoText(errno));
    }
}

} // namespace storefile
} // namespace kivo
