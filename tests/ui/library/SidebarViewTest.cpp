// The sidebar widget and its sheets, driven as a user would.
#include "ui/library/SidebarView.h"
#include "LibraryViewFakes.h"
#include "support/ModelChecks.h"
#include "ui/library/NewPlaylistSheet.h"
#include "ui/library/PlaylistRenameSheet.h"

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

} // namespace
