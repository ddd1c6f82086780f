#pragma once

#include "model/Track.h"
#include "ui/eon/EonAlert.h"

#include <QPointer>
#include <QWidget>
#include <optional>

namespace kivo {

class EonIconButton;
class LibraryEngine;
class TrackFavoriteState;

// The favourite heart of the player bar and the now-playing panel: an icon
// button over the song's favourite state, a small spinner over it while the
// change is saved (the button is disabled then), and the "Favorite Could Not
// Be Updated" alert when the library refuses the change. The library engine
// must outlive the button.
class TrackFavoriteButton : public QWidget {
    Q_OBJECT
public:
    TrackFavoriteButton(LibraryEngine& library, int size, QWidget* parent = nullptr);
    ~TrackFavoriteButton() override;

    // The song to show (the library's newest copy of it is what shows).
    void setTrack(std::optional<Track> track);

    TrackFavoriteState& state() const { return *m_state; }
    EonIconButton* button() const { return m_button; }
    // The failure alert while it is up.
    EonAlert* alert() const { return m_alert; }
    bool isSpinnerVisible() const;

private:
    class Spinner;
    void refresh();
    void showAlert();

    TrackFavoriteState* m_state;
    EonIconButton* m_button;
    Spinner* m_spinner;
    QPointer<EonAlert> m_alert;
};

} // namespace kivo
