#pragma once

#include <QDateTime>
#include <QTimeZone>
#include <compare>

namespace kivo {

// A point in time as seconds since 2001-01-01 00:00:00 UTC, kept as the exact
// double that is stored, so a date read and written again never drifts.
struct Date {
    double secondsSinceReferenceDate = 0;

    static Date now();
    // Earlier than any real date (the year 1); stands for a missing date when sorting.
    static Date distantPast();
    static Date fromDateTime(const QDateTime& dateTime);
    QDateTime toDateTime() const;

    auto operator<=>(const Date&) const = default;
};

} // namespace kivo
