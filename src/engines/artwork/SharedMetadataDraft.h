#pragma once

#include "engines/artwork/SharedTrackMetadataPatch.h"
#include "model/Track.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

namespace kivo {

// One field of the shared editor.
struct AppliedTextMetadataDraft {
    QString value; // what the field shows and the user edits
    bool isApplied = false; // only applied fields reach the songs
    bool hadMixedValues = false; // the songs disagreed when the draft was built

    bool operator==(const AppliedTextMetadataDraft& other) const;
};

// The shared editor's state for two or more songs. Number fields hold
// decimal text.
struct SharedMetadataDraft {
    AppliedTextMetadataDraft artist, album, albumArtist, genre, year, discNumber, composer,
        comments, bpm;
    qint64 rating = 0; // stars 0 to 5
    bool isRatingApplied = false;
    std::optional<QByteArray> replacementArtworkData; // absent: each song keeps its artwork
    bool hadMixedRatings = false;

    bool operator==(const SharedMetadataDraft& other) const;

    // The starting state: each field holds the value all songs share (empty,
    // and marked mixed, when they disagree); nothing applied.
    static SharedMetadataDraft fromTracks(const QList<Track>& tracks);

    // The message for an applied, non-blank field that is no whole number in
    // [minimum, maximum]; nothing otherwise (blank means "clear").
    static std::optional<QString> validationMessage(
        const AppliedTextMetadataDraft& field, const QString& name, qint64 minimum, qint64 maximum);

    // Applied texts trimmed (blank clears), applied numbers parsed (blank or
    // not a number clears), the rating clamped to 0...5.
    SharedTrackMetadataPatch makePatch() const;
};

// Trimmed of white space and line breaks; empty gives nothing.
std::optional<QString> normalizedMetadataText(const QString& text);

// The trimmed text as a signed 64-bit decimal: one optional "+" or "-", then
// ASCII digits only. Anything else, a lone sign or overflow gives nothing.
std::optional<qint64> parseMetadataInteger(const QString& text);

} // namespace kivo
