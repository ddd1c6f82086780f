#pragma once

#include "model/Track.h"

#include <QByteArray>
#include <QObject>
#include <QSizeF>
#include <QString>
#include <QtGlobal>
#include <exception>
#include <optional>
#include <qcoro/qcorotask.h>
#include <string>

namespace kivo {

// The byte budgets of the artwork cache. Only the memory budget is enforced;
// the disk figure is kept for whoever asks.
struct CacheMetrics {
    qint64 maxMemoryBytes = 0;
    qint64 maxDiskBytes = 0;

    bool operator==(const CacheMetrics&) const = default;

    // What the program runs with: 512 MiB of memory, 2 GiB of disk.
    static constexpr CacheMetrics standard() { return { 536870912, 2147483648 }; }
};

// Failures of making thumbnails. Nothing makes thumbnails yet, so nothing
// raises it; it is kept with its texts for the thumbnail operations.
class ThumbnailError : public std::exception {
public:
    enum class Case { invalidSourceData, scaleFailed, processingTimedOut };

    explicit ThumbnailError(Case errorCase);

    Case errorCase() const { return m_case; }
    QString errorDescription() const;
    const char* what() const noexcept override { return m_what.c_str(); }
    bool operator==(const ThumbnailError& other) const { return m_case == other.m_case; }

private:
    Case m_case;
    std::string m_what;
};

size_t qHash(const ThumbnailError& error, size_t seed = 0) noexcept;

// A file of the artwork cache that could not be created, written or removed.
class ArtworkCacheError : public std::exception {
public:
    enum class Case { folderUnavailable, writeFailed, removeFailed, readFailed };

    ArtworkCacheError(Case errorCase, QString path, QString reason);

    Case errorCase() const { return m_case; }
    // The file or folder concerned.
    const QString& path() const { return m_path; }
    // What the system reported.
    const QString& reason() const { return m_reason; }
    // The user-facing text, naming the file.
    QString errorDescription() const;
    const char* what() const noexcept override { return m_what.c_str(); }

private:
    Case m_case;
    QString m_path;
    QString m_reason;
    std::string m_what;
};

// The artwork of library tracks as raw image bytes: from memory, else from the
// cache folder, else extracted from the track's audio file and then kept.
// Lives on the main thread; file work runs on a worker.
class ArtworkCache : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~ArtworkCache() override = default;

    virtual CacheMetrics metrics() const = 0;

    // The track's full-size artwork, or nothing when it has none or it cannot
    // be read. Never fails.
    virtual QCoro::Task<std::optional<QByteArray>> retrieveArtwork(Track track) = 0;

    // As retrieveArtwork(), for callers that may later write the result back
    // (a rollback or undo): a cache file that exists but cannot be read throws
    // ArtworkCacheError(readFailed) instead of reading as no artwork, which
    // would have the write-back delete it. The default reads as retrieveArtwork().
    virtual QCoro::Task<std::optional<QByteArray>> retrieveArtworkForRollback(Track track);

    // A thumbnail already in the cache for this size (fractions dropped), or
    // nothing. Never makes one; never fails.
    virtual QCoro::Task<std::optional<QByteArray>> retrieveThumbnail(Track track, QSizeF targetSize)
        = 0;

    // Makes the bytes the track's artwork in memory and on disk. Throws
    // ArtworkCacheError(writeFailed); memory is left as it was then.
    virtual QCoro::Task<> storeArtwork(QByteArray data, Track track) = 0;

    // Forgets the track's artwork and deletes its cache files. A later
    // retrieval reads the audio file's embedded artwork again. Never fails: a
    // deletion that fails is logged and the artwork still on disk stays shown.
    virtual void evictArtwork(const Track& track) = 0;

    // As evictArtwork(), but a failed deletion is thrown (ArtworkCacheError).
    virtual QCoro::Task<> removeArtwork(Track track) = 0;

    // Forgets everything and deletes every file of the cache folder. Never fails.
    virtual QCoro::Task<> clearCache() = 0;

Q_SIGNALS:
    // Some track's artwork changed; views showing artwork read it again.
    void cacheVersionChanged(const QUuid& version);
};

} // namespace kivo
