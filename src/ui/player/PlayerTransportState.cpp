#include "ui/player/PlayerTransportState.h"

using namespace Qt::Literals::StringLiterals;

namespace kivo {

PlayerTransportState PlayerTransportState::read(const AudioEngine& audio, const QueueEngine& queue)
{
    PlayerTransportState state;
    const PlaybackState playback = audio.playbackState();
    const bool hasSong = audio.currentTrack().has_value();
    const bool playing = playback == PlaybackState::playing;
    const RepeatMode repeat = queue.repeatMode();
    state.isBuffering = playback == PlaybackState::buffering;
    state.previousEnabled = hasSong;
    state.playPauseEnabled = hasSong && !state.isBuffering;
    state.nextEnabled = queue.upcomingCount() > 0
        || (queue.currentTrack().has_value() && repeat != RepeatMode::off);
    state.shuffleActive = queue.shuffleMode() != ShuffleMode::off;
    state.repeatActive = repeat != RepeatMode::off;
    state.playPauseSymbol = playing ? u"pause.fill"_s : u"play.fill"_s;
    state.playPauseText = playing ? u"Pause"_s : u"Play"_s;
    state.shuffleHelp = state.shuffleActive ? u"Turn shuffle off"_s : u"Turn shuffle on"_s;
    state.repeatSymbol = repeat == RepeatMode::track ? u"repeat.1"_s : u"repeat"_s;
    switch (repeat) {
    case RepeatMode::off:
        state.repeatHelp = u"Repeat Off \u2014 click for Repeat All"_s;
        state.repeatLabel = u"Repeat Off"_s;
        break;
    case RepeatMode::track:
        state.repeatHelp = u"Repeat One \u2014 click to turn repeat off"_s;
        state.repeatLabel = u"Repeat One"_s;
        break;
    case RepeatMode::all:
        state.repeatHelp = u"Repeat All \u2014 click for Repeat One"_s;
        state.repeatLabel = u"Repeat All"_s;
        break;
    }
    return state;
}

ShuffleMode PlayerTransportState::nextShuffle(ShuffleMode mode)
{
    return mode == ShuffleMode::off ? ShuffleMode::standard : ShuffleMode::off;
}

RepeatMode PlayerTransportState::nextRepeat(RepeatMode mode)
{
    switch (mode) {
    case RepeatMode::off:
        return RepeatMode::all;
    case RepeatMode::all:
        return RepeatMode::track;
    case RepeatMode::track:
        break;
    }
    return RepeatMode::off;
}

void PlayerTransportState::toggleShuffle(QueueEngine& queue)
{
    queue.setShuffleMode(nextShuffle(queue.shuffleMode()));
}

void PlayerTransportState::cycleRepeat(QueueEngine& queue)
{
    queue.setRepeatMode(nextRepeat(queue.repeatMode()));
}

void PlayerTransportState::playPause(AudioEngine& audio)
{
    if (audio.playbackState() == PlaybackState::playing) {
        audio.pause();
    } else {
        audio.resume();
    }
}

} // namespace kivo
