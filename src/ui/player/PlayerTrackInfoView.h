#pragma once

#include "engines/artwork/ArtworkCache.h"
#include "engines/playback/AudioEngine.h"

#include <QImage>
#include <QWidget>

class QLabel;

namespace kivo {

// The song block of the player bar: artwork, title, artist and the player's
// status. The artwork is loaded once per song id; a load that finishes after
// the song changed is dropped, so the square never shows another song.
class PlayerTrackInfoView : public QWidget {
    Q_OBJECT
public:
    explicit PlayerTrackInfoView(ArtworkCache& artwork, QWidget* parent = nullptr);

    void setTrack(const Track& track, PlaybackState state);

    static QString statusText(PlaybackState state);
    static QString artistText(const Track& track);
    const QImage& artworkImage() const { return m_image; }
    QString title() const;
    QString status() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QCoro::Task<> loadArtwork(quint64 generation, Track track);

    ArtworkCache& m_artwork;
    QWidget* m_square;
    QLabel* m_title;
    QLabel* m_artist;
    QLabel* m_status;
    std::optional<QUuid> m_trackID;
    quint64 m_generation = 0;
    QImage m_image;
};

} // namespace kivo
