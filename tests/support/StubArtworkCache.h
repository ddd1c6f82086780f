#pragma once

#include "engines/artwork/ArtworkCache.h"

#include <optional>

namespace kivo::test {

// A cache that answers every song at once with `artwork` (none unless set)
// and keeps nothing: no wait per song puts a timer per row on the event loop.
class StubArtworkCache : public ArtworkCache {
public:
    std::optional<QByteArray> artwork;

    CacheMetrics metrics() const override { return CacheMetrics::standard(); }
    QCoro::Task<std::optional<QByteArray>> retrieveArtwork(Track) override { co_return artwork; }
    QCoro::Task<std::optional<QByteArray>> retrieveThumbnail(Track, QSizeF) override
    {
        co_return std::nullopt;
    }
    QCoro::Task<> storeArtwork(QByteArray, Track) override { co_return; }
    void evictArtwork(const Track&) override { }
    QCoro::Task<> removeArtwork(Track) override { co_return; }
    QCoro::Task<> clearCache() override { co_return; }
};

} // namespace kivo::test
