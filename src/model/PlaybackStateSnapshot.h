#pragma once

#include "model/Date.h"
#include "model/JsonCodec.h"

#include <QByteArray>
#include <QList>
#include <QMetaType>
#include <QString>
#include <QUuid>
#include <optional>

namespace kivo {

// A saved playback session: the whole content of "playback_state.json".
// The mode texts are kept as given; the queue decides what they mean.
struct PlaybackStateSnapshot {
    std::optional<QUuid> currentTrackID;
    QList<QUuid> upcomingTrackIDs;
    QList<QUuid> historyTrackIDs;
    std::optional<QList<QUuid>> playbackOrderTrackIDs;
    QString repeatMode;
    QString shuffleMode;
    double currentTime = 0;
    bool isPlaying = false;
    std::optional<float> volume;
    std::optional<Date> savedAt;

    bool operator==(const PlaybackStateSnapshot&) const = default;

    // Whether it names a current or an upcoming song, what a restore starts
    // from; one saved before anything was played names none.
    bool namesASong() const { return currentTrackID || !upcomingTrackIDs.isEmpty(); }

    // Throws JsonCodingError(Encoding) for a non-finite time or volume.
    Json toJson() const;
    // json::dump(toJson()), written without the tree: a library-sized queue's
    // tree is tens of megabytes of small strings. Throws as toJson().
    QByteArray toJsonText() const;
    // Throws JsonCodingError(Decoding) naming the first bad key.
    static PlaybackStateSnapshot fromJson(const Json& object, const QString& path = {});
    // fromJson(json::parse(bytes)), read straight from the text unless it is
    // unusual (escapes, keys twice, other types), then parsed; throws as that.
    static PlaybackStateSnapshot fromJsonText(const QByteArray& bytes);
};

} // namespace kivo

Q_DECLARE_METATYPE(kivo::PlaybackStateSnapshot)
