#include "ui/editing/TrackEditorForm.h"

#include "engines/artwork/SharedMetadataDraft.h"
#include "ui/eon/TimeText.h"

#include <algorithm>
#include <cmath>

namespace kivo {

namespace {

QString numberText(const std::optional<qint64>& value)
{
    return value ? QString::number(*value) : QString();
}

bool isBlankOrWholeNumber(const QString& text)
{
    const QString trimmed = text.trimmed();
    return trimmed.isEmpty() || (trimmed == text && parseMetadataInteger(text).has_value());
}

std::optional<qint64> wholeNumber(const QString& text)
{
    return text.trimmed().isEmpty() ? std::nullopt : parseMetadataInteger(text);
}

// parseTimeText reads "inf" and sums signed pieces ("-1:30"); neither is a duration.
std::optional<double> durationSeconds(const QString& text)
{
    const std::optional<double> seconds = parseTimeText(text);
    if (!seconds || !std::isfinite(*seconds) || *seconds < 0) {
        return std::nullopt;
    }
    return seconds;
}

} // namespace

TrackEditorForm::TrackEditorForm(Track track)
    : title(track.title)
    , artist(track.artist.value_or(QString()))
    , album(track.album.value_or(QString()))
    , albumArtist(track.albumArtist().value_or(QString()))
    , genre(track.genre.value_or(QString()))
    , year(numberText(track.year))
    , trackNumber(numberText(track.trackNumber))
    , duration(formatTime(track.duration))
    , bpm(numberText(track.bpm))
    , lyrics(track.lyrics().value_or(QString()))
    , rating(track.rating)
    , m_track(std::move(track))
{
}

bool TrackEditorForm::canSave() const
{
    return !title.trimmed().isEmpty() && durationSeconds(duration).has_value()
        && isBlankOrWholeNumber(bpm) && isBlankOrWholeNumber(year)
        && isBlankOrWholeNumber(trackNumber);
}

std::optional<Track> TrackEditorForm::editedTrack() const
{
    if (!canSave()) {
        return std::nullopt;
    }
    Track edited = m_track;
    edited.title = title.trimmed();
    edited.artist = normalizedMetadataText(artist);
    edited.album = normalizedMetadataText(album);
    edited.setAlbumArtist(normalizedMetadataText(albumArtist));
    edited.genre = normalizedMetadataText(genre);
    edited.year = wholeNumber(year);
    edited.trackNumber = wholeNumber(trackNumber);
    edited.bpm = wholeNumber(bpm);
    edited.duration = *durationSeconds(duration);
    edited.rating = Track::clampedRating(rating);
    edited.setLyrics(normalizedMetadataText(lyrics));
    return edited;
}

void TrackEditorForm::tapStar(int n)
{
    rating = rating == n ? 0 : n;
}

int TrackEditorForm::litStars() const
{
    return static_cast<int>(Track::clampedRating(rating));
}

} // namespace kivo
