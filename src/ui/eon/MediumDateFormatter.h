#pragma once

#include "model/Date.h"

#include <QString>

namespace kivo {

// Dates in the "medium" style of the user's locale ("Dec 9, 2026" in English
// (United States), which stands in for the C/POSIX locale), in the local time
// zone. One formatter serves every view; safe from any thread.
QString formatMediumDate(const Date& date);

// The same for a named locale ("de_DE"); tests use it to stay independent of
// the machine.
QString formatMediumDate(const Date& date, const QString& localeName);

} // namespace kivo
