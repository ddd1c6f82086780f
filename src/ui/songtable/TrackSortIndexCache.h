#pragma once

#include "ui/songtable/TrackSortIndex.h"

#include <optional>
#include <vector>

namespace kivo {

// The orders already made for the few large lists shown last, so that a
// screen showing a list again (switching back to the unchanged library) has
// its rows at once instead of ordering them anew. A list is found by its
// shared data, never by comparing songs: the cache holds a copy, so any
// change to the list detaches it and the changed list is a different one.
// An entry nobody else holds any more can never be found again and goes.
// Main thread only.
class TrackSortIndexCache {
public:
    explicit TrackSortIndexCache(int capacity = 4);

    // The index made for exactly this list, sharing its orders.
    std::optional<TrackSortIndex> find(const QList<Track>& tracks);
    // Keeps `index` (the newest first), dropping the oldest beyond capacity.
    void remember(const TrackSortIndex& index);
    qsizetype size() const { return qsizetype(m_entries.size()); }
    // Lets go of the lists nobody else holds (after a library change).
    void prune();
    // Lets go of this list: it is not coming back.
    void forget(const QList<Track>& tracks);

    // The one the song tables share.
    static TrackSortIndexCache& shared();

private:
    // Lets the entries from `first` on go, freeing them on a worker.
    void dropFrom(std::vector<TrackSortIndex>::iterator first);

    int m_capacity;
    std::vector<TrackSortIndex> m_entries;
};

} // namespace kivo
