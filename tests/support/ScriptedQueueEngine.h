#pragma once

#include "support/StubQueueEngine.h"

#include <QStringList>

namespace kivo::test {

// A queue that records what it is asked to play and take out: `played` holds
// every list handed to playNow, `lastPlayed`/`lastIndex` the newest one with a
// starting row, and `calls` logs "playNow@<index>", "unqueue:<id>", "next" and
// "previous" (neither of which finds a song).
class ScriptedQueueEngine final : public StubQueueEngine {
public:
    QStringList calls;
    QList<QList<Track>> played;
    QList<Track> lastPlayed;
    qsizetype lastIndex = -1;

    void playNow(const QList<Track>& tracks) override { played.push_back(tracks); }
    void playNow(const QList<Track>& tracks, qsizetype startingAt) override
    {
        lastPlayed = tracks;
        lastIndex = startingAt;
        calls << QStringLiteral("playNow@%1").arg(startingAt);
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
    void removeTrackFromPlayback(const QUuid& id) override
    {
        calls << QStringLiteral("unqueue:") + id.toString(QUuid::WithoutBraces);
    }
};

} // namespace kivo::test
