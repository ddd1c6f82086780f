#include "engines/artwork/ArtworkCacheImpl.h"

#include "model/ErrorText.h"
#include "model/RunOnWorker.h"

#include "model/JsonCodec.h"
#include "model/Logging.h"
#include "model/StartDetached.h"
#include "platform/SecurityScopedResource.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QtConcurrent/QtConcurrentRun>
#include <cmath>
#include <qcoro/qcorofuture.h>

using namespace Qt::Literals::StringLiterals;

namespace kivo {

namespace {

// A retrieval starts over when the track's artwork changed while it waited;
// this bounds how often, should changes never stop.
constexpr int maximumRetrievalAttempts = 4;

void logLoadFailure(const QString& title, const QString& description)
{
    qCCritical(logging::artwork, "Unable to load artwork for %s: %s", qUtf8Printable(title),
        qUtf8Printable(description));
}

QString rawFileName(const QString& key)
{
    return key + u".raw"_s;
}

// Makes the folder unless something is at its path already (a file there
// makes later writes fail, which store reports).
QString prepareFolder(const std::optional<QString>& requested)
{
    const QString folder = requested ? *requested : TavrenArtworkCache::defaultCacheDirectory();
    if (folder.isEmpty()) {
        throw ArtworkCacheError(
            ArtworkCacheError::Case::folderUnavailable, folder, u"No folder was given."_s);
    }
    const QFileInfo info(folder);
    if (!info.exists() && !info.isSymLink() && !QDir().mkpath(folder)) {
        throw ArtworkCacheError(ArtworkCacheError::Case::folderUnavailable, folder,
            u"The folder could not be created."_s);
    }
    return folder;
}

// A size's side as the key writes it: the fraction dropped.
std::optional<qint64> keySide(double value)
{
    constexpr double limit = 9223372036854775808.0; // 2^63
    if (!std::isfinite(value) || value >= limit || value < -limit) {
        return std::nullopt;
    }
    return qint64(std::trunc(value));
}

} // namespace

struct TavrenArtworkCache::RemovalOutcome {
    std::exception_ptr error;
    bool artworkFileRemains = false;
};

// What an extraction ended with: the artwork (or none), or the news that the
// track's artwork changed meanwhile and the retrieval must look again.
struct TavrenArtworkCache::Extraction {
    std::optional<QByteArray> artwork;
    bool superseded = false;
};

TavrenArtworkCache::TavrenArtworkCache(CacheMetrics metrics, std::optional<QString> cacheDirectory,
    MetadataEngine* metadataEngine, QObject* parent)
    : TavrenArtworkCache(metrics,
        std::make_shared<const ArtworkDiskStore>(prepareFolder(cacheDirectory)), metadataEngine,
        parent)
{
}

TavrenArtworkCache::TavrenArtworkCache(CacheMetrics metrics,
    std::shared_ptr<const ArtworkDiskStore> store, MetadataEngine* metadataEngine, QObject* parent)
    : ArtworkCache(parent)
    , m_metrics(metrics)
    , m_store(std::move(store))
    , m_metadataEngine(metadataEngine)
    , m_cacheVersion(QUuid::createUuid())
{
    m_memoryCache.setMaxCost(qsizetype(std::max<qint64>(0, metrics.maxMemoryBytes)));
    m_files.setMaxThreadCount(1);
    m_files.setObjectName(u"ArtworkCacheFiles"_s);
}

TavrenArtworkCache::~TavrenArtworkCache()
{
    m_files.waitForDone();
}

QString TavrenArtworkCache::defaultCacheDirectory()
{
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (data.isEmpty()) {
        throw ArtworkCacheError(ArtworkCacheError::Case::folderUnavailable, u"ArtworkCache"_s,
            u"The system has no data folder."_s);
    }
    return data + u"/TavrenMediaStudio/ArtworkCache"_s;
}

QString TavrenArtworkCache::artworkKey(const QUuid& trackID)
{
    return u"original_"_s + json::uuidText(trackID);
}

std::optional<QString> TavrenArtworkCache::thumbnailKey(const QUuid& trackID, QSizeF targetSize)
{
    const std::optional<qint64> width = keySide(targetSize.width());
    const std::optional<qint64> height = keySide(targetSize.height());
    if (!width || !height) {
        return std::nullopt;
    }
    return u"thumb_"_s + QString::number(*width) + u'x' + QString::number(*height) + u'_'
        + json::uuidText(trackID);
}

bool TavrenArtworkCache::isCacheFileName(const QString& name)
{
    static const QRegularExpression names(
        u"^(original|thumb_-?\\d+x-?\\d+)_[0-9A-F]{8}(-[0-9A-F]{4}){3}-[0-9A-F]{12}\\.(raw|thumb)$"_s);
    return names.match(name).hasMatch();
}

// ---- retrieval -------------------------------------------------------------------

QCoro::Task<std::optional<QByteArray>> TavrenArtworkCache::retrieveArtwork(Track track)
{
    QCoro::Task<std::optional<QByteArray>> retrieving = retrieve(std::move(track), false);
    std::optional<QByteArray> artwork = co_await std::move(retrieving);
    co_return artwork;
}

QCoro::Task<std::optional<QByteArray>> TavrenArtworkCache::retrieveArtworkForRollback(Track track)
{
    QCoro::Task<std::optional<QByteArray>> retrieving = retrieve(std::move(track), true);
    std::optional<QByteArray> artwork = co_await std::move(retrieving);
    co_return artwork;
}

QCoro::Task<std::optional<QByteArray>> TavrenArtworkCache::retrieve(
    Track track, bool failOnUnreadable)
{
    const QPointer<TavrenArtworkCache> self(this);
    const QString key = artworkKey(track.id);
    for (int attempt = 0; attempt < maximumRetrievalAttempts; ++attempt) {
        if (const QByteArray* cached = m_memoryCache.object(key)) {
            co_return *cached;
        }
        const quint64 began = generation(track.id);
        QCoro::Task<std::optional<QByteArray>> reading
            = failOnUnreadable ? readFileOrFail(rawFileName(key)) : readFile(rawFileName(key));
        std::optional<QByteArray> onDisk = co_await std::move(reading);
        if (!self) {
            co_return std::nullopt;
        }
        if (generation(track.id) != began) {
            continue; // stored, evicted or cleared meanwhile: what was read may be stale
        }
        if (onDisk) {
            remember(key, *onDisk);
            co_return onDisk;
        }
        if (m_missingArtwork.contains(track.id) || !m_metadataEngine) {
            co_return std::nullopt;
        }
        QCoro::Task<Extraction> extracting = extractAndStore(track, began);
        Extraction extraction = co_await std::move(extracting);
        if (!self) {
            co_return std::nullopt;
        }
        if (!extraction.superseded) {
            co_return std::move(extraction.artwork);
        }
    }
    co_return std::nullopt;
}

QCoro::Task<TavrenArtworkCache::Extraction> TavrenArtworkCache::extractAndStore(
    Track track, quint64 began)
{
    const QPointer<TavrenArtworkCache> self(this);
    // Resolving the track's access looks at the file system: on the worker.
    // A file that is gone has nothing to extract (and is not marked as
    // having no artwork): it gives no access.
    auto beginAccess = [track] {
        std::shared_ptr<SecurityScopedResource> access = SecurityScopedResource::beginAccess(track);
        return QFileInfo::exists(access->url().toLocalFile()) ? access : nullptr;
    };
    auto accessTask = runOnWorker(&m_files, std::move(beginAccess));
    // Held until the extracted artwork is stored.
    std::shared_ptr<SecurityScopedResource> access;
    try {
        access = co_await std::move(accessTask);
    } catch (...) {
        logLoadFailure(track.title, describeError(std::current_exception()));
        co_return Extraction {};
    }
    if (!access) {
        logLoadFailure(track.title, u"The file could not be found."_s);
        co_return Extraction {};
    }
    if (!self || !m_metadataEngine) {
        co_return Extraction {};
    }

    std::optional<QByteArray> extracted;
    try {
        QCoro::Task<std::optional<QByteArray>> extraction
            = m_metadataEngine->extractArtwork(access->url());
        extracted = co_await std::move(extraction);
    } catch (...) {
        logLoadFailure(track.title, describeError(std::current_exception()));
        co_return Extraction {};
    }
    if (!self) {
        co_return Extraction {};
    }
    if (generation(track.id) != began) {
        // The user's artwork (or its removal) came first; the file's picture
        // must not replace it.
        co_return Extraction { std::nullopt, true };
    }
    if (!extracted) {
        m_missingArtwork.insert(track.id);
        co_return Extraction {};
    }
    try {
        QCoro::Task<> storing = storeArtwork(*extracted, track);
        co_await std::move(storing);
    } catch (...) {
        logLoadFailure(track.title, describeError(std::current_exception()));
        co_return Extraction {};
    }
    co_return Extraction { std::move(extracted), false };
}

QCoro::Task<std::optional<QByteArray>> TavrenArtworkCache::retrieveThumbnail(
    Track track, QSizeF targetSize)
{
    const std::optional<QString> key = thumbnailKey(track.id, targetSize);
    if (!key) {
        co_return std::nullopt;
    }
    if (const QByteArray* cached = m_memoryCache.object(*key)) {
        co_return *cached;
    }
    const QPointer<TavrenArtworkCache> self(this);
    const quint64 began = generation(track.id);
    QCoro::Task<std::optional<QByteArray>> reading = readFile(*key + u".thumb"_s);
    std::optional<QByteArray> onDisk = co_await std::move(reading);
    if (onDisk && self && generation(track.id) == began) {
        remember(*key, *onDisk);
    }
    co_return onDisk;
}

QCoro::Task<std::optional<QByteArray>> TavrenArtworkCache::readFile(QString fileName)
{
    auto work = [store = m_store, fileName] { return store->read(fileName); };
    QFuture<std::optional<QByteArray>> future = QtConcurrent::run(&m_files, std::move(work));
    co_return co_await future;
}

QCoro::Task<std::optional<QByteArray>> TavrenArtworkCache::readFileOrFail(QString fileName)
{
    auto work = [store = m_store, fileName] {
        std::optional<QByteArray> bytes = store->read(fileName);
        if (!bytes && store->exists(fileName)) {
            throw ArtworkCacheError(ArtworkCacheError::Case::readFailed, store->filePath(fileName),
                u"The file exists but cannot be read."_s);
        }
        return bytes;
    };
    QCoro::Task<std::optional<QByteArray>> reading = runOnWorker(&m_files, std::move(work));
    std::optional<QByteArray> bytes = co_await std::move(reading);
    co_return bytes;
}

// ---- changes ------------------------------------------------------------------------

QCoro::Task<> TavrenArtworkCache::storeArtwork(QByteArray data, Track track)
{
    const QPointer<TavrenArtworkCache> self(this);
    const QString key = artworkKey(track.id);
    m_changedAt.insert(track.id, ++m_changeCount);
    const quint64 storedAt = generation(track.id);
    m_missingArtwork.remove(track.id);

    auto write
        = [store = m_store, fileName = rawFileName(key), data] { store->write(fileName, data); };
    auto writeTask = runOnWorker(&m_files, std::move(write));
    co_await std::move(writeTask);
    if (!self) {
        co_return;
    }
    // A later store, eviction or clear owns the entry now.
    if (generation(track.id) == storedAt) {
        remember(key, data);
    }
    scheduleCacheVersionBump();
}

void TavrenArtworkCache::evictArtwork(const Track& track)
{
    std::optional<QByteArray> dropped = forget(track.id);
    const quint64 evictedAt = generation(track.id);
    scheduleCacheVersionBump();
    // Runs on by itself; the deletion queues behind earlier file work and ahead
    // of later reads, which therefore see the files gone.
    startDetached(finishEviction(track, std::move(dropped), evictedAt));
}

QCoro::Task<> TavrenArtworkCache::finishEviction(
    Track track, std::optional<QByteArray> dropped, quint64 generationAtEviction)
{
    const QPointer<TavrenArtworkCache> self(this);
    QCoro::Task<RemovalOutcome> removing = removeFiles(track.id);
    const RemovalOutcome outcome = co_await std::move(removing);
    if (!outcome.error) {
        co_return;
    }
    qCCritical(logging::artwork, "Unable to remove artwork for %s: %s", qUtf8Printable(track.title),
        qUtf8Printable(describeError(outcome.error)));
    if (!self) {
        co_return;
    }
    restoreAfterFailedRemoval(track.id, dropped, generationAtEviction, outcome);
    scheduleCacheVersionBump();
}

QCoro::Task<> TavrenArtworkCache::removeArtwork(Track track)
{
    const QPointer<TavrenArtworkCache> self(this);
    const std::optional<QByteArray> dropped = forget(track.id);
    const quint64 removedAt = generation(track.id);
    QCoro::Task<RemovalOutcome> removing = removeFiles(track.id);
    const RemovalOutcome outcome = co_await std::move(removing);
    if (outcome.error) {
        if (self) {
            restoreAfterFailedRemoval(track.id, dropped, removedAt, outcome);
        }
        std::rethrow_exception(outcome.error);
    }
    if (self) {
        scheduleCacheVersionBump();
    }
}

QCoro::Task<TavrenArtworkCache::RemovalOutcome> TavrenArtworkCache::removeFiles(QUuid trackID)
{
    auto work = [store = m_store, trackID] {
        RemovalOutcome outcome;
        try {
            store->removeArtworkFiles(trackID);
        } catch (...) {
            outcome.error = std::current_exception();
            outcome.artworkFileRemains = store->exists(rawFileName(artworkKey(trackID)));
        }
        return outcome;
    };
    QFuture<RemovalOutcome> future = QtConcurrent::run(&m_files, std::move(work));
    co_return co_await future;
}

void TavrenArtworkCache::restoreAfterFailedRemoval(const QUuid& trackID,
    const std::optional<QByteArray>& dropped, quint64 generationAtRemoval,
    const RemovalOutcome& outcome)
{
    // Only the artwork whose file is still there, and only when nothing
    // changed the track's artwork since.
    if (outcome.artworkFileRemains && dropped && generation(trackID) == generationAtRemoval) {
        remember(artworkKey(trackID), *dropped);
    }
}

QCoro::Task<> TavrenArtworkCache::clearCache()
{
    const QPointer<TavrenArtworkCache> self(this);
    m_memoryCache.clear();
    m_missingArtwork.clear();
    m_changedAt.clear();
    m_clearedAt = ++m_changeCount;
    auto work = [store = m_store] { store->removeAll(); };
    QFuture<void> future = QtConcurrent::run(&m_files, std::move(work));
    co_await future;
    if (self) {
        scheduleCacheVersionBump();
    }
}

// ---- bookkeeping ------------------------------------------------------------------

quint64 TavrenArtworkCache::generation(const QUuid& trackID) const
{
    return std::max(m_changedAt.value(trackID), m_clearedAt);
}

std::optional<QByteArray> TavrenArtworkCache::forget(const QUuid& trackID)
{
    m_changedAt.insert(trackID, ++m_changeCount);
    m_missingArtwork.remove(trackID);
    std::optional<QByteArray> dropped;
    if (const std::unique_ptr<QByteArray> entry { m_memoryCache.take(artworkKey(trackID)) }) {
        dropped = *entry;
    }
    return dropped;
}

void TavrenArtworkCache::remember(const QString& key, const QByteArray& bytes)
{
    // An entry above the whole budget is refused by the cache: it is then
    // read from disk each time.
    m_memoryCache.insert(key, new QByteArray(bytes), bytes.size());
}

void TavrenArtworkCache::scheduleCacheVersionBump()
{
    if (m_isCacheChangePending) {
        return;
    }
    m_isCacheChangePending = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_isCacheChangePending = false;
            m_cacheVersion = QUuid::createUuid();
            Q_EMIT cacheVersionChanged(m_cacheVersion);
        },
        Qt::QueuedConnection);
}

} // namespace kivo
