#include "engines/artwork/SharedMetadataDraft.h"
#include "engines/artwork/TrackMetadataBatchFakes.h"

#include <gtest/gtest.h>
#include <tuple>

using namespace kivo;
using namespace kivo::test;
using namespace Qt::Literals::StringLiterals;

TEST(SharedMetadataDraft, ShowsSharedValuesAndMarksDisagreement)
{
    Track a = song(u"a"_s), b = song(u"b"_s);
    a.artist = u"Ana"_s;
    b.artist = u"Ana "_s; // a trailing blank is a different value
    a.album = b.album = u"Sea"_s;
    a.year = b.year = 1999;
    b.bpm = 120;
    a.rating = 2;
    b.rating = 4;

    const SharedMetadataDraft draft = SharedMetadataDraft::fromTracks({ a, b });
    EXPECT_EQ(draft.artist, (AppliedTextMetadataDraft { {}, false, true }));
    EXPECT_EQ(draft.album, (AppliedTextMetadataDraft { u"Sea"_s, false, false }));
    EXPECT_EQ(draft.genre, AppliedTextMetadataDraft {}); // all absent: empty, not mixed
    EXPECT_EQ(draft.year.value, u"1999"_s);
    EXPECT_TRUE(draft.bpm.hadMixedValues); // 120 against none
    EXPECT_EQ(draft.rating, 0);
    EXPECT_TRUE(draft.hadMixedRatings);
    EXPECT_EQ(SharedMetadataDraft::fromTracks({ a, a }).rating, 2);
}

TEST(SharedMetadataDraft, IntegersAreStrictDecimalsAndValidatedAgainstTheirRange)
{
    EXPECT_EQ(parseMetadataInteger(u" +5\n"_s), 5);
    EXPECT_EQ(parseMetadataInteger(u"-9223372036854775808"_s), INT64_MIN);
    EXPECT_EQ(parseMetadataInteger(u"9223372036854775807"_s), INT64_MAX);
    for (const QString& bad : { u" "_s, u"+"_s, u"-"_s, u"+-1"_s, u"1 2"_s, u"12a"_s,
             u"\u0661\u0662"_s /* Arabic-Indic digits */, u"9223372036854775808"_s,
             u"-9223372036854775809"_s }) {
        EXPECT_EQ(parseMetadataInteger(bad), std::nullopt) << bad.toStdString();
    }

    const auto message = [](const QString& value, bool applied = true) {
        return SharedMetadataDraft::validationMessage(
            { value, applied, false }, u"Year"_s, 0, 9999);
    };
    EXPECT_EQ(message(u"x"_s, false), std::nullopt);
    EXPECT_EQ(message(u"  "_s), std::nullopt); // blank clears
    EXPECT_EQ(message(u"+2024"_s), std::nullopt);
    EXPECT_EQ(
        message(u"10000"_s), u"Year must be between 0 and 9999, or left blank to clear it."_s);
    EXPECT_EQ(message(u"-"_s), message(u"10000"_s));

    // Both bounds are inside the range, for every field's range.
    for (const auto& [name, minimum, maximum] : { std::tuple { u"Year"_s, 0, 9999 },
             std::tuple { u"Disc number"_s, 1, 999 }, std::tuple { u"BPM"_s, 1, 999 } }) {
        for (const qint64 inside : { minimum, maximum }) {
            EXPECT_EQ(SharedMetadataDraft::validationMessage(
                          { QString::number(inside), true, false }, name, minimum, maximum),
                std::nullopt)
                << name.toStdString() << " " << inside;
        }
        EXPECT_NE(SharedMetadataDraft::validationMessage(
                      { QString::number(maximum + 1), true, false }, name, minimum, maximum),
            std::nullopt);
    }
}

TEST(SharedMetadataDraft, PatchWritesOnlyAppliedFieldsAndNothingElse)
{
    SharedMetadataDraft draft;
    EXPECT_TRUE(draft.makePatch().changesNothing());
    draft.artist = { u"Edited but off"_s, false, false };
    draft.album = { u" \n Sea \n"_s, true, false };
    draft.genre = { u"  "_s, true, false };
    draft.year = { u"nineteen"_s, true, false };
    draft.bpm = { u"999"_s, true, false };
    draft.rating = 7;
    EXPECT_EQ(draft.makePatch().rating, std::nullopt);
    draft.isRatingApplied = true;

    const SharedTrackMetadataPatch patch = draft.makePatch();
    EXPECT_EQ(patch.artist, OptionalMetadataChange<QString>::unchanged());
    EXPECT_EQ(patch.album, OptionalMetadataChange<QString>::set(u"Sea"_s));
    EXPECT_EQ(patch.genre, OptionalMetadataChange<QString>::set(std::nullopt));
    EXPECT_EQ(patch.year, OptionalMetadataChange<qint64>::set(std::nullopt));
    EXPECT_EQ(patch.bpm, OptionalMetadataChange<qint64>::set(999));
    EXPECT_EQ(patch.rating, 5);
    draft.rating = -1;
    EXPECT_EQ(draft.makePatch().rating, 0);

    Track track = song(u"Title"_s);
    track.trackNumber = 3;
    track.year = 1999;
    track.genre = u"Jazz"_s;
    Track expected = track;
    expected.album = u"Sea"_s;
    expected.genre.reset();
    expected.year.reset();
    expected.bpm = 999;
    expected.rating = 5;
    EXPECT_EQ(patch.apply(track), expected);
    draft.year.value = u"9999"_s;
    EXPECT_EQ(draft.makePatch().apply(track).year, 9999);

    SharedMetadataDraft artworkOnly;
    artworkOnly.replacementArtworkData = QByteArray("png");
    EXPECT_TRUE(artworkOnly.makePatch().isArtworkOnly());
    EXPECT_FALSE(artworkOnly.makePatch().changesNothing());
}
