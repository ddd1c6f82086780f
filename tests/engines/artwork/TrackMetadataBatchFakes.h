#pragma once

#include "engines/artwork/ArtworkCache.h"
#include "model/DatabaseManager.h"
#include "model/ErrorText.h"
#include "support/Await.h"
#include "support/ScriptedLibraryEngine.h"
#include "support/ScriptedQueueEngine.h"

#include <QCoreApplication>
#include <QHash>
#include <QSet>
#include <chrono>
#include <functional>
#include <qcoro/qcorotimer.h>

namespace kivo::test {

// Every fake operation gives the event loop a turn first, as the real ones
// do, so that callers can act while it runs.
inline QCoro::Task<> yieldOnce()
{
    QCoro::Task<> pause = QCoro::sleepFor(std::chrono::milliseconds(0));
    co_await std::move(pause);
}

// Runs events until `done` holds.
inline void runUntil(const std::function<bool()>& done)
{
    for (int turn = 0; turn < 100000 && !done(); ++turn) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
}

inline Track song(const QString& title)
{
    const QUrl url
        = QUrl::fromLocalFile(QStringLiteral("/music/") + title + QStringLiteral(".mp3"));
    return Track::make(QUuid::createUuid(), url, url.fileName(), title, 60, Date::now());
}

// The text of the error `task` ends with, or "none".
inline QString failureText(QCoro::Task<> task)
{
    const auto outcome = QCoro::waitFor(settle(std::move(task)));
    return outcome.error ? describeError(outcome.error) : QStringLiteral("none");
}

inline QString diskFull(const Track& track)
{
    return ArtworkCacheError(
        ArtworkCacheError::Case::writeFailed, track.title, QStringLiteral("Disk full"))
        .errorDescription();
}

// Artwork by track id; the k-th store or removal (counting from 1) can fail.
class FakeArtworkCache final : public ArtworkCache {
public:
    QHash<QUuid, QByteArray> artwork;
    QSet<QUuid> unreadable;
    int writes = 0;
    QSet<int> failingWrites;

    CacheMetrics metrics() const override { return CacheMetrics::standard(); }
    QCoro::Task<std::optional<QByteArray>> retrieveArtwork(Track track) override
    {
        QCoro::Task<> turn = yieldOnce();
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
        QCoro::Task<> turn = yieldOnce();
        co_await std::move(turn);
        failIfDue(track);
        artwork.insert(track.id, data);
    }
    void evictArtwork(const Track& track) override { artwork.remove(track.id); }
    QCoro::Task<> removeArtwork(Track track) override
    {
        QCoro::Task<> turn = yieldOnce();
        co_await std::move(turn);
        failIfDue(track);
        artwork.remove(track.id);
    }
    QCoro::Task<> clearCache() override { co_return; }

private:
    void failIfDue(const Track& track)
    {
        if (failingWrites.contains(++writes)) {
            throw ArtworkCacheError(
                ArtworkCacheError::Case::writeFailed, track.title, QStringLiteral("Disk full"));
        }
    }
};

using FakeLibrary = ScriptedLibraryEngine;

} // namespace kivo::test
