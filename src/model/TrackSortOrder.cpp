#include "model/TrackSortOrder.h"

#include "model/JsonCodec.h"
#include "model/TextRules.h"

#include <array>
#include <cmath>

namespace kivo {

namespace {

constexpr std::array<const char16_t*, 12> rawValues {
    u"title",
    u"artist",
    u"album",
    u"albumArtist",
    u"genre",
    u"year",
    u"trackNumber",
    u"duration",
    u"bitrate",
    u"sampleRate",
    u"format",
    u"dateAdded",
};

int compareText(const QString& a, const QString& b)
{
    return text::compareLocalized(a, b);
}

int compareInt(qint64 a, qint64 b)
{
    return a < b ? -1 : (a > b ? 1 : 0);
}

// NaN must not break the sort's strict weak order: NaN equals NaN and sorts
// after every number.
int compareDuration(double a, double b)
{
    const bool aNaN = std::isnan(a);
    const bool bNaN = std::isnan(b);
    if (aNaN || bNaN) {
        return aNaN == bNaN ? 0 : (aNaN ? 1 : -1);
    }
    return a < b ? -1 : (a > b ? 1 : 0);
}

const QString& textOrEmpty(const std::optional<QString>& value)
{
    static const QString empty;
    return value ? *value : empty;
}

} // namespace

QString rawValue(TrackSortField field)
{
    return QString::fromUtf16(rawValues[size_t(field)]);
}

std::optional<TrackSortField> trackSortFieldFromRawValue(const QString& raw)
{
    for (size_t i = 0; i < rawValues.size(); ++i) {
        if (raw == QStringView(rawValues[i])) {
            return TrackSortField(i);
        }
    }
    return std::nullopt;
}

int TrackSortOrder::compare(const Track& a, const Track& b) const
{
    switch (field) {
    case TrackSortField::title:
        return compareText(a.title, b.title);
    case TrackSortField::artist:
        return compareText(textOrEmpty(a.artist), textOrEmpty(b.artist));
    case TrackSortField::album:
        return compareText(textOrEmpty(a.album), textOrEmpty(b.album));
    case TrackSortField::albumArtist:
        return compareText(textOrEmpty(a.albumArtist()), textOrEmpty(b.albumArtist()));
    case TrackSortField::genre:
        return compareText(textOrEmpty(a.genre), textOrEmpty(b.genre));
    case TrackSortField::year:
        return compareInt(a.year.value_or(0), b.year.value_or(0));
    case TrackSortField::trackNumber:
        return compareInt(a.trackNumber.value_or(0), b.trackNumber.value_or(0));
    case TrackSortField::duration:
        return compareDuration(a.duration, b.duration);
    case TrackSortField::bitrate:
        return compareInt(a.bitrate.value_or(0), b.bitrate.value_or(0));
    case TrackSortField::sampleRate:
        return compareInt(a.sampleRate.value_or(0), b.sampleRate.value_or(0));
    case TrackSortField::format:
        return compareText(a.fileFormat(), b.fileFormat());
    case TrackSortField::dateAdded: {
        const Date da = a.dateAdded.value_or(Date::distantPast());
        const Date db = b.dateAdded.value_or(Date::distantPast());
        return da < db ? -1 : (db < da ? 1 : 0);
    }
    }
    return 0;
}

bool TrackSortOrder::areInIncreasingOrder(const Track& a, const Track& b) const
{
    const int r = compare(a, b);
    if (r != 0) {
        return ascending ? r < 0 : r > 0;
    }
    return json::uuidTextLess(a.id, b.id);
}

} // namespace kivo
