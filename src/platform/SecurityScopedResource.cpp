#include "platform/SecurityScopedResource.h"

#include <QDataStream>
#include <QFileInfo>
#include <QMutex>
#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::Literals::StringLiterals;

namespace kivo {

// ---- errors ------------------------------------------------------------------

SecurityScopedAccessError::SecurityScopedAccessError(Case errorCase, QUrl url, QString underlying)
    : m_case(errorCase)
    , m_url(std::move(url))
    , m_underlying(std::move(underlying))
    , m_what(errorDescription().toStdString())
{
}

SecurityScopedAccessError SecurityScopedAccessError::bookmarkCreationFailed(
    const QUrl& url, const QString& underlying)
{
    return { Case::bookmarkCreationFailed, url, underlying };
}

SecurityScopedAccessError SecurityScopedAccessError::bookmarkResolutionFailed(
    const QUrl& url, const QString& underlying)
{
    return { Case::bookmarkResolutionFailed, url, underlying };
}

SecurityScopedAccessError SecurityScopedAccessError::permissionDenied(const QUrl& url)
{
    return { Case::permissionDenied, url, QString() };
}

QString SecurityScopedAccessError::errorDescription() const
{
    const QString name = m_url.fileName();
    switch (m_case) {
    case Case::bookmarkCreationFailed:
        return u"Access to "_s + name + u" could not be saved: "_s + m_underlying;
    case Case::bookmarkResolutionFailed:
        return u"Saved access to "_s + name + u" could not be restored: "_s + m_underlying;
    case Case::permissionDenied:
        return u"The system no longer permits access to "_s + name
            + u". Add the file again to reconnect it."_s;
    }
    return {};
}

// ---- the Linux platform --------------------------------------------------------

namespace {

// Bookmark bytes: magic, version, device, inode, absolute path (UTF-8).
constexpr quint32 bookmarkMagic = 0x4B56424D; // "KVBM"
constexpr quint8 bookmarkVersion = 1;
// Pinned so that a newer Qt never changes how stored bookmarks are read.
constexpr QDataStream::Version bookmarkStreamVersion = QDataStream::Qt_6_0;

class LinuxFileAccess final : public FileAccessPlatform {
public:
    bool startAccessing(const QUrl&) override { return false; }
    void stopAccessing(const QUrl&) override { }

    QByteArray bookmarkData(const QUrl& url) override
    {
        if (!url.isLocalFile()) {
            throw Failure(u"The URL is not a local file."_s);
        }
        const QString path = QFileInfo(url.toLocalFile()).absoluteFilePath();
        struct stat info { };
        if (::stat(QFile::encodeName(path).constData(), &info) != 0) {
            throw Failure(u"The file doesn't exist."_s);
        }
        QByteArray bytes;
        QDataStream out(&bytes, QIODevice::WriteOnly);
        out.setVersion(bookmarkStreamVersion);
        out << bookmarkMagic << bookmarkVersion << quint64(info.st_dev) << quint64(info.st_ino)
            << path.toUtf8();
        return bytes;
    }

    QUrl resolveBookmark(const QByteArray& bookmark, bool& isStale) override
    {
        QDataStream in(bookmark);
        in.setVersion(bookmarkStreamVersion);
        quint32 magic = 0;
        quint8 version = 0;
        quint64 device = 0;
        quint64 inode = 0;
        QByteArray path;
        in >> magic >> version >> device >> inode >> path;
        if (in.status() != QDataStream::Ok || magic != bookmarkMagic || version != bookmarkVersion
            || !path.startsWith('/') || path.contains('\0')) {
            throw Failure(u"The bookmark data is corrupted."_s);
        }
        // Resolved by path: whatever stands there now (or nothing) is for the
        // caller to judge, so that a deleted song reads as missing, not as refused.
        struct stat info { };
        isStale = ::stat(path.constData(), &info) != 0 || quint64(info.st_dev) != device
            || quint64(info.st_ino) != inode;
        return QUrl::fromLocalFile(QString::fromUtf8(path));
    }

    bool refusesReading(const QString& path) override
    {
        const QByteArray name = QFile::encodeName(path);
        if (::access(name.constData(), R_OK) == 0) {
            return false;
        }
        // Anything but a refusal (nothing there, a symlink loop, ...) is left
        // to the caller's own checks, which have the fitting words for it.
        return errno == EACCES || errno == EPERM;
    }
};

QMutex platformMutex;
std::shared_ptr<FileAccessPlatform>& platformSlot()
{
    static std::shared_ptr<FileAccessPlatform> slot;
    return slot;
}

} // namespace

std::shared_ptr<FileAccessPlatform> FileAccessPlatform::shared()
{
    QMutexLocker lock(&platformMutex);
    auto& slot = platformSlot();
    if (!slot) {
        slot = std::make_shared<LinuxFileAccess>();
    }
    return slot;
}

void FileAccessPlatform::setShared(std::shared_ptr<FileAccessPlatform> platform)
{
    QMutexLocker lock(&platformMutex);
    platformSlot() = std::move(platform);
}

// ---- scoped access -------------------------------------------------------------

SecurityScopedResource::SecurityScopedResource(
    std::shared_ptr<FileAccessPlatform> platform, QUrl url, bool started)
    : m_platform(std::move(platform))
    , m_url(std::move(url))
    , m_didStartAccess(started)
{
}

SecurityScopedResource::~SecurityScopedResource()
{
    if (m_didStartAccess) {
        m_platform->stopAccessing(m_url);
    }
}

QByteArray SecurityScopedResource::makeBookmark(const QUrl& url)
{
    const auto platform = FileAccessPlatform::shared();
    const bool started = platform->startAccessing(url);
    QByteArray bookmark;
    std::optional<QString> failure;
    try {
        bookmark = platform->bookmarkData(url);
    } catch (const FileAccessPlatform::Failure& e) {
        failure = e.description;
    } catch (const std::exception& e) {
        // Whatever failed, the scope started above must still be stopped.
        failure = QString::fromUtf8(e.what());
    }
    if (started) {
        platform->stopAccessing(url);
    }
    if (failure) {
        throw SecurityScopedAccessError::bookmarkCreationFailed(url, *failure);
    }
    return bookmark;
}

std::shared_ptr<SecurityScopedResource> SecurityScopedResource::beginAccess(const Track& track)
{
    const auto platform = FileAccessPlatform::shared();
    QUrl url = track.fileURL;
    if (track.securityScopedBookmark) {
        bool isStale = false; // renewed only when the user adds the file again
        try {
            url = platform->resolveBookmark(*track.securityScopedBookmark, isStale);
        } catch (const SecurityScopedAccessError&) {
            throw;
        } catch (const FileAccessPlatform::Failure& e) {
            throw SecurityScopedAccessError::bookmarkResolutionFailed(track.fileURL, e.description);
        } catch (const std::exception& e) {
            throw SecurityScopedAccessError::bookmarkResolutionFailed(
                track.fileURL, QString::fromUtf8(e.what()));
        }
    }
    const bool started = platform->startAccessing(url);
    if (!started && platform->refusesReading(url.toLocalFile())) {
        throw SecurityScopedAccessError::permissionDenied(url);
    }
    return std::shared_ptr<SecurityScopedResource>(
        new SecurityScopedResource(platform, url, started));
}

} // namespace kivo
