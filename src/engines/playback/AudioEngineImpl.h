#pragma once

#include "engines/playback/AudioEngine.h"
#include "platform/AudioPlayer.h"
#include "platform/SecurityScopedResource.h"

#include <QPointer>
#include <QTimer>
#include <memory>

namespace kivo {

// The audio engine: plays one track at a time through an AudioPlayer, with a
// 0.05 s progress timer, a small queue of its own, a stepped volume fade and
// three stored settings.
class TavrenAudioEngine final : public AudioEngine {
    Q_OBJECT
public:
    explicit TavrenAudioEngine(
        std::shared_ptr<AudioPlayerFactory> playerFactory = AudioPlayerFactory::createDefault(),
        QObject* parent = nullptr);
    ~TavrenAudioEngine() override;

    AudioEngineDelegate* delegate() const override;
    void setDelegate(AudioEngineDelegate* delegate) override;

    PlaybackState playbackState() const override { return m_playbackState; }
    std::optional<Track> currentTrack() const override { return m_currentTrack; }
    QList<Track> queue() const override { return m_queue; }
    double currentTime() const override { return m_currentTime; }
    double duration() const override;
    double progress() const override;
    bool isPlaying() const override { return m_playbackState == PlaybackState::playing; }
    float volume() const override { return m_outputVolume; }
    void setVolume(float volume) override;
    // The volume applied to every new player (what volume() reads).
    float outputVolume() const { return m_outputVolume; }

    void setQueue(const QList<Track>& tracks, qsizetype startAt) override;
    void appendToQueue(const Track& track) override;
    void clearQueue() override;
    qsizetype currentIndex() const { return m_currentIndex; }

    void play(const Track& track) override;
    // Loads the track at `time` without starting it (a restored session).
    // Throws like play().
    void restore(const Track& track, double time);
    void resume() override;
    void pause() override;
    void stop() override;
    void togglePlayback() override;
    void nextTrack() override;
    void previousTrack() override;
    void seek(double seconds) override;

    bool isGaplessEnabled() const override { return m_isGaplessEnabled; }
    void setGaplessEnabled(bool enabled) override { m_isGaplessEnabled = enabled; }
    double crossfadeDuration() const override { return m_crossfadeDuration; }
    void setCrossfadeDuration(double seconds) override { m_crossfadeDuration = seconds; }
    bool isReplayGainEnabled() const override { return m_isReplayGainEnabled; }
    void setReplayGainEnabled(bool enabled) override { m_isReplayGainEnabled = enabled; }

    void fade(double duration, float targetVolume) override;
    void setOutputDevice(const QString& id) override;

private:
    struct LoadedPlayer {
        std::unique_ptr<AudioPlayer> player;
        std::shared_ptr<SecurityScopedResource> access;
    };

    LoadedPlayer loadPlayer(const Track& track);
    void startPlayback(const Track& track, double time, bool autoplay);
    void setPlaybackState(PlaybackState state);
    void setCurrentTrack(const std::optional<Track>& track);
    void publishCurrentTime(double seconds);
    void startProgressTimer();
    void stopProgressTimer();
    void progressTick();
    void fail(const std::exception_ptr& error);
    void playerDidFinish(AudioPlayer* player, bool successfully);
    void releasePlayer();
    void fadeStep();

    template <typename Notice> void tellDelegate(Notice&& notice)
    {
        if (AudioEngineDelegate* target = delegate()) {
            notice(*target);
        }
    }

    std::shared_ptr<AudioPlayerFactory> m_playerFactory;

    AudioEngineDelegate* m_delegate = nullptr;
    QPointer<QObject> m_delegateObject; // set when the delegate is a QObject
    bool m_delegateIsObject = false;

    QList<Track> m_queue;
    PlaybackState m_playbackState = PlaybackState::stopped;
    std::optional<Track> m_currentTrack;
    double m_currentTime = 0;
    qsizetype m_currentIndex = 0;
    std::unique_ptr<AudioPlayer> m_audioPlayer;
    std::shared_ptr<SecurityScopedResource> m_activeSecurityAccess;
    QTimer m_progressTimer;
    QTimer m_fadeTimer;
    float m_outputVolume = 1.0f;
    bool m_isGaplessEnabled = true;
    double m_crossfadeDuration = 0;
    bool m_isReplayGainEnabled = true;

    // The running fade.
    float m_fadeStart = 0;
    float m_fadeTarget = 0;
    qint64 m_fadeSteps = 0;
    qint64 m_fadeStep = 0;
};

} // namespace kivo
