#pragma once

#include "engines/playback/AudioEngineImpl.h"
#include "model/ErrorText.h"
#include "platform/SecurityScopedResource.h"

#include "FakeAudioPlayer.h"
#include "support/TempDir.h"

#include <QStringList>
#include <QUuid>
#include <gtest/gtest.h>

namespace kivo::test {

inline QString stateText(PlaybackState state)
{
    static const char* const names[] = { "stopped", "buffering", "playing", "paused", "failed" };
    return QString::fromLatin1(names[int(state)]);
}

// Writes every notice down as a line: "state:playing", "track:A",
// "time:1.50", "finish", "fail:<message>".
class RecordingDelegate : public AudioEngineDelegate {
public:
    void audioEngineDidChangePlaybackState(AudioEngine&, PlaybackState state) override
    {
        events << QStringLiteral("state:") + stateText(state);
    }
    void audioEngineDidChangeTrack(AudioEngine&, const std::optional<Track>& track) override
    {
        events << QStringLiteral("track:") + (track ? track->title : QStringLiteral("none"));
    }
    void audioEngineDidUpdateCurrentTime(AudioEngine&, double seconds) override
    {
        events << QStringLiteral("time:") + QString::number(seconds, 'f', 2);
    }
    void audioEngineDidFinishPlayback(AudioEngine&) override { events << QStringLiteral("finish"); }
    void audioEngineDidFail(AudioEngine&, const std::exception_ptr& error) override
    {
        events << QStringLiteral("fail:") + describeError(error);
        errors.push_back(error);
    }

    // The lines so far, forgetting them.
    QStringList take() { return std::exchange(events, {}); }

    QStringList events;
    std::vector<std::exception_ptr> errors;
};

// Lets access begin for any path, so that a file missing behind its access
// can be tested.
class PermissiveFileAccess final : public FileAccessPlatform {
public:
    bool startAccessing(const QUrl&) override { return false; }
    void stopAccessing(const QUrl&) override { }
    QByteArray bookmarkData(const QUrl& url) override { return url.toString().toUtf8(); }
    QUrl resolveBookmark(const QByteArray& bookmark, bool&) override
    {
        return QUrl(QString::fromUtf8(bookmark));
    }
    bool refusesReading(const QString&) override { return false; }
};

// An engine on fake players, with a recording delegate.
class AudioEngineTest : public TempDirTest {
protected:
    void SetUp() override
    {
        TempDirTest::SetUp();
        factory = std::make_shared<FakeAudioPlayerFactory>();
        engine = std::make_unique<TavrenAudioEngine>(factory);
        engine->setDelegate(&delegate);
    }

    void TearDown() override { FileAccessPlatform::setShared(nullptr); }

    // A track whose file exists (its content matters only to real players).
    Track track(const QString& title, double duration = 10.0)
    {
        const QString file = writeFile(title + QStringLiteral(".mp3"), "audio");
        factory->scripts[file].duration = duration;
        return Track::make(QUuid::createUuid(), QUrl::fromLocalFile(file),
            title + QStringLiteral(".mp3"), title, duration, Date::now());
    }

    FakeAudioPlayer* player() const { return factory->last(); }

    // Runs `action`, which must throw E; returns the error.
    template <typename E, typename F> static E thrown(F&& action)
    {
        try {
            action();
        } catch (const E& error) {
            return error;
        }
        ADD_FAILURE() << "nothing of the expected type was thrown";
        throw std::logic_error("no error");
    }

    RecordingDelegate delegate;
    std::shared_ptr<FakeAudioPlayerFactory> factory;
    std::unique_ptr<TavrenAudioEngine> engine;
};

} // namespace kivo::test
