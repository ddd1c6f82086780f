#include "model/TrackSortOrder.h"
#include "model/JsonCodec.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <random>

using namespace kivo;
using namespace Qt::Literals::StringLiterals;

namespace {

Track makeTrack(const QString& idText, const QString& title, const QString& file = u"a.mp3"_s)
{
    return Track::make(QUuid::fromString(idText), QUrl::fromLocalFile(u"/m/"_s + file), file, title,
        100, Date { 0 });
}

const QString id1 = u"00000000-0000-0000-0000-000000000001"_s;
const QString id2 = u"00000000-0000-0000-0000-000000000002"_s;
const QString id3 = u"00000000-0000-0000-0000-00000000000A"_s;
const QString id4 = u"F0000000-0000-0000-0000-000000000000"_s;

QStringList titlesSorted(QList<Track> tracks, TrackSortOrder order)
{
    std::sort(tracks.begin(), tracks.end(), order);
    QStringList titles;
    for (const Track& t : tracks) {
        titles << t.title;
    }
    return titles;
}

} // namespace

TEST(TrackSortOrder, RawValuesRoundTripCaseSensitively)
{
    for (int i = 0; i <= int(TrackSortField::dateAdded); ++i) {
        const auto field = TrackSortField(i);
        EXPECT_EQ(trackSortFieldFromRawValue(rawValue(field)), field);
    }
    EXPECT_EQ(rawValue(TrackSortField::albumArtist), u"albumArtist"_s);
    EXPECT_FALSE(trackSortFieldFromRawValue(u"Title"_s));
    EXPECT_FALSE(trackSortFieldFromRawValue(QString()));
}

TEST(TrackSortOrder, TiesBreakByIdTextInBothDirections)
{
    // Ids compared as text: "…0A" after "…02"; "F…" last.
    const QList<Track> tracks { makeTrack(id4, u"Same"_s), makeTrack(id3, u"Same"_s),
        makeTrack(id1, u"Same"_s), makeTrack(id2, u"Other"_s) };
    auto sortedIds = [&](bool ascending) {
        QList<Track> copy = tracks;
        std::sort(copy.begin(), copy.end(), TrackSortOrder { TrackSortField::title, ascending });
        QStringList ids;
        for (const Track& t : copy) {
            ids << json::uuidText(t.id);
        }
        return ids;
    };
    EXPECT_EQ(sortedIds(true), (QStringList { id2, id1, id3, id4 }));
    EXPECT_EQ(sortedIds(false), (QStringList { id1, id3, id4, id2 }));
    const TrackSortOrder order;
    EXPECT_FALSE(order.areInIncreasingOrder(tracks[0], tracks[0]));
}

TEST(TrackSortOrder, MissingValuesAndEveryField)
{
    Track noArtist = makeTrack(id1, u"no artist"_s);
    Track zed = makeTrack(id2, u"zed"_s);
    zed.artist = u"Zed"_s;
    Track abba = makeTrack(id3, u"abba"_s);
    abba.artist = u"abba"_s;
    EXPECT_EQ(titlesSorted({ zed, abba, noArtist }, { TrackSortField::artist, true }),
        (QStringList { u"no artist"_s, u"abba"_s, u"zed"_s }));

    Track negative = makeTrack(id1, u"negative"_s);
    negative.year = -10;
    Track none = makeTrack(id2, u"none"_s);
    Track positive = makeTrack(id3, u"positive"_s);
    positive.year = 1990;
    EXPECT_EQ(titlesSorted({ negative, none, positive }, { TrackSortField::year, false }),
        (QStringList { u"positive"_s, u"none"_s, u"negative"_s }));

    Track undated = makeTrack(id4, u"undated"_s);
    undated.dateAdded.reset();
    Track dated = makeTrack(id1, u"dated"_s);
    dated.dateAdded = Date { -1e9 };
    EXPECT_EQ(titlesSorted({ dated, undated }, { TrackSortField::dateAdded, true }),
        (QStringList { u"undated"_s, u"dated"_s }));

    const QList<Track> formats { makeTrack(id1, u"wav"_s, u"x.wav"_s),
        makeTrack(id2, u"mp3"_s, u"x.mp3"_s), makeTrack(id3, u"none"_s, u"README"_s),
        makeTrack(id4, u"flac"_s, u"x.flac"_s),
        makeTrack(u"00000000-0000-0000-0000-0000000000BB"_s, u"m4a"_s, u"x.m4a"_s) };
    EXPECT_EQ(titlesSorted(formats, { TrackSortField::format, true }),
        (QStringList { u"none"_s, u"flac"_s, u"m4a"_s, u"mp3"_s, u"wav"_s }));

    for (TrackSortField field :
        { TrackSortField::trackNumber, TrackSortField::bitrate, TrackSortField::sampleRate }) {
        Track high = makeTrack(id1, u"high"_s);
        Track low = makeTrack(id2, u"low"_s);
        high.trackNumber = high.bitrate = high.sampleRate = 9;
        low.trackNumber = low.bitrate = low.sampleRate = 2;
        EXPECT_EQ(
            titlesSorted({ high, low }, { field, true }), (QStringList { u"low"_s, u"high"_s }));
        EXPECT_EQ(
            titlesSorted({ low, high }, { field, false }), (QStringList { u"high"_s, u"low"_s }));
    }
}

TEST(TrackSortOrder, TitlesFollowLocaleOrderNotCodePoints)
{
    const QList<Track> tracks { makeTrack(id1, u"banana"_s), makeTrack(id2, u"Apple"_s),
        makeTrack(id3, u"apple"_s), makeTrack(id4, u"Cherry"_s) };
    const QStringList sorted = titlesSorted(tracks, { TrackSortField::title, true });
    EXPECT_EQ(sorted.mid(2), (QStringList { u"banana"_s, u"Cherry"_s }));
    EXPECT_TRUE(sorted.mid(0, 2).contains(u"apple"_s) && sorted.mid(0, 2).contains(u"Apple"_s));
}

TEST(TrackSortOrder, NaNDurationsKeepAStrictWeakOrder)
{
    QList<Track> tracks;
    std::mt19937 random(7);
    for (int i = 0; i < 200; ++i) {
        Track t = Track::make(QUuid::createUuid(), QUrl::fromLocalFile(u"/m/a.mp3"_s), u"a.mp3"_s,
            u"t"_s, (i % 5 == 0) ? std::nan("") : double(random() % 50), Date { 0 });
        tracks.push_back(t);
    }
    for (bool ascending : { true, false }) {
        const TrackSortOrder order { TrackSortField::duration, ascending };
        QList<Track> sorted = tracks;
        std::sort(sorted.begin(), sorted.end(), order);
        // Sorted means no later element must come before an earlier one.
        for (qsizetype i = 0; i + 1 < sorted.size(); ++i) {
            ASSERT_FALSE(order(sorted[i + 1], sorted[i])) << i;
        }
        const qsizetype firstNaN = std::find_if(sorted.begin(), sorted.end(), [](const Track& t) {
            return std::isnan(t.duration);
        }) - sorted.begin();
        const bool nanBlockAtEnd = std::all_of(sorted.begin() + firstNaN, sorted.end(),
            [](const Track& t) { return std::isnan(t.duration); });
        const bool nanBlockAtStart = std::all_of(sorted.begin(), sorted.begin() + 40,
            [](const Track& t) { return std::isnan(t.duration); });
        EXPECT_TRUE(ascending ? nanBlockAtEnd : nanBlockAtStart);
    }
}
