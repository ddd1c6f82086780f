#pragma once

#include <QObject>
#include <QString>
#include <QUrl>
#include <exception>
#include <memory>
#include <string>

namespace kivo {

// A file that cannot be opened for playback, with the reason in readable words.
class AudioPlayerError : public std::exception {
public:
    explicit AudioPlayerError(QString description);

    const QString& description() const { return m_description; }
    const char* what() const noexcept override { return m_what.c_str(); }

private:
    QString m_description;
    std::string m_what;
};

// Plays one audio file. Lives on the main thread and is used only there.
//
// - duration() is known once the player exists (seconds; 0 without frames).
// - prepareToPlay() and play() return at once; play() resumes from
//   currentTime(), pause() keeps the position, stop() ends output without
//   reporting an end.
// - currentTime() is readable in every state, advances only while playing and
//   follows what is heard; setting it is allowed in every state and reads back
//   at once.
// - setVolume() (0...1, linear) takes effect within one output buffer.
// - finished() is emitted exactly once per natural end, later, from the main
//   event loop, never from inside a call into the player; it is never emitted
//   once the player is destroyed, nor for an end that a later pause(), stop(),
//   play() or setCurrentTime() overtook. A decode error mid-stream ends
//   playback with `successfully` false.
// - Destroying a player stops its output and joins its threads.
class AudioPlayer : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~AudioPlayer() override = default;

    virtual QUrl url() const = 0;
    virtual double duration() const = 0;

    virtual bool prepareToPlay() = 0;
    virtual bool play() = 0;
    virtual void pause() = 0;
    virtual void stop() = 0;
    virtual bool isPlaying() const = 0;

    virtual double currentTime() const = 0;
    virtual void setCurrentTime(double seconds) = 0;

    virtual float volume() const = 0;
    virtual void setVolume(float volume) = 0;

Q_SIGNALS:
    // `player` is the emitter itself, so that a receiver can tell a replaced
    // player's report from the current one's.
    void finished(kivo::AudioPlayer* player, bool successfully);
};

// Opens players. The default one decodes with FFmpeg and plays through the
// system's default audio output, or through a silent clock-driven output when
// the machine has none.
class AudioPlayerFactory {
public:
    virtual ~AudioPlayerFactory() = default;

    // Probes the file synchronously (container, codec and stream only) and
    // returns a ready player. Throws AudioPlayerError.
    virtual std::unique_ptr<AudioPlayer> open(const QUrl& url) = 0;

    static std::shared_ptr<AudioPlayerFactory> createDefault();
};

} // namespace kivo
