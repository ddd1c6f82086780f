#pragma once

#include "ui/player/PlayerVolumePresenter.h"

#include <QWidget>

class QSlider;

namespace kivo {

class EonSymbolButton;

// The mute button and the 88-wide volume slider; draws what the presenter
// reads from the audio engine.
class PlayerVolumeControl : public QWidget {
    Q_OBJECT
public:
    // A screen reader says the slider's value as a number: in percent.
    static constexpr int sliderSteps = 100;

    PlayerVolumeControl(AudioEngine& audio, QueueEngine& queue, QWidget* parent = nullptr);

    PlayerVolumePresenter& presenter() { return m_presenter; }
    EonSymbolButton& muteButton() const { return *m_mute; }
    QSlider& slider() const { return *m_slider; }
    // Re-reads the engine's volume (it has no change signal).
    void refresh();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    PlayerVolumePresenter m_presenter;
    EonSymbolButton* m_mute;
    QSlider* m_slider;
};

} // namespace kivo
