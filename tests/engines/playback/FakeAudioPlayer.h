#pragma once

#include "platform/AudioPlayer.h"

#include <QHash>
#include <QMetaObject>
#include <QPointer>
#include <optional>
#include <vector>

namespace kivo::test {

// A player that plays nothing: the test sets its time and ends it, and reads
// back what the engine asked of it.
class FakeAudioPlayer final : public AudioPlayer {
public:
    FakeAudioPlayer(QUrl url, double duration)
        : m_url(std::move(url))
        , m_duration(duration)
    {
    }

    QUrl url() const override { return m_url; }
    double duration() const override { return m_duration; }

    bool prepareToPlay() override
    {
        ++prepareCalls;
        return prepareResult;
    }
    bool play() override
    {
        ++playCalls;
        playing = playResult;
        return playResult;
    }
    void pause() override
    {
        ++pauseCalls;
        playing = false;
    }
    void stop() override
    {
        ++stopCalls;
        playing = false;
    }
    bool isPlaying() const override { return playing; }

    double currentTime() const override { return time; }
    void setCurrentTime(double seconds) override
    {
        time = seconds;
        timesSet.push_back(seconds);
    }

    float volume() const override { return m_volume; }
    void setVolume(float volume) override
    {
        m_volume = volume;
        volumes.push_back(volume);
    }

    // Reports an end as the real player does: later, from the event loop.
    void finishLater(bool successfully)
    {
        playing = false;
        QMetaObject::invokeMethod(
            this, [this, successfully] { Q_EMIT finished(this, successfully); },
            Qt::QueuedConnection);
    }

    bool prepareResult = true;
    bool playResult = true;
    bool playing = false;
    double time = 0;
    int prepareCalls = 0;
    int playCalls = 0;
    int pauseCalls = 0;
    int stopCalls = 0;
    std::vector<double> timesSet;
    std::vector<float> volumes;

private:
    QUrl m_url;
    double m_duration;
    float m_volume = 1.0f;
};

// Opens fake players; what each file gives is scripted by its path. The file's
// contents are never read: an unscripted file lasts `defaults.duration`, 10 s.
class FakeAudioPlayerFactory final : public AudioPlayerFactory {
public:
    struct Script {
        double duration = 10.0;
        bool prepareResult = true;
        bool playResult = true;
        std::optional<QString> openError; // thrown as AudioPlayerError
    };

    std::unique_ptr<AudioPlayer> open(const QUrl& url) override
    {
        const Script script = scripts.value(url.toLocalFile(), defaults);
        ++openCalls;
        if (script.openError) {
            throw AudioPlayerError(*script.openError);
        }
        auto player = std::make_unique<FakeAudioPlayer>(url, script.duration);
        player->prepareResult = script.prepareResult;
        player->playResult = script.playResult;
        players.push_back(player.get());
        return player;
    }

    // The last player opened (null once the engine has deleted it).
    FakeAudioPlayer* last() const { return players.empty() ? nullptr : players.back().data(); }

    Script defaults;
    QHash<QString, Script> scripts;
    int openCalls = 0;
    std::vector<QPointer<FakeAudioPlayer>> players;
};

} // namespace kivo::test
