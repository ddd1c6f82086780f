#pragma once

#include <QString>
#include <optional>

namespace kivo {

// Seconds as display text: "m:ss" under an hour, "h:mm:ss" from an hour on,
// rounded to the nearest second (halves away from zero). Zero, negative and
// non-finite values, and values too large for a whole number of seconds,
// give "0:00".
QString formatTime(double seconds);

// Reads a time typed by the user. Surrounding blanks are ignored and a blank
// text is 0. A text with colons is "m:s" or "h:m:s" of signed whole numbers
// (empty pieces between colons are skipped; pieces are not range-checked; a
// sum too large for 64-bit seconds is not a time). Any other text is a decimal
// number of seconds ("215.5", "1e2", "inf"); negative numbers and NaN are not a
// time. Returns nothing when the text is not a time.
std::optional<double> parseTimeText(const QString& text);

} // namespace kivo
