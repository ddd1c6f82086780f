#include "ui/player/PlayerVolumePresenter.h"

#include <algorithm>

using namespace Qt::Literals::StringLiterals;

namespace kivo {

PlayerVolumePresenter::PlayerVolumePresenter(AudioEngine& audio, QueueEngine& queue)
    : m_audio(audio)
    , m_queue(queue)
{
}

QString PlayerVolumePresenter::symbolName(float volume)
{
    if (isMuted(volume)) {
        return u"speaker.slash.fill"_s;
    }
    if (volume < 0.4f) {
        return u"speaker.wave.1.fill"_s;
    }
    return volume < 0.75f ? u"speaker.wave.2.fill"_s : u"speaker.wave.3.fill"_s;
}

QString PlayerVolumePresenter::muteLabel(float volume)
{
    return isMuted(volume) ? u"Unmute"_s : u"Mute"_s;
}

void PlayerVolumePresenter::toggleMute()
{
    const float current = m_audio.volume();
    if (!isMuted(current)) {
        m_lastAudible = current;
        m_audio.setVolume(0);
    } else {
        m_audio.setVolume(
            std::min(m_lastAudible <= unmuteFloor ? unmuteFloor : m_lastAudible, 1.0f));
    }
    m_queue.savePlaybackState(false);
}

void PlayerVolumePresenter::sliderChanged(double value)
{
    const float clamped = value > 0 ? (value > 1 ? 1.0f : float(value)) : 0.0f;
    m_audio.setVolume(clamped);
    if (value > 0.01) {
        m_lastAudible = clamped;
    }
    if (!m_sliderHeld) {
        m_queue.savePlaybackState(false);
    }
}

void PlayerVolumePresenter::sliderEditingChanged(bool editing)
{
    m_sliderHeld = editing;
    if (!editing) {
        m_queue.savePlaybackState(false);
    }
}

} // namespace kivo
