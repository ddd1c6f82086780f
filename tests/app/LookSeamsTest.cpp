// Where the window's surfaces meet, grabbed offscreen: what floats over the
// page hides it, the song table's scroll bar keeps out of its header, the
// picker's list and the file chooser take the Eon look, only the items that
// destroy are drawn as destructive, and the chooser opens beside what was
// chosen.
#include "AppOnTempFolder.h"
#include "app/MainLayoutView.h"
#include "app/MainWindow.h"
#include "app/RecoveryBannerView.h"
#include "app/WorkspacePanelDivider.h"
#include "platform/UndoManager.h"
#include "support/TempDir.h"
#include "ui/eon/EonAppearance.h"
#include "ui/eon/EonFileDialog.h"
#include "ui/eon/EonStyle.h"
#include "ui/library/SongsView.h"
#include "ui/songtable/TrackContextMenuContent.h"
#include "ui/songtable/TrackListHeaderView.h"
#include "ui/songtable/TrackListTableView.h"
#include "ui/songtable/TrackListView.h"
#include "ui/songtable/TrackTableHeaderView.h"
#include "ui/songtable/TrackTableLayoutState.h"
#include "ui/songtable/TrackTableModel.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTreeView>
#include <gtest/gtest.h>

using namespace kivo;
using namespace Qt::Literals::StringLiterals;

namespace {

class LookSeamsTest : public test::TempDirTest {
protected:
    void SetUp() override
    {
        TempDirTest::SetUp();
        applyEonAppearance();
    }

    static void settle() { QTest::qWait(30); }

    // The actions of `menu` and its submenus drawn as destructive.
    static QStringList destructiveItems(const QMenu& menu)
    {
        QStringList items;
        for (const QAction* action : menu.findChildren<QAction*>()) {
            if (action->property(EonStyle::destructiveProperty).toBool()) {
                items << action->text();
            }
        }
        return items;
    }
};

TEST_F(LookSeamsTest, ABannerHidesThePageBeneathItAndKeepsItsTextInside)
{
    QWidget page;
    page.resize(640, 140);
    page.setAutoFillBackground(true);
    auto* words = new QLabel(u"0 songs 0 songs 0 songs 0 songs 0 songs 0 songs"_s, &page);
    QFont large = words->font();
    large.setPixelSize(40);
    words->setFont(large);
    words->setGeometry(page.rect());
    auto* banner = new RecoveryBannerView(&page);
    banner->setMessage(u"The library file “tracks.json” could not be read: Its content is "
                       "damaged. Nothing was changed."_s);
    banner->setGeometry(QRect(QPoint(40, 14), banner->fitTo(560)));
    page.show();
    settle();

    // Inside its edge, the banner looks the same whatever lies beneath.
    const QRect inside = banner->geometry().adjusted(3, 3, -3, -3);
    const QImage over = page.grab().toImage().copy(inside);
    words->hide();
    settle();
    EXPECT_TRUE(over == page.grab().toImage().copy(inside));
    EXPECT_TRUE(banner->rect().contains(banner->messageLabel().geometry()));
}

TEST_F(LookSeamsTest, AnUnreadableLibraryShowsNoCountAndRefusesImportsWithTheReason)
{
    QDir().mkpath(path(u"data"_s));
    writeFile(u"data/tracks.json"_s, "[{\"id\":");
    const auto app = test::startAppIn(dir.path());
    app->mainWindow().show();
    auto* songs = qobject_cast<SongsView*>(app->mainWindow().layoutView().contentScreen());
    ASSERT_NE(songs, nullptr);
    EXPECT_TRUE(songs->trackList().header()->countLabel()->isHidden());
    EXPECT_FALSE(songs->addSongsButton().isEnabled());
    EXPECT_EQ(songs->addSongsButton().toolTip(),
        u"The library could not be read, so no songs can be added to it."_s);
}

TEST_F(LookSeamsTest, TheHeaderImportButtonKeepsItsPlaceWhenTheCountAppears)
{
    const auto app = test::startAppIn(dir.path());
    app->mainWindow().resize(1000, 700);
    app->mainWindow().show();
    auto* songs = qobject_cast<SongsView*>(app->mainWindow().layoutView().contentScreen());
    ASSERT_NE(songs, nullptr);
    TrackListHeaderView* header = songs->trackList().header();
    const auto buttonX = [&] {
        header->layout()->activate();
        return songs->addSongsButton().mapTo(&app->mainWindow(), QPoint()).x();
    };
    header->setCounts(std::nullopt, 0); // loading: no count yet
    const int whileLoading = buttonX();
    header->setCounts(6, 0);
    EXPECT_EQ(buttonX(), whileLoading);
    EXPECT_FALSE(header->countLabel()->isHidden());
}

TEST_F(LookSeamsTest, TheSongTableScrollBarStartsBelowItsHeaderWhichSpansTheGutter)
{
    TrackTableLayoutState layout(std::make_shared<SettingsUserDefaults>(path(u"s.json"_s)));
    TrackTableModel model;
    UndoManager undo;
    QList<Track> songs;
    for (int n = 0; n < 40; ++n) {
        songs << Track::make(QUuid::createUuid(), QUrl::fromLocalFile(u"/m/%1.mp3"_s.arg(n)),
            u"%1.mp3"_s.arg(n), u"Song %1"_s.arg(n), 60, Date { 0 });
    }
    model.setTracks(songs);
    for (const int width : { 1600, 500 }) { // wider and narrower than the columns
        SCOPED_TRACE(width);
        TrackListTableView table(layout, &model, &undo);
        table.resize(width, 300);
        table.show();
        settle();
        const QScrollBar* bar = table.verticalScrollBar();
        ASSERT_TRUE(bar->isVisible());
        const QRect header = table.headerView()->geometry();
        const QRect scrollBar(bar->mapTo(&table, QPoint(0, 0)), bar->size());
        EXPECT_GE(scrollBar.top(), header.bottom() + 1);
        EXPECT_GE(header.right(), scrollBar.right());
    }
}

TEST_F(LookSeamsTest, AnOpenPickerListIsRoundedWithTheHairlineEdge)
{
    QComboBox picker;
    picker.addItems({ u"ALL"_s, u"ANY"_s });
    picker.show();
    picker.showPopup();
    settle();
    QWidget* list = picker.view()->window();
    const QImage shot = list->grab().toImage().convertToFormat(QImage::Format_ARGB32);
    picker.hidePopup();
    EXPECT_EQ(qAlpha(shot.pixel(0, 0)), 0); // a round corner, clear outside it
    // The edge is the amber hairline, not a grey frame.
    const QColor edge = QColor::fromRgba(shot.pixel(0, shot.height() / 2));
    EXPECT_GT(edge.red() - edge.blue(), 20) << edge.name().toStdString();
}

TEST_F(LookSeamsTest, OnlyTheItemsThatDestroyAreDrawnAsDestructive)
{
    WorkspacePanelDivider divider(WorkspacePanelSide::left, {});
    divider.resize(12, 300);
    divider.show();
    QContextMenuEvent click(
        QContextMenuEvent::Mouse, QPoint(6, 100), divider.mapToGlobal(QPoint(6, 100)));
    QCoreApplication::sendEvent(&divider, &click);
    const QMenu* dividerMenu = divider.findChild<QMenu*>();
    ASSERT_NE(dividerMenu, nullptr);
    EXPECT_EQ(destructiveItems(*dividerMenu), QStringList { u"Disable Library Sidebar"_s });

    const Track song = Track::make(QUuid::createUuid(), QUrl::fromLocalFile(u"/m/a.mp3"_s),
        u"a.mp3"_s, u"A"_s, 60, Date { 0 });
    std::unique_ptr<QMenu> songMenu(TrackContextMenuContent::build(song, 1, false, {}, nullptr));
    EXPECT_EQ(destructiveItems(*songMenu), QStringList { u"Delete Permanently\u2026"_s });
}

TEST_F(LookSeamsTest, TheFileChooserFitsItsColumnsAndOpensBesideWhatWasChosen)
{
    QDir().mkpath(path(u"Music/Live Sets"_s));
    QDir().mkpath(path(u"Elsewhere"_s));
    for (const QString& name : { u"Aurora Lane - Glass Horizon.flac"_s, u"Copper Rain.mp3"_s }) {
        writeFile(u"Music/"_s + name, "x");
    }
    keepEonFileDialogFoldersIn(std::make_shared<SettingsUserDefaults>(path(u"s.json"_s)));
    QFileDialog* dialog = makeEonFileDialog(nullptr, u"Import Songs"_s, u"look-music"_s);
    dialog->setFileMode(QFileDialog::ExistingFiles);
    dialog->setDirectory(path(u"Music"_s));
    dialog->show();
    auto* view = dialog->findChild<QTreeView*>(u"treeView"_s);
    ASSERT_NE(view, nullptr);
    QSignalSpy loaded(dialog->findChild<QFileSystemModel*>(), &QFileSystemModel::directoryLoaded);
    loaded.wait(2000);
    QTest::qWait(200); // the file details arrive after the listing
    for (int column = 1; column < view->header()->count(); ++column) {
        SCOPED_TRACE(column);
        EXPECT_GE(view->header()->sectionSize(column),
            static_cast<QAbstractItemView*>(view)->sizeHintForColumn(column));
    }
    EXPECT_EQ(view->header()->length(), view->viewport()->width()); // Name takes the rest

    // A path typed in the name field, in a folder the chooser never showed.
    dialog->findChild<QLineEdit*>(u"fileNameEdit"_s)
        ->setText(path(u"Elsewhere"_s) + u"/Copper Rain.mp3"_s);
    writeFile(u"Elsewhere/Copper Rain.mp3"_s, "x");
    static_cast<QDialog*>(dialog)->accept(); // QFileDialog's own checks run
    delete dialog;
    // Across a restart: settings read anew. A chosen folder is offered again
    // among its siblings.
    keepEonFileDialogFoldersIn(std::make_shared<SettingsUserDefaults>(path(u"s.json"_s)));
    QFileDialog* files = makeEonFileDialog(nullptr, u"Import Songs"_s, u"look-music"_s);
    EXPECT_EQ(files->directory().absolutePath(), path(u"Elsewhere"_s));
    files->setFileMode(QFileDialog::Directory);
    files->selectFile(path(u"Music/Live Sets"_s));
    static_cast<QDialog*>(files)->accept();
    delete files;
    QFileDialog* folders = makeEonFileDialog(nullptr, u"Add Folder"_s, u"look-music"_s);
    EXPECT_EQ(folders->directory().absolutePath(), path(u"Music"_s));
    delete folders;
    keepEonFileDialogFoldersIn(nullptr);
}

} // namespace
