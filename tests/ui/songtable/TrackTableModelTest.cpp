#include "ui/songtable/TrackTableModel.h"
#include "SongTableTestSupport.h"
#include "model/JsonCodec.h"

#include "support/ModelChecks.h"
#include <QLocale>
#include <QTest>
#include <QTextDocument>
#include <cmath>
#include <gtest/gtest.h>
#include <random>

using namespace Qt::Literals::StringLiterals;

namespace kivo {
namespace {

using ID = TrackTableColumnID;

Track song(int n, const QString& title, const QString& file = u"song.mp3"_s)
{
    return Track::make(
        QUuid::fromString(u"00000000-0000-0000-0000-%1"_s.arg(n, 12, 10, QLatin1Char('0'))),
        QUrl::fromLocalFile(u"/music/"_s + file), file, title, 0, Date { 0 });
}

// The texts of a row's twelve cells, " | " between them.
QString rowText(const TrackTableModel& model, int row, int role = Qt::DisplayRole)
{
    QStringList cells;
    for (int column = 0; column < model.columnCount(); ++column) {
        cells << model.index(row, column).data(role).toString();
    }
    return cells.join(u" | "_s);
}

class GermanLocale : public ::testing::Test {
protected:
    void SetUp() override { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }
    void TearDown() override { QLocale::setDefault(QLocale::c()); }
};

TEST_F(GermanLocale, CellTextsAreTheSameInEveryLocale)
{
    Track full = song(1, u"Night <b>Drive</b>"_s, u"night drive.Flac"_s);
    full.duration = 3725;
    full.artist = u"Ada & Co"_s;
    full.album = u"Blue"_s;
    full.setAlbumArtist(u""_s); // present but empty: shown as it is
    full.genre = u"Jazz"_s;
    full.year = 0;
    full.trackNumber = 12;
    full.bitrate = 1411;
    full.sampleRate = 44100;
    full.dateAdded = Date { 86400 };
    Track bare = song(2, u""_s, u"no extension"_s);
    bare.duration = std::nan("");
    Track other = song(3, u"x"_s, u"a.b.Mp3"_s);
    other.sampleRate = 48000;
    other.bitrate = 0;
    other.duration = 59.5;
    other.dateAdded.reset();

    TrackTableModel model;
    model.setDateText(
        [](const Date& date) { return u"day %1"_s.arg(date.secondsSinceReferenceDate / 86400); });
    model.setTracks({ full, bare, other });
    ASSERT_EQ(model.rowCount(), 3);
    EXPECT_EQ(rowText(model, 1),
        u"Night <b>Drive</b> | Ada & Co | Blue |  | Jazz | 0 | 12 | 1:02:05 | 1411 kbps | 44.1 kHz "
        u"| FLAC | day 1");
    EXPECT_EQ(rowText(model, 0), u" | — | — | — | — | — | — | 0:00 | — | — |  | day 0");
    EXPECT_EQ(rowText(model, 2), u"x | — | — | — | — | — | — | 1:00 | 0 kbps | 48.0 kHz | MP3 | —");
    EXPECT_EQ(rowText(model, 0, TrackTableModel::PlainToolTipRole),
        u" |  |  |  |  |  |  | 0:00 |  |  |  | day 0");

    // Tooltips show markup from the files as the characters it is made of.
    const QString tip = model.index(1, int(ID::title)).data(Qt::ToolTipRole).toString();
    EXPECT_TRUE(Qt::mightBeRichText(tip));
    QTextDocument document;
    document.setHtml(tip);
    EXPECT_EQ(document.toPlainText(), u"Night <b>Drive</b>");
    document.setHtml(model.index(1, int(ID::artist)).data(Qt::ToolTipRole).toString());
    EXPECT_EQ(document.toPlainText(), u"Ada & Co");

    EXPECT_EQ(model.headerData(int(ID::trackNumber), Qt::Horizontal).toString(), u"Track #");
    EXPECT_EQ(model.headerData(int(ID::duration), Qt::Horizontal, TrackTableModel::SymbolNameRole)
                  .toString(),
        u"clock");
    EXPECT_EQ(model.index(0, int(ID::bitrate)).data(Qt::TextAlignmentRole).value<Qt::Alignment>(),
        Qt::AlignTrailing | Qt::AlignVCenter);
}

// Small value ranges make ties, so the id tie-break and missing values count.
QList<Track> randomTracks(int count)
{
    std::mt19937 random(7);
    const auto pick = [&](int n) { return int(random() % unsigned(n)); };
    // "éclair" twice, composed and not: other texts, one place in locale order.
    const QStringList words { u"apple"_s, u"Apple"_s, u"Banana"_s, u"éclair"_s, u"eclair"_s, u""_s,
        u"Zebra"_s, u"10"_s, u"9"_s, u"\U0001F3B5"_s, u"e\u0301clair"_s };
    const int wordCount = int(words.size());
    const QStringList files { u"a.mp3"_s, u"b.MP3"_s, u"c.flac"_s, u"d"_s, u"e.Wav"_s };
    QList<Track> tracks;
    for (int i = 0; i < count; ++i) {
        Track track = song(pick(1000000), words[pick(wordCount)], files[pick(5)]);
        const auto maybe
            = [&](auto value) { return pick(4) == 0 ? std::nullopt : std::optional(value); };
        track.artist = maybe(words[pick(wordCount)]);
        track.album = maybe(words[pick(wordCount)]);
        track.setAlbumArtist(maybe(words[pick(wordCount)]));
        track.genre = maybe(words[pick(wordCount)]);
        track.year = maybe(qint64(1990 + pick(4)));
        track.trackNumber = maybe(qint64(pick(3)));
        track.bitrate = maybe(qint64(pick(3) * 128));
        track.sampleRate = maybe(qint64(pick(2) ? 44100 : 48000));
        track.duration = pick(10) == 0 ? std::nan("") : pick(5) * 30.0;
        track.dateAdded = maybe(Date { double(pick(3)) });
        tracks << track;
        if (pick(10) == 0) {
            tracks << track; // a playlist may list a song twice
        }
    }
    return tracks;
}

QString idList(const QList<Track>& list)
{
    QStringList ids;
    for (const Track& t : list) {
        ids << json::uuidText(t.id).right(6);
    }
    return ids.join(u' ');
}

// Run twice: ordered at once, and ordered on the worker (every list is "large").
class TrackTableModelSorting : public ::testing::TestWithParam<int> { };

TEST_P(TrackTableModelSorting, SortsExactlyAsTheSortOrderAndRowsKeepTheirPlace)
{
    const QList<Track> tracks = randomTracks(300);
    TrackTableModel model(nullptr, GetParam());
    const auto settle = [&] { ASSERT_TRUE(QTest::qWaitFor([&] { return model.isUpToDate(); })); };
    model.setTracks(tracks.mid(0, 50));
    model.setTracks(tracks); // the newest list wins
    settle();
    ASSERT_EQ(model.rowCount(), tracks.size());
    QPersistentModelIndex current = model.index(17, 3);
    const QUuid currentID = model.index(17, 0).data(TrackTableModel::TrackIdRole).toUuid();
    for (const ID column : allTrackTableColumnIDs()) {
        for (const bool ascending : { false, true }) {
            const TrackSortOrder order { sortField(column), ascending };
            QList<Track> expected = tracks;
            std::stable_sort(expected.begin(), expected.end(), order);
            model.sort(int(column), ascending ? Qt::AscendingOrder : Qt::DescendingOrder);
            EXPECT_EQ(model.sortOrder(), order);
            settle();
            QList<Track> shown;
            for (int row = 0; row < model.rowCount(); ++row) {
                shown << model.track(row);
                ASSERT_EQ(model.orderedIDs()[row], model.track(row).id);
            }
            EXPECT_EQ(idList(shown), idList(expected))
                << rawValue(column).toStdString() << ascending;
            EXPECT_EQ(current.data(TrackTableModel::TrackIdRole).toUuid(), currentID);
            EXPECT_EQ(current.column(), 3);
        }
    }

    // A sort chosen while a new list is ordered applies to that list.
    model.setTracks(tracks.mid(100));
    model.sort(int(ID::genre), Qt::DescendingOrder);
    settle();
    QList<Track> expected = tracks.mid(100);
    std::stable_sort(
        expected.begin(), expected.end(), TrackSortOrder { TrackSortField::genre, false });
    EXPECT_EQ(idList(QList<Track>(expected)), idList([&] {
        QList<Track> shown;
        for (int row = 0; row < model.rowCount(); ++row) {
            shown << model.track(row);
        }
        return shown;
    }()));

    TrackTableModel dropped(nullptr, GetParam()); // gone while its worker runs
    dropped.setTracks(tracks);
}

INSTANTIATE_TEST_SUITE_P(AtOnceAndOnTheWorker, TrackTableModelSorting, ::testing::Values(5000, 0));

// Until a list that continues the shown one is ordered, its first songs show
// in their old places, read from it, so that the old list can be let go.
TEST(TrackTableModel, AListThatContinuesTheShownOneIsReadAtOnce)
{
    const QList<Track> first = randomTracks(300);
    TrackTableModel model(nullptr, 0);
    model.setTracks(first);
    ASSERT_TRUE(QTest::qWaitFor([&] { return model.isUpToDate(); }));
    model.sort(int(ID::title), Qt::AscendingOrder);
    ASSERT_TRUE(QTest::qWaitFor([&] { return model.isUpToDate(); }));
    QList<Track> next = first;
    next[5].title = u"Edited"_s;
    next.append(randomTracks(20));
    model.setTracks(next);
    ASSERT_EQ(model.rowCount(), first.size());
    for (int row = 0; row < model.rowCount(); ++row) {
        const Track* shown = &model.track(row);
        ASSERT_TRUE(shown >= next.constData() && shown < next.constData() + first.size());
    }
    ASSERT_TRUE(QTest::qWaitFor([&] { return model.isUpToDate(); }));
    QList<Track> expected = next;
    std::stable_sort(expected.begin(), expected.end(), model.sortOrder());
    QList<Track> shown;
    for (int row = 0; row < model.rowCount(); ++row) {
        shown << model.track(row);
    }
    EXPECT_EQ(idList(shown), idList(expected));
}

TEST(TrackSortIndex, LongListsAreSortedInPartsAlike)
{
    const QList<Track> tracks = randomTracks(9000);
    TrackSortIndex index(tracks);
    for (const TrackSortOrder order : { TrackSortOrder { TrackSortField::title, false },
             TrackSortOrder { TrackSortField::duration, true } }) {
        QList<Track> expected = tracks;
        std::stable_sort(expected.begin(), expected.end(), order);
        QList<Track> shown;
        for (const int position : index.order(order)) {
            shown << tracks[position];
        }
        EXPECT_TRUE(idList(shown) == idList(expected)) << rawValue(order.field).toStdString();
    }
}

TEST(TrackTableModel, EveryRowOfASelectedOrCurrentSongShowsIt)
{
    const Track a = song(1, u"A"_s);
    const Track b = song(2, u"B"_s);
    TrackTableModel model;
    const auto tester = test::checkModel(&model);
    model.setTracks({ a, b, a });
    const auto states = [&] {
        QString text;
        for (int row = 0; row < model.rowCount(); ++row) {
            const QModelIndex index = model.index(row, 0);
            text += u"isaS"_s[index.data(TrackTableModel::RowStateRole).toInt()];
            if (index.data(TrackTableModel::IsPlayingRole).toBool()) {
                text += u'>';
            }
        }
        return text;
    };
    EXPECT_EQ(states(), u"iii");
    model.setSelectedIDs({ a.id });
    EXPECT_EQ(states(), u"ssi");
    model.setCurrentTrack(b.id, true);
    EXPECT_EQ(states(), u"ssa>");
    model.setCurrentTrack(a.id, false);
    EXPECT_EQ(states(), u"SSi");
    model.setCurrentTrack(std::nullopt, true);
    model.sort(int(ID::title), Qt::DescendingOrder);
    EXPECT_EQ(states(), u"iss");
    model.setTracks({});
    EXPECT_EQ(model.rowCount(), 0);
    EXPECT_FALSE(model.index(0, 0).isValid());
}

} // namespace
} // namespace kivo
