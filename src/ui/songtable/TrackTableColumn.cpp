#include "ui/songtable/TrackTableColumn.h"

#include <array>

using namespace Qt::Literals::StringLiterals;

namespace kivo {

namespace {

struct ColumnInfo {
    const char16_t* rawValue;
    const char16_t* title;
    const char16_t* symbolName;
    TrackTableColumnWidths widths;
};

constexpr std::array<ColumnInfo, trackTableColumnCount> columns { {
    { u"title", u"Title", u"text.quote", { 220, 120, 420 } },
    { u"artist", u"Artist", u"person.wave.2", { 150, 90, 320 } },
    { u"album", u"Album", u"square.stack", { 150, 90, 320 } },
    { u"albumArtist", u"Album Artist", u"person.2", { 140, 90, 320 } },
    { u"genre", u"Genre", u"guitars", { 110, 80, 260 } },
    { u"year", u"Year", u"calendar", { 70, 64, 160 } },
    { u"trackNumber", u"Track #", u"number", { 70, 64, 160 } },
    { u"duration", u"Duration", u"clock", { 84, 64, 160 } },
    { u"bitrate", u"Bitrate", u"speedometer", { 92, 76, 190 } },
    { u"sampleRate", u"Sample Rate", u"waveform.path", { 104, 76, 190 } },
    { u"format", u"Format", u"doc", { 80, 64, 160 } },
    { u"dateAdded", u"Date Added", u"calendar.badge.plus", { 130, 80, 260 } },
} };

const ColumnInfo& info(TrackTableColumnID id)
{
    return columns[size_t(id)];
}

} // namespace

const QList<TrackTableColumnID>& allTrackTableColumnIDs()
{
    static const QList<TrackTableColumnID> ids = [] {
        QList<TrackTableColumnID> list;
        for (int i = 0; i < trackTableColumnCount; ++i) {
            list.push_back(TrackTableColumnID(i));
        }
        return list;
    }();
    return ids;
}

QString rawValue(TrackTableColumnID id)
{
    return QString::fromUtf16(info(id).rawValue);
}

std::optional<TrackTableColumnID> trackTableColumnIDFromRawValue(const QString& raw)
{
    for (size_t i = 0; i < columns.size(); ++i) {
        if (raw == QStringView(columns[i].rawValue)) {
            return TrackTableColumnID(i);
        }
    }
    return std::nullopt;
}

QString title(TrackTableColumnID id)
{
    return QString::fromUtf16(info(id).title);
}

QString symbolName(TrackTableColumnID id)
{
    return QString::fromUtf16(info(id).symbolName);
}

TrackTableColumnWidths widthLimits(TrackTableColumnID id)
{
    return info(id).widths;
}

Qt::Alignment contentAlignment(TrackTableColumnID id)
{
    switch (id) {
    case TrackTableColumnID::year:
    case TrackTableColumnID::trackNumber:
    case TrackTableColumnID::duration:
    case TrackTableColumnID::bitrate:
    case TrackTableColumnID::sampleRate:
        return Qt::AlignTrailing | Qt::AlignVCenter;
    case TrackTableColumnID::format:
        return Qt::AlignHCenter | Qt::AlignVCenter;
    default:
        return Qt::AlignLeading | Qt::AlignVCenter;
    }
}

// Both enumerations list the same twelve words in the same order.
static_assert(int(TrackSortField::dateAdded) == int(TrackTableColumnID::dateAdded));

TrackSortField sortField(TrackTableColumnID id)
{
    return TrackSortField(int(id));
}

TrackTableColumnID columnForSortField(TrackSortField field)
{
    return TrackTableColumnID(int(field));
}

TrackSortOrder sortOrderAfterHeaderClick(TrackTableColumnID clicked, const TrackSortOrder& current)
{
    const TrackSortField field = sortField(clicked);
    return { field, current.field == field ? !current.ascending : true };
}

} // namespace kivo
