#pragma once

#include "engines/artwork/ArtworkCache.h"
#include "ui/player/PlayerBarPresenter.h"

#include <QPointer>
#include <QWidget>

class QLabel;

namespace kivo {

class CompactWaveformSeekView;
class EonIconButton;
class PlayerEmptyStateView;
class PlayerIssueBanner;
class PlayerTrackInfoView;
class PlayerTransportControls;
class PlayerVolumeControl;
class QueueView;
class TrackFavoriteButton;

// The engines and the generator the bar works with; the owner keeps them alive.
struct PlayerBarEngines {
    AudioEngine& audio;
    QueueEngine& queue;
    LibraryEngine& library;
    ArtworkCache& artwork;
    WaveformGenerator& waveforms;
};

// The player bar along the bottom of the window: song, transport, seek bar
// with times, volume and the queue toggle. The queue panel and the issue
// banner float above the bar, so they live in `overlayHost` (the window's
// content), where the bar's own rectangle cannot clip them.
class BottomPlayerView : public QWidget {
    Q_OBJECT
public:
    static constexpr int barHeight = 104;

    BottomPlayerView(PlayerBarEngines engines, QWidget* overlayHost, QWidget* parent = nullptr);
    ~BottomPlayerView() override;

    PlayerBarPresenter& presenter() const { return *m_presenter; }
    PlayerTrackInfoView& trackInfo() const { return *m_trackInfo; }
    TrackFavoriteButton& favoriteButton() const { return *m_favorite; }
    PlayerTransportControls& transport() const { return *m_transport; }
    CompactWaveformSeekView& seekBar() const { return *m_seekBar; }
    PlayerVolumeControl& volume() const { return *m_volume; }
    EonIconButton& queueToggle() const { return *m_queueToggle; }
    QWidget& leftBlock() const { return *m_leftBlock; }
    PlayerEmptyStateView& emptyState() const { return *m_emptyState; }
    // Present while shown.
    QueueView* queuePanel() const;
    PlayerIssueBanner& banner() const;
    QString elapsedText() const;
    QString totalText() const;

    // The per-tick work: time labels and the seek bar's position.
    void updateTime();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void updateTrack();
    void updateWaveform();
    void updateQueuePanel(bool visible);
    void updateIssue(const std::optional<QString>& message);
    void placeOverlays();

    PlayerBarEngines m_engines;
    QPointer<QWidget> m_overlayHost;
    PlayerBarPresenter* m_presenter;
    QWidget* m_content;
    QWidget* m_leftBlock;
    PlayerTrackInfoView* m_trackInfo;
    TrackFavoriteButton* m_favorite;
    PlayerTransportControls* m_transport;
    QLabel* m_elapsed;
    CompactWaveformSeekView* m_seekBar;
    QLabel* m_total;
    PlayerVolumeControl* m_volume;
    EonIconButton* m_queueToggle;
    PlayerEmptyStateView* m_emptyState;
    QPointer<QWidget> m_queueFrame;
    QPointer<QWidget> m_focusBeforeQueue;
    QPointer<PlayerIssueBanner> m_banner;
    double m_totalSeconds = -1;
};

} // namespace kivo
