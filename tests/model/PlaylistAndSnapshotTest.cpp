#include "DatabaseTestSupport.h"
#include "model/PlaybackStateSnapshot.h"
#include "model/Playlist.h"

#include <QHash>
#include <functional>
#include <gtest/gtest.h>
#include <limits>
#include <variant>

using namespace kivo;
using namespace Qt::Literals::StringLiterals;

namespace {

std::vector<std::string> keysOf(const Json& object)
{
    std::vector<std::string> keys;
    for (auto it = object.begin(); it != object.end(); ++it) {
        keys.push_back(it.key());
    }
    return keys;
}

} // namespace

TEST(Playlist, EncodesKeysInOrderAndRoundTrips)
{
    Playlist p = Playlist::make(QUuid::createUuid(), u"Road Trip"_s, PlaylistType::standard());
    EXPECT_EQ(keysOf(p.toJson()),
        (std::vector<std::string> {
            "id", "name", "tags", "isFavorite", "type", "trackIDs", "childrenIDs" }));
    EXPECT_EQ(p.toJson()["type"].dump(), R"({"standard":{}})");

    p.description = u"d"_s;
    p.tags = { u"x"_s, u"y"_s };
    p.trackIDs = { QUuid::createUuid(), QUuid::createUuid() };
    EXPECT_EQ(keysOf(p.toJson())[2], "description");
    EXPECT_EQ(Playlist::fromJson(Json::parse(p.toJson().dump())), p);

    const Playlist smart = Playlist::make(p.id, u"S"_s, PlaylistType::smart(QString()));
    EXPECT_EQ(smart.toJson()["type"].dump(), R"({"smart":{"criteria":""}})");
    EXPECT_EQ(Playlist::fromJson(smart.toJson()), smart);
}

TEST(Playlist, DecodingNeedsOneTypeCaseAndTheListsAndReadsNullAsAbsent)
{
    const Json valid = Playlist::make(QUuid::createUuid(), u"P"_s, PlaylistType::folder()).toJson();
    const auto typeFailure = [&valid](const char* type) {
        Json object = valid;
        object["type"] = Json::parse(type);
        const auto error = test::errorOf<JsonCodingError>([&] { Playlist::fromJson(object); });
        return error ? error->description() : QString();
    };
    const QString countMessage = u"Invalid number of keys found, expected one."_s;
    EXPECT_TRUE(typeFailure(R"({"folder":{},"standard":{}})").contains(countMessage));
    EXPECT_TRUE(typeFailure(R"({})").contains(countMessage));
    EXPECT_TRUE(typeFailure(R"({"other":{}})").contains(countMessage));
    EXPECT_FALSE(typeFailure(R"({"smart":{}})").isEmpty());
    EXPECT_FALSE(typeFailure(R"({"folder":true})").isEmpty());
    EXPECT_FALSE(typeFailure(R"({"standard":null})").isEmpty());
    EXPECT_TRUE(typeFailure(R"({"standard":{"extra":1},"other":2})").isEmpty());

    Json object = valid;
    object["description"] = nullptr;
    EXPECT_FALSE(Playlist::fromJson(object).description);
    for (const char* key : { "tags", "childrenIDs" }) {
        Json missing = object;
        missing.erase(key);
        EXPECT_THROW((void)Playlist::fromJson(missing), JsonCodingError) << key;
    }
}

TEST(PlaybackStateSnapshot, OmitsAbsentKeysAndKeepsFloatVolumeShort)
{
    PlaybackStateSnapshot s;
    s.upcomingTrackIDs = { QUuid::createUuid() };
    s.repeatMode = u"all"_s;
    s.shuffleMode = u"sideways"_s; // any text is kept
    s.currentTime = 12.75;
    for (const char* key : { "currentTrackID", "playbackOrderTrackIDs", "volume", "savedAt" }) {
        EXPECT_FALSE(s.toJson().contains(key)) << key;
    }
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
        const auto error
            = test::errorOf<JsonCodingError>([&] { PlaybackStateSnapshot::fromJson(object); });
        ASSERT_TRUE(error) << "decoded without " << key;
        EXPECT_EQ(error->keyPath(), QString::fromUtf8(key));
    }
    s.volume = std::numeric_limits<float>::quiet_NaN();
    EXPECT_THROW((void)s.toJson(), JsonCodingError);
    s.volume.reset();
    s.currentTime = std::numeric_limits<double>::infinity();
    EXPECT_THROW((void)s.toJson(), JsonCodingError);
}

namespace {

// The tree's reading of a text: the snapshot, or the error's description.
std::variant<PlaybackStateSnapshot, QString> readOf(
    const std::function<PlaybackStateSnapshot()>& read)
{
    try {
        return read();
    } catch (const JsonCodingError& error) {
        return error.description();
    }
}

} // namespace

TEST(PlaybackStateSnapshot, TheTextPathsWriteAndReadWhatTheTreeDoes)
{
    PlaybackStateSnapshot full;
    full.currentTrackID = QUuid::createUuid();
    full.upcomingTrackIDs = { QUuid::createUuid(), QUuid::createUuid() };
    full.historyTrackIDs = { QUuid::createUuid() };
    full.playbackOrderTrackIDs = QList<QUuid> { full.upcomingTrackIDs[1], QUuid() };
    full.repeatMode = u"a \"quoted\"\\ mode\n\u0001\u007f é 😀"_s;
    full.shuffleMode = u"standard"_s;
    full.currentTime = 0.1 + 0.2;
    full.isPlaying = true;
    full.volume = 0.7f;
    full.savedAt = Date { -1e300 };
    PlaybackStateSnapshot odd = full;
    odd.currentTrackID.reset();
    odd.playbackOrderTrackIDs = QList<QUuid> {};
    odd.currentTime = -0.0;
    odd.volume = 3.4028235e38f;
    odd.savedAt = Date { 5e-324 };
    PlaybackStateSnapshot whole = full;
    whole.currentTime = 180;
    whole.volume = 1e-7f;
    whole.savedAt.reset();
    for (const PlaybackStateSnapshot& s : { PlaybackStateSnapshot {}, full, odd, whole }) {
        const QByteArray text = s.toJsonText();
        EXPECT_EQ(text, QByteArray::fromStdString(json::dump(s.toJson())));
        EXPECT_EQ(PlaybackStateSnapshot::fromJsonText(text), s) << text.constData();
    }
    full.currentTime = std::numeric_limits<double>::quiet_NaN();
    EXPECT_THROW((void)full.toJsonText(), JsonCodingError);

    // Whatever the text, the reading without the tree gives what the tree's
    // does: the same snapshot or the same error.
    const std::string id = json::uuidText(QUuid::createUuid()).toStdString();
    const auto with = [&](const std::string& members) {
        return "{\"upcomingTrackIDs\":[\"" + id + "\"],\"historyTrackIDs\":[],"
            + "\"repeatMode\":\"off\",\"shuffleMode\":\"off\",\"currentTime\":1.5" + members + "}";
    };
    const std::string texts[] = {
        with(",\"isPlaying\":false"),
        " { \"isPlaying\" : true , \"currentTime\" : 12 , \"upcomingTrackIDs\" : [ ] ,"
        " \"historyTrackIDs\":[\""
            + QUuid::createUuid().toString(QUuid::WithoutBraces).toStdString()
            + "\"], \"repeatMode\":\"all\",\"shuffleMode\":\"x\",\"other\":[1,{}],"
              "\"currentTrackID\":null,\"volume\":null,\"savedAt\":null} ",
        with(",\"isPlaying\":false,\"extra\":true,\"more\":\"x\",\"volume\":1e39"),
        with(",\"isPlaying\":false,\"volume\":0,\"savedAt\":-2,\"playbackOrderTrackIDs\":null"),
        with(",\"isPlaying\":false,\"repeatMode\":\"all\""),
        with(",\"isPlaying\":\"false\""),
        with(",\"isPlaying\":false,\"currentTrackID\":\"" + id.substr(1) + "\""),
        with(",\"isPlaying\":false,\"currentTrackID\":\"\\u0041" + id.substr(1) + "\""),
        with(",\"isPlaying\":false,\"playbackOrderTrackIDs\":[\"\\u0041" + id.substr(1) + "\"]"),
        with(",\"isPlaying\":false,\"playbackOrderTrackIDs\":[\"" + id + "\",7]"),
        with(",\"isPlaying\":false,\"playbackOrderTrackIDs\":[\"" + id + "\",\"é\"]"),
        with(",\"isPlaying\":false,\"playbackOrderTrackIDs\":\"" + id + "\""),
        with(",\"isPlaying\":false,\"shuffleMode\":\"tab\\there\""),
        with(",\"isPlaying\":false,\"currentTime\":null"),
        with(",\"isPlaying\":false,\"historyTrackIDs\":{}"),
        with(",\"isPlaying\":false").substr(0, 60),
        with(",\"isPlaying\":false") + "x",
        with(",\"isPlaying\":false,\"repeatMode\":\"a" + std::string(1, '\0') + "b\""),
        "\xEF\xBB\xBF" + with(",\"isPlaying\":false"),
        "[]",
        "",
    };
    for (const std::string& text : texts) {
        const QByteArray bytes = QByteArray::fromStdString(text);
        const auto tree
            = readOf([&] { return PlaybackStateSnapshot::fromJson(json::parse(bytes)); });
        EXPECT_EQ(readOf([&] { return PlaybackStateSnapshot::fromJsonText(bytes); }), tree) << text;
    }
}
