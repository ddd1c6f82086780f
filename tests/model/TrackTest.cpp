#include "model/Track.h"
#include "DatabaseTestSupport.h"
#include "model/AudioImportSupport.h"
#include "model/SharedTexts.h"
#include "model/StoreFile.h"

#include <QHash>
#include <gtest/gtest.h>
#include <limits>

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
    full.setLyrics(u"la"_s);
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
    t.setComposer(u"C"_s);
    t.setAlbumArtist(u"AA"_s);
    t.setComments(u"line\nbreak \"quoted\""_s);
    t.bpm = 128;
    t.setLyrics(u"\U0001F3B5"_s);
    t.rating = 5;
    t.bitrate = 1411;
    t.sampleRate = 44100;
    t.duration = 0.1 + 0.2; // needs all 17 digits
    const Track back = Track::fromJson(Json::parse(t.toJson().dump()));
    EXPECT_EQ(back, t);
    EXPECT_EQ(qHash(back), qHash(t));

    Track other = t;
    other.setComments(u"different"_s);
    EXPECT_NE(t, other);
    EXPECT_NE(qHash(t), qHash(other));
    other.setComments(std::nullopt); // absent differs from present but empty
    t.setComments(QString());
    EXPECT_NE(t, other);

    // Present but empty (or zero) stays present through the store.
    t.securityScopedBookmark = QByteArray();
    t.bpm = 0;
    const Json emptyJson = t.toJson();
    EXPECT_EQ(emptyJson["comments"], "");
    EXPECT_EQ(emptyJson["securityScopedBookmark"], "");
    const Track empty = Track::fromJson(Json::parse(emptyJson.dump()));
    EXPECT_EQ(empty.comments(), QString());
    EXPECT_EQ(empty.securityScopedBookmark, QByteArray());
    EXPECT_EQ(empty.bpm, 0);
    EXPECT_EQ(empty, t);
}

TEST(Track, RareTextsBelongToEachCopy)
{
    // Copies share the rare texts until one changes them: a change to one
    // copy never shows in another list's copy of the song.
    Track original = sampleTrack(QByteArray("bookmark"));
    original.setComposer(u"Bo"_s);
    Track copy = original;
    copy.setComposer(u"Ana"_s);
    copy.setLyrics(u"la"_s);
    EXPECT_EQ(original.composer(), u"Bo"_s);
    EXPECT_EQ(original.lyrics(), std::nullopt);
    EXPECT_EQ(copy.composer(), u"Ana"_s);

    // Clearing the last one leaves a song equal to one that never had any.
    copy.setComposer(std::nullopt);
    copy.setLyrics(std::nullopt);
    const Track plain = sampleTrack(QByteArray("bookmark"));
    EXPECT_EQ(copy, plain);
    EXPECT_EQ(qHash(copy), qHash(plain));
    EXPECT_EQ(copy.toJson(), plain.toJson());
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
    EXPECT_EQ(first.artist->constData(), second.composer()->constData());
    EXPECT_EQ(first.album->constData(), second.album->constData());
    // Forgetting the pool leaves every decoded value as it was.
    sharedtexts::clear();
    EXPECT_EQ(Track::fromJson(object), first);
    EXPECT_EQ(*first.artist, u"Nina Simone"_s);
}

TEST(Track, ALargeListDecodedSideBySideSharesEachNameOnce)
{
    // Decoded in chunks on several threads, each looking in its own cache
    // first: still one buffer per name across the whole list.
    QList<Track> tracks;
    for (int i = 0; i < 3000; ++i) {
        Track track = sampleTrack();
        track.id = QUuid::createUuid();
        track.artist = QString(u"Nina Simone"_s);
        track.setComposer(QString(i % 2 ? u"Nina Simone"_s : u"Bo"_s));
        tracks.push_back(std::move(track));
    }
    const QList<Track> decoded = storefile::decodeList<Track>(storefile::encodeList(tracks));
    ASSERT_EQ(decoded, tracks);
    const QChar* const shared = decoded.front().artist->constData();
    for (const Track& track : decoded) {
        ASSERT_EQ(track.artist->constData(), shared);
    }
    EXPECT_EQ(decoded[1].composer()->constData(), shared);
}

// The compact record's mark for an absent number is a value a file may hold:
// it is refused, never read as no value; the next one up round-trips.
TEST(Track, TheLeastIntegerIsRefusedRatherThanReadAsNoValue)
{
    const Json stored = Track::make(QUuid::createUuid(), QUrl::fromLocalFile(u"/m/a.mp3"_s),
        u"a.mp3"_s, u"A"_s, 1.5, Date { 3 })
                            .toJson();
    for (const char* key :
        { "year", "trackNumber", "discNumber", "bpm", "bitrate", "sampleRate" }) {
        Json object = stored;
        object[key] = std::numeric_limits<qint64>::min();
        const auto error
            = test::errorOf<JsonCodingError>([&] { (void)Track::fromJson(object, u"[4]"_s); });
        ASSERT_TRUE(error) << key;
        EXPECT_EQ(error->description(),
            u"The data couldn't be read: The number -9223372036854775808 is out of this "
            u"field's range. (key \"[4].%1\")"_s.arg(QString::fromUtf8(key)));
        object[key] = std::numeric_limits<qint64>::min() + 1;
        EXPECT_EQ(nlohmann::json::parse(Track::fromJson(object).toJson().dump()),
            nlohmann::json::parse(object.dump()))
            << key;
    }
}

// A large library's records are read straight from their text where the
// reader is sure of them, and through the JSON parser otherwise: either way
// each gives the same song, or fails with the same error, as the parser's,
// and is said to be in the encoder's form exactly when encoding it gives its
// text back.
TEST(Track, RecordsReadFromTheirTextDecodeAsParsedOnes)
{
    const std::string head = R"({"id":"0f1e2d3c-4b5a-6978-8796-A5B4C3D2E1F0",)"
                             R"("fileURL":"file:///music/Caf%C3%A9%20%E2%99%AB.mp3",)";
    const std::string rest
        = R"("filename":"Café ♫.mp3","title":"Song 𝄞","duration":215.5,)"
          R"("securityScopedBookmark":"AQID","artist":"A","album":"B","genre":"G",)"
          R"("year":1999,"trackNumber":3,"discNumber":1,"composer":"C","albumArtist":"D",)"
          R"("comments":"c","bpm":120,"lyrics":"l","rating":4,"bitrate":320,)"
          R"("sampleRate":44100,"dateAdded":700000000.25})";
    const std::string minimal = head + R"("filename":"f.mp3","title":"t","duration":1)";
    const std::string canonicalHead
        = R"({"id":"0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0","fileURL":"file:///a.mp3",)";
    // Records the direct reader must take itself, then any others.
    const std::vector<std::string> direct = {
        head + rest,
        canonicalHead + rest,
        minimal + "}",
        " \n\t{ " + minimal.substr(1) + " , \"dateAdded\" : 1.5 }\r\n",
        minimal + R"(,"artist":null,"year":null,"securityScopedBookmark":null,"dateAdded":null})",
        minimal + R"(,"artist":"","comments":"","securityScopedBookmark":""})",
        head + R"("filename":"","title":"","duration":-0.0})",
        minimal + R"(,"comments":"\"\\\/\b\f\n\r\t\u00e9\u20AC\ud834\uDD1E\u0000x"})",
        minimal + R"(,"year":3.0,"rating":1e0,"bpm":-0,"bitrate":9223372036854775807})",
        head + R"("filename":"f","title":"t","duration":18446744073709551616})",
        head + R"("filename":"f","title":"t","duration":1E-5,"dateAdded":-2.5e+3})",
        minimal + R"(,"extra":"x","flag":true,"off":false,"n":null,"num":1.5,"":"e"})",
        canonicalHead
            + R"("filename":"f","title":"q\"\\\n\u001f\u0001é","duration":1.0,"rating":0,)"
              R"("dateAdded":1.5})",
        canonicalHead
            + R"("filename":"f","title":"\u000a","duration":1.0,"rating":0,"dateAdded":1.5})",
        canonicalHead
            + R"("filename":"f","title":"\u001F","duration":1.0,"rating":0,"dateAdded":1.5})",
        canonicalHead + R"("filename":"f","title":"t","duration":1,"rating":0,"dateAdded":1.5})",
        canonicalHead + R"("filename":"f","title":"t","duration":1.0,"rating":-0,"dateAdded":1.5})",
        canonicalHead + R"("filename":"f","title":"t","duration":1.0,"dateAdded":1.5,"rating":0})",
        canonicalHead
            + R"("filename":"f","title":"t","duration":1.0,"rating":0,"dateAdded":15e-1})",
        canonicalHead
            + R"("filename":"f","title":"t","duration":1.0,)"
              R"("securityScopedBookmark":"AQJ=","rating":0,"dateAdded":1.5})",
        canonicalHead
            + R"("filename":"f","title":"t","duration":1.0,)"
              R"("securityScopedBookmark":"AR==","rating":0,"dateAdded":1.5})",
        canonicalHead
            + R"("filename":"f","title":"t","duration":1.0,)"
              R"("securityScopedBookmark":"AQI=","rating":0,"dateAdded":1.5})",
    };
    const std::vector<std::string> others = {
        minimal + R"(,"title":"second"})",
        minimal + R"(,"year":-9223372036854775808,"sampleRate":-7})",
        // Written back as it was read, raw "#" and all.
        R"({"id":"0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0","fileURL":"file:///m/a#b#c%23d.mp3",)"
        R"("filename":"f","title":"t","duration":1.0,"rating":0,"dateAdded":1.5})",
        minimal + R"(,"ti\u0074le":"escaped key"})",
        minimal + R"(,"extra":{"nested":[1,2]},"more":[]})",
        head + R"("filename":"f","title":"t"})",
        head + R"("filename":"f","title":null,"duration":1})",
        minimal + R"(,"duration":"x"})",
        minimal + R"(,"rating":2.5})",
        minimal + R"(,"year":true})",
        minimal + R"(,"year":18446744073709551615})",
        minimal + R"(,"year":1e300})",
        minimal + R"(,"artist":5})",
        minimal + R"(,"securityScopedBookmark":"!!"})",
        minimal + R"(,"securityScopedBookmark":"é"})",
        R"({"id":"not-a-uuid")" + minimal.substr(minimal.find(',')) + "}",
        R"({"id":"0f1e2d3c-4b5a-6978-8796-a5b4c3d2e1fé")" + minimal.substr(minimal.find(',')) + "}",
        R"({"id":"0f1e2d3c-4b5a-6978-8796-a5b4c3d2e1f0","fileURL":"relative/a.mp3")"
            + minimal.substr(minimal.find(R"(,"filename")")) + "}",
        R"({"id":"0f1e2d3c-4b5a-6978-8796-a5b4c3d2e1f0","fileURL":"https://h/a%20b.mp3")"
            + minimal.substr(minimal.find(R"(,"filename")")) + "}",
        R"({"id":"0f1e2d3c-4b5a-6978-8796-a5b4c3d2e1f0","fileURL":5)"
            + minimal.substr(minimal.find(R"(,"filename")")) + "}",
        minimal + R"(,"duration":1e400})",
        minimal + R"(,"duration":01})",
        minimal + R"(,"duration":1.})",
        minimal + R"(,"duration":+1})",
        minimal + R"(,"duration":-})",
        minimal + R"(,"duration":.5})",
        minimal + R"(,"duration":1e-400})",
        minimal + ",\"artist\":\"\xC3\x28\"}",
        minimal + ",\"artist\":\"\xC0\xAF\"}",
        minimal + ",\"artist\":\"\xED\xA0\x80\"}",
        minimal + ",\"artist\":\"\xF4\x90\x80\x80\"}",
        minimal + ",\"artist\":\"\xE2\x82\"}",
        minimal + ",\"artist\":\"a\x01\"}",
        minimal + ",\"artist\":\"\x7F\"}",
        minimal + R"(,"artist":"\ud800"})",
        minimal + R"(,"artist":"\ud800\u0041"})",
        minimal + R"(,"artist":"\udc00"})",
        minimal + R"(,"artist":"\x"})",
        minimal + R"(,"artist":"\u12G4"})",
        minimal + R"(,"artist":nul})",
        minimal + R"(,"artist":"a" "b"})",
        minimal + R"(,})",
        minimal + "} x",
        minimal,
        "[" + minimal + "}]",
        "5",
        "",
        "{}",
    };
    const auto describe = [](const Track& t) {
        return t.toJson().dump() + ' ' + std::to_string(t.title.isNull())
            + std::to_string(t.filename.isNull()) + ' ' + t.fileURL.toString().toStdString();
    };
    int encoderForms = 0;
    for (const std::vector<std::string>* cases : { &direct, &others }) {
        for (const std::string& text : *cases) {
            const QByteArray bytes = QByteArray::fromStdString(text);
            if (cases == &direct) {
                EXPECT_TRUE(Track::fromFlatJson(text)) << text;
            }
            std::optional<Track> parsed;
            std::string parsedError;
            try {
                parsed
                    = Track::fromJson(json::parseRange(bytes, 0, bytes.size(), u"[7]"_s), u"[7]"_s);
            } catch (const JsonCodingError& error) {
                parsedError = error.what();
            }
            std::optional<Track> read;
            std::string readError;
            bool inEncoderForm = false;
            try {
                read = Track::fromJsonText(bytes, 0, bytes.size(), 7, inEncoderForm);
            } catch (const JsonCodingError& error) {
                readError = error.what();
            }
            EXPECT_EQ(readError, parsedError) << text;
            ASSERT_EQ(read.has_value(), parsed.has_value()) << text;
            if (read) {
                EXPECT_EQ(inEncoderForm, read->toJson().dump() == text) << text;
                encoderForms += inEncoderForm;
                // A missing date reads as now, a moment apart in the two reads.
                if (std::abs(parsed->dateAdded->secondsSinceReferenceDate
                        - Date::now().secondsSinceReferenceDate)
                    < 60) {
                    read->dateAdded = parsed->dateAdded;
                }
                EXPECT_EQ(describe(*read), describe(*parsed)) << text;
                EXPECT_EQ(read->fileURL, parsed->fileURL) << text;
            }
        }
    }
    EXPECT_EQ(encoderForms, 4);
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
