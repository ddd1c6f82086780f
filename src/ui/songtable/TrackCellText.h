#pragma once

#include "model/Date.h"
#include "model/Track.h"
#include "ui/songtable/TrackTableColumn.h"

#include <QString>
#include <functional>

namespace kivo {

// Turns a song's date into cell text; the program passes its shared
// medium-style date formatter.
using DateTextFunction = std::function<QString(const Date&)>;

// Shown for a value the song does not have.
inline const QString missingValueText = QStringLiteral("\u2014");

// The text of one cell, verbatim: "—" for an absent value, numbers without
// grouping, "320 kbps", "44.1 kHz" whatever the locale, the format as the
// upper-cased file extension (empty without one), durations as time text.
QString trackCellText(
    TrackTableColumnID column, const Track& track, const DateTextFunction& dateText);
// The cell's tooltip: its text, nothing for "—"; always the title for the title cell.
QString trackCellToolTip(
    TrackTableColumnID column, const Track& track, const DateTextFunction& dateText);

// The user's locale's short date, until a caller passes the shared formatter.
QString localShortDateText(const Date& date);

} // namespace kivo
