#pragma once

#include "engines/playback/AudioEngine.h"

namespace kivo::test {

// An audio engine that plays nothing and tells nobody: fakes override only
// what their test or benchmark watches.
class StubAudioEngine : public AudioEngine {
public:
    AudioEngineDelegate* delegate() const override { return nullptr; }
    void setDelegate(AudioEngineDelegate*) override { }
    PlaybackState playbackState() const override { return PlaybackState::playing; }
    std::optional<Track> currentTrack() const override { return {}; }
    QList<Track> queue() const override { return {}; }
    double currentTime() const override { return 0; }
    double duration() const override { return 0; }
    double progress() const override { return 0; }
    bool isPlaying() const override { return true; }
    float volume() const override { return 1; }
    void setVolume(float) override { }
    void setQueue(const QList<Track>&, qsizetype) override { }
    void appendToQueue(const Track&) override { }
    void clearQueue() override { }
    void play(const Track&) override { }
    void resume() override { }
    void pause() override { }
    void stop() override { }
    void togglePlayback() override { }
    void nextTrack() override { }
    void previousTrack() override { }
    void seek(double) override { }
    bool isGaplessEnabled() const override { return false; }
    void setGaplessEnabled(bool) override { }
    double crossfadeDuration() const override { return 0; }
    void setCrossfadeDuration(double) override { }
    bool isReplayGainEnabled() const override { return false; }
    void setReplayGainEnabled(bool) override { }
    void fade(double, float) override { }
    void setOutputDevice(const QString&) override { }
};

} // namespace kivo::test
