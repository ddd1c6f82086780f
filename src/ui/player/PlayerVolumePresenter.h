#pragma once

#include "engines/playback/AudioEngine.h"
#include "engines/playback/QueueEngine.h"

#include <QString>

namespace kivo {

// The volume group's logic: mute with the last audible level, the slider, and
// one session save per finished change. The volume itself stays the audio
// engine's; nothing here keeps a copy of it.
class PlayerVolumePresenter {
public:
    static constexpr float initialAudibleVolume = 0.8f;
    static constexpr float unmuteFloor = 0.25f;

    PlayerVolumePresenter(AudioEngine& audio, QueueEngine& queue);

    float volume() const { return m_audio.volume(); }
    float lastAudibleVolume() const { return m_lastAudible; }
    static bool isMuted(float volume) { return volume <= 0.001f; }
    static QString symbolName(float volume);
    static QString muteLabel(float volume);

    // Mutes, or restores the last audible level (at least 0.25); saves once.
    void toggleMute();
    // A slider move. While the slider is held the drag's end saves; a change
    // without a hold (wheel, keys, a page click) is finished at once and saves.
    void sliderChanged(double value);
    void sliderEditingChanged(bool editing);

private:
    AudioEngine& m_audio;
    QueueEngine& m_queue;
    float m_lastAudible = initialAudibleVolume;
    bool m_sliderHeld = false;
};

} // namespace kivo
