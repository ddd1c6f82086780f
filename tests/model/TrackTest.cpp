#include "model/Track.h"
#include "model/AudioImportSupport.h"

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

// Decodes `text` and returns the key path named by the failure ("" if it decoded).
QString decodeFailureKey(const char* text)
{
    try {
        (void)Track::fromJson(Json::parse(text));
    } catch (const JsonCodingError& e) {
        EXPECT_EQ(e.kind(), JsonCodingError::Kind::Decoding);
        EXPECT_TRUE(e.description().contains(e.keyPath()));
        return e.keyPath();
    }
    return QString();
}

constexpr const char* minimalTrack = R"({"id":"0f1e2d3c-4b5a-6978-8796-a5b4c3d2e1f0",)"
                                     R"("fileURL":"file:///music/a.mp3","filename":"a.mp3",)"
                                     R"("title":"A","duration":12.5})";

} // namespace

TEST(Track, SlashInFilenameIsRefusedWithItsMessage)
{
    try {
        (void)Track::make(QUuid::createUuid(), QUrl::fromLocalFile(u"/x"_s), u"Live/Encore.mp3"_s,
            u"t"_s, 1, Date::now());
        FAIL() << "expected TrackError";
    } catch (const TrackError& e) {
        EXPECT_EQ(e.errorCase(), TrackError::Case::InvalidFilename);
        EXPECT_EQ(e.errorDescription(),
            u"The filename 'Live/Encore.mp3' is invalid. Filenames cannot contain a forward slash ('/')."_s);
        EXPECT_STREQ(e.what(), e.errorDescription().toUtf8().constData());
    }
    EXPECT_NO_THROW((void)Track::make(QUuid::createUuid(), QUrl::fromLocalFile(u"/x"_s),
        u"back\\slash:colon.mp3"_s, u"t"_s, 1, Date::now()));
}

TEST(Track, NewTrackEncodesExactlyItsKeysInOrder)
{
    const Track track = sampleTrack();
    EXPECT_EQ(track.rating, 0);
    EXPECT_FALSE(track.artist || track.year || track.bitrate || track.lyrics);
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

TEST(Track, EveryFieldRoundTrips)
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
}

TEST(Track, MinimalObjectDecodesWithDefaults)
{
    const Date before = Date::now();
    const Track t = Track::fromJson(Json::parse(minimalTrack));
    EXPECT_EQ(t.rating, 0);
    ASSERT_TRUE(t.dateAdded);
    EXPECT_GE(*t.dateAdded, before);
    EXPECT_EQ(keysOf(t.toJson()).back(), "dateAdded");

    Json withNulls = Json::parse(minimalTrack);
    withNulls["rating"] = nullptr;
    withNulls["artist"] = nullptr;
    withNulls["unknownKey"] = "ignored";
    const Track fromNulls = Track::fromJson(withNulls);
    EXPECT_EQ(fromNulls.rating, 0);
    EXPECT_FALSE(fromNulls.artist);
    EXPECT_FALSE(fromNulls.toJson().contains("artist"));

    // Upper- and lower-case ids both read; the stored file name is taken as is.
    Json odd = Json::parse(minimalTrack);
    odd["filename"] = "a/b.mp3";
    EXPECT_EQ(Track::fromJson(odd).filename, u"a/b.mp3"_s);
}

TEST(Track, DecodingFailuresNameTheKey)
{
    EXPECT_EQ(decodeFailureKey(R"({"id":"0f1e2d3c-4b5a-6978-8796-a5b4c3d2e1f0",)"
                               R"("fileURL":"file:///a.mp3","filename":"a.mp3","duration":1})"),
        u"title"_s);
    EXPECT_EQ(decodeFailureKey(R"({"id":"0f1e2d3c-4b5a-6978-8796-a5b4c3d2e1f0",)"
                               R"("fileURL":"file:///a.mp3","filename":"a.mp3","title":"t",)"
                               R"("duration":"x"})"),
        u"duration"_s);
    EXPECT_EQ(decodeFailureKey(R"({"id":"0f1e2d3c-4b5a-6978-8796-a5b4c3d2e1f0",)"
                               R"("fileURL":"file:///a.mp3","filename":"a.mp3","title":"t",)"
                               R"("duration":1,"rating":2.5})"),
        u"rating"_s);
    EXPECT_EQ(decodeFailureKey(R"({"id":"not-a-uuid","fileURL":"file:///a.mp3"})"), u"id"_s);
    EXPECT_EQ(decodeFailureKey(R"({"id":"0f1e2d3c-4b5a-6978-8796-a5b4c3d2e1f0",)"
                               R"("fileURL":"file:///a.mp3","filename":"a.mp3","title":"t",)"
                               R"("duration":1,"securityScopedBookmark":"!!"})"),
        u"securityScopedBookmark"_s);
    // An integral float is still an integer.
    EXPECT_EQ(decodeFailureKey(R"({"id":"0f1e2d3c-4b5a-6978-8796-a5b4c3d2e1f0",)"
                               R"("fileURL":"file:///a.mp3","filename":"a.mp3","title":"t",)"
                               R"("duration":1,"year":1999.0})"),
        QString());
}

TEST(Track, NonFiniteNumbersAreNeverWritten)
{
    for (double bad : { std::nan(""), HUGE_VAL, -HUGE_VAL }) {
        Track t = sampleTrack();
        t.duration = bad;
        try {
            (void)t.toJson();
            FAIL() << "expected an encoding error";
        } catch (const JsonCodingError& e) {
            EXPECT_EQ(e.kind(), JsonCodingError::Kind::Encoding);
            EXPECT_EQ(e.keyPath(), u"duration"_s);
        }
    }
}

TEST(Track, EqualityCoversEveryField)
{
    const Track a = sampleTrack();
    Track b = a;
    EXPECT_EQ(a, b);
    b.comments = u"different"_s;
    EXPECT_NE(a, b);
    EXPECT_EQ(a.id, b.id);
    EXPECT_NE(qHash(a), qHash(b));
    Track c = a;
    c.comments = QString(); // present but empty differs from absent
    EXPECT_NE(a, c);
}

TEST(AudioImportSupport, DecidesByExtensionOnly)
{
    const auto supported = [](const QString& path) {
        return AudioImportSupport::isSupportedAudioURL(QUrl::fromLocalFile(path));
    };
    EXPECT_TRUE(supported(u"/m/Song.MP3"_s));
    EXPECT_TRUE(supported(u"/m/Song.Flac"_s));
    EXPECT_TRUE(supported(u"/nowhere/gone.wav"_s));
    EXPECT_FALSE(supported(u"/m/Song.mp3.part"_s));
    EXPECT_FALSE(supported(u"/m/README"_s));
    EXPECT_FALSE(supported(u"/m/Song.aif"_s));
    EXPECT_FALSE(supported(u"/m/Song."_s));
    EXPECT_FALSE(AudioImportSupport::isSupportedAudioURL(QUrl(u"file:///m/Music.mp3/"_s)));
    EXPECT_TRUE(supported(u"/m.mp3/folder/Track.ogg"_s));
    EXPECT_EQ(AudioImportSupport::supportedAudioExtensions().size(), 8);
}
