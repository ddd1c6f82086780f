#pragma once

#include "engines/library/FileWatcher.h"
#include "engines/library/LibraryEngine.h"
#include "engines/library/LibraryTrackList.h"
#include "engines/library/MetadataEngine.h"
#include "engines/library/TrackImportProcessor.h"
#include "model/DatabaseManager.h"
#include "model/MetadataCache.h"

#include <QSet>
#include <QStringList>
#include <QThreadPool>
#include <functional>
#include <memory>

namespace kivo {

class LibraryImport;
class LibraryTrackRemoval;

// The library engine. A library change reaches the store first, then the
// track index, then the published list; a failed save leaves the other two
// as they were. Removal goes the other way round (see LibraryTrackRemoval).
//
// Every operation runs on the main thread; between its awaits other
// operations may run, so each one looks tracks up again by id after every
// await and never keeps a position across one.
class TavrenLibraryEngine final : public LibraryEngine {
    Q_OBJECT
public:
    // Starts loading the stored tracks at once, without waiting for them.
    // None of the four may be null (std::invalid_argument).
    TavrenLibraryEngine(std::shared_ptr<DatabaseManager> database,
        std::shared_ptr<MetadataEngine> metadataEngine,
        std::shared_ptr<MetadataCache> metadataCache, std::shared_ptr<FileWatcher> fileWatcher,
        QObject* parent = nullptr);
    ~TavrenLibraryEngine() override;

    // The published list itself; allTracks() returns a copy of it.
    const QList<Track>& internalTracks() const { return m_tracks.tracks(); }
    // The list with its lookups; a copy shares them and may be read on
    // another thread while this one changes the library.
    const LibraryTrackList& trackList() const { return m_tracks; }

    QList<Track> allTracks() const override { return m_tracks.tracks(); }
    // The listed track with this id through the list's own lookup, or null;
    // valid until the list next changes.
    const Track* trackWithID(const QUuid& id) const;

    // Imports, as the library import describes: see LibraryImport.
    QCoro::Task<> addFolders(QList<QUrl> folderURLs) override;
    QCoro::Task<> importFiles(QList<QUrl> fileURLs) override;
    // Gives the listed tracks at these locations new bookmarks, then saves
    // and indexes them.
    QCoro::Task<> refreshBookmarks(QList<QUrl> fileURLs);
    // Throws DatabaseError::writeFailed summing up the failures, if any.
    static void importFailureSummary(const QStringList& failures);

    // Reads and changes nothing.
    QCoro::Task<> rescanLibrary() override;
    // Replaces the list with the stored tracks. Changes that other operations
    // publish while the store is read are never hidden: the load then reads
    // again.
    QCoro::Task<> loadLibraryFromDisk() override;
    LibraryLoadState loadState() const override { return m_loadState; }
    std::exception_ptr loadError() const override { return m_loadError; }

    QList<Track> search(const QString& query) const override;
    // The first `limit` tracks in list order (a negative limit gives none).
    QList<Track> getMostPlayed(qsizetype limit) const override;
    QList<Track> getRecentlyAdded(qsizetype limit) const override;
    QList<Track> getFavorites() const override;

    QCoro::Task<> updateTrack(Track track) override;
    // Validates the whole batch before anything is saved: DatabaseError
    // writeFailed for repeated ids, an empty title or a negative or NaN
    // duration, entityNotFound for a track no longer listed; the store's
    // error unchanged when the save fails.
    QCoro::Task<> updateTracks(QList<Track> tracks) override;
    QCoro::Task<> removeTrack(Track track, bool deleteFile) override;
    QCoro::Task<> restoreTrack(Track track) override;

    // How many file imports run at once: bounded by the core count, so that a
    // folder of 20,000 files never opens them all together.
    static int importConcurrency();

Q_SIGNALS:
    // A load of the stored list has ended (published, or failed and printed).
    void loadFinished();

private:
    // The error of a failed read; null once the stored list is published.
    struct LoadOutcome {
        std::exception_ptr error;
    };
    QCoro::Task<LoadOutcome> loadFromStore();
    void setLoadState(LibraryLoadState state, std::exception_ptr error);

    friend class LibraryImport;
    friend class LibraryTrackRemoval;

    void observeFileWatcher();
    // Announces a change made by an operation other than a load.
    void publishChange();
    // Applies `edit` to the list and publishes the change when it returns
    // true. The views share the list, so writing into it here would copy
    // every song on the main thread: the edit runs on a worker, on a copy
    // made there, which is swapped in unless the list changed meanwhile (then
    // the edit runs here). `edit` must only use what it captured by value.
    // Returns what `edit` returned.
    QCoro::Task<bool> changeList(std::function<bool(LibraryTrackList&)> edit);
    // The track index works on its own ordered worker: a 100,000-track insert
    // takes a while, and inserts and evictions must keep their call order.
    QCoro::Task<> insertIntoIndex(QList<Track> tracks);
    QCoro::Task<> shareWithIndex(QList<Track> tracks);
    QCoro::Task<> evictFromIndex(Track track);

    std::shared_ptr<DatabaseManager> m_database;
    std::shared_ptr<MetadataCache> m_metadataCache;
    std::shared_ptr<FileWatcher> m_fileWatcher;
    LibraryTrackList m_tracks;
    // Counts the changes published by operations other than loads.
    quint64 m_revision = 0;
    bool m_isLoading = false;
    LibraryLoadState m_loadState = LibraryLoadState::loading;
    std::exception_ptr m_loadError;
    // Locations whose import is under way, so that two imports at once never
    // bring in one file twice.
    QSet<QString> m_importing;
    // Tracks a removal has evicted from the index but not yet from the list.
    QSet<QUuid> m_removing;
    std::unique_ptr<LibraryImport> m_import;
    std::unique_ptr<LibraryTrackRemoval> m_removal;
    // Last, so that they are torn down (waiting for their jobs) first.
    QThreadPool m_fileWorkers;
    QThreadPool m_indexWorker;
    TrackImportProcessor m_importProcessor;
};

} // namespace kivo
