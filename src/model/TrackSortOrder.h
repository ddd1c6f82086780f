#pragma once

#include "model/Track.h"

#include <QString>
#include <optional>

namespace kivo {

enum class TrackSortField {
    title,
    artist,
    album,
    albumArtist,
    genre,
    year,
    trackNumber,
    duration,
    bitrate,
    sampleRate,
    format,
    dateAdded,
};

QString rawValue(TrackSortField field);
// Exactly the twelve raw values, case-sensitive.
std::optional<TrackSortField> trackSortFieldFromRawValue(const QString& raw);

// A column and a direction of the song table. Sorting is total: ties on the
// field are broken by the id text, ascending in both directions.
struct TrackSortOrder {
    TrackSortField field = TrackSortField::title;
    bool ascending = true;

    // <0 when a comes before b on the field alone, 0 when the same, >0 after.
    int compare(const Track& a, const Track& b) const;
    bool areInIncreasingOrder(const Track& a, const Track& b) const;
    bool operator()(const Track& a, const Track& b) const { return areInIncreasingOrder(a, b); }

    bool operator==(const TrackSortOrder&) const = default;
};

} // namespace kivo
