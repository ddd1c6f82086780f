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
    if (albumArtist.isSet) {
        track.setAlbumArtist(albumArtist.value);
    }
    applyChange(genre, track.genre);
    applyChange(year, track.year);
    applyChange(discNumber, track.discNumber);
    if (composer.isSet) {
        track.setComposer(composer.value);
    }
    if (comments.isSet) {
        track.setComments(comments.value);
    }
    applyChange(bpm, track.bpm);
    if (rating) {
        track.rating = Track::clampedRating(*rating);
    }
    return track;
}

} // namespace kivo
