// The sidebar's rows and highlight, and the New Playlist and rename sheets.
#include "LibraryViewFakes.h"
#include "ui/library/NewPlaylistSheetModel.h"
#include "ui/library/PlaylistRenameSheetModel.h"
#include "ui/library/SidebarModel.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

using namespace kivo;
using namespace Qt::Literals::StringLiterals;

namespace {

// Each row as "symbol title", the highlighted one marked with "*".
QStringList rowsOf(const SidebarModel& sidebar)
{
    QStringList rows;
    for (const QList<SidebarRow>& list : { SidebarModel::libraryRows(), sidebar.playlistRows() }) {
        for (const SidebarRow& row : list) {
            rows << (sidebar.isSelected(row) ? u"*"_s : u""_s) + row.symbol + u' ' + row.title;
        }
    }
    return rows;
}

class SidebarTest : public ::testing::Test {
protected:
    test::Engines engines;
    TavrenPlaylistEngine& playlists = engines.playlists;
};

TEST_F(SidebarTest, ListsTheTopLevelBySymbolAndHighlightsTheSelection)
{
    SidebarModel sidebar(playlists);
    const Playlist mix = playlists.createPlaylist(u"Mix"_s);
    const Playlist folder = playlists.createFolder(u"Crates"_s);
    playlists.createPlaylist(u"Nested"_s, folder.id);
    playlists.createSmartPlaylist(u"Loud"_s, u"bpm greaterThan 120"_s);
    sidebar.setSelection(NavigationDestination::songs());
    EXPECT_EQ(rowsOf(sidebar),
        (QStringList { u"*music.note All Songs"_s, u"clock Recently Added"_s,
            u"clock.arrow.circlepath Recently Played"_s, u"star Top Rated"_s, u"heart Favorites"_s,
            u"music.note.list Mix"_s, u"folder Crates"_s, u"sparkles Loud"_s }));

    // A folder row leads to folder(id), never playlist(id).
    EXPECT_EQ(sidebar.playlistRows()[1].destination, NavigationDestination::folder(folder.id));
    sidebar.setSelection(NavigationDestination::folder(folder.id));
    EXPECT_EQ(rowsOf(sidebar).filter(u"*"_s), QStringList { u"*folder Crates"_s });
    sidebar.setSelection(NavigationDestination::playlist(folder.id));
    EXPECT_TRUE(rowsOf(sidebar).filter(u"*"_s).isEmpty());

    // A deleted playlist keeps the selection and highlights nothing.
    sidebar.setSelection(NavigationDestination::playlist(mix.id));
    playlists.deletePlaylist(mix.id);
    EXPECT_EQ(sidebar.selection(), NavigationDestination::playlist(mix.id));
    EXPECT_TRUE(rowsOf(sidebar).filter(u"*"_s).isEmpty());
    sidebar.setSelection(std::nullopt);
    EXPECT_TRUE(rowsOf(sidebar).filter(u"*"_s).isEmpty());
}

TEST_F(SidebarTest, NewPlaylistTrimsTheNameAndKeepsTheStoreErrorUntilReopened)
{
    NewPlaylistSheetModel sheet(playlists);
    for (const QString& blank : { u""_s, u"  \n\t "_s }) {
        sheet.setName(blank);
        EXPECT_FALSE(sheet.canCreate());
        EXPECT_FALSE(sheet.create());
    }
    const QString longName(200, u'x');
    for (const QString& name : { u"  Road Trip \n"_s, longName }) {
        sheet.setName(name);
        EXPECT_TRUE(sheet.canCreate());
        EXPECT_TRUE(sheet.create());
        EXPECT_EQ(sheet.name(), u""_s);
    }
    EXPECT_EQ(playlists.rootPlaylists().size(), 2);
    EXPECT_EQ(playlists.rootPlaylists()[0].name, u"Road Trip"_s);
    EXPECT_EQ(playlists.rootPlaylists()[1].name, longName);

    engines.storage->failWrites = true;
    sheet.setName(u"Later"_s);
    EXPECT_FALSE(sheet.create());
    ASSERT_TRUE(sheet.error());
    EXPECT_TRUE(sheet.error()->contains(u"Disk full"_s)) << sheet.error()->toStdString();
    EXPECT_EQ(sheet.name(), u"Later"_s);
    sheet.reset();
    EXPECT_EQ(sheet.name(), u""_s);
    EXPECT_EQ(sheet.error(), std::nullopt);
}

TEST_F(SidebarTest, RenameNeedsAChangedNameAndKeepsTheEngineErrorWhileTyping)
{
    SidebarModel sidebar(playlists);
    const Playlist mix = playlists.createPlaylist(u"Mix"_s);
    sidebar.setSelection(NavigationDestination::playlist(mix.id));
    PlaylistRenameSheetModel sheet(playlists, mix);
    EXPECT_EQ(sheet.name(), u"Mix"_s);
    for (const QString& refused : { u"Mix"_s, u"  Mix \n"_s, u"   "_s }) {
        sheet.setName(refused);
        EXPECT_FALSE(sheet.canRename()) << refused.toStdString();
        EXPECT_FALSE(sheet.submit());
    }

    sheet.setName(QString(121, u'a'));
    EXPECT_FALSE(sheet.submit());
    EXPECT_EQ(sheet.error(), u"Playlist names must be 120 characters or fewer."_s);
    sheet.setName(u"Mi"_s);
    EXPECT_EQ(sheet.error(), u"Playlist names must be 120 characters or fewer."_s);

    sheet.setName(u"  Evening  "_s);
    EXPECT_TRUE(sheet.submit());
    EXPECT_EQ(sidebar.playlistRows()[0].title, u"Evening"_s);
    EXPECT_TRUE(sidebar.isSelected(sidebar.playlistRows()[0]));

    PlaylistRenameSheetModel exact(playlists, playlists.rootPlaylists()[0]);
    exact.setName(QString(120, u'b'));
    EXPECT_TRUE(exact.submit());
}

} // namespace
