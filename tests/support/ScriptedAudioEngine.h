#pragma once

#include "support/StubAudioEngine.h"

#include <QStringList>
#include <algorithm>
#include <utility>

namespace kivo::test {

// An audio engine whose state the test sets and which writes down what it is
// asked: `calls` logs the title of every song played, "pause", "resume",
// "seek:<seconds>" (which also moves `time`) and "cleared". play() throws
// missingFile for the songs in `unplayable`. It tells its delegate nothing:
// tests send the notices themselves; setCurrent announces a new song.
class ScriptedAudioEngine final : public StubAudioEngine {
public:
    std::optional<Track> current;
    PlaybackState state = PlaybackState::stopped;
    double time = 0;
    double engineDuration = 0;
    float engineVolume = 1;
    QList<QUuid> unplayable;
    QStringList calls;

    PlaybackState playbackState() const override { return state; }
    bool isPlaying() const override { return state == PlaybackState::playing; }
    std::optional<Track> currentTrack() const override { return current; }
    double currentTime() const override { return time; }
    double duration() const override { return engineDuration; }
    float volume() const override { return engineVolume; }
    void setVolume(float volume) override { engineVolume = std::clamp(volume, 0.0f, 1.0f); }

    void play(const Track& track) override
    {
        if (unplayable.contains(track.id)) {
            throw AudioPlaybackError::missingFile(track.fileURL);
        }
        calls << track.title;
    }
    void resume() override { calls << QStringLiteral("resume"); }
    void pause() override { calls << QStringLiteral("pause"); }
    void seek(double seconds) override { calls << QStringLiteral("seek:%1").arg(time = seconds); }
    void clearQueue() override { calls << QStringLiteral("cleared"); }

    void setCurrent(std::optional<Track> track)
    {
        current = std::move(track);
        Q_EMIT currentTrackChanged(current);
    }
    // The calls since the last take.
    QStringList take() { return std::exchange(calls, {}); }
};

} // namespace kivo::test
