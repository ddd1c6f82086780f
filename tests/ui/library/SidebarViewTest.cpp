// The sidebar widget and its sheets, driven as a user would.
#include "ui/library/SidebarView.h"
#include "LibraryViewFakes.h"
#include "support/ModelChecks.h"
#include "ui/library/NewPlaylistSheet.h"
#include "ui/library/PlaylistRenameSheet.h"
#include "ui/library/SidebarListView.h"

#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

using namespace kivo;
using namespace Qt::Literals::StringLiterals;

namespace {

void clickRow(QListView& list, int row)
{
    const QRect rect = list.visualRect(list.model()->index(row, 0));
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, rect.center());
}

TEST(SidebarViewTest, RowsChooseDestinationsAndTheSheetsCreateAndRename)
{
    test::Engines engines;
    QWidget window;
    auto* sidebar = new SidebarView(engines.playlists, &window);
    const auto libraryRows = test::checkModel(sidebar->libraryList().model());
    const auto playlistRows = test::checkModel(sidebar->playlistList().model());
    window.resize(240, 800);
    sidebar->resize(240, 800);
    window.show();
    QList<NavigationDestination> chosen;
    QObject::connect(&sidebar->model(), &SidebarModel::destinationChosen,
        [&chosen](const NavigationDestination& destination) { chosen.push_back(destination); });
    QSignalSpy settings(&sidebar->model(), &SidebarModel::settingsRequested);

    clickRow(sidebar->libraryList(), 4);
    ASSERT_EQ(chosen.size(), 1);
    EXPECT_EQ(chosen[0], NavigationDestination::favorites());
    QTest::mouseClick(&sidebar->settingsButton(), Qt::LeftButton);
    EXPECT_EQ(settings.size(), 1);

    QTest::mouseClick(&sidebar->newPlaylistButton(), Qt::LeftButton);
    NewPlaylistSheet* sheet = sidebar->newPlaylistSheet();
    ASSERT_TRUE(sheet);
    EXPECT_TRUE(sheet->isVisible());
    EXPECT_FALSE(sheet->createButton().isEnabled());
    QTest::keyClicks(&sheet->nameField(), u"  Mix "_s);
    EXPECT_TRUE(sheet->createButton().isEnabled());
    QTest::keyClick(&sheet->nameField(), Qt::Key_Return, Qt::ControlModifier);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(sidebar->newPlaylistSheet());
    ASSERT_EQ(sidebar->playlistList().model()->rowCount(), 1);
    EXPECT_EQ(sidebar->playlistList().model()->index(0, 0).data().toString(), u"Mix"_s);

    clickRow(sidebar->playlistList(), 0);
    const QUuid id = engines.playlists.rootPlaylists()[0].id;
    EXPECT_EQ(chosen.last(), NavigationDestination::playlist(id));

    PlaylistRenameSheet* rename = sidebar->showRenameSheet(0);
    ASSERT_TRUE(rename);
    EXPECT_EQ(rename->nameField().text(), u"Mix"_s);
    EXPECT_FALSE(rename->renameButton().isEnabled());
    rename->nameField().setText(QString(121, u'x'));
    QTest::keyClick(&rename->nameField(), Qt::Key_Return);
    EXPECT_TRUE(rename->isVisible());
    EXPECT_EQ(rename->errorLabel().text(), u"Playlist names must be 120 characters or fewer."_s);
    EXPECT_EQ(rename->errorLabel().textFormat(), Qt::PlainText);
    rename->nameField().setText(u"Evening"_s);
    EXPECT_FALSE(rename->errorLabel().isHidden());
    QTest::keyClick(&rename->nameField(), Qt::Key_Return);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(sidebar->renameSheet());
    EXPECT_EQ(sidebar->playlistList().model()->index(0, 0).data().toString(), u"Evening"_s);
}

// Tab reaches the rows; Up and Down run through both lists without opening
// anything; Return, Space and an assistive selection open; the ring shows for
// keyboard focus only; the selection is always the window's destination.
TEST(SidebarViewTest, TheKeyboardAndAssistiveTechnologyReachEveryDestination)
{
    test::Engines engines;
    engines.playlists.createPlaylist(u"Mix"_s);
    QWidget window;
    auto* sidebar = new SidebarView(engines.playlists, &window);
    window.resize(240, 800);
    sidebar->resize(240, 800);
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    SidebarModel& model = sidebar->model();
    QList<NavigationDestination> chosen;
    QObject::connect(
        &model, &SidebarModel::destinationChosen, [&](const NavigationDestination& destination) {
            chosen.push_back(destination);
            model.setSelection(destination);
        });
    model.setSelection(NavigationDestination::songs());
    auto& library = static_cast<SidebarListView&>(sidebar->libraryList());
    auto& playlists = static_cast<SidebarListView&>(sidebar->playlistList());
    const auto selectedRows = [](QListView& list) {
        QList<int> rows;
        for (const QModelIndex& index : list.selectionModel()->selectedIndexes()) {
            rows << index.row();
        }
        return rows;
    };
    EXPECT_EQ(selectedRows(library), QList<int> { 0 });

    model.setSelection(NavigationDestination::recentlyPlayed());
    library.clearFocus();
    library.setFocus(Qt::TabFocusReason);
    EXPECT_TRUE(library.showsFocusRing());
    EXPECT_EQ(library.currentIndex().row(), 2);
    for (int i = 0; i < 3; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
    }
    EXPECT_TRUE(playlists.hasFocus() && playlists.showsFocusRing());
    EXPECT_EQ(playlists.currentIndex().row(), 0);
    EXPECT_TRUE(chosen.isEmpty());
    QTest::keyClick(&playlists, Qt::Key_Up);
    EXPECT_TRUE(library.hasFocus());
    EXPECT_EQ(library.currentIndex().row(), 4);
    QTest::keyClick(&library, Qt::Key_Return);
    EXPECT_EQ(chosen, QList { NavigationDestination::favorites() });
    QTest::keyClick(&library, Qt::Key_Up);
    QTest::keyClick(&library, Qt::Key_Space);
    EXPECT_EQ(chosen.last(), NavigationDestination::topRated());
    EXPECT_EQ(selectedRows(library), QList<int> { 3 });
    QTest::keyClick(&library, Qt::Key_Tab);
    EXPECT_FALSE(library.hasFocus());

    // A click opens and hides the ring; a press through the accessible row
    // opens that row, and pressing the open row again keeps it open.
    clickRow(playlists, 0);
    EXPECT_FALSE(playlists.showsFocusRing());
    EXPECT_TRUE(selectedRows(library).isEmpty());
    EXPECT_EQ(selectedRows(playlists), QList<int> { 0 });
    QAccessibleInterface* list = QAccessible::queryAccessibleInterface(&library);
    QAccessibleInterface* recent = list->child(1);
    ASSERT_TRUE(recent && recent->actionInterface());
    EXPECT_TRUE(recent->state().focusable && recent->state().selectable);
    const QString toggle = recent->actionInterface()->actionNames().value(0);
    recent->actionInterface()->doAction(toggle);
    EXPECT_EQ(chosen.last(), NavigationDestination::recentlyAdded());
    recent->actionInterface()->doAction(toggle);
    EXPECT_EQ(chosen.last(), NavigationDestination::recentlyAdded());
    EXPECT_TRUE(recent->state().selected);
}

} // namespace
