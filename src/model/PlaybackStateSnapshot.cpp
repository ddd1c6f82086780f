#include "model/PlaybackStateSnapshot.h"

#include "model/FlatObjectReader.h"

#include <string_view>

namespace kivo {

namespace {

// Both readers, the tree's and the flat text's, decode through this one body.
template <typename Reader> PlaybackStateSnapshot decodeSnapshot(const Reader& r)
{
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

constexpr std::string_view snapshotKeys[]
    = { "currentTrackID", "upcomingTrackIDs", "historyTrackIDs", "playbackOrderTrackIDs",
          "repeatMode", "shuffleMode", "currentTime", "isPlaying", "volume", "savedAt" };

// The members after the lists, as the tree writes them.
Json scalarMembers(const PlaybackStateSnapshot& s)
{
    using namespace json;
    Json o = Json::object();
    putString(o, "repeatMode", s.repeatMode);
    putString(o, "shuffleMode", s.shuffleMode);
    putDouble(o, "currentTime", s.currentTime);
    putBool(o, "isPlaying", s.isPlaying);
    if (s.volume) {
        putFloat(o, "volume", *s.volume);
    }
    putOptional(o, "savedAt", s.savedAt, putDate);
    return o;
}

// The 36 characters of uuidText(id), written at `out`.
char* writeUuid(char* out, const QUuid& id)
{
    static constexpr char hex[] = "0123456789ABCDEF";
    const auto put = [&out](quint64 value, int digits) {
        for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4) {
            *out++ = hex[(value >> shift) & 0xF];
        }
    };
    put(id.data1, 8);
    *out++ = '-';
    put(id.data2, 4);
    *out++ = '-';
    put(id.data3, 4);
    *out++ = '-';
    put(quint64(id.data4[0]) << 8 | id.data4[1], 4);
    *out++ = '-';
    for (int i = 2; i < 8; ++i) {
        put(id.data4[i], 2);
    }
    return out;
}

constexpr qsizetype quotedUuidSize = 38;

void appendUuidList(QByteArray& out, const char* key, const QList<QUuid>& ids)
{
    out.append('"').append(key).append("\":[");
    qsizetype at = out.size();
    out.resize(at + ids.size() * (quotedUuidSize + 1));
    char* p = out.data() + at;
    for (qsizetype i = 0; i < ids.size(); ++i) {
        if (i > 0) {
            *p++ = ',';
        }
        *p++ = '"';
        p = writeUuid(p, ids[i]);
        *p++ = '"';
    }
    out.resize(p - out.constData());
    out.append(']');
}

} // namespace

Json PlaybackStateSnapshot::toJson() const
{
    using namespace json;
    Json o = Json::object();
    putOptional(o, "currentTrackID", currentTrackID, putUuid);
    putUuidList(o, "upcomingTrackIDs", upcomingTrackIDs);
    putUuidList(o, "historyTrackIDs", historyTrackIDs);
    putOptional(o, "playbackOrderTrackIDs", playbackOrderTrackIDs, putUuidList);
    Json scalars = scalarMembers(*this);
    for (auto it = scalars.begin(); it != scalars.end(); ++it) {
        o[it.key()] = std::move(it.value());
    }
    return o;
}

QByteArray PlaybackStateSnapshot::toJsonText() const
{
    // Only the lists are large: they are written straight into the text, the
    // few other members by the tree's writer (failing as toJson() does,
    // before anything is written).
    const std::string scalars = json::dump(scalarMembers(*this));
    const qsizetype ids = upcomingTrackIDs.size() + historyTrackIDs.size()
        + (playbackOrderTrackIDs ? playbackOrderTrackIDs->size() : 0);
    QByteArray out;
    out.reserve(ids * (quotedUuidSize + 1) + qsizetype(scalars.size()) + 160);
    out.append('{');
    if (currentTrackID) {
        out.append("\"currentTrackID\":\"");
        out.resize(out.size() + quotedUuidSize - 2);
        writeUuid(out.data() + out.size() - (quotedUuidSize - 2), *currentTrackID);
        out.append("\",");
    }
    appendUuidList(out, "upcomingTrackIDs", upcomingTrackIDs);
    out.append(',');
    appendUuidList(out, "historyTrackIDs", historyTrackIDs);
    out.append(',');
    if (playbackOrderTrackIDs) {
        appendUuidList(out, "playbackOrderTrackIDs", *playbackOrderTrackIDs);
        out.append(',');
    }
    // The scalars' object without its opening brace: never empty.
    out.append(scalars.data() + 1, qsizetype(scalars.size()) - 1);
    return out;
}

PlaybackStateSnapshot PlaybackStateSnapshot::fromJson(const Json& object, const QString& path)
{
    return decodeSnapshot(json::ObjectReader(object, path));
}

PlaybackStateSnapshot PlaybackStateSnapshot::fromJsonText(const QByteArray& bytes)
{
    json::FlatObjectReader reader(snapshotKeys);
    if (reader.read(std::string_view(bytes.constData(), size_t(bytes.size())))) {
        try {
            return decodeSnapshot(reader);
        } catch (const json::FlatObjectReader::Unsure&) {
        }
    }
    return fromJson(json::parse(bytes));
}

} // namespace kivo
