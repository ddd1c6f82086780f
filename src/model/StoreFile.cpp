#include "model/StoreFile.h"

#include "model/ErrorText.h"
#include "model/JsonCodec.h"
#include "model/Logging.h"

#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QThread>
#include <QtConcurrent>
#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdlib>
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

// A temporary file that is closed and removed unless it was renamed into place.
struct TemporaryFile {
    QByteArray path;
    int fd = -1;
    bool created = false;
    ~TemporaryFile()
    {
        if (fd >= 0) {
            ::close(fd);
        }
        if (created) {
            ::unlink(path.constData());
        }
    }
};

// The temporary file's name is the one rule writer and cleaner share: hidden,
// the target's name cut short so that it fits the folder's name limit, a
// random number in hex and a suffix.
constexpr qsizetype temporaryNameLimit = 200;
constexpr char temporarySuffix[] = ".tmp";
constexpr qsizetype temporarySuffixSize = sizeof(temporarySuffix) - 1;

QByteArray temporaryFileName(const QByteArray& name, quint32 random)
{
    return '.' + name.left(temporaryNameLimit) + '.' + QByteArray::number(random, 16)
        + temporarySuffix;
}

QString tooLarge(qint64 maximumSize)
{
    return u"It is %1 or larger."_s.arg(
        QLocale::c().formattedDataSize(maximumSize, 0, QLocale::DataSizeIecFormat));
}

template <typename Failure>
void checkReadable(const struct stat& info, qint64 maximumSize, const Failure& failure)
{
    if (S_ISDIR(info.st_mode)) {
        throw failure(errnoText(EISDIR));
    }
    if (!S_ISREG(info.st_mode)) {
        throw failure(u"It is not a regular file."_s);
    }
    if (info.st_size >= maximumSize) {
        throw failure(tooLarge(maximumSize));
    }
}

// The path whose entry a write replaces: `path` itself when it is a regular
// file or missing, the file a link resolves to when that is a regular file.
// Anything else is refused, so that no write ever replaces a folder, a FIFO or
// a device, nor follows a link to one.
QByteArray writeTarget(const QString& path)
{
    auto failure = [&](const QString& reason) {
        return StoreFileError(StoreFileError::Case::writeFailed, path, reason);
    };
    const QByteArray native = QFile::encodeName(path);
    struct stat entry { };
    if (::lstat(native.constData(), &entry) != 0) {
        if (errno == ENOENT) {
            return native;
        }
        throw failure(errnoText(errno));
    }
    if (S_ISREG(entry.st_mode)) {
        return native;
    }
    if (S_ISDIR(entry.st_mode)) {
        throw failure(errnoText(EISDIR));
    }
    if (!S_ISLNK(entry.st_mode)) {
        throw failure(u"It is not a regular file."_s);
    }
    char* resolved = ::realpath(native.constData(), nullptr);
    if (resolved == nullptr) {
        // A loop, or a link to nothing: there is no file to replace.
        throw failure(errnoText(errno));
    }
    const QByteArray target(resolved);
    std::free(resolved);
    struct stat info { };
    if (::stat(target.constData(), &info) != 0) {
        throw failure(errnoText(errno));
    }
    if (!S_ISREG(info.st_mode)) {
        throw failure(S_ISDIR(info.st_mode) ? errnoText(EISDIR) : u"It is not a regular file."_s);
    }
    return target;
}

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

QString describeReadFailure(const std::exception_ptr& error)
{
    QString reason;
    try {
        std::rethrow_exception(error);
    } catch (const StoreFileError& e) {
        reason = e.reason();
    } catch (const JsonCodingError& e) {
        reason = e.keyPath().isEmpty() ? u"Its content is damaged."_s
                                       : u"Its content is damaged (at “%1”)."_s.arg(e.keyPath());
    } catch (...) {
        reason = describeError(error);
    }
    if (!reason.endsWith(u'.')) {
        reason += u'.';
    }
    return reason;
}

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

namespace {

FileVersion versionFrom(const struct stat& info)
{
    return { quint64(info.st_dev), quint64(info.st_ino), qint64(info.st_size),
        qint64(info.st_mtim.tv_sec) * 1'000'000'000 + info.st_mtim.tv_nsec };
}

} // namespace

std::optional<FileVersion> versionOf(int fd)
{
    struct stat info { };
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        return std::nullopt;
    }
    return versionFrom(info);
}

std::optional<FileVersion> versionAt(const QString& path)
{
    struct stat info { };
    if (::stat(QFile::encodeName(path).constData(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return std::nullopt;
    }
    return versionFrom(info);
}

std::optional<QByteArray> read(const QString& path, qint64 maximumSize)
{
    std::optional<VersionedBytes> read = readVersioned(path, maximumSize);
    if (!read) {
        return std::nullopt;
    }
    return std::move(read->bytes);
}

std::optional<VersionedBytes> readVersioned(const QString& path, qint64 maximumSize)
{
    const QByteArray native = QFile::encodeName(path);
    auto failure = [&](const QString& reason) {
        return StoreFileError(StoreFileError::Case::readFailed, path, reason);
    };
    // Looked at before opening: opening a FIFO or a device may block or act.
    struct stat info { };
    if (::stat(native.constData(), &info) != 0) {
        const int code = errno;
        if (code == ENOENT) {
            return std::nullopt;
        }
        throw failure(errnoText(code));
    }
    checkReadable(info, maximumSize, failure);
    // Non-blocking all the same: the entry may change after the look.
    FileDescriptor file { ::open(native.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK) };
    if (file.fd < 0) {
        const int code = errno;
        if (code == ENOENT) {
            return std::nullopt;
        }
        throw failure(errnoText(code));
    }
    if (::fstat(file.fd, &info) != 0) {
        throw failure(errnoText(errno));
    }
    checkReadable(info, maximumSize, failure);
    const FileVersion before = versionFrom(info);
    QByteArray bytes;
    try {
        bytes.resize(qsizetype(info.st_size));
        qsizetype filled = 0;
        for (;;) {
            if (filled == bytes.size()) {
                // The file grew while being read: take the rest up to the limit.
                if (bytes.size() >= maximumSize) {
                    throw failure(tooLarge(maximumSize));
                }
                bytes.resize(qsizetype(
                    std::min<qint64>(std::max<qint64>(2 * bytes.size(), 65536), maximumSize)));
            }
            const ssize_t count
                = ::read(file.fd, bytes.data() + filled, size_t(bytes.size() - filled));
            if (count == 0) {
                break;
            }
            if (count < 0) {
                if (errno == EINTR) {
                    continue;
                }
                throw failure(errnoText(errno));
            }
            filled += count;
        }
        if (filled >= maximumSize) {
            throw failure(tooLarge(maximumSize));
        }
        bytes.truncate(filled);
    } catch (const std::bad_alloc&) {
        throw failure(errnoText(ENOMEM));
    }
    // The version only vouches for these bytes if nothing changed meanwhile.
    std::optional<FileVersion> version = versionOf(file.fd);
    if (version != before || version->size != bytes.size()) {
        version.reset();
    }
    return VersionedBytes { std::move(bytes), version };
}

std::optional<QByteArray> readOrNothing(const QString& path)
{
    try {
        return read(path);
    } catch (const StoreFileError& error) {
        qCWarning(logging::storage).noquote() << error.description();
        return std::nullopt;
    }
}

// ---- ContentSink ---------------------------------------------------------------

namespace {
constexpr qsizetype sinkBufferSize = qsizetype(1) << 20;
}

ContentSink::ContentSink(int fd, const QString& path)
    : m_fd(fd)
    , m_path(path)
{
    m_buffer.reserve(sinkBufferSize);
}

void ContentSink::fail(int code) const
{
    throw StoreFileError(StoreFileError::Case::writeFailed, m_path, errnoText(code));
}

void ContentSink::flush()
{
    writeAll(m_buffer.constData(), m_buffer.size());
    m_buffer.resize(0);
}

void ContentSink::writeAll(const char* data, qsizetype left)
{
    while (left > 0) {
        const ssize_t count = ::write(m_fd, data, size_t(std::min<qsizetype>(left, 1 << 30)));
        if (count < 0) {
            if (errno == EINTR) {
                continue;
            }
            fail(errno);
        }
        if (count == 0) {
            fail(EIO);
        }
        data += count;
        left -= count;
    }
}

void ContentSink::append(const char* data, qsizetype size)
{
    m_size += size;
    if (m_buffer.size() + size > sinkBufferSize) {
        flush();
    }
    if (size >= sinkBufferSize) {
        // Large parts go straight through rather than via the buffer.
        writeAll(data, size);
        return;
    }
    m_buffer.append(data, size);
}

void ContentSink::copy(int source, qint64 offset, qint64 size)
{
    flush();
    m_size += size;
    auto shortSource = [&] {
        throw StoreFileError(
            StoreFileError::Case::writeFailed, m_path, u"The file changed while it was saved."_s);
    };
    while (size > 0 && m_systemCopy) {
        off64_t from = offset;
        const ssize_t count = ::copy_file_range(
            source, &from, m_fd, nullptr, size_t(std::min<qint64>(size, 1 << 30)), 0);
        if (count < 0) {
            if (errno == EINTR) {
                continue;
            }
            if (errno == ENOSYS || errno == EXDEV || errno == EINVAL || errno == EOPNOTSUPP
                || errno == EPERM) {
                // Not between these files here: copied through memory below.
                m_systemCopy = false;
                break;
            }
            fail(errno);
        }
        if (count == 0) {
            shortSource();
        }
        offset += count;
        size -= count;
    }
    QByteArray chunk;
    while (size > 0) {
        chunk.resize(qsizetype(std::min<qint64>(size, sinkBufferSize)));
        const ssize_t count = ::pread(source, chunk.data(), size_t(chunk.size()), offset);
        if (count < 0) {
            if (errno == EINTR) {
                continue;
            }
            fail(errno);
        }
        if (count == 0) {
            shortSource();
        }
        writeAll(chunk.constData(), count);
        offset += count;
        size -= count;
    }
}

// ---- atomic writes -------------------------------------------------------------

FileVersion writeAtomically(const QString& path, const QByteArray& bytes)
{
    return writeAtomically(
        path, [&bytes](ContentSink& sink) { sink.append(bytes.constData(), bytes.size()); });
}

FileVersion writeAtomically(const QString& path, const std::function<void(ContentSink&)>& produce)
{
    auto failure = [&](int code) {
        return StoreFileError(StoreFileError::Case::writeFailed, path, errnoText(code));
    };
    const QByteArray target = writeTarget(path);
    const qsizetype slash = target.lastIndexOf('/');
    const QByteArray folder
        = slash < 0 ? QByteArray(".") : target.left(std::max<qsizetype>(slash, 1));
    const QByteArray name = slash < 0 ? target : target.mid(slash + 1);

    struct stat previous { };
    const bool replacing = ::stat(target.constData(), &previous) == 0;
    TemporaryFile temporary;
    // Beside the target, so that the rename stays on one file system.
    for (int attempt = 0; temporary.fd < 0; ++attempt) {
        temporary.path
            = folder + '/' + temporaryFileName(name, QRandomGenerator::global()->generate());
        // Created with the umask applied, like any new file of the program.
        temporary.fd = ::open(
            temporary.path.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
        if (temporary.fd < 0 && (errno != EEXIST || attempt == 16)) {
            throw failure(errno);
        }
    }
    temporary.created = true;
    if (replacing) {
        // The replaced file's permissions carry over; a failure here is harmless.
        (void)::fchmod(temporary.fd, previous.st_mode & 07777);
    }
    {
        ContentSink sink(temporary.fd, path);
        produce(sink);
        sink.flush();
    }
    if (::fsync(temporary.fd) != 0) {
        throw failure(errno);
    }
    // Taken from the new file itself: the rename keeps it.
    struct stat written { };
    if (::fstat(temporary.fd, &written) != 0) {
        throw failure(errno);
    }
    const int fd = std::exchange(temporary.fd, -1);
    if (::close(fd) != 0 && errno != EINTR) {
        throw failure(errno);
    }
    if (::rename(temporary.path.constData(), target.constData()) != 0) {
        throw failure(errno);
    }
    temporary.created = false;
    // The new content is in place; a folder that cannot be flushed (some file
    // systems refuse) only leaves the rename less durable, so it is not an error.
    FileDescriptor directory { ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC) };
    if (directory.fd < 0 || (::fsync(directory.fd) != 0 && errno != EINVAL)) {
        qCWarning(logging::storage).noquote()
            << u"The folder of \"%1\" could not be flushed: %2"_s.arg(path, errnoText(errno));
    }
    return versionFrom(written);
}

std::optional<QString> temporaryFileTarget(const QString& fileName)
{
    const QByteArray name = QFile::encodeName(fileName);
    if (!name.startsWith('.') || !name.endsWith(temporarySuffix)) {
        return std::nullopt;
    }
    const QByteArray middle = name.mid(1, name.size() - 1 - temporarySuffixSize);
    const qsizetype dot = middle.lastIndexOf('.');
    const qsizetype digits = middle.size() - dot - 1;
    if (dot < 1 || dot > temporaryNameLimit || digits < 1 || digits > 8
        || !std::all_of(middle.begin() + dot + 1, middle.end(),
            [](char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); })) {
        return std::nullopt;
    }
    return QFile::decodeName(middle.left(dot));
}

int removeInterruptedWrites(
    const QString& folder, const std::function<bool(const QString& name)>& writesHere)
{
    int removed = 0;
    // No symbolic links and no special files: only what the writer created.
    QDirIterator entries(folder, { u".*.tmp"_s }, QDir::Files | QDir::Hidden | QDir::NoSymLinks);
    while (entries.hasNext()) {
        const QString path = entries.next();
        const std::optional<QString> target = temporaryFileTarget(entries.fileName());
        if (!target || !writesHere(*target)) {
            continue;
        }
        if (::unlink(QFile::encodeName(path).constData()) == 0) {
            ++removed;
        } else {
            qCWarning(logging::storage).noquote()
                << u"The leftover file \"%1\" could not be removed: %2"_s.arg(
                       path, errnoText(errno));
        }
    }
    return removed;
}

std::optional<FileVersion> createEmptyIfMissing(const QString& path)
{
    const QByteArray native = QFile::encodeName(path);
    const FileDescriptor file { ::open(
        native.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666) };
    return file.fd >= 0 ? versionOf(file.fd) : std::nullopt;
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
