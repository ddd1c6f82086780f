#pragma once

#include "model/Track.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QUrl>
#include <exception>
#include <qcoro/qcorotask.h>
#include <string>

namespace kivo {

// Why a track could not be removed or restored. The URL is where the track's
// bookmark resolves, which may differ from its stored `fileURL` after a move.
class LibraryTrackRemovalError : public std::exception {
public:
    enum class Case {
        invalidDeletionTarget,
        fileDeletionFailed,
        rollbackFailed,
        restorationFileMissing
    };

    // A folder stands at the file's place.
    static LibraryTrackRemovalError invalidDeletionTarget(const QUrl& url);
    // The file could not be deleted; the stored entry was written back.
    static LibraryTrackRemovalError fileDeletionFailed(const QUrl& url, std::exception_ptr error);
    // The file could not be deleted and writing the entry back failed too.
    static LibraryTrackRemovalError rollbackFailed(
        const QUrl& url, std::exception_ptr deletionError, std::exception_ptr rollbackError);
    // Nothing exists at the file's place.
    static LibraryTrackRemovalError restorationFileMissing(const QUrl& url);

    Case errorCase() const { return m_case; }
    const QUrl& url() const { return m_url; }
    // The deletion's error (fileDeletionFailed, rollbackFailed).
    const std::exception_ptr& deletionError() const { return m_deletionError; }
    // The write-back's error (rollbackFailed).
    const std::exception_ptr& rollbackError() const { return m_rollbackError; }
    const QString& errorDescription() const { return m_description; }
    const char* what() const noexcept override { return m_what.c_str(); }

private:
    LibraryTrackRemovalError(Case errorCase, QUrl url, std::exception_ptr deletionError,
        std::exception_ptr rollbackError);

    Case m_case;
    QUrl m_url;
    std::exception_ptr m_deletionError;
    std::exception_ptr m_rollbackError;
    QString m_description;
    std::string m_what;
};

// The library's sort orders, declared with its interface; no operation takes one.
enum class SortOption { title, dateAdded, playCount, artist, album, rating };

// Where loading the library from its store stands.
enum class LibraryLoadState { loading, loaded, failed };

// The music library in memory: every imported track, in stored order, kept in
// step with the library store and the track index. Main thread only.
//
// Failures of the asynchronous operations are thrown from the awaited task:
// `DatabaseError` (model/DatabaseManager.h) for validation and missing tracks,
// `LibraryTrackRemovalError` for removal and restore, `SecurityScopedAccessError`
// for file access, and the store's own errors unchanged.
class LibraryEngine : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~LibraryEngine() override = default;

    // The published track list; `tracksChanged` carries every new value.
    virtual QList<Track> allTracks() const = 0;

    virtual QCoro::Task<> addFolders(QList<QUrl> folderURLs) = 0;
    virtual QCoro::Task<> importFiles(QList<QUrl> fileURLs) = 0;
    virtual QCoro::Task<> rescanLibrary() = 0;
    // Never fails: a failed load is printed and leaves the list as it was.
    virtual QCoro::Task<> loadLibraryFromDisk() = 0;
    // Published: loading while a load runs (from construction on for an
    // engine that loads at once), then how the last load ended. A failed load
    // means the store could not be read, not that the library is empty.
    virtual LibraryLoadState loadState() const { return LibraryLoadState::loaded; }
    // Why the last load failed; null unless the state is failed.
    virtual std::exception_ptr loadError() const { return nullptr; }

    // Tracks whose title contains `query` (case-insensitive); empty query: none.
    virtual QList<Track> search(const QString& query) const = 0;
    virtual QList<Track> getMostPlayed(qsizetype limit) const = 0;
    virtual QList<Track> getRecentlyAdded(qsizetype limit) const = 0;
    // Rated 4 or more, in list order.
    virtual QList<Track> getFavorites() const = 0;

    virtual QCoro::Task<> updateTrack(Track track) = 0;
    virtual QCoro::Task<> updateTracks(QList<Track> tracks) = 0;
    virtual QCoro::Task<> removeTrack(Track track, bool deleteFile) = 0;
    virtual QCoro::Task<> restoreTrack(Track track) = 0;

Q_SIGNALS:
    void tracksChanged(const QList<kivo::Track>& tracks);
    void loadStateChanged(kivo::LibraryLoadState state);
};

} // namespace kivo
