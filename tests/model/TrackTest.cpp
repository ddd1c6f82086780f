#include "model/Track.h"
#include "DatabaseTestSupport.h"
#include "model/AudioImportSupport.h"
#include "model/SharedTexts.h"

#include <QHash>
#include <gtest/gtest.h>

using namespace kivo;
using namespace Qt::Literals::StringLiterals;

namespace {

Track sampleTrack(std::optional<QByteArray> bookmark = std::nullopt)
{
    return Track::make(QUuid::fromString(u"0f1e2d3c-4b5a-6978-8796-a5b4c3d2e1f0"_s),
        QUrl::fromLocalFile(u"/music/My Song.mp3"_s), u"My Song.mp3"_s, u"My Song"_s, 215.5,
        Date { 700000000.25 }, bookmark);
}

std::vector<std::string> keysOf(const Json& object)
{
    std::vector<std::string> keys;
    for (auto it = object.begin(); it != object.end(); ++it) {
        keys.push_back(it.key());
    }
    return keys;
}

const Json minimalTrack = Json::parse(R"({"id":"0f1e2d3c-4b5a-6978-8796-a5b4c3d2e1f0",)"
                                      R"("fileURL":"file:///music/a.mp3","filename":"a.mp3",)"
                                      R"("title":"A","duration":12.5})");

} // namespace

TEST(Track, SlashInFilenameIsRefusedWithItsMessage)
{
    const auto error = test::errorOf<TrackError>([] {
        Track::make(QUuid::createUuid(), QUrl::fromLocalFile(u"/x"_s), u"Live/Encore.mp3"_s, u"t"_s,
            1, Date::now());
    });
    ASSERT_TRUE(error);
    EXPECT_EQ(error->errorCase(), TrackError::Case::InvalidFilename);
    EXPECT_EQ(error->errorDescription(),
        u"The filename 'Live/Encore.mp3' is invalid. Filenames cannot contain a forward slash ('/')."_s);
    EXPECT_STREQ(error->what(), error->errorDescription().toUtf8().constData());
    EXPECT_NO_THROW((void)Track::make(QUuid::createUuid(), QUrl::fromLocalFile(u"/x"_s),
        u"back\\slash:colon.mp3"_s, u"t"_s, 1, Date::now()));
}

TEST(Track, NewTrackEncodesExactlyItsKeysInOrder)
{
    const Track track = sampleTrack();
    EXPECT_EQ(track.rating, 0);
    EXPECT_EQ(keysOf(track.toJson()),
        (std::vector<std::string> {
            "id", "fileURL", "filename", "title", "duration", "rating", "dateAdded" }));
    EXPECT_EQ(track.toJson()["id"], "0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0");
    EXPECT_EQ(track.toJson()["fileURL"], "file:///music/My%20Song.mp3");

    Track full = sampleTrack(QByteArray("\x01\x02\xff", 3));
    full.artist = u"Artist"_s;
    full.year = 1999;
    full.lyrics = u"la"_s;
    full.bitrate = 320;
    EXPECT_EQ(keysOf(full.toJson()),
        (std::vector<std::string> { "id", "fileURL", "filename", "title", "duration",
            "securityScopedBookmark", "artist", "year", "lyrics", "rating", "bitrate",
            "dateAdded" }));
    EXPECT_EQ(full.toJson()["securityScopedBookmark"], "AQL/");
}

TEST(Track, EveryFieldRoundTripsAndCountsForEquality)
{
    Track t = sampleTrack(QByteArray("bookmark"));
    t.artist = u"Bj\u00f6rk"_s;
    t.album = u"Album"_s;
    t.genre = u"Genre"_s;
    t.year = -5;
    t.trackNumber = 3;
    t.discNumber = 1;
    t.composer = u"C"_s;
    t.albumArtist = u"AA"_s;
    t.comments = u"line\nbreak \"quoted\""_s;
    t.bpm = 128;
    t.lyrics = u"\U0001F3B5"_s;
    t.rating = 5;
    t.bitrate = 1411;
    t.sampleRate = 44100;
    t.duration = 0.1 + 0.2; // needs all 17 digits
    const Track back = Track::fromJson(Json::parse(t.toJson().dump()));
    EXPECT_EQ(back, t);
    EXPECT_EQ(qHash(back), qHash(t));

    Track other = t;
    other.comments = u"different"_s;
    EXPECT_NE(t, other);
    EXPECT_NE(qHash(t), qHash(other));
    other.comments = std::nullopt; // absent differs from present but empty
    t.comments = QString();
    EXPECT_NE(t, other);

    // Present but empty (or zero) stays present through the store.
    t.securityScopedBookmark = QByteArray();
    t.bpm = 0;
    const Json emptyJson = t.toJson();
    EXPECT_EQ(emptyJson["comments"], "");
    EXPECT_EQ(emptyJson["securityScopedBookmark"], "");
    const Track empty = Track::fromJson(Json::parse(emptyJson.dump()));
    EXPECT_EQ(empty.comments, QString());
    EXPECT_EQ(empty.securityScopedBookmark, QByteArray());
    EXPECT_EQ(empty.bpm, 0);
    EXPECT_EQ(empty, t);
}

TEST(Track, MinimalObjectDecodesWithDefaults)
{
    const Date before = Date::now();
    const Track t = Track::fromJson(minimalTrack);
    EXPECT_EQ(t.rating, 0);
    ASSERT_TRUE(t.dateAdded);
    EXPECT_GE(*t.dateAdded, before);

    Json odd = minimalTrack;
    odd["rating"] = nullptr;
    odd["artist"] = nullptr;
    odd["unknownKey"] = "ignored";
    odd["year"] = 1999.0; // an integral float is still an integer
    odd["filename"] = "a/b.mp3"; // the stored file name is taken as is
    const Track fromOdd = Track::fromJson(odd);
    EXPECT_EQ(fromOdd.rating, 0);
    EXPECT_FALSE(fromOdd.artist);
    EXPECT_FALSE(fromOdd.toJson().contains("artist"));
    EXPECT_EQ(fromOdd.year, 1999);
    EXPECT_EQ(fromOdd.filename, u"a/b.mp3"_s);
}

TEST(Track, DecodingFailuresNameTheKey)
{
    const std::pair<const char*, Json> bad[] = {
        { "title", Json() }, // erased
        { "duration", "x" },
        { "rating", 2.5 },
        { "id", "not-a-uuid" },
        { "securityScopedBookmark", "!!" },
        { "fileURL", "relative/a.mp3" },
        { "fileURL", 5 },
    };
    for (const auto& [key, value] : bad) {
        Json object = minimalTrack;
        if (value.is_null()) {
            object.erase(key);
        } else {
            object[key] = value;
        }
        const auto error = test::errorOf<JsonCodingError>([&] { Track::fromJson(object); });
        ASSERT_TRUE(error) << key;
        EXPECT_EQ(error->kind(), JsonCodingError::Kind::Decoding);
        EXPECT_EQ(error->keyPath(), QString::fromUtf8(key));
        EXPECT_TRUE(error->description().contains(error->keyPath()));
    }

    for (double nonFinite : { std::nan(""), HUGE_VAL, -HUGE_VAL }) {
        Track t = sampleTrack();
        t.duration = nonFinite;
        const auto error = test::errorOf<JsonCodingError>([&] { (void)t.toJson(); });
        ASSERT_TRUE(error) << nonFinite;
        EXPECT_EQ(error->kind(), JsonCodingError::Kind::Encoding);
        EXPECT_EQ(error->keyPath(), u"duration"_s);
    }
}

TEST(Track, StoredFileUrlsReadAsParsedAndWriteBackTheSameText)
{
    const char* const texts[] = {
        "file:///music/My%20Song.mp3",
        "file:///music/Caf%C3%A9/%E2%99%AB%20100%25%20%23one%3F%5B1%5D.mp3",
        "file:///music/Cafe%CC%81.flac",
        "file:///music/not%FFutf8.mp3",
        "file:///music//twice/./dot/../a.mp3",
        "file:///music/a%2Fb.mp3",
        "file:////server/share.mp3",
        "file://server/share/a.mp3",
        "file:/music/short.mp3",
        "FILE:///music/Upper.mp3",
        "file:///music/a.mp3?query#fragment",
        "https://example.com/stream.mp3",
    };
    for (const char* text : texts) {
        Json object = minimalTrack;
        object["fileURL"] = text;
        const QUrl parsed(QString::fromUtf8(text), QUrl::StrictMode);
        const Track track = Track::fromJson(object);
        EXPECT_EQ(track.fileURL, parsed) << text;
        EXPECT_EQ(track.fileURL.toLocalFile(), parsed.toLocalFile()) << text;
        EXPECT_EQ(track.toJson()["fileURL"], parsed.toString(QUrl::FullyEncoded).toStdString())
            << text;
    }
}

TEST(Track, DecodedNamesShareOneBuffer)
{
    Json object = minimalTrack;
    for (const char* key : { "artist", "albumArtist", "composer" }) {
        object[key] = "Nina Simone";
    }
    object["album"] = "Pastel Blues";
    // A fixed date: a missing one reads as now, which differs between decodes.
    object["dateAdded"] = 700000000.0;
    const Track first = Track::fromJson(object);
    const Track second = Track::fromJson(object);
    EXPECT_EQ(first, second);
    EXPECT_EQ(first.artist->constData(), second.composer->constData());
    EXPECT_EQ(first.album->constData(), second.album->constData());
    // Forgetting the pool leaves every decoded value as it was.
    sharedtexts::clear();
    EXPECT_EQ(Track::fromJson(object), first);
    EXPECT_EQ(*first.artist, u"Nina Simone"_s);
}

TEST(AudioImportSupport, DecidesByExtensionOnly)
{
    const std::pair<const char*, bool> cases[] = {
        { "/m/Song.MP3", true },
        { "/m/Song.Flac", true },
        { "/nowhere/gone.wav", true },
        { "/m.mp3/folder/Track.ogg", true },
        { "/m/Song.mp3.part", false },
        { "/m/README", false },
        { "/m/Song.aif", false },
        { "/m/Song.", false },
    };
    for (const auto& [path, supported] : cases) {
        EXPECT_EQ(
            AudioImportSupport::isSupportedAudioURL(QUrl::fromLocalFile(QString::fromUtf8(path))),
            supported)
            << path;
    }
    EXPECT_FALSE(AudioImportSupport::isSupportedAudioURL(QUrl(u"file:///m/Music.mp3/"_s)));
    EXPECT_EQ(AudioImportSupport::supportedAudioExtensions().size(), 8);
}
