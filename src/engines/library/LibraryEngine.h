#pragma once

#include "model/Track.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QUrl>
#include <qcoro/qcorotask.h>

namespace kivo {

// Declared for the views' sort menus; no engine operation takes it.
enum class SortOption { title, dateAdded, playCount, artist, album, rating };

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
};

} // namespace kivo
