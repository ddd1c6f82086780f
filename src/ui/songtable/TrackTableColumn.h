#pragma once

#include "model/TrackSortOrder.h"

#include <QList>
#include <QString>
#include <Qt>
#include <optional>

namespace kivo {

// The twelve columns of the song table, in their default order. The raw
// values are the stored names and the same words as TrackSortField's, so a
// column sorts by the field of the same name.
enum class TrackTableColumnID {
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

inline constexpr int trackTableColumnCount = 12;
// Width of a collapsed column, in points.
inline constexpr double collapsedColumnWidth = 48;

struct TrackTableColumnWidths {
    double defaultWidth;
    double minimum;
    double maximum;
};

const QList<TrackTableColumnID>& allTrackTableColumnIDs();

QString rawValue(TrackTableColumnID id);
// Exactly the twelve raw values, case-sensitive.
std::optional<TrackTableColumnID> trackTableColumnIDFromRawValue(const QString& raw);

// "Title", "Track #", "Sample Rate", …
QString title(TrackTableColumnID id);
// The symbol the header shows for a collapsed column and the column menu for a
// hidden one.
QString symbolName(TrackTableColumnID id);
TrackTableColumnWidths widthLimits(TrackTableColumnID id);
// Shared by the header and the cells: numbers trail, the format is centred.
Qt::Alignment contentAlignment(TrackTableColumnID id);

TrackSortField sortField(TrackTableColumnID id);
TrackTableColumnID columnForSortField(TrackSortField field);
// A click on the sorted column's header flips the direction; a click on any
// other column sorts by it ascending.
TrackSortOrder sortOrderAfterHeaderClick(TrackTableColumnID clicked, const TrackSortOrder& current);

} // namespace kivo
