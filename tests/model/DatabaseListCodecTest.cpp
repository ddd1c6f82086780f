#include "model/StoreFile.h"
#include "model/Track.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <limits>

using namespace Qt::Literals::StringLiterals;
using ::testing::ElementsAre;

namespace kivo {
namespace {

// Large enough to take the parallel path.
QList<Track> manyTracks()
{
    QList<Track> tracks;
    for (int i = 0; i < 3 * int(storefile::detail::parallelRecords); ++i) {
        Track track = Track::make(QUuid::createUuid(),
            QUrl::fromLocalFile(u"/music/%1 \"quoted\" ],[.mp3"_s.arg(i)),
            u"%1 \"quoted\" ],[.mp3"_s.arg(i), u"Title {%1} \\ \u00e9"_s.arg(i), i,
            Date { 1.5 * i }, QByteArray(100, char(i)));
        track.lyrics = u"line one\nline \"two\" ]}"_s;
        tracks.push_back(track);
    }
    return tracks;
}

TEST(DatabaseListCodecTest, LargeListsEncodeAndDecodeLikeSmallOnes)
{
    const QList<Track> tracks = manyTracks();
    const QByteArray bytes = storefile::encodeList(tracks);
    ASSERT_GE(bytes.size(), storefile::detail::parallelBytes);
    EXPECT_EQ(bytes, storefile::detail::encodeListSerially(tracks));
    EXPECT_EQ(storefile::decodeList<Track>(bytes), tracks);

    // White space around and between elements is still one array.
    QByteArray spaced = bytes;
    spaced.replace("},{", "} ,\n\t{");
    spaced = " \r\n" + spaced + "\n";
    EXPECT_EQ(storefile::decodeList<Track>(spaced), tracks);
}

TEST(DatabaseListCodecTest, LargeListsFailWithTheErrorOfTheFirstBadRecord)
{
    QList<Track> tracks = manyTracks();
    tracks[4000].duration = std::numeric_limits<double>::infinity();
    tracks[5000].duration = std::numeric_limits<double>::quiet_NaN();
    try {
        storefile::encodeList(tracks);
        FAIL() << "a non-finite duration was encoded";
    } catch (const JsonCodingError& error) {
        EXPECT_EQ(error.kind(), JsonCodingError::Kind::Encoding);
        EXPECT_EQ(error.keyPath(), u"duration"_s);
    }

    tracks[4000].duration = tracks[5000].duration = 1;
    QByteArray bytes = storefile::encodeList(tracks);
    const QByteArray title = "\"title\":";
    const qsizetype second = bytes.indexOf(title, bytes.indexOf(title) + 1);
    QByteArray withBadRecords = QByteArray(bytes).replace(second, title.size(), "\"titel\":");
    withBadRecords.replace(withBadRecords.lastIndexOf(title), title.size(), "\"title\":1,\"x\":");
    try {
        storefile::decodeList<Track>(withBadRecords.left(withBadRecords.size() - 1000) + "]");
        FAIL() << "a broken list was decoded";
    } catch (const JsonCodingError& error) {
        EXPECT_EQ(error.keyPath(), QString()); // a syntax error: the text is cut short
    }
    try {
        storefile::decodeList<Track>(withBadRecords);
        FAIL() << "a record without title was decoded";
    } catch (const JsonCodingError& error) {
        EXPECT_EQ(error.keyPath(), u"[1].title"_s);
    }
    EXPECT_THROW(storefile::decodeList<Track>(bytes + " x"), JsonCodingError);
    EXPECT_THROW(storefile::decodeList<Track>("{\"a\":" + bytes + "}"), JsonCodingError);
}

TEST(DatabaseListCodecTest, TheSplitterCutsOnlyAtTopLevelCommas)
{
    using storefile::detail::splitArray;
    EXPECT_THAT(*splitArray("[]"), ElementsAre());
    EXPECT_THAT(*splitArray(" [ \n ] "), ElementsAre());
    EXPECT_THAT(*splitArray(R"([1, [2,3] ,{"a":"],\"}{"}])"),
        ElementsAre("1", " [2,3] ", R"({"a":"],\"}{"})"));
    EXPECT_THAT(*splitArray("[,]"), ElementsAre("", ""));
    EXPECT_FALSE(splitArray("[1,2"));
    EXPECT_FALSE(splitArray("[\"open]"));
    EXPECT_FALSE(splitArray("[1] x"));
    EXPECT_FALSE(splitArray("{}"));
    EXPECT_FALSE(splitArray(""));
}

} // namespace
} // namespace kivo
