#pragma once

#include "engines/playback/QueueEngineImpl.h"
#include "model/ErrorText.h"
#include "support/ScriptedAudioEngine.h"
#include "support/StubDatabaseManager.h"

#include <QStringList>
#include <atomic>
#include <gtest/gtest.h>
#include <memory>
#include <stdexcept>

namespace kivo::test {

// Keeps the saved sessions (read them only after a synchronous save). The
// next `failures` writes throw.
class SessionRecorder final : public StubDatabaseManager {
public:
    void savePlaybackState(const PlaybackStateSnapshot& snapshot) override
    {
        if (failures > 0 && failures-- > 0) {
            throw std::runtime_error("The disk is full.");
        }
        saved.push_back(snapshot);
    }

    std::atomic<int> failures = 0;
    QList<PlaybackStateSnapshot> saved;
};

inline Track makeTrack(const QString& title)
{
    Track track;
    track.id = QUuid::createUuid();
    track.title = title;
    track.filename = title + QStringLiteral(".mp3");
    track.fileURL = QUrl::fromLocalFile(QStringLiteral("/music/") + track.filename);
    return track;
}

// "A B C"
inline QString titles(const QList<Track>& tracks)
{
    QStringList names;
    for (const Track& track : tracks) {
        names << track.title;
    }
    return names.join(u' ');
}

// A queue on a fake engine and an in-memory session store, with tracks A…F.
class QueueEngineTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        audio.state = PlaybackState::playing;
        audio.engineVolume = 0.25f;
        queue.setAudioEngine(&audio);
        for (const char* name : { "A", "B", "C", "D", "E", "F" }) {
            tracks.push_back(makeTrack(QString::fromLatin1(name)));
        }
    }

    // The tracks named by the letters of `names`.
    QList<Track> list(const char* names) const
    {
        QList<Track> chosen;
        for (const char* c = names; *c; ++c) {
            chosen.push_back(tracks[*c - 'A']);
        }
        return chosen;
    }

    QString titlesOf(const QList<QUuid>& ids) const
    {
        QStringList names;
        for (const QUuid& id : ids) {
            names << std::find_if(tracks.cbegin(), tracks.cend(), [&](auto& t) {
                return t.id == id;
            })->title;
        }
        return names.join(u' ');
    }

    // "current | upcoming | history | queued order | play order"
    QString state() const
    {
        const auto current = queue.currentTrack();
        return QStringList(
            { current ? current->title : QStringLiteral("-"), titles(queue.upcoming()),
                titles(queue.history()), titlesOf(queue.originalUpcomingOrder()),
                titles(queue.playbackOrder()) })
            .join(QStringLiteral(" | "));
    }

    // The sessions saved since the last call (waits for them).
    QList<PlaybackStateSnapshot> saves()
    {
        queue.savePlaybackState(true);
        database->saved.removeLast();
        return std::exchange(database->saved, {});
    }

    std::shared_ptr<SessionRecorder> database = std::make_shared<SessionRecorder>();
    ScriptedAudioEngine audio;
    TavrenQueueEngine queue { database };
    QList<Track> tracks;
};

} // namespace kivo::test
