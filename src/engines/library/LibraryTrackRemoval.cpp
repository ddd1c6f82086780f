#include "engines/library/LibraryTrackRemoval.h"

#include "engines/library/LibraryEngineImpl.h"
#include "model/ErrorText.h"
#include "model/RunOnWorker.h"
#include "platform/SecurityScopedResource.h"

#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>
#include <cerrno>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

using namespace Qt::Literals::StringLiterals;

namespace kivo {

// ---- LibraryTrackRemovalError --------------------------------------------------

namespace {

QString fullPath(const QUrl& url)
{
    return url.isLocalFile() ? url.toLocalFile() : url.path();
}

} // namespace

LibraryTrackRemovalError::LibraryTrackRemovalError(
    Case errorCase, QUrl url, std::exception_ptr deletionError, std::exception_ptr rollbackError)
    : m_case(errorCase)
    , m_url(std::move(url))
    , m_deletionError(std::move(deletionError))
    , m_rollbackError(std::move(rollbackError))
{
    const QString name = m_url.fileName();
    switch (m_case) {
    case Case::invalidDeletionTarget:
        m_description
            = u"The selected item is not an audio file and was not deleted: "_s + fullPath(m_url);
        break;
    case Case::fileDeletionFailed:
        m_description = name + u" could not be deleted. The library entry was restored. "_s
            + describeError(m_deletionError);
        break;
    case Case::rollbackFailed:
        m_description = name
            + u" could not be deleted, and its library entry could not be restored "
              "automatically. Deletion error: "_s
            + describeError(m_deletionError) + u". Recovery error: "_s
            + describeError(m_rollbackError);
        break;
    case Case::restorationFileMissing:
        m_description
            = name + u" cannot be restored because the original file is no longer available."_s;
        break;
    }
    m_what = m_description.toStdString();
}

LibraryTrackRemovalError LibraryTrackRemovalError::invalidDeletionTarget(const QUrl& url)
{
    return { Case::invalidDeletionTarget, url, nullptr, nullptr };
}

LibraryTrackRemovalError LibraryTrackRemovalError::fileDeletionFailed(
    const QUrl& url, std::exception_ptr error)
{
    return { Case::fileDeletionFailed, url, std::move(error), nullptr };
}

LibraryTrackRemovalError LibraryTrackRemovalError::rollbackFailed(
    const QUrl& url, std::exception_ptr deletionError, std::exception_ptr rollbackError)
{
    return { Case::rollbackFailed, url, std::move(deletionError), std::move(rollbackError) };
}

LibraryTrackRemovalError LibraryTrackRemovalError::restorationFileMissing(const QUrl& url)
{
    return { Case::restorationFileMissing, url, nullptr, nullptr };
}

// ---- removal and restore -------------------------------------------------------

namespace {

std::system_error systemError(int code)
{
    return std::system_error(code, std::generic_category());
}

// The item itself, not what a link points to: a link is deleted as a file.
bool isFolder(const QString& path)
{
    const QByteArray encoded = QFile::encodeName(path);
    struct stat info { };
    if (::lstat(encoded.constData(), &info) != 0) {
        throw systemError(errno);
    }
    return S_ISDIR(info.st_mode);
}

// The error of unlinking the file, or null.
std::exception_ptr unlinkFile(const QString& path)
{
    const QByteArray encoded = QFile::encodeName(path);
    if (::unlink(encoded.constData()) != 0) {
        return std::make_exception_ptr(systemError(errno));
    }
    return nullptr;
}

} // namespace

LibraryTrackRemoval::LibraryTrackRemoval(TavrenLibraryEngine& engine)
    : m_engine(engine)
{
}

QCoro::Task<> LibraryTrackRemoval::removeTrack(Track track, bool deleteFile)
{
    if (!m_engine.m_tracks.positionOf(track.id)) {
        throw DatabaseError::entityNotFound(u"Track not found in the local library."_s);
    }
    // Held to the end of the call, on every path.
    std::shared_ptr<SecurityScopedResource> access;
    QString path;
    if (deleteFile) {
        access = SecurityScopedResource::beginAccess(track);
        path = fullPath(access->url());
        if (isFolder(path)) {
            throw LibraryTrackRemovalError::invalidDeletionTarget(access->url());
        }
        if (!QFileInfo::exists(path)) {
            throw LibraryTrackRemovalError::restorationFileMissing(access->url());
        }
    }

    QCoro::Task<> deleting = m_engine.m_database->deleteTracks({ track });
    co_await std::move(deleting);

    // unlink, never a recursive removal: whatever stands at the path now, a
    // folder is never taken with it.
    const std::exception_ptr deletionError = deleteFile ? unlinkFile(path) : nullptr;
    if (deletionError) {
        std::exception_ptr rollbackError;
        try {
            QCoro::Task<> writingBack = m_engine.m_database->saveTracks({ track });
            co_await std::move(writingBack);
        } catch (...) {
            rollbackError = std::current_exception();
        }
        if (rollbackError) {
            throw LibraryTrackRemovalError::rollbackFailed(
                access->url(), deletionError, rollbackError);
        }
        throw LibraryTrackRemovalError::fileDeletionFailed(access->url(), deletionError);
    }

    // Until the list lets go, an update whose index insert lands after this
    // eviction sees the track as removed and evicts it again.
    m_engine.m_removing.insert(track.id);
    const auto removed = qScopeGuard([this, id = track.id] { m_engine.m_removing.remove(id); });
    QCoro::Task<> evicting = m_engine.evictFromIndex(track);
    co_await std::move(evicting);
    QCoro::Task<bool> removing
        = m_engine.changeList([id = track.id](LibraryTrackList& list) { return list.remove(id); });
    co_await std::move(removing);
}

QCoro::Task<> LibraryTrackRemoval::restoreTrack(Track track)
{
    const std::shared_ptr<SecurityScopedResource> access
        = SecurityScopedResource::beginAccess(track);
    if (!QFileInfo::exists(fullPath(access->url()))) {
        throw LibraryTrackRemovalError::restorationFileMissing(access->url());
    }
    QCoro::Task<> saving = m_engine.m_database->saveTracks({ track });
    co_await std::move(saving);
    QCoro::Task<> indexing = m_engine.insertIntoIndex({ track });
    co_await std::move(indexing);
    QCoro::Task<bool> restoring = m_engine.changeList([track](LibraryTrackList& list) {
        if (!list.replace(track)) {
            list.append({ track });
        }
        return true;
    });
    co_await std::move(restoring);
}

} // namespace kivo
