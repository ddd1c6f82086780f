#include "engines/artwork/SharedMetadataDraft.h"
#include "engines/artwork/TrackMetadataBatchFakes.h"

#include <gtest/gtest.h>

using namespace kivo;
using namespace kivo::test;
using namespace Qt::Literals::StringLiterals;

namespace {

AppliedTextMetadataDraft applied(const QString& value)
{
    return { value, true, false };
}

} // namespace

TEST(SharedMetadataDraft, ShowsSharedValuesAndMarksDisagreement)
{
    Track a = song(u"a"_s), b = song(u"b"_s), c = song(u"c"_s);
    a.artist = u"Ana"_s;
    b.artist = u"Ana "_s; // a trailing blank is a different value
    a.album = b.album = c.album = u"Sea"_s;
    a.year = b.year = c.year = 1999;
    c.bpm = 120;
    a.rating = b.rating = 2;
    c.rating = 4;

    const SharedMetadataDraft draft = SharedMetadataDraft::fromTracks({ a, b, c });
    EXPECT_EQ(draft.artist, (AppliedTextMetadataDraft { {}, false, true }));
    EXPECT_EQ(draft.album, (AppliedTextMetadataDraft { u"Sea"_s, false, false }));
    EXPECT_EQ(draft.genre, AppliedTextMetadataDraft {}); // all absent: empty, not mixed
    EXPECT_EQ(draft.year.value, u"1999"_s);
    EXPECT_TRUE(draft.bpm.hadMixedValues); // 120 against none
    EXPECT_EQ(draft.rating, 0);
    EXPECT_TRUE(draft.hadMixedRatings);

    const SharedMetadataDraft same = SharedMetadataDraft::fromTracks({ a, a });
    EXPECT_EQ(same.rating, 2);
    EXPECT_FALSE(same.hadMixedRatings);
    EXPECT_EQ(SharedMetadataDraft::fromTracks({}), SharedMetadataDraft {});
}

TEST(SharedMetadataDraft, IntegersAreStrictDecimals)
{
    EXPECT_EQ(parseMetadataInteger(u" +5\n"_s), 5);
    EXPECT_EQ(parseMetadataInteger(u"-12"_s), -12);
    EXPECT_EQ(parseMetadataInteger(u"-9223372036854775808"_s), INT64_MIN);
    EXPECT_EQ(parseMetadataInteger(u"9223372036854775807"_s), INT64_MAX);
    for (const QString& bad : { u""_s, u" "_s, u"+"_s, u"-"_s, u"+-1"_s, u"1 2"_s, u"12a"_s,
             u"\u0661\u0662"_s /* Arabic-Indic digits */, u"\uFF11"_s /* fullwidth 1 */,
             u"9223372036854775808"_s, u"-9223372036854775809"_s }) {
        EXPECT_EQ(parseMetadataInteger(bad), std::nullopt) << bad.toStdString();
    }
}

TEST(SharedMetadataDraft, ValidationNamesTheRange)
{
    const auto message = [](const QString& value, const QString& name, qint64 low, qint64 high) {
        return SharedMetadataDraft::validationMessage(applied(value), name, low, high);
    };
    EXPECT_EQ(SharedMetadataDraft::validationMessage({ u"abc"_s, false, false }, u"BPM"_s, 1, 999),
        std::nullopt);
    EXPECT_EQ(message(u"  "_s, u"Year"_s, 0, 9999), std::nullopt);
    EXPECT_EQ(message(u"2024"_s, u"Year"_s, 0, 9999), std::nullopt);
    EXPECT_EQ(message(u"+5"_s, u"BPM"_s, 1, 999), std::nullopt);
    EXPECT_EQ(message(u"10000"_s, u"Year"_s, 0, 9999),
        u"Year must be between 0 and 9999, or left blank to clear it."_s);
    EXPECT_EQ(message(u"0"_s, u"Disc number"_s, 1, 999),
        u"Disc number must be between 1 and 999, or left blank to clear it."_s);
    EXPECT_EQ(message(u"-"_s, u"BPM"_s, 1, 999), message(u"9x"_s, u"BPM"_s, 1, 999));
    EXPECT_TRUE(message(u"-"_s, u"BPM"_s, 1, 999));
}

TEST(SharedMetadataDraft, PatchWritesOnlyAppliedFields)
{
    SharedMetadataDraft draft;
    EXPECT_TRUE(draft.makePatch().changesNothing());
    draft.artist = { u"Edited but off"_s, false, false };
    draft.album = applied(u" \n Sea \n"_s);
    draft.genre = applied(u"  "_s);
    draft.year = applied(u"nineteen"_s);
    draft.bpm = applied(u"+90"_s);
    draft.rating = 7;
    EXPECT_EQ(draft.makePatch().rating, std::nullopt);
    draft.isRatingApplied = true;

    const SharedTrackMetadataPatch patch = draft.makePatch();
    EXPECT_EQ(patch.artist, OptionalMetadataChange<QString>::unchanged());
    EXPECT_EQ(patch.album, OptionalMetadataChange<QString>::set(u"Sea"_s));
    EXPECT_EQ(patch.genre, OptionalMetadataChange<QString>::set(std::nullopt));
    EXPECT_EQ(patch.year, OptionalMetadataChange<qint64>::set(std::nullopt));
    EXPECT_EQ(patch.bpm, OptionalMetadataChange<qint64>::set(90));
    EXPECT_EQ(patch.rating, 5);
    EXPECT_FALSE(patch.isArtworkOnly());
    draft.rating = -1;
    EXPECT_EQ(draft.makePatch().rating, 0);

    SharedMetadataDraft artworkOnly;
    artworkOnly.replacementArtworkData = QByteArray("png");
    EXPECT_TRUE(artworkOnly.makePatch().isArtworkOnly());
    EXPECT_FALSE(artworkOnly.makePatch().changesNothing());
}

TEST(SharedMetadataDraft, PatchLeavesOtherTrackFieldsAlone)
{
    Track track = song(u"Title"_s);
    track.trackNumber = 3;
    track.year = 1999;
    track.artist = u"Ana"_s;
    SharedTrackMetadataPatch patch;
    patch.year = OptionalMetadataChange<qint64>::set(std::nullopt);
    patch.rating = 9;

    Track expected = track;
    expected.year.reset();
    expected.rating = 5;
    EXPECT_EQ(patch.apply(track), expected);
}
