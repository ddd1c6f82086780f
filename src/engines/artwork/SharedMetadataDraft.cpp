#include "engines/artwork/SharedMetadataDraft.h"

#include "model/TextRules.h"

#include <QSet>
#include <algorithm>
#include <functional>
#include <limits>

using namespace Qt::Literals::StringLiterals;

namespace kivo {

namespace {

bool sameValue(const std::optional<QString>& a, const std::optional<QString>& b)
{
    return a.has_value() == b.has_value() && (!a || text::equal(*a, *b));
}

bool sameValue(const std::optional<qint64>& a, const std::optional<qint64>& b)
{
    return a == b;
}

// The value every track holds for `field` (compared exactly as stored), as
// the editor shows it: the common text, or empty and mixed.
template <typename Field, typename Describe>
AppliedTextMetadataDraft commonField(const QList<Track>& tracks, Field field, Describe describe)
{
    AppliedTextMetadataDraft draft;
    if (tracks.isEmpty()) {
        return draft;
    }
    const auto& first = std::invoke(field, tracks.front());
    for (const Track& track : tracks) {
        if (!sameValue(std::invoke(field, track), first)) {
            draft.hadMixedValues = true;
            return draft;
        }
    }
    if (first) {
        draft.value = describe(*first);
    }
    return draft;
}

// `field`: a Track member or getter of an optional text.
template <typename Field>
AppliedTextMetadataDraft commonText(const QList<Track>& tracks, Field field)
{
    return commonField(tracks, field, [](const QString& value) { return value; });
}

AppliedTextMetadataDraft commonNumber(const QList<Track>& tracks, OptionalInt Track::*field)
{
    return commonField(tracks, field, [](qint64 value) { return QString::number(value); });
}

OptionalMetadataChange<QString> textChange(const AppliedTextMetadataDraft& field)
{
    return field.isApplied
        ? OptionalMetadataChange<QString>::set(normalizedMetadataText(field.value))
        : OptionalMetadataChange<QString>::unchanged();
}

OptionalMetadataChange<qint64> numberChange(const AppliedTextMetadataDraft& field)
{
    return field.isApplied ? OptionalMetadataChange<qint64>::set(parseMetadataInteger(field.value))
                           : OptionalMetadataChange<qint64>::unchanged();
}

} // namespace

bool AppliedTextMetadataDraft::operator==(const AppliedTextMetadataDraft& other) const
{
    return text::equal(value, other.value) && isApplied == other.isApplied
        && hadMixedValues == other.hadMixedValues;
}

bool SharedMetadataDraft::operator==(const SharedMetadataDraft& other) const
{
    return artist == other.artist && album == other.album && albumArtist == other.albumArtist
        && genre == other.genre && year == other.year && discNumber == other.discNumber
        && composer == other.composer && comments == other.comments && bpm == other.bpm
        && rating == other.rating && isRatingApplied == other.isRatingApplied
        && replacementArtworkData == other.replacementArtworkData
        && hadMixedRatings == other.hadMixedRatings;
}

SharedMetadataDraft SharedMetadataDraft::fromTracks(const QList<Track>& tracks)
{
    SharedMetadataDraft draft;
    draft.artist = commonText(tracks, &Track::artist);
    draft.album = commonText(tracks, &Track::album);
    draft.albumArtist = commonText(tracks, &Track::albumArtist);
    draft.genre = commonText(tracks, &Track::genre);
    draft.year = commonNumber(tracks, &Track::year);
    draft.discNumber = commonNumber(tracks, &Track::discNumber);
    draft.composer = commonText(tracks, &Track::composer);
    draft.comments = commonText(tracks, &Track::comments);
    draft.bpm = commonNumber(tracks, &Track::bpm);

    QSet<qint64> ratings;
    for (const Track& track : tracks) {
        ratings.insert(track.rating);
    }
    draft.rating = ratings.size() == 1 ? *ratings.cbegin() : 0;
    draft.hadMixedRatings = ratings.size() > 1;
    return draft;
}

std::optional<QString> SharedMetadataDraft::validationMessage(
    const AppliedTextMetadataDraft& field, const QString& name, qint64 minimum, qint64 maximum)
{
    if (!field.isApplied || text::trimmed(field.value).isEmpty()) {
        return std::nullopt;
    }
    if (const std::optional<qint64> number = parseMetadataInteger(field.value);
        number && *number >= minimum && *number <= maximum) {
        return std::nullopt;
    }
    return name + u" must be between "_s + QString::number(minimum) + u" and "_s
        + QString::number(maximum) + u", or left blank to clear it."_s;
}

SharedTrackMetadataPatch SharedMetadataDraft::makePatch() const
{
    SharedTrackMetadataPatch patch;
    patch.artist = textChange(artist);
    patch.album = textChange(album);
    patch.albumArtist = textChange(albumArtist);
    patch.genre = textChange(genre);
    patch.year = numberChange(year);
    patch.discNumber = numberChange(discNumber);
    patch.composer = textChange(composer);
    patch.comments = textChange(comments);
    patch.bpm = numberChange(bpm);
    if (isRatingApplied) {
        patch.rating = Track::clampedRating(rating);
    }
    if (replacementArtworkData) {
        patch.artwork = SharedArtworkChange::replace(*replacementArtworkData);
    }
    return patch;
}

std::optional<QString> normalizedMetadataText(const QString& text)
{
    QString result = text::trimmed(text);
    if (result.isEmpty()) {
        return std::nullopt;
    }
    return result;
}

std::optional<qint64> parseMetadataInteger(const QString& text)
{
    const QString trimmed = text::trimmed(text);
    if (trimmed.isEmpty()) {
        return std::nullopt;
    }
    qsizetype at = 0;
    const bool negative = trimmed.front() == u'-';
    if (negative || trimmed.front() == u'+') {
        ++at;
    }
    if (at == trimmed.size()) {
        return std::nullopt;
    }
    // Accumulated as a negative number, whose range reaches one further.
    constexpr qint64 lowest = std::numeric_limits<qint64>::min();
    qint64 value = 0;
    for (; at < trimmed.size(); ++at) {
        const char16_t c = trimmed.at(at).unicode();
        if (c < u'0' || c > u'9') {
            return std::nullopt;
        }
        const int digit = c - u'0';
        if (value < (lowest + digit) / 10) {
            return std::nullopt;
        }
        value = value * 10 - digit;
    }
    if (!negative) {
        if (value == lowest) {
            return std::nullopt;
        }
        value = -value;
    }
    return value;
}

} // namespace kivo
