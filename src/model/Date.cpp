#include "model/Date.h"

namespace kivo {

namespace {
// 2001-01-01 00:00:00 UTC in milliseconds since the Unix epoch.
constexpr qint64 referenceEpochMs = 978307200000LL;
} // namespace

Date Date::now()
{
    return fromDateTime(QDateTime::currentDateTimeUtc());
}

Date Date::distantPast()
{
    // 0001-01-01 00:00:00 UTC.
    return Date { -63114076800.0 };
}

Date Date::fromDateTime(const QDateTime& dateTime)
{
    return Date { double(dateTime.toMSecsSinceEpoch() - referenceEpochMs) / 1000.0 };
}

QDateTime Date::toDateTime() const
{
    return QDateTime::fromMSecsSinceEpoch(
        referenceEpochMs + qint64(secondsSinceReferenceDate * 1000.0), Qt::UTC);
}

} // namespace kivo
