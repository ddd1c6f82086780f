#pragma once

#include "engines/playback/QueueEngine.h"

namespace kivo::test {

// A play queue that does nothing: fakes override only what their test watches.
class StubQueueEngine : public QueueEngine {
public:
    std::optional<Track> currentTrack() const override { return std::nullopt; }
    QList<Track> upcoming() const override { return {}; }
    QList<Track> history() const override { return {}; }
    RepeatMode repeatMode() const override { return RepeatMode::off; }
    void setRepeatMode(RepeatMode) override { }
    ShuffleMode shuffleMode() const override { return ShuffleMode::off; }
    void setShuffleMode(ShuffleMode) override { }
    std::exception_ptr lastPlaybackError() const override { return nullptr; }
    std::exception_ptr lastPersistenceError() const override { return nullptr; }
    void playNow(const QList<Track>&) override { }
    void playNow(const QList<Track>&, qsizetype) override { }
    void playNowByID(const QList<QUuid>&, qsizetype) override { }
    void playNext(const QList<Track>&) override { }
    void playLast(const QList<Track>&) override { }
    void remove(qsizetype) override { }
    void move(qsizetype, qsizetype) override { }
    void clearUpcoming() override { }
    void removeTrackFromPlayback(const QUuid&) override { }
    std::optional<Track> advanceToNext() override { return std::nullopt; }
    std::optional<Track> returnToPrevious() override { return std::nullopt; }
    std::optional<Track> playPreviousSong() override { return std::nullopt; }
    void reportPlaybackError(const std::exception_ptr&) override { }
    void clearReportedErrors() override { }
    void savePlaybackState(bool) override { }
};

} // namespace kivo::test
