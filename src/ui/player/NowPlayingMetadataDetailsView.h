#pragma once

#include "model/Track.h"

#include <QWidget>

class QLabel;

namespace kivo {

// Seven label and value rows of a song's details (album artist, genre, year,
// track number, bitrate, sample rate, date added).
class NowPlayingMetadataDetailsView : public QWidget {
    Q_OBJECT
public:
    explicit NowPlayingMetadataDetailsView(QWidget* parent = nullptr);

    void setTrack(const Track& track);
    // The values shown, top to bottom.
    QStringList values() const;

private:
    QList<QLabel*> m_labels;
    QList<QLabel*> m_values;
};

} // namespace kivo
