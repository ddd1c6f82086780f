#pragma once

#include "support/StubLibraryEngine.h"
#include "support/StubQueueEngine.h"

#include <QDateTime>
#include <QTimeZone>
#include <QUrl>

namespace kivo::test {

// A library whose list the test sets and publishes.
class ListLibraryEngine : public StubLibraryEngine {
public:
    QList<Track> tracks;
    QList<Track> allTracks() const override { return tracks; }
    void publish(QList<Track> list)
    {
        tracks = std::move(list);
        Q_EMIT tracksChanged(tracks);
    }
};

// A queue that records what it was asked to play.
class RecordingQueueEngine : public StubQueueEngine {
public:
    std::optional<Track> current;
    QList<std::pair<QList<Track>, qsizetype>> plays;
    std::optional<Track> currentTrack() const override { return current; }
    void playNow(const QList<Track>& tracks, qsizetype start) override
    {
        plays.append({ tracks, start });
    }
    void setCurrent(std::optional<Track> track)
    {
        current = std::move(track);
        Q_EMIT currentTrackChanged(current);
    }
};

// A song whose id sorts by `n` (ids are compared as upper-case text).
inline Track song(int n, const QString& title, const QString& extension = QStringLiteral("mp3"))
{
    const QString filename = title + u'.' + extension;
    return Track::make(QUuid(0x10000000u + uint(n), 0, 0, 0, 0, 0, 0, 0, 0, 0, 0),
        QUrl::fromLocalFile(QStringLiteral("/music/") + filename), filename, title, 200,
        Date::fromDateTime(QDateTime(QDate(2026, 1, 1), QTime(12, 0), QTimeZone::utc())));
}

} // namespace kivo::test
