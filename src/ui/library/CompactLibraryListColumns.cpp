#include "ui/library/CompactLibraryListColumns.h"

#include "ui/eon/EonFonts.h"
#include "ui/eon/EonPalette.h"
#include "ui/eon/TimeText.h"

#include <array>

using namespace Qt::Literals::StringLiterals;

namespace kivo::compactlist {

namespace {

constexpr Qt::Alignment leading = Qt::AlignLeft | Qt::AlignVCenter;
constexpr Qt::Alignment trailing = Qt::AlignRight | Qt::AlignVCenter;

constexpr std::array<CompactLibraryListColumn, 12> table { {
    { TrackSortField::title, u"TITLE", 0, leading, 12, false, true },
    { TrackSortField::artist, u"ARTIST", 140, leading, 11, false, true },
    { TrackSortField::album, u"ALBUM", 160, leading, 11, false, true },
    { TrackSortField::albumArtist, u"ALBUM ARTIST", 140, leading, 11, false, true },
    { TrackSortField::genre, u"GENRE", 90, leading, 11, false, true },
    { TrackSortField::year, u"YEAR", 50, trailing, 11, true, false },
    { TrackSortField::trackNumber, u"TRACK #", 55, trailing, 11, true, false },
    { TrackSortField::duration, u"DURATION", 60, trailing, 11, true, false },
    { TrackSortField::bitrate, u"BITRATE", 65, trailing, 10, true, false },
    { TrackSortField::sampleRate, u"SAMPLE RATE", 75, trailing, 10, true, false },
    { TrackSortField::format, u"FORMAT", 55, Qt::AlignCenter, 10, true, false },
    { TrackSortField::dateAdded, u"DATE ADDED", 110, leading, 10, false, true },
} };

const QString missing = u"\u2014"_s;

QString orMissing(const std::optional<QString>& text)
{
    return text ? *text : missing;
}

QString numberOrMissing(const std::optional<qint64>& number, const QString& suffix = {})
{
    return number ? QString::number(*number) + suffix : missing;
}

} // namespace

std::span<const CompactLibraryListColumn> columns()
{
    return table;
}

const CompactLibraryListColumn& column(TrackSortField field)
{
    return table[size_t(field)];
}

QList<std::pair<double, double>> columnSpans(double width)
{
    double fixed = 0;
    for (const CompactLibraryListColumn& c : table) {
        fixed += c.width;
    }
    const double titleWidth = std::max(0.0, width - 2 * horizontalPadding - fixed);
    QList<std::pair<double, double>> spans;
    double x = horizontalPadding;
    for (const CompactLibraryListColumn& c : table) {
        const double w = c.width > 0 ? c.width : titleWidth;
        spans.append({ x, w });
        x += w;
    }
    return spans;
}

QString cellText(TrackSortField field, const Track& track, const DateText& dateText)
{
    switch (field) {
    case TrackSortField::title:
        return track.title;
    case TrackSortField::artist:
        return orMissing(track.artist);
    case TrackSortField::album:
        return orMissing(track.album);
    case TrackSortField::albumArtist:
        return orMissing(track.albumArtist());
    case TrackSortField::genre:
        return orMissing(track.genre);
    case TrackSortField::year:
        return numberOrMissing(track.year);
    case TrackSortField::trackNumber:
        return numberOrMissing(track.trackNumber);
    case TrackSortField::duration:
        return formatTime(track.duration);
    case TrackSortField::bitrate:
        return numberOrMissing(track.bitrate, u"k"_s);
    case TrackSortField::sampleRate:
        return track.sampleRate ? QString::asprintf("%.1fkHz", double(*track.sampleRate) / 1000.0)
                                : missing;
    case TrackSortField::format:
        return track.fileFormat().toUpper();
    case TrackSortField::dateAdded:
        return track.dateAdded && dateText ? dateText(*track.dateAdded) : missing;
    }
    return {};
}

QString subtitleText(const Track& track)
{
    return orMissing(track.artist);
}

QColor cellColor(TrackSortField field, bool selected)
{
    switch (field) {
    case TrackSortField::artist:
        return selected ? eonTextPrimary() : eonTextSecondary();
    case TrackSortField::album:
        return selected ? eonTextPrimary() : eonTextTertiary();
    case TrackSortField::duration:
        return eonTextSecondary();
    default:
        return eonTextTertiary();
    }
}

QFont cellFont(TrackSortField field)
{
    const CompactLibraryListColumn& c = column(field);
    return c.monospaced ? eonMonoFont(c.fontSize) : eonFont(c.fontSize);
}

QString headerSymbol(TrackSortField field, const TrackSortOrder& sortOrder)
{
    if (field != sortOrder.field) {
        return {};
    }
    return sortOrder.ascending ? u"chevron.up"_s : u"chevron.down"_s;
}

} // namespace kivo::compactlist
