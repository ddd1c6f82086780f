#pragma once

#include "engines/playback/WaveformGenerator.h"
#include "support/StubAudioEngine.h"
#include "support/StubLibraryEngine.h"
#include "support/StubQueueEngine.h"

#include <QCoreApplication>
#include <QFuture>
#include <QPromise>
#include <QStringList>
#include <memory>
#include <qcoro/qcorofuture.h>

namespace kivo::test {

inline Track song(const QString& title, double duration = 200)
{
    Track track;
    track.id = QUuid::createUuid();
    track.title = title;
    track.duration = duration;
    return track;
}

// An audio engine whose state the test sets; records what it is asked to do.
class FakeAudioEngine : public StubAudioEngine {
public:
    std::optional<Track> current;
    PlaybackState state = PlaybackState::stopped;
    double engineDuration = 0;
    float engineVolume = 1;
    QStringList calls;

    PlaybackState playbackState() const override { return state; }
    std::optional<Track> currentTrack() const override { return current; }
    double duration() const override { return engineDuration; }
    float volume() const override { return engineVolume; }
    void setVolume(float volume) override { engineVolume = std::clamp(volume, 0.0f, 1.0f); }
    void resume() override { calls << QStringLiteral("resume"); }
    void pause() override { calls << QStringLiteral("pause"); }
    void seek(double seconds) override { calls << QStringLiteral("seek %1").arg(seconds); }
    void setCurrent(std::optional<Track> track)
    {
        current = std::move(track);
        Q_EMIT currentTrackChanged(current);
    }
};

// A queue whose lists the test sets; records every call as text.
class FakeQueueEngine : public StubQueueEngine {
public:
    std::optional<Track> current;
    QList<Track> upcomingList;
    QList<Track> historyList;
    RepeatMode repeat = RepeatMode::off;
    ShuffleMode shuffle = ShuffleMode::off;
    std::exception_ptr playbackError;
    std::exception_ptr persistenceError;
    QStringList calls;

    std::optional<Track> currentTrack() const override { return current; }
    QList<Track> upcoming() const override { return upcomingList; }
    QList<Track> history() const override { return historyList; }
    RepeatMode repeatMode() const override { return repeat; }
    void setRepeatMode(RepeatMode mode) override { repeat = mode; }
    ShuffleMode shuffleMode() const override { return shuffle; }
    void setShuffleMode(ShuffleMode mode) override { shuffle = mode; }
    std::exception_ptr lastPlaybackError() const override { return playbackError; }
    std::exception_ptr lastPersistenceError() const override { return persistenceError; }
    void clearReportedErrors() override
    {
        playbackError = nullptr;
        persistenceError = nullptr;
        Q_EMIT lastPlaybackErrorChanged(nullptr);
        Q_EMIT lastPersistenceErrorChanged(nullptr);
    }
    void savePlaybackState(bool) override { calls << QStringLiteral("save"); }
    void playNow(const QList<Track>& tracks, qsizetype at) override
    {
        QStringList titles;
        for (const Track& t : tracks) {
            titles << t.title;
        }
        calls << QStringLiteral("playNow [%1] %2").arg(titles.join(u' ')).arg(at);
    }
    void move(qsizetype from, qsizetype to) override
    {
        calls << QStringLiteral("move %1 %2").arg(from).arg(to);
        if (from >= 0 && from < upcomingList.size()) {
            upcomingList.move(from, std::clamp<qsizetype>(to, 0, upcomingList.size() - 1));
        }
    }
    void remove(qsizetype index) override
    {
        calls << QStringLiteral("remove %1").arg(index);
        if (index >= 0 && index < upcomingList.size()) {
            upcomingList.removeAt(index);
        }
    }
    void publishLists()
    {
        Q_EMIT currentTrackChanged(current);
        Q_EMIT upcomingChanged(upcomingList);
        Q_EMIT historyChanged(historyList);
    }
    QString upcomingTitles() const
    {
        QStringList titles;
        for (const Track& t : upcomingList) {
            titles << t.title;
        }
        return titles.join(u' ');
    }
};

class FakeLibraryEngine : public StubLibraryEngine {
public:
    QList<Track> tracks;
    QList<Track> allTracks() const override { return tracks; }
};

// A generator whose runs finish when the test says so.
class FakeWaveformGenerator : public WaveformGenerator {
public:
    struct Run {
        Track track;
        QPromise<void> promise;
        bool fail = false;
        QList<float> peaks;
    };
    QList<std::shared_ptr<Run>> runs;

    QCoro::Task<Waveform> generateWaveform(Track track, qint64) override
    {
        auto run = std::make_shared<Run>();
        run->track = track;
        run->promise.start();
        runs.append(run);
        co_await run->promise.future();
        if (run->fail) {
            throw WaveformError::generationFailed();
        }
        co_return Waveform { run->peaks, track.id };
    }
    void finish(qsizetype index, QList<float> peaks, bool fail = false)
    {
        runs[index]->peaks = std::move(peaks);
        runs[index]->fail = fail;
        runs[index]->promise.finish();
        for (int i = 0; i < 5; ++i) {
            QCoreApplication::processEvents();
        }
    }
    qint64 currentPeakIndex(double, qint64) const override { return 0; }
    void invalidateCache(const QUuid&) override { }
    QCoro::Task<> clearWaveformCache() override { co_return; }
};

} // namespace kivo::test
