#include "LibraryFakes.h"
#include "ui/library/CompactLibraryListColumns.h"
#include "ui/library/CompactLibraryListHeader.h"
#include "ui/library/CompactLibraryListPresenter.h"
#include "ui/library/CompactLibraryListView.h"

#include "support/ModelChecks.h"
#include <QListView>
#include <QTest>
#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace kivo::test {
namespace {

class CompactLibraryListTest : public testing::Test {
protected:
    CompactLibraryListTest()
    {
        library.publish(
            { song(3, u"Cedar"_s), song(1, u"Amber"_s), song(2, u"Birch"_s), song(4, u"Amber"_s) });
        presenter.model().setDateText([](const Date&) { return u"Jan 1, 2026"_s; });
    }

    // Titles in display order, with the id's number for equal titles.
    QString titles()
    {
        QStringList names;
        for (const Track& track : presenter.model().displayedTracks()) {
            names.append(track.title + QString::number(track.id.data1 & 0xff));
        }
        return names.join(u' ');
    }

    // One letter per row: s selected, c current, - striped, . plain.
    QString looks()
    {
        CompactLibraryListModel& model = presenter.model();
        QString result;
        for (int row = 0; row < model.rowCount(); ++row) {
            const QModelIndex index = model.index(row, 0);
            QString look;
            if (index.data(CompactLibraryListModel::IsSelectedRole).toBool()) {
                look += u's';
            }
            if (index.data(CompactLibraryListModel::IsCurrentRole).toBool()) {
                look += u'c';
            }
            if (look.isEmpty()) {
                look
                    = index.data(CompactLibraryListModel::IsStripedRole).toBool() ? u"-"_s : u"."_s;
            }
            result += (row ? u" "_s : QString()) + look;
        }
        return result;
    }

    QString header()
    {
        CompactLibraryListModel& model = presenter.model();
        QStringList active;
        for (int column = 0; column < model.columnCount(); ++column) {
            const QString symbol
                = model.headerData(column, Qt::Horizontal, CompactLibraryListModel::SymbolNameRole)
                      .toString();
            if (!symbol.isEmpty()) {
                active.append(model.headerData(column, Qt::Horizontal).toString() + u' ' + symbol);
            }
        }
        return active.join(u',');
    }

    ScriptedLibraryEngine library;
    ScriptedQueueEngine queue;
    CompactLibraryListPresenter presenter { library, queue };
};

TEST_F(CompactLibraryListTest, CellTextsFollowTheColumnTable)
{
    Track full = song(9, u"Night Drive"_s, u"flac"_s);
    full.artist = u"Ada"_s;
    full.album = u"Harbour"_s;
    full.setAlbumArtist(u"Ada & Co"_s);
    full.genre = u"Jazz"_s;
    full.year = 2021;
    full.trackNumber = 7;
    full.duration = 3725;
    full.bitrate = 0;
    full.sampleRate = 48000;
    Track bare = song(8, u"Take"_s, u""_s);
    bare.fileURL = QUrl::fromLocalFile(u"/music/take"_s);
    bare.dateAdded.reset();
    bare.sampleRate = 44100;
    library.publish({ full, bare });

    const auto row = [&](int r) {
        QStringList cells;
        for (int c = 0; c < 12; ++c) {
            cells.append(presenter.model().index(r, c).data().toString());
        }
        return cells.join(u'|') + u" / "_s
            + presenter.model().index(r, 0).data(CompactLibraryListModel::SubtitleRole).toString();
    };
    EXPECT_EQ(row(0),
        u"Night Drive|Ada|Harbour|Ada & Co|Jazz|2021|7|1:02:05|0k|48.0kHz|FLAC|Jan 1, 2026 / Ada");
    EXPECT_EQ(row(1), u"Take|—|—|—|—|—|—|3:20|—|44.1kHz||— / —");

    QStringList headers;
    for (int c = 0; c < 12; ++c) {
        headers.append(presenter.model().headerData(c, Qt::Horizontal).toString());
    }
    EXPECT_EQ(headers.join(u'|'),
        u"TITLE|ARTIST|ALBUM|ALBUM ARTIST|GENRE|YEAR|TRACK #|DURATION|BITRATE|SAMPLE RATE|FORMAT|"
        "DATE ADDED");
}

TEST_F(CompactLibraryListTest, HeadersToggleTheOrderAndTiesKeepIdOrderBothWays)
{
    const auto tester = test::checkModel(&presenter.model());
    EXPECT_EQ(titles(), u"Amber1 Amber4 Birch2 Cedar3");
    EXPECT_EQ(header(), u"TITLE chevron.up");

    presenter.sortBy(TrackSortField::title);
    EXPECT_EQ(titles(), u"Cedar3 Birch2 Amber1 Amber4");
    EXPECT_EQ(header(), u"TITLE chevron.down");

    presenter.sortBy(TrackSortField::format); // all "mp3": id order, ascending
    EXPECT_EQ(titles(), u"Amber1 Birch2 Cedar3 Amber4");
    EXPECT_EQ(header(), u"FORMAT chevron.up");
    presenter.sortBy(TrackSortField::format);
    EXPECT_EQ(titles(), u"Amber1 Birch2 Cedar3 Amber4");
    EXPECT_EQ(header(), u"FORMAT chevron.down");

    library.publish({}); // an empty list still sorts
    presenter.sortBy(TrackSortField::year);
    EXPECT_EQ(presenter.model().rowCount(), 0);
    EXPECT_EQ(header(), u"YEAR chevron.up");
}

TEST_F(CompactLibraryListTest, ClicksReplaceTheSelectionAndTheCurrentSongIsMarked)
{
    EXPECT_EQ(looks(), u". - . -");
    presenter.select(1);
    EXPECT_EQ(looks(), u". s . -");
    presenter.select(2);
    EXPECT_EQ(looks(), u". - s -");

    queue.setCurrent(library.tracks[0]); // Cedar, shown last
    EXPECT_EQ(looks(), u". - s c");
    queue.setCurrent(std::nullopt);
    EXPECT_EQ(looks(), u". - s -");
}

TEST_F(CompactLibraryListTest, DoubleClickPlaysTheListAsDisplayedFromThatRow)
{
    presenter.sortBy(TrackSortField::title);
    presenter.play(2);
    presenter.play(99);
    ASSERT_EQ(queue.plays.size(), 1);
    QStringList played;
    for (const Track& track : queue.plays[0].first) {
        played.append(track.title);
    }
    EXPECT_EQ(played.join(u' '), u"Cedar Birch Amber Amber");
    EXPECT_EQ(queue.plays[0].second, 2);
}

TEST_F(CompactLibraryListTest, TheWidgetForwardsHeaderClicksAndDoubleClicks)
{
    CompactLibraryListView view(presenter);
    view.resize(1320, 400);
    view.show();
    QCoreApplication::processEvents(); // lays the rows out
    const auto spans = compactlist::columnSpans(view.header()->width());
    const auto year = spans[qsizetype(TrackSortField::year)];
    QTest::mouseClick(view.header(), Qt::LeftButton, {},
        QPoint(int(year.first + year.second / 2), view.header()->height() / 2));
    EXPECT_EQ(header(), u"YEAR chevron.up");

    const QRect second = view.list()->visualRect(presenter.model().index(1, 0));
    QTest::mouseClick(view.list()->viewport(), Qt::LeftButton, {}, second.center());
    QTest::mouseDClick(view.list()->viewport(), Qt::LeftButton, {}, second.center());
    EXPECT_EQ(looks(), u". s . -");
    ASSERT_EQ(queue.plays.size(), 1);
    EXPECT_EQ(queue.plays[0].second, 1);
}

} // namespace
} // namespace kivo::test

namespace kivo {

TEST(CompactLibraryListHeaderTest, EverySortedTitleAndItsChevronFitItsColumn)
{
    // The title column takes what is left; 300 is a narrow window's share.
    for (const CompactLibraryListColumn& column : compactlist::columns()) {
        const double width = column.width > 0 ? column.width : 300;
        for (const bool ascending : { true, false }) {
            const EonSortLabel label = CompactLibraryListHeader::columnLabel(
                column.field, width, { column.field, ascending });
            const QString header = QString::fromUtf16(column.header);
            EXPECT_EQ(label.text, header) << header.toStdString();
            EXPECT_LE(label.width(), width - CompactLibraryListHeader::labelGap)
                << header.toStdString();
        }
    }
}

} // namespace kivo
