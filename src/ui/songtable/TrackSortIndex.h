#pragma once

#include "model/Track.h"
#include "model/TrackSortOrder.h"

#include <QList>
#include <array>
#include <optional>
#include <vector>

namespace kivo {

// Display orders of one track list, for every sort field and direction, in
// exactly the order of TrackSortOrder (ties by id text, then by position, so a
// song listed twice keeps its two rows in list order). A field's ascending
// order is computed on first use (texts through collation keys, made once per
// field) and kept; the descending order is derived from it in linear time.
// Build a new index when the list changes.
class TrackSortIndex {
public:
    explicit TrackSortIndex(QList<Track> tracks = {});

    const QList<Track>& tracks() const { return m_tracks; }
    // Positions into tracks(), in display order.
    std::vector<int> order(const TrackSortOrder& sortOrder);

private:
    struct FieldOrder {
        std::vector<int> ascending;
        // For each place in `ascending`, the first place of its run of equal
        // field values.
        std::vector<int> runStart;
    };
    const FieldOrder& fieldOrder(TrackSortField field);
    FieldOrder computeFieldOrder(TrackSortField field) const;
    // Rank of each position by id text then position: the tie-break.
    const std::vector<int>& idRank();

    QList<Track> m_tracks;
    std::array<std::optional<FieldOrder>, 12> m_fieldOrders;
    std::vector<int> m_idRank;
};

} // namespace kivo
