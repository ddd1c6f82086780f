#include "engines/artwork/SharedTrackMetadataPatch.h"

#include <algorithm>

namespace kivo {

namespace {

template <typename T, typename Field>
void applyChange(const OptionalMetadataChange<T>& change, Field& field)
{
    if (change.isSet) {
        field = change.value;
    }
}

// The same for a field the track keeps behind a setter.
template <typename T, typename Setter>
void applyChange(const OptionalMetadataChange<T>& change, Track& track, Setter set)
{
    if (change.isSet) {
        (track.*set)(change.value);
    }
}

} // namespace

Track SharedMetadataFields::overlay(Track target, const Track& source) const
{
    if (artist) {
        target.artist = source.artist;
    }
    if (album) {
        target.album = source.album;
    }
    if (albumArtist) {
        target.setAlbumArtist(source.albumArtist());
    }
    if (genre) {
        target.genre = source.genre;
    }
    if (year) {
        target.year = source.year;
    }
    if (discNumber) {
        target.discNumber = source.discNumber;
    }
    if (composer) {
        target.setComposer(source.composer());
    }
    if (comments) {
        target.setComments(source.comments());
    }
    if (bpm) {
        target.bpm = source.bpm;
    }
    if (rating) {
        target.rating = source.rating;
    }
    return target;
}

bool SharedTrackMetadataPatch::isArtworkOnly() const
{
    return fields() == SharedMetadataFields {};
}

bool SharedTrackMetadataPatch::changesNothing() const
{
    return isArtworkOnly() && !artwork.isReplace();
}

SharedMetadataFields SharedTrackMetadataPatch::fields() const
{
    return { artist.isSet, album.isSet, albumArtist.isSet, genre.isSet, year.isSet,
        discNumber.isSet, composer.isSet, comments.isSet, bpm.isSet, rating.has_value() };
}

Track SharedTrackMetadataPatch::apply(Track track) const
{
    applyChange(artist, track.artist);
    applyChange(album, track.album);
    applyChange(albumArtist, track, &Track::setAlbumArtist);
    applyChange(genre, track.genre);
    applyChange(year, track.year);
    applyChange(discNumber, track.discNumber);
    applyChange(composer, track, &Track::setComposer);
    applyChange(comments, track, &Track::setComments);
    applyChange(bpm, track.bpm);
    if (rating) {
        track.rating = Track::clampedRating(*rating);
    }
    return track;
}

} // namespace kivo
