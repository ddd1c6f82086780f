#include "model/PlaybackStateSnapshot.h"
#include "model/Playlist.h"

#include <QHash>
#include <gtest/gtest.h>

using namespace kivo;
using namespace Qt::Literals::StringLiterals;

namespace {

QString playlistTypeFailure(const char* typeJson)
{
    Json object = Playlist::make(QUuid::createUuid(), u"P"_s, PlaylistType::standard()).toJson();
    object["type"] = Json::parse(typeJson);
    try {
        (void)Playlist::fromJson(object);
    } catch (const JsonCodingError& e) {
        return e.description();
    }
    return QString();
}

} // namespace

TEST(Playlist, EncodesKeysInOrderAndRoundTrips)
{
    Playlist p = Playlist::make(QUuid::createUuid(), u"Road Trip"_s, PlaylistType::standard());
    EXPECT_EQ(p.toJson().dump().substr(0, 7), R"({"id":")");
    const Json json = p.toJson();
    std::vector<std::string> keys;
    for (auto it = json.begin(); it != json.end(); ++it) {
        keys.push_back(it.key());
    }
    EXPECT_EQ(keys,
        (std::vector<std::string> {
            "id", "name", "tags", "isFavorite", "type", "trackIDs", "childrenIDs" }));
    EXPECT_EQ(json["type"].dump(), R"({"standard":{}})");

    p.description = u"d"_s;
    p.tags = { u"x"_s, u"y"_s };
    p.trackIDs = { QUuid::createUuid(), QUuid::createUuid() };
    EXPECT_EQ(std::next(p.toJson().begin(), 2).key(), "description");
    EXPECT_EQ(Playlist::fromJson(Json::parse(p.toJson().dump())), p);

    const Playlist smart = Playlist::make(p.id, u"S"_s, PlaylistType::smart(QString()));
    EXPECT_EQ(smart.toJson()["type"].dump(), R"({"smart":{"criteria":""}})");
    EXPECT_EQ(Playlist::fromJson(smart.toJson()), smart);
}

TEST(Playlist, TypeNeedsExactlyOneCase)
{
    const QString countMessage = u"Invalid number of keys found, expected one."_s;
    EXPECT_TRUE(playlistTypeFailure(R"({"folder":{},"standard":{}})").contains(countMessage));
    EXPECT_TRUE(playlistTypeFailure(R"({})").contains(countMessage));
    EXPECT_TRUE(playlistTypeFailure(R"({"other":{}})").contains(countMessage));
    EXPECT_FALSE(playlistTypeFailure(R"({"smart":{}})").isEmpty());
    EXPECT_FALSE(playlistTypeFailure(R"({"folder":true})").isEmpty());
    EXPECT_FALSE(playlistTypeFailure(R"({"standard":null})").isEmpty());
    EXPECT_TRUE(playlistTypeFailure(R"({"standard":{"extra":1},"other":2})").isEmpty());
}

TEST(Playlist, RequiredListsAndNullDescription)
{
    Json object = Playlist::make(QUuid::createUuid(), u"P"_s, PlaylistType::folder()).toJson();
    object["description"] = nullptr;
    EXPECT_FALSE(Playlist::fromJson(object).description);
    for (const char* key : { "tags", "childrenIDs" }) {
        Json missing = object;
        missing.erase(key);
        EXPECT_THROW((void)Playlist::fromJson(missing), JsonCodingError) << key;
    }
}

TEST(Playlist, EqualityAndHashCoverEveryField)
{
    const Playlist a = Playlist::make(QUuid::createUuid(), u"P"_s, PlaylistType::standard());
    Playlist favorite = a;
    favorite.isFavorite = true;
    EXPECT_NE(a, favorite);

    Playlist ordered = a;
    ordered.trackIDs = { QUuid::createUuid(), QUuid::createUuid() };
    Playlist reversed = ordered;
    std::swap(reversed.trackIDs[0], reversed.trackIDs[1]);
    EXPECT_NE(ordered, reversed);

    Playlist folder = Playlist::make(a.id, a.name, PlaylistType::folder());
    EXPECT_NE(a, folder);
    EXPECT_NE(qHash(a), qHash(folder));
}

TEST(PlaybackStateSnapshot, OmitsAbsentKeysAndKeepsFloatVolumeShort)
{
    PlaybackStateSnapshot s;
    s.upcomingTrackIDs = { QUuid::createUuid() };
    s.repeatMode = u"all"_s;
    s.shuffleMode = u"sideways"_s; // any text is kept
    s.currentTime = 12.75;
    EXPECT_EQ(s.toJson().dump().find("currentTrackID"), std::string::npos);
    EXPECT_FALSE(s.toJson().contains("playbackOrderTrackIDs"));
    EXPECT_FALSE(s.toJson().contains("volume"));
    EXPECT_FALSE(s.toJson().contains("savedAt"));
    EXPECT_EQ(PlaybackStateSnapshot::fromJson(s.toJson()), s);

    s.currentTrackID = QUuid::createUuid();
    s.playbackOrderTrackIDs = QList<QUuid> {};
    s.volume = 0.8f;
    s.savedAt = Date { 12345.5 };
    const std::string text = s.toJson().dump();
    EXPECT_NE(text.find(R"("volume":0.8,)"), std::string::npos) << text;
    const PlaybackStateSnapshot back = PlaybackStateSnapshot::fromJson(Json::parse(text));
    EXPECT_EQ(back, s);
    EXPECT_EQ(*back.volume, 0.8f);
}

TEST(PlaybackStateSnapshot, RequiredKeysAndNonFiniteNumbers)
{
    PlaybackStateSnapshot s;
    s.repeatMode = u"off"_s;
    s.shuffleMode = u"off"_s;
    for (const char* key : { "upcomingTrackIDs", "historyTrackIDs", "repeatMode", "shuffleMode",
             "currentTime", "isPlaying" }) {
        Json object = s.toJson();
        object.erase(key);
        try {
            (void)PlaybackStateSnapshot::fromJson(object);
            ADD_FAILURE() << "decoded without " << key;
        } catch (const JsonCodingError& e) {
            EXPECT_EQ(e.keyPath(), QString::fromUtf8(key));
        }
    }
    s.volume = std::numeric_limits<float>::quiet_NaN();
    EXPECT_THROW((void)s.toJson(), JsonCodingError);
    s.volume.reset();
    s.currentTime = std::numeric_limits<double>::infinity();
    EXPECT_THROW((void)s.toJson(), JsonCodingError);
}
