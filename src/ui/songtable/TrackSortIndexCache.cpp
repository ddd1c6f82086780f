#include "ui/songtable/TrackSortIndexCache.h"

#include "model/RunOnWorker.h"

#include <algorithm>

namespace kivo {

namespace {

bool sameList(const QList<Track>& a, const QList<Track>& b)
{
    return !a.isEmpty() && a.constData() == b.constData() && a.size() == b.size();
}

} // namespace

TrackSortIndexCache::TrackSortIndexCache(int capacity)
    : m_capacity(capacity)
{
}

TrackSortIndexCache& TrackSortIndexCache::shared()
{
    static TrackSortIndexCache cache;
    return cache;
}

void TrackSortIndexCache::prune()
{
    // The cache holds the last copy of these lists: freeing their songs is
    // left to a worker.
    const auto unheld = std::stable_partition(m_entries.begin(), m_entries.end(),
        [](const TrackSortIndex& entry) { return !entry.tracks().isDetached(); });
    dropFrom(unheld);
}

void TrackSortIndexCache::forget(const QList<Track>& tracks)
{
    const auto kept = std::stable_partition(m_entries.begin(), m_entries.end(),
        [&](const TrackSortIndex& entry) { return !sameList(entry.tracks(), tracks); });
    dropFrom(kept);
}

void TrackSortIndexCache::dropFrom(std::vector<TrackSortIndex>::iterator first)
{
    if (first == m_entries.end()) {
        return;
    }
    std::vector<TrackSortIndex> dropped(
        std::make_move_iterator(first), std::make_move_iterator(m_entries.end()));
    m_entries.erase(first, m_entries.end());
    releaseOnWorker(std::move(dropped));
}

std::optional<TrackSortIndex> TrackSortIndexCache::find(const QList<Track>& tracks)
{
    prune();
    const auto found = std::find_if(m_entries.begin(), m_entries.end(),
        [&](const TrackSortIndex& entry) { return sameList(entry.tracks(), tracks); });
    if (found == m_entries.end()) {
        return std::nullopt;
    }
    std::rotate(m_entries.begin(), found, found + 1);
    return m_entries.front();
}

void TrackSortIndexCache::remember(const TrackSortIndex& index)
{
    if (index.tracks().isEmpty()) {
        return;
    }
    std::erase_if(m_entries,
        [&](const TrackSortIndex& entry) { return sameList(entry.tracks(), index.tracks()); });
    prune();
    m_entries.insert(m_entries.begin(), index);
    if (m_entries.size() > size_t(m_capacity)) {
        dropFrom(m_entries.begin() + m_capacity);
    }
}

} // namespace kivo
