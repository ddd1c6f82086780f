#pragma once

#include "model/Track.h"

#include <QString>
#include <optional>

namespace kivo {

// The typed state of the single-song editor: what the fields show, whether
// Save may run, and the track Save hands on. Fields the editor does not show
// (disc number, composer, comments, technical data, bookmark) pass through.
class TrackEditorForm {
public:
    // Texts from the stored values: absent fields empty, numbers in decimal,
    // the duration as time text; the rating as stored, not clamped.
    explicit TrackEditorForm(Track track);

    QString title, artist, album, albumArtist, genre, year, trackNumber, duration, bpm, lyrics;
    qint64 rating = 0;

    const Track& original() const { return m_track; }

    // A title that is not blank, a finite duration of 0 or more (blank is 0),
    // and numbers that are blank or whole numbers exactly as typed (a blank
    // around the digits disables Save rather than being trimmed silently).
    bool canSave() const;
    // The original with the edited fields written; nothing when !canSave().
    std::optional<Track> editedTrack() const;

    // Star n: n, or 0 when the rating already is n.
    void tapStar(int n);
    // Lit stars: the rating held within 0...5.
    int litStars() const;

private:
    Track m_track;
};

} // namespace kivo
