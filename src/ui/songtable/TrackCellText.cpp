#include "ui/songtable/TrackCellText.h"

#include "model/TrackSortOrder.h"
#include "ui/eon/TimeText.h"

#include <QLocale>

using namespace Qt::Literals::StringLiterals;

namespace kivo {

namespace {

QString textOrMissing(const std::optional<QString>& value)
{
    return value ? *value : missingValueText;
}

QString numberOrMissing(const std::optional<qint64>& value, const QString& suffix = {})
{
    return value ? QString::number(*value) + suffix : missingValueText;
}

} // namespace

QString trackCellText(
    TrackTableColumnID column, const Track& track, const DateTextFunction& dateText)
{
    switch (column) {
    case TrackTableColumnID::title:
        return track.title;
    case TrackTableColumnID::artist:
        return textOrMissing(track.artist);
    case TrackTableColumnID::album:
        return textOrMissing(track.album);
    case TrackTableColumnID::albumArtist:
        return textOrMissing(track.albumArtist());
    case TrackTableColumnID::genre:
        return textOrMissing(track.genre);
    case TrackTableColumnID::year:
        return numberOrMissing(track.year);
    case TrackTableColumnID::trackNumber:
        return numberOrMissing(track.trackNumber);
    case TrackTableColumnID::duration:
        return formatTime(track.duration);
    case TrackTableColumnID::bitrate:
        return numberOrMissing(track.bitrate, u" kbps"_s);
    case TrackTableColumnID::sampleRate:
        // QString::asprintf formats numbers in the C locale: always a full stop.
        return track.sampleRate ? QString::asprintf("%.1f kHz", double(*track.sampleRate) / 1000.0)
                                : missingValueText;
    case TrackTableColumnID::format:
        return track.fileFormat().toUpper();
    case TrackTableColumnID::dateAdded:
        if (!track.dateAdded) {
            return missingValueText;
        }
        return dateText ? dateText(*track.dateAdded) : localShortDateText(*track.dateAdded);
    }
    return {};
}

QString trackCellToolTip(
    TrackTableColumnID column, const Track& track, const DateTextFunction& dateText)
{
    QString text = trackCellText(column, track, dateText);
    if (column != TrackTableColumnID::title && text == missingValueText) {
        return {};
    }
    return text;
}

QString localShortDateText(const Date& date)
{
    return QLocale().toString(date.toDateTime().toLocalTime().date(), QLocale::ShortFormat);
}

} // namespace kivo
