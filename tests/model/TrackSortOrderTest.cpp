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

TEST(TrackSortOrder, EveryFieldOrdersByValueWithMissingOnesAsEmptyZeroOrDistantPast)
{
    Track low = makeTrack(id1, u"low"_s, u"x.flac"_s);
    Track high = makeTrack(id2, u"high"_s, u"x.wav"_s);
    Track none = makeTrack(id3, u"none"_s, u"README"_s);
    low.artist = low.album = low.genre = u"abba"_s; // locale order: before "Zed"
    low.setAlbumArtist(u"abba"_s);
    high.artist = high.album = high.genre = u"Zed"_s;
    high.setAlbumArtist(u"Zed"_s);
    low.year = -10;
    high.year = 1990;
    low.trackNumber = low.bitrate = low.sampleRate = 2;
    high.trackNumber = high.bitrate = high.sampleRate = 9;
    low.dateAdded = Date { -1e9 };
    none.dateAdded.reset();
    for (int i = int(TrackSortField::artist); i <= int(TrackSortField::dateAdded); ++i) {
        const TrackSortField field = TrackSortField(i);
        if (field == TrackSortField::duration) {
            continue;
        }
        // A missing year counts as 0, so it sits between a negative and a positive one.
        const QStringList ascending = field == TrackSortField::year
            ? QStringList { u"low"_s, u"none"_s, u"high"_s }
            : QStringList { u"none"_s, u"low"_s, u"high"_s };
        EXPECT_EQ(titlesSorted({ high, none, low }, { field, true }), ascending)
            << rawValue(field).toStdString();
        EXPECT_EQ(titlesSorted({ low, none, high }, { field, false }),
            QStringList(ascending.crbegin(), ascending.crend()))
            << rawValue(field).toStdString();
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
        tracks.push_back(Track::make(QUuid::createUuid(), QUrl::fromLocalFile(u"/m/a.mp3"_s),
            u"a.mp3"_s, u"t"_s, (i % 5 == 0) ? std::nan("") : double(random() % 50), Date { 0 }));
    }
    const auto isNaN = [](const Track& t) { return std::isnan(t.duration); };
    for (bool ascending : { true, false }) {
        const TrackSortOrder order { TrackSortField::duration, ascending };
        QList<Track> sorted = tracks;
        std::sort(sorted.begin(), sorted.end(), order);
        // Sorted means no later element must come before an earlier one.
        for (qsizetype i = 0; i + 1 < sorted.size(); ++i) {
            ASSERT_FALSE(order(sorted[i + 1], sorted[i])) << i;
        }
        // The 40 NaNs form one block: last ascending, first descending.
        EXPECT_TRUE(ascending ? std::all_of(sorted.end() - 40, sorted.end(), isNaN)
                              : std::all_of(sorted.begin(), sorted.begin() + 40, isNaN));
    }
}
