#pragma once

#include "ui/songtable/TrackTableColumn.h"

#include <QByteArray>
#include <QList>

namespace kivo {

// One column of the song-table layout. `width` is what the column takes now
// (48 while collapsed); `expandedWidth` is what it returns to when expanded.
struct TrackTableColumnConfiguration {
    TrackTableColumnID id = TrackTableColumnID::title;
    double width = 0;
    double expandedWidth = 0;
    bool isCollapsed = false;

    bool operator==(const TrackTableColumnConfiguration&) const = default;
};

using TrackTableColumnLayout = QList<TrackTableColumnConfiguration>;

// The stored form: a compact JSON array of {"id", "width", "expandedWidth",
// "isCollapsed"} in display order, whole-number widths without a fraction.
// Throws JsonCodingError(Encoding) for a non-finite width.
QByteArray encodeColumnLayout(const TrackTableColumnLayout& columns);
// All four keys are required and typed; unknown keys are ignored. Throws
// JsonCodingError(Decoding) when any element is bad: one bad column makes the
// whole layout unreadable.
TrackTableColumnLayout decodeColumnLayout(const QByteArray& bytes);

} // namespace kivo
