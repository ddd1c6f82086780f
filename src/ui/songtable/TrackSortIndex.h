#pragma once

#include "model/Track.h"
#include "model/TrackSortOrder.h"

#include <QList>
#include <QUuid>
#include <array>
#include <atomic>
#include <memory>
#include <optional>
#include <vector>

namespace kivo {

// Display orders of one track list, for every sort field and direction, in
// exactly the order of TrackSortOrder (ties by id text, then by position, so a
// song listed twice keeps its two rows in list order). A field's ascending
// order is made once (texts through collation keys) and kept; the descending
// order is derived from it in linear time. Build a new index when the list
// changes. One thread at a time; the static parts may run on any thread.
class TrackSortIndex {
public:
    struct FieldOrder {
        std::vector<int> ascending;
        // For each place in `ascending`, whether a run of equal field values
        // begins there: a bit a place, where a place number each would cost
        // as much as the order itself.
        std::vector<bool> runBegins;
    };

    explicit TrackSortIndex(QList<Track> tracks = {});

    const QList<Track>& tracks() const { return m_tracks; }
    // Whether `tracks` begins with this index's songs, by id and in order
    // (the list after an import, or after an edit of a song).
    bool isContinuedBy(const QList<Track>& tracks) const;
    // This index's orders over such a list: its first songs in the order
    // they had, until that list's own orders are made. The list this index
    // was made for can then be let go at once instead of afterwards. Orders
    // made later cover the same first songs.
    TrackSortIndex continuedBy(QList<Track> tracks) const;
    // Shared, not copied, with the worker's jobs.
    const std::shared_ptr<const std::vector<int>>& idRank() const { return m_idRank; }
    bool hasField(TrackSortField field) const { return (*m_fieldOrders)[size_t(field)] != nullptr; }
    // Positions into tracks(), in display order; a field not made yet is made now.
    std::vector<int> order(const TrackSortOrder& sortOrder);
    // The rows in one order: positions into tracks() and their ids.
    struct Rows {
        std::shared_ptr<const std::vector<int>> order;
        QList<QUuid> ids;
    };
    // The rows of the order asked for last are kept and shared by every copy
    // of this index, so that another table of the list in that order (a
    // screen shown again) has them without gathering 200,000 ids anew.
    Rows rows(const TrackSortOrder& sortOrder);
    // Adopts a field's order made elsewhere (on a worker) for the same list.
    void insert(TrackSortField field, std::shared_ptr<const FieldOrder> order);

    // Rank of each position by id text, then position: the tie-break.
    static std::vector<int> idRanks(const QList<Track>& tracks);
    // `parallel` spreads the work over the global pool (for an order someone
    // waits for). Gives up (with an empty order) soon after `cancelled` becomes true.
    // Orders the first idRank.size() songs of `tracks`.
    static FieldOrder makeFieldOrder(const QList<Track>& tracks, const std::vector<int>& idRank,
        TrackSortField field, bool parallel, const std::atomic<bool>* cancelled = nullptr);

private:
    QList<Track> m_tracks;
    std::shared_ptr<const std::vector<int>> m_idRank;
    using FieldOrders = std::array<std::shared_ptr<const FieldOrder>, 12>;
    std::shared_ptr<FieldOrders> m_fieldOrders;
    struct LastRows {
        std::optional<TrackSortOrder> orderedBy;
        Rows rows;
    };
    std::shared_ptr<LastRows> m_lastRows;
};

} // namespace kivo
