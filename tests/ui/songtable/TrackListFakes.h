#pragma once

#include "engines/library/LibraryEngine.h"
#include "model/DatabaseManager.h"
#include "support/StubAudioEngine.h"
#include "support/StubLibraryEngine.h"
#include "support/StubQueueEngine.h"

#include <QCoreApplication>
#include <QStringList>
#include <QThread>
#include <chrono>
#include <qcoro/qcorotimer.h>
#include <stdexcept>

namespace kivo::test {

inline Track songTrack(const QString& title, qint64 rating = 0, const char* id = nullptr)
{
    const QUrl url = QUrl::fromLocalFile(QStringLiteral("/music/%1.flac").arg(title));
    const QUuid uuid = id ? QUuid::fromString(QString::fromLatin1(id)) : QUuid::createUuid();
    Track track = Track::make(uuid, url, url.fileName(), title, 200, Date {});
    track.rating = rating;
    return track;
}

// A library over a list: writes replace tracks by id, removals take them out.
// `hold` keeps every write waiting until it is false again; `failWith` makes
// the next writes throw that text. `calls` logs "update:<title>=<rating>",
// "remove:<title>[:file]", "restore:<title>".
class FakeLibrary final : public StubLibraryEngine {
public:
    QList<Track> tracks;
    QStringList calls;
    bool hold = false;
    QString failWith;

    QList<Track> allTracks() const override { return tracks; }

    QCoro::Task<> updateTracks(QList<Track> changed) override
    {
        for (const Track& track : changed) {
            calls << QStringLiteral("update:%1=%2").arg(track.title).arg(track.rating);
        }
        QCoro::Task<> waiting = wait();
        co_await std::move(waiting);
        for (const Track& track : changed) {
            const auto at = std::find_if(
                tracks.begin(), tracks.end(), [&](const Track& t) { return t.id == track.id; });
            if (at == tracks.end()) {
                throw std::runtime_error("One or more tracks are no longer in the local library.");
            }
            *at = track;
        }
        Q_EMIT tracksChanged(tracks);
    }
    QCoro::Task<> removeTrack(Track track, bool deleteFile) override
    {
        calls << QStringLiteral("remove:") + track.title
                + (deleteFile ? QStringLiteral(":file") : QString());
        QCoro::Task<> waiting = wait();
        co_await std::move(waiting);
        tracks.removeIf([&](const Track& t) { return t.id == track.id; });
        Q_EMIT tracksChanged(tracks);
    }
    QCoro::Task<> restoreTrack(Track track) override
    {
        calls << QStringLiteral("restore:") + track.title;
        QCoro::Task<> waiting = wait();
        co_await std::move(waiting);
        tracks.push_back(track);
        Q_EMIT tracksChanged(tracks);
    }

private:
    QCoro::Task<> wait()
    {
        do {
            QCoro::Task<> turn = QCoro::sleepFor(std::chrono::milliseconds(1));
            co_await std::move(turn);
        } while (hold);
        if (!failWith.isEmpty()) {
            throw std::runtime_error(failWith.toStdString());
        }
    }
};

// Logs "playNow:<first title>..<last title>@<index>" and "unqueue:<title id>".
class FakeQueue final : public StubQueueEngine {
public:
    QStringList calls;
    QList<Track> lastPlayed;
    qsizetype lastIndex = -1;

    void playNow(const QList<Track>& tracks, qsizetype startingAt) override
    {
        lastPlayed = tracks;
        lastIndex = startingAt;
        calls << QStringLiteral("playNow@%1").arg(startingAt);
    }
    void removeTrackFromPlayback(const QUuid& id) override
    {
        calls << QStringLiteral("unqueue:") + id.toString(QUuid::WithoutBraces);
    }
};

class FakeAudio final : public StubAudioEngine {
public:
    std::optional<Track> current;
    PlaybackState state = PlaybackState::stopped;
    int pauses = 0;

    PlaybackState playbackState() const override { return state; }
    std::optional<Track> currentTrack() const override { return current; }
    bool isPlaying() const override { return state == PlaybackState::playing; }
    void pause() override { ++pauses; }
};

// Runs the event loop until `done` holds (at most about a second).
template <typename Predicate> bool settleUntil(Predicate done)
{
    for (int i = 0; i < 1000 && !done(); ++i) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        if (!done()) {
            QThread::msleep(1);
        }
    }
    return done();
}

} // namespace kivo::test
