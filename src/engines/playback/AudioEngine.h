#pragma once

#include "model/Track.h"

#include <QList>
#include <QMetaType>
#include <QObject>
#include <QString>
#include <QUrl>
#include <exception>
#include <optional>
#include <string>

namespace kivo {

enum class PlaybackState { stopped, buffering, playing, paused, failed };

// The audio engine's error: one case per failure, each with its message.
class AudioPlaybackError : public std::exception {
public:
    enum class Case {
        missingFile,
        unreadableFile,
        emptyFile,
        invalidFormat,
        engineStartFailed,
        audioEngineUnavailable,
        outputDeviceRoutingUnavailable,
    };

    static AudioPlaybackError missingFile(const QUrl& url);
    static AudioPlaybackError unreadableFile(const QUrl& url, const QString& underlying);
    static AudioPlaybackError emptyFile(const QUrl& url);
    static AudioPlaybackError invalidFormat(const QUrl& url);
    static AudioPlaybackError engineStartFailed(const QString& underlying);
    static AudioPlaybackError audioEngineUnavailable();
    static AudioPlaybackError outputDeviceRoutingUnavailable();

    Case errorCase() const { return m_case; }
    // The file of the file cases; empty otherwise.
    const QUrl& url() const { return m_url; }
    // The underlying error's description (unreadableFile, engineStartFailed).
    const QString& underlyingDescription() const { return m_underlying; }
    QString errorDescription() const;
    const char* what() const noexcept override { return m_what.c_str(); }

private:
    AudioPlaybackError(Case errorCase, QUrl url, QString underlying);
    Case m_case;
    QUrl m_url;
    QString m_underlying;
    std::string m_what;
};

class AudioEngine;

// Hears everything the audio engine does, on the main thread. Every callback
// does nothing unless overridden. The engine holds its delegate weakly: a
// delegate that is a QObject is forgotten when it is destroyed; any other
// delegate must be unset before it goes.
class AudioEngineDelegate {
public:
    virtual ~AudioEngineDelegate() = default;

    virtual void audioEngineDidChangePlaybackState(AudioEngine& engine, PlaybackState state);
    virtual void audioEngineDidChangeTrack(AudioEngine& engine, const std::optional<Track>& track);
    virtual void audioEngineDidUpdateCurrentTime(AudioEngine& engine, double seconds);
    virtual void audioEngineDidFinishPlayback(AudioEngine& engine);
    // `error` is an AudioPlaybackError or a SecurityScopedAccessError.
    virtual void audioEngineDidFail(AudioEngine& engine, const std::exception_ptr& error);
};

// Plays one library track at a time. Lives on the main thread; every operation
// is synchronous. Published values: playbackState, currentTrack, currentTime
// and queue, each with its change signal (emitted after the value is in place).
class AudioEngine : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~AudioEngine() override = default;

    virtual AudioEngineDelegate* delegate() const = 0;
    virtual void setDelegate(AudioEngineDelegate* delegate) = 0;

    virtual PlaybackState playbackState() const = 0;
    virtual std::optional<Track> currentTrack() const = 0;
    virtual QList<Track> queue() const = 0;
    virtual double currentTime() const = 0; // seconds
    virtual double duration() const = 0; // seconds
    virtual double progress() const = 0; // 0...1
    virtual bool isPlaying() const = 0;
    virtual float volume() const = 0;
    // Clamped to 0...1 (not a number counts as 0) and applied at once.
    virtual void setVolume(float volume) = 0;

    virtual void setQueue(const QList<Track>& tracks, qsizetype startAt) = 0;
    virtual void appendToQueue(const Track& track) = 0;
    virtual void clearQueue() = 0;

    // Starts the track from the beginning. Throws AudioPlaybackError, or the
    // SecurityScopedAccessError of the track's file access unchanged.
    virtual void play(const Track& track) = 0;
    virtual void resume() = 0;
    virtual void pause() = 0;
    virtual void stop() = 0;
    virtual void togglePlayback() = 0;
    virtual void nextTrack() = 0;
    virtual void previousTrack() = 0;
    virtual void seek(double seconds) = 0;

    virtual bool isGaplessEnabled() const = 0;
    virtual void setGaplessEnabled(bool enabled) = 0;
    virtual double crossfadeDuration() const = 0;
    virtual void setCrossfadeDuration(double seconds) = 0;
    virtual bool isReplayGainEnabled() const = 0;
    virtual void setReplayGainEnabled(bool enabled) = 0;

    // Moves the volume to `targetVolume` in steps of 0.02 s over `duration`.
    virtual void fade(double duration, float targetVolume) = 0;
    // Throws AudioPlaybackError (outputDeviceRoutingUnavailable).
    virtual void setOutputDevice(const QString& id) = 0;

Q_SIGNALS:
    void playbackStateChanged(kivo::PlaybackState state);
    void currentTrackChanged(const std::optional<kivo::Track>& track);
    void currentTimeChanged(double seconds);
    void queueChanged(const QList<kivo::Track>& queue);
};

} // namespace kivo

Q_DECLARE_METATYPE(kivo::PlaybackState)
Q_DECLARE_METATYPE(std::optional<kivo::Track>)
