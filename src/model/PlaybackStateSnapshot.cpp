#include "model/PlaybackStateSnapshot.h"

namespace kivo {

Json PlaybackStateSnapshot::toJson() const
{
    using namespace json;
    Json o = Json::object();
    putOptional(o, "currentTrackID", currentTrackID, putUuid);
    putUuidList(o, "upcomingTrackIDs", upcomingTrackIDs);
    putUuidList(o, "historyTrackIDs", historyTrackIDs);
    putOptional(o, "playbackOrderTrackIDs", playbackOrderTrackIDs, putUuidList);
    putString(o, "repeatMode", repeatMode);
    putString(o, "shuffleMode", shuffleMode);
    putDouble(o, "currentTime", currentTime);
    putBool(o, "isPlaying", isPlaying);
    if (volume) {
        putFloat(o, "volume", *volume);
    }
    putOptional(o, "savedAt", savedAt, putDate);
    return o;
}

PlaybackStateSnapshot PlaybackStateSnapshot::fromJson(const Json& object, const QString& path)
{
    const json::ObjectReader r(object, path);
    PlaybackStateSnapshot s;
    s.currentTrackID = r.optionalUuid("currentTrackID");
    s.upcomingTrackIDs = r.requiredUuidList("upcomingTrackIDs");
    s.historyTrackIDs = r.requiredUuidList("historyTrackIDs");
    s.playbackOrderTrackIDs = r.optionalUuidList("playbackOrderTrackIDs");
    s.repeatMode = r.requiredString("repeatMode");
    s.shuffleMode = r.requiredString("shuffleMode");
    s.currentTime = r.requiredDouble("currentTime");
    s.isPlaying = r.requiredBool("isPlaying");
    s.volume = r.optionalFloat("volume");
    s.savedAt = r.optionalDate("savedAt");
    return s;
}

} // namespace kivo
