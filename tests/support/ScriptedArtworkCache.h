#pragma once

#include "engines/artwork/ArtworkCache.h"

#include <QHash>
#include <QSet>
#include <QStringList>
#include <chrono>
#include <qcoro/qcorotimer.h>

namespace kivo::test {

// Artwork by track id, in memory. Reads, stores and removals first give the
// event loop a turn, as the real cache's disk work does. `calls` logs
// "store:<bytes>", "evict" and "remove"; the stores and removals whose number
// (from 1, in `writes`) is in `failingWrites` fail as a full disk, and a
// rollback read of a song in `unreadable` fails.
class ScriptedArtworkCache final : public ArtworkCache {
public:
    QHash<QUuid, QByteArray> artwork;
    QSet<QUuid> unreadable;
    int writes = 0;
    QSet<int> failingWrites;
    QStringList calls;

    CacheMetrics metrics() const override { return CacheMetrics::standard(); }
    QCoro::Task<std::optional<QByteArray>> retrieveArtwork(Track track) override
    {
        QCoro::Task<> turn = oneTurn();
        co_await std::move(turn);
        const auto at = artwork.constFind(track.id);
        co_return at == artwork.cend() ? std::nullopt : std::optional(*at);
    }
    QCoro::Task<std::optional<QByteArray>> retrieveArtworkForRollback(Track track) override
    {
        if (unreadable.contains(track.id)) {
            throw ArtworkCacheError(
                ArtworkCacheError::Case::readFailed, track.title, QStringLiteral("EIO"));
        }
        QCoro::Task<std::optional<QByteArray>> reading = retrieveArtwork(track);
        std::optional<QByteArray> bytes = co_await std::move(reading);
        co_return bytes;
    }
    QCoro::Task<std::optional<QByteArray>> retrieveThumbnail(Track, QSizeF) override
    {
        co_return std::nullopt;
    }
    QCoro::Task<> storeArtwork(QByteArray data, Track track) override
    {
        calls << QStringLiteral("store:") + QString::fromUtf8(data);
        QCoro::Task<> turn = oneTurn();
        co_await std::move(turn);
        failIfDue(track);
        artwork.insert(track.id, data);
    }
    void evictArtwork(const Track& track) override
    {
        calls << QStringLiteral("evict");
        artwork.remove(track.id);
    }
    QCoro::Task<> removeArtwork(Track track) override
    {
        calls << QStringLiteral("remove");
        QCoro::Task<> turn = oneTurn();
        co_await std::move(turn);
        failIfDue(track);
        artwork.remove(track.id);
    }
    QCoro::Task<> clearCache() override { co_return; }

private:
    static QCoro::Task<> oneTurn()
    {
        QCoro::Task<> pause = QCoro::sleepFor(std::chrono::milliseconds(0));
        co_await std::move(pause);
    }
    void failIfDue(const Track& track)
    {
        if (failingWrites.contains(++writes)) {
            throw ArtworkCacheError(
                ArtworkCacheError::Case::writeFailed, track.title, QStringLiteral("Disk full"));
        }
    }
};

} // namespace kivo::test
