#pragma once

#include "support/StubQueueEngine.h"

#include <QStringList>
#include <algorithm>
#include <utility>

namespace kivo::test {

// "A B C": the titles in order.
inline QString joinedTitles(const QList<Track>& tracks)
{
    QStringList titles;
    for (const Track& track : tracks) {
        titles << track.title;
    }
    return titles.join(u' ');
}

// A queue whose state the test sets and which records what it is asked. The
// current song, the upcoming and history lists, the modes and the reported
// errors are fields (setCurrent and publishLists announce them); moves and
// removals change `upcomingList` as the real queue does. `played` holds every
// list handed to playNow without a row and `plays` every list with its
// starting row; `calls` logs "playNow@<row>", "move <from> <to>",
// "remove <row>", "unqueue:<id>", "next", "previous" (returnToPrevious),
// "previous song" (playPreviousSong) and "save now"/"save later". Stepping
// finds no song. A play by id is logged like one with its tracks, found in the
// queue's lists or through `lookup` (an id found nowhere stands as a track
// with that id alone).
class ScriptedQueueEngine final : public StubQueueEngine {
public:
    std::optional<Track> current;
    QList<Track> upcomingList;
    QList<Track> historyList;
    RepeatMode repeat = RepeatMode::off;
    ShuffleMode shuffle = ShuffleMode::off;
    std::exception_ptr playbackError;
    std::exception_ptr persistenceError;
    QStringList calls;
    QList<QList<Track>> played;
    QList<std::pair<QList<Track>, qsizetype>> plays;
    TrackLookup lookup;

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

    void setCurrent(std::optional<Track> track)
    {
        current = std::move(track);
        Q_EMIT currentTrackChanged(current);
    }
    void publishLists()
    {
        Q_EMIT currentTrackChanged(current);
        Q_EMIT upcomingChanged(upcomingIDs());
        Q_EMIT historyChanged(historyIDs());
    }
    QString upcomingTitles() const { return joinedTitles(upcomingList); }
    Track trackWithID(const QUuid& id) const
    {
        for (const QList<Track>* list : { &upcomingList, &historyList }) {
            for (const Track& track : *list) {
                if (track.id == id) {
                    return track;
                }
            }
        }
        if (current && current->id == id) {
            return *current;
        }
        if (const Track* found = lookup ? lookup(id) : nullptr) {
            return *found;
        }
        Track alone;
        alone.id = id;
        return alone;
    }

    void playNow(const QList<Track>& tracks) override { played.push_back(tracks); }
    void playNow(const QList<Track>& tracks, qsizetype startingAt) override
    {
        plays.append({ tracks, startingAt });
        calls << QStringLiteral("playNow@%1").arg(startingAt);
    }
    void playNowByID(const QList<QUuid>& ids, qsizetype startingAt) override
    {
        QList<Track> tracks;
        for (const QUuid& id : ids) {
            tracks.push_back(trackWithID(id));
        }
        playNow(tracks, startingAt);
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
    void removeTrackFromPlayback(const QUuid& id) override
    {
        calls << QStringLiteral("unqueue:") + id.toString(QUuid::WithoutBraces);
    }
    std::optional<Track> advanceToNext() override
    {
        calls << QStringLiteral("next");
        return std::nullopt;
    }
    std::optional<Track> returnToPrevious() override
    {
        calls << QStringLiteral("previous");
        return std::nullopt;
    }
    std::optional<Track> playPreviousSong() override
    {
        calls << QStringLiteral("previous song");
        return std::nullopt;
    }
    void savePlaybackState(bool synchronously) override
    {
        calls << (synchronously ? QStringLiteral("save now") : QStringLiteral("save later"));
    }
};

} // namespace kivo::test
