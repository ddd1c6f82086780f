#pragma once

#include "model/Date.h"
#include "model/Track.h"
#include "model/TrackSortOrder.h"

#include <QColor>
#include <QFont>
#include <QList>
#include <QString>
#include <Qt>
#include <functional>
#include <span>

namespace kivo {

// One of the compact list's twelve fixed columns; they sort by their field
// and come in the order of TrackSortField.
struct CompactLibraryListColumn {
    TrackSortField field;
    const char16_t* header; // "TITLE", "TRACK #", …
    double width; // 0: the title, which takes the width the others leave
    Qt::Alignment alignment;
    double fontSize;
    bool monospaced;
    bool oneLine; // cut with an ellipsis rather than overflowing
};

namespace compactlist {

inline constexpr double horizontalPadding = 16;
inline constexpr double rowVerticalPadding = 6;
inline constexpr double headerVerticalPadding = 8;
inline constexpr int rowHeight = 40;

std::span<const CompactLibraryListColumn> columns();
const CompactLibraryListColumn& column(TrackSortField field);

// The columns' left edges and widths for a list `width` wide: fixed widths
// after the padding, the title taking what remains (never less than 0).
QList<std::pair<double, double>> columnSpans(double width);

using DateText = std::function<QString(const Date&)>;

// A cell's text: "—" for an absent value, "320k", "44.1kHz", the upper-cased
// file extension, time text for the duration. The title cell is the title.
QString cellText(TrackSortField field, const Track& track, const DateText& dateText);
// The title block's second line: the artist, or "—".
QString subtitleText(const Track& track);
// Cream for the selected row's artist and album, else the column's own colour.
QColor cellColor(TrackSortField field, bool selected);
QFont cellFont(TrackSortField field);

// The header's chevron: "chevron.up" or "chevron.down" on the sorted column,
// nothing on the others.
QString headerSymbol(TrackSortField field, const TrackSortOrder& sortOrder);

} // namespace compactlist
} // namespace kivo
