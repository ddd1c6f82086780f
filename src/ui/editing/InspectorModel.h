#pragma once

#include "model/Track.h"

#include <QObject>
#include <QString>
#include <functional>

namespace kivo {

// The track inspector's state: one song's editable tags and rating, written
// back into the song at every change, and its technical data as display
// texts. The inputs start from the song and are never re-read from it: a host
// that shows another song makes a new inspector.
class InspectorModel : public QObject {
    Q_OBJECT
public:
    explicit InspectorModel(Track track, QObject* parent = nullptr);

    // The bound song with every edit so far.
    const Track& track() const { return m_track; }
    // The host changed the song (its title, technical data); the inputs stay.
    void setTrack(const Track& track);

    const QString& artistInput() const { return m_artist; }
    const QString& albumInput() const { return m_album; }
    const QString& genreInput() const { return m_genre; }
    const QString& bpmInput() const { return m_bpm; }
    qint64 ratingInput() const { return m_rating; }

    // Texts are stored exactly as typed; an empty text clears the tag. BPM
    // text that is no whole number stores no BPM and stays shown.
    void setArtistInput(const QString& text);
    void setAlbumInput(const QString& text);
    void setGenreInput(const QString& text);
    void setBpmInput(const QString& text);
    // Star n: n, or 0 when the rating already is n.
    void tapStar(int n);

    // TECHNICAL rows: "FLAC", "320 kbps", "44.1 kHz", "3:36", medium date;
    // "—" where the song has no value.
    QString formatText() const;
    QString bitrateText() const;
    QString sampleRateText() const;
    QString durationText() const;
    QString dateAddedText() const;

Q_SIGNALS:
    // After every edit, with the whole song.
    void trackEdited(const kivo::Track& track);

private:
    void write(const std::function<void(Track&)>& change);

    Track m_track;
    QString m_artist, m_album, m_genre, m_bpm;
    qint64 m_rating;
};

} // namespace kivo
