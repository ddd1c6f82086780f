// The playlist screen: what it lists and when, play, and the add-songs sheet.
#include "LibraryViewFakes.h"
#include "ui/library/AddSongsSheetListModel.h"
#include "ui/library/AddSongsSheetModel.h"
#include "ui/library/FavoritesViewModel.h"
#include "ui/library/PlaylistDetailViewModel.h"

#include "support/ModelChecks.h"
#include <QTest>
#include <gtest/gtest.h>

using namespace kivo;
using namespace Qt::Literals::StringLiterals;

namespace {

class PlaylistScreenTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        a = test::song(u"A"_s, {}, 5);
        b = test::song(u"B"_s, {}, 3);
        c = test::song(u"C"_s, {}, 4);
        engines.library.publish({ a, b, c });
        mix = engines.playlists.createPlaylist(u"Mix"_s);
        other = engines.playlists.createPlaylist(u"Other"_s);
        engines.playlists.addTracks({ c, a, c }, mix.id);
    }

    test::Engines engines;
    Track a, b, c;
    Playlist mix, other;
};

TEST_F(PlaylistScreenTest, ListsThePlaylistAndReadsItAgainOnEveryChange)
{
    engines.playlists.addTracks({ b }, mix.id);
    // A song listed twice shows twice.
    PlaylistDetailViewModel screen(engines.library, engines.playlists, mix);
    EXPECT_EQ(test::titles(screen.tracks()), (QStringList { u"C"_s, u"A"_s, u"C"_s, u"B"_s }));

    // Another playlist is read at once, not at the next change.
    screen.setPlaylist(other);
    EXPECT_TRUE(screen.tracks().isEmpty());
    EXPECT_FALSE(screen.canPlay());
    engines.playlists.addTracks({ b }, other.id);
    EXPECT_EQ(test::titles(screen.tracks()), QStringList { u"B"_s });

    // A song gone from the library leaves the list; its id stays.
    engines.library.publish({ a, c });
    EXPECT_TRUE(screen.tracks().isEmpty());
    EXPECT_EQ(engines.playlists.getPlaylist(other.id)->trackIDs.size(), 1);
    EXPECT_EQ(screen.libraryTracks().size(), 2);
}

TEST_F(PlaylistScreenTest, PlayReportsFoldersAndKeepsTheErrorThroughLaterSuccesses)
{
    PlaylistDetailViewModel screen(engines.library, engines.playlists, mix);
    screen.play();
    ASSERT_EQ(engines.queue.played.size(), 1);
    EXPECT_EQ(test::titles(engines.queue.played[0]), (QStringList { u"C"_s, u"A"_s, u"C"_s }));

    const Playlist folder = engines.playlists.createFolder(u"Crates"_s);
    screen.setPlaylist(folder);
    screen.play();
    EXPECT_EQ(screen.errorLine(), u"Cannot play a folder"_s);
    screen.setPlaylist(mix);
    screen.play();
    EXPECT_TRUE(screen.addTracks({ b }));
    EXPECT_EQ(screen.errorLine(), u"Cannot play a folder"_s);
}

TEST_F(PlaylistScreenTest, AddSongsTicksInLibraryOrderAndKeepsTicksOnFailure)
{
    PlaylistDetailViewModel screen(engines.library, engines.playlists, other);
    AddSongsSheetModel& sheet = screen.addSongs();
    sheet.open();
    EXPECT_EQ(sheet.countText(), u"0 selected"_s);
    EXPECT_FALSE(sheet.canAdd());
    sheet.add();
    EXPECT_TRUE(sheet.isOpen());

    sheet.toggle(c.id);
    sheet.toggle(b.id);
    sheet.toggle(a.id);
    sheet.toggle(b.id);
    EXPECT_EQ(sheet.countText(), u"2 selected"_s);
    EXPECT_EQ(test::titles(sheet.tickedTracks()), (QStringList { u"A"_s, u"C"_s }));

    engines.playlists.deletePlaylist(other.id);
    sheet.add();
    EXPECT_TRUE(sheet.isOpen());
    EXPECT_EQ(sheet.tickedCount(), 2);
    EXPECT_EQ(screen.errorLine(), u"Playlist not found"_s);

    screen.setPlaylist(mix);
    sheet.add();
    EXPECT_FALSE(sheet.isOpen());
    EXPECT_EQ(sheet.tickedCount(), 0);
    EXPECT_EQ(test::titles(screen.tracks()), (QStringList { u"C"_s, u"A"_s, u"C"_s }));
}

TEST_F(PlaylistScreenTest, SheetRowsAndFavouritesFollowTheLibrary)
{
    PlaylistDetailViewModel screen(engines.library, engines.playlists, mix);
    AddSongsSheetListModel rows(screen.addSongs());
    const auto tester = test::checkModel(&rows);
    FavoritesViewModel favorites(engines.library);
    EXPECT_EQ(test::titles(favorites.tracks()), (QStringList { u"A"_s, u"C"_s }));
    {
        // An unchanged library's favourites are picked once and shared.
        const FavoritesViewModel again(engines.library);
        EXPECT_EQ(again.tracks().constData(), favorites.tracks().constData());
    }

    Track unnamed = test::song(u"D"_s);
    screen.addSongs().toggle(a.id);
    EXPECT_EQ(rows.rowCount(), 3);
    EXPECT_EQ(rows.index(0).data(AddSongsSheetListModel::TickedRole), true);
    EXPECT_EQ(rows.index(1).data(AddSongsSheetListModel::ArtistRole), u"Unknown Artist"_s);
    EXPECT_EQ(rows.index(1).data(AddSongsSheetListModel::DurationRole), u"1:01"_s);

    b.rating = 4;
    engines.library.publish({ b, unnamed });
    EXPECT_EQ(rows.rowCount(), 2);
    EXPECT_EQ(test::titles(favorites.tracks()), QStringList { u"B"_s });
    EXPECT_EQ(test::titles(FavoritesViewModel(engines.library).tracks()), QStringList { u"B"_s });
}

// Once no favourites screen is open, nothing holds the songs they listed.
TEST_F(PlaylistScreenTest, ClosedFavouritesScreensHoldNoSongs)
{
    auto first = std::make_unique<FavoritesViewModel>(engines.library);
    auto second = std::make_unique<FavoritesViewModel>(engines.library);
    QList<Track> shown = first->tracks();
    first.reset();
    second.reset();
    EXPECT_TRUE(QTest::qWaitFor([&] { return shown.isDetached(); }, 5000));
    EXPECT_EQ(test::titles(FavoritesViewModel(engines.library).tracks()),
        (QStringList { u"A"_s, u"C"_s }));
}

// A large library's favourites are picked on a worker; the newest library wins.
TEST_F(PlaylistScreenTest, ALargeLibrarysFavouritesArriveFromTheWorker)
{
    FavoritesViewModel favorites(engines.library, nullptr, 1);
    b.rating = 5;
    engines.library.publish({ a, b });
    engines.library.publish({ b });
    ASSERT_TRUE(QTest::qWaitFor([&] { return !favorites.isGathering(); }, 5000));
    EXPECT_EQ(test::titles(favorites.tracks()), QStringList { u"B"_s });
}

} // namespace
