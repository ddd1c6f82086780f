#pragma once

#include "engines/playback/AudioEngine.h"
#include "engines/playback/QueueEngine.h"

#include <QString>

namespace kivo {

// What the transport row shows, read from the two engines on every change.
// Previous and play/pause follow the audio engine's song; next follows the
// queue engine's lists.
struct PlayerTransportState {
    bool previousEnabled = false;
    bool playPauseEnabled = false;
    bool nextEnabled = false;
    bool shuffleActive = false;
    bool repeatActive = false;
    bool isBuffering = false;
    QString playPauseSymbol; // "play.fill" or "pause.fill"
    QString playPauseText; // help text and spoken label
    QString shuffleHelp;
    QString repeatSymbol;
    QString repeatHelp;
    QString repeatLabel;

    static PlayerTransportState read(const AudioEngine& audio, const QueueEngine& queue);

    // Off turns to standard; standard and smart turn off.
    static ShuffleMode nextShuffle(ShuffleMode mode);
    // Off, all, track, off.
    static RepeatMode nextRepeat(RepeatMode mode);

    // The button actions.
    static void toggleShuffle(QueueEngine& queue);
    static void cycleRepeat(QueueEngine& queue);
    // Pauses while playing; resumes in every other state.
    static void playPause(AudioEngine& audio);
};

} // namespace kivo
