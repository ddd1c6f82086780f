#pragma once

#include "model/Track.h"

#include <QObject>
#include <QString>
#include <QUrl>
#include <optional>
#include <qcoro/qcorotask.h>

namespace kivo {

class TrackListController;

// A failure of an action that has no sheet to show it in (a favourite, an
// artwork change): shown as an alert until dismissed.
struct TrackListAlert {
    QString title;
    QString message;

    bool operator==(const TrackListAlert&) const = default;
};

// The one-song actions of a track list screen that need no sheet: the
// favourite heart, choosing and removing artwork, showing the file. A failure
// becomes the action alert; a wait that ends after the screen is gone changes
// nothing of it, and one that ends after the user chose another song leaves
// the selected song alone. Main thread only.
class TrackListSongActions : public QObject {
    Q_OBJECT
public:
    explicit TrackListSongActions(TrackListController& screen);

    // Writes the opposite favourite state of this copy of the song.
    void toggleFavorite(const Track& track);
    void chooseArtwork(const Track& track);
    void removeArtwork(const Track& track);
    void revealInFileManager(const Track& track);

    const std::optional<TrackListAlert>& alert() const { return m_alert; }
    void dismissAlert();

    static QString favoriteAlertTitle();
    static QString artworkAlertTitle();

Q_SIGNALS:
    void alertChanged();

private:
    void setAlert(std::optional<TrackListAlert> alert);
    QCoro::Task<> runFavorite(Track toggled);
    QCoro::Task<> runArtwork(QUrl file, Track track);

    TrackListController& m_screen;
    std::optional<TrackListAlert> m_alert;
};

} // namespace kivo
