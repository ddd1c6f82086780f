#pragma once

#include "engines/artwork/ArtworkCache.h"
#include "engines/artwork/ArtworkDiskStore.h"
#include "engines/library/MetadataEngine.h"

#include <QCache>
#include <QHash>
#include <QPointer>
#include <QSet>
#include <QThreadPool>
#include <QUuid>
#include <memory>

namespace kivo {

// Memory entries are bounded by their total byte count; the folder is flat
// and never pruned. File work runs on one worker of the cache's own, in the
// order asked, so a read queued after a write or deletion sees its result.
//
// Every store, eviction, removal and clear moves the track's generation on.
// Work that waited (a disk read, an extraction, a write) puts its result into
// memory, or stores extracted artwork, only when the generation is still the
// one it began with: artwork the user chose meanwhile is never overwritten by
// the file's embedded picture, and evicted artwork never comes back.
class TavrenArtworkCache final : public ArtworkCache {
    Q_OBJECT
public:
    // `cacheDirectory` defaults to defaultCacheDirectory(); it is created with
    // its missing parents unless something exists at its path. Throws
    // ArtworkCacheError(folderUnavailable). `metadataEngine` may be null:
    // artwork is then never extracted.
    explicit TavrenArtworkCache(CacheMetrics metrics,
        std::optional<QString> cacheDirectory = std::nullopt,
        MetadataEngine* metadataEngine = nullptr, QObject* parent = nullptr);
    // For tests: the folder's file operations come from `store`.
    TavrenArtworkCache(CacheMetrics metrics, std::shared_ptr<const ArtworkDiskStore> store,
        MetadataEngine* metadataEngine, QObject* parent = nullptr);
    // Waits for file work in progress; waiting operations then end empty.
    ~TavrenArtworkCache() override;

    // GenericDataLocation + "/TavrenMediaStudio/ArtworkCache". Throws
    // ArtworkCacheError(folderUnavailable) when the system has no data location.
    static QString defaultCacheDirectory();

    // "original_<ID>" and "thumb_<W>x<H>_<ID>", the id in upper case; the disk
    // files add ".raw" and ".thumb". No thumbnail key for a size that is not
    // finite or does not fit 64 bits.
    static QString artworkKey(const QUuid& trackID);
    static std::optional<QString> thumbnailKey(const QUuid& trackID, QSizeF targetSize);
    // Whether `name` is one of the disk files' names above.
    static bool isCacheFileName(const QString& name);

    const QString& diskCacheDirectory() const { return m_store->folder(); }

    // Published property: replaced by a new random value after changes of the
    // cached artwork, at most once per turn of the event loop.
    QUuid cacheVersion() const { return m_cacheVersion; }

    CacheMetrics metrics() const override { return m_metrics; }
    QCoro::Task<std::optional<QByteArray>> retrieveArtwork(Track track) override;
    QCoro::Task<std::optional<QByteArray>> retrieveArtworkForRollback(Track track) override;
    QCoro::Task<std::optional<QByteArray>> retrieveThumbnail(
        Track track, QSizeF targetSize) override;
    QCoro::Task<> storeArtwork(QByteArray data, Track track) override;
    void evictArtwork(const Track& track) override;
    QCoro::Task<> removeArtwork(Track track) override;
    QCoro::Task<> clearCache() override;

private:
    struct RemovalOutcome;
    struct Extraction;

    quint64 generation(const QUuid& trackID) const;
    // Moves the generation on and drops the memory entry and the missing mark.
    // Returns the memory entry that was dropped.
    std::optional<QByteArray> forget(const QUuid& trackID);
    void remember(const QString& key, const QByteArray& bytes);
    QCoro::Task<std::optional<QByteArray>> retrieve(Track track, bool failOnUnreadable);
    QCoro::Task<std::optional<QByteArray>> readFile(QString fileName);
    // As readFile(), but a file that exists and cannot be read throws
    // ArtworkCacheError(readFailed).
    QCoro::Task<std::optional<QByteArray>> readFileOrFail(QString fileName);
    QCoro::Task<RemovalOutcome> removeFiles(QUuid trackID);
    // After a failed deletion: shows the artwork again while its file remains.
    void restoreAfterFailedRemoval(const QUuid& trackID, const std::optional<QByteArray>& dropped,
        quint64 generationAtRemoval, const RemovalOutcome& outcome);
    QCoro::Task<> finishEviction(
        Track track, std::optional<QByteArray> dropped, quint64 generationAtEviction);
    // Extracts the file's embedded artwork and stores it, unless the track's
    // artwork changed since generation `began`.
    QCoro::Task<Extraction> extractAndStore(Track track, quint64 began);
    void scheduleCacheVersionBump();

    CacheMetrics m_metrics;
    std::shared_ptr<const ArtworkDiskStore> m_store;
    QPointer<MetadataEngine> m_metadataEngine;
    QCache<QString, QByteArray> m_memoryCache;
    QSet<QUuid> m_missingArtwork;
    QHash<QUuid, quint64> m_changedAt;
    quint64 m_clearedAt = 0;
    quint64 m_changeCount = 0;
    QUuid m_cacheVersion;
    bool m_isCacheChangePending = false;
    QThreadPool m_files; // last: destroyed first, waiting for its work
};

} // namespace kivo
