#pragma once

#include "model/TextRules.h"
#include "model/Track.h"

#include <QByteArray>
#include <QString>
#include <optional>
#include <type_traits>

namespace kivo {

// One field's change in a shared edit: write a value (absent clears the
// field) or leave each song's value as it is.
template <typename T> struct OptionalMetadataChange {
    bool isSet = false;
    std::optional<T> value; // meaningful only when isSet

    static OptionalMetadataChange set(std::optional<T> newValue) { return { true, newValue }; }
    static OptionalMetadataChange unchanged() { return {}; }

    bool operator==(const OptionalMetadataChange& other) const
    {
        if (isSet != other.isSet || !isSet) {
            return isSet == other.isSet;
        }
        if constexpr (std::is_same_v<T, QString>) {
            return value.has_value() == other.value.has_value()
                && (!value || text::equal(*value, *other.value));
        } else {
            return value == other.value;
        }
    }
};

// Give every song these bytes, or leave each song's artwork.
struct SharedArtworkChange {
    std::optional<QByteArray> replacement; // absent: unchanged

    static SharedArtworkChange replace(QByteArray bytes) { return { std::move(bytes) }; }
    static SharedArtworkChange unchanged() { return {}; }
    bool isReplace() const { return replacement.has_value(); }

    bool operator==(const SharedArtworkChange&) const = default;
};

// Which of a track's shared fields a patch writes.
struct SharedMetadataFields {
    bool artist = false, album = false, albumArtist = false, genre = false, year = false,
         discNumber = false, composer = false, comments = false, bpm = false, rating = false;

    bool operator==(const SharedMetadataFields&) const = default;

    // `target` with the chosen fields taken from `source`.
    Track overlay(Track target, const Track& source) const;
};

// The change one shared edit makes to every selected song.
struct SharedTrackMetadataPatch {
    OptionalMetadataChange<QString> artist, album, albumArtist, genre;
    OptionalMetadataChange<qint64> year, discNumber;
    OptionalMetadataChange<QString> composer, comments;
    OptionalMetadataChange<qint64> bpm;
    std::optional<qint64> rating; // absent: ratings stay; there is no clearing
    SharedArtworkChange artwork;

    bool operator==(const SharedTrackMetadataPatch&) const = default;

    // No field, no rating and no artwork.
    bool changesNothing() const;
    // No field and no rating (the artwork may be replaced).
    bool isArtworkOnly() const;
    // The track fields this patch writes.
    SharedMetadataFields fields() const;

    // The track with the set fields written and the rating clamped to 0...5;
    // every other field (title, track number, …) stays.
    Track apply(Track track) const;
};

} // namespace kivo
