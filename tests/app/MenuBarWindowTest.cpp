#include "AppOnTempFolder.h"
#include "app/AboutToolbarButton.h"
#include "app/AboutView.h"
#include "app/DIContainer.h"
#include "app/FolderChooser.h"
#include "app/MainLayoutView.h"
#include "app/MainWindow.h"
#include "app/SettingsControls.h"
#include "app/SettingsView.h"
#include "app/TavrenMediaStudioApp.h"
#include "engines/library/LibraryEngineImpl.h"
#include "engines/playback/AudioEngineImpl.h"
#include "engines/playback/FakeAudioPlayer.h"
#include "engines/playback/QueueEngineImpl.h"
#include "platform/UserDefaults.h"
#include "support/TempDir.h"
#include "support/WavWriter.h"
#include "ui/editing/BulkMetadataEditorSheet.h"
#include "ui/eon/EonAlert.h"
#include "ui/eon/EonPalette.h"
#include "ui/songtable/TrackListOverlaysModifier.h"
#include "ui/songtable/TrackListTableView.h"
#include "ui/songtable/TrackListView.h"
#include "ui/songtable/TrackTableLayoutState.h"
#include "ui/songtable/TrackTableModel.h"

#include "app/MainMenuBar.h"
#include <QAction>
#include <QDir>
#include <QEnterEvent>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

using namespace kivo;
using namespace Qt::Literals::StringLiterals;

namespace {

// Answers every request with the folders the test chose.
class FixedFolders : public FolderChooser {
public:
    void chooseFolders(QWidget*, std::function<void(QList<QUrl>)> done) override { done(folders); }
    QList<QUrl> folders;
};

class MenuBarWindowTest : public test::TempDirTest {
protected:
    void SetUp() override
    {
        TempDirTest::SetUp();
        QDir().mkpath(path(u"home"_s));
        app = test::startAppIn(dir.path());
        ASSERT_TRUE(app->container().isBootstrapFinished());
        window().setFolderChooser(&folders);
        window().show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window()));
        window().activateWindow();
    }

    MainWindow& window() const { return app->mainWindow(); }

    // Adds `folder` through the File menu and waits for the import to end.
    void addFolder(const QString& folder)
    {
        folders.folders = { QUrl::fromLocalFile(folder) };
        QSignalSpy finished(&window().menuCommands(), &MainMenuBarCommands::folderImportFinished);
        window().action(MenuCommand::addFolder).trigger();
        ASSERT_TRUE(finished.count() > 0 || finished.wait(10000));
    }

    FixedFolders folders;
    std::unique_ptr<TavrenMediaStudioApp> app;
};

TEST_F(MenuBarWindowTest, TheBarListsItsMenusAndOpensOneAboutWindow)
{
    QStringList menus;
    for (QAction* menu : window().menuBar().actions()) {
        menus << menu->text();
    }
    EXPECT_EQ(menus,
        (QStringList { u"&File"_s, u"&Edit"_s, u"&Playback"_s, u"&Workspace"_s, u"&Help"_s }));
    EXPECT_EQ(window().action(MenuCommand::addFolder).text(), u"Add Folder to Library...");
    EXPECT_EQ(window().action(MenuCommand::addFolder).shortcut(), QKeySequence(u"Ctrl+O"_s));
    EXPECT_FALSE(window().action(MenuCommand::playPause).isEnabled());

    EXPECT_EQ(window().aboutWindow(), nullptr);
    window().action(MenuCommand::about).trigger();
    AboutView* about = window().aboutWindow();
    ASSERT_NE(about, nullptr);
    EXPECT_TRUE(about->isVisible());
    window().aboutButton().click();
    EXPECT_EQ(window().aboutWindow(), about);
    EXPECT_EQ(window().findChildren<AboutView*>().size(), 1);
    EXPECT_EQ(window().aboutButton().symbolName(), u"info.circle");
    EXPECT_EQ(window().aboutButton().accessibleName(), u"About KIVO VOVID");

    AboutToolbarButton& button = window().aboutButton();
    EXPECT_EQ(button.look().fill.alpha(), 0);
    QEnterEvent enter(QPointF(13, 13), QPointF(13, 13), QPointF(13, 13));
    QCoreApplication::sendEvent(&button, &enter);
    EXPECT_EQ(button.look().symbol, eonAccentBright());
    EXPECT_GT(button.look().fill.alpha(), 0);
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(&button, &leave);
    EXPECT_EQ(button.look(), AboutToolbarButton::lookFor(false));
}

TEST_F(MenuBarWindowTest, FolderImportFillsTheLibraryAndSpacePlaysAndPauses)
{
    QDir().mkpath(path(u"music/inner"_s));
    for (const QString& name : { u"a"_s, u"b"_s, u"c"_s, u"d"_s, u"inner/e"_s }) {
        ASSERT_TRUE(test::writeWav(path(u"music/"_s + name + u".wav"_s), { 8000, 1, 0.5 }));
    }
    addFolder(path(u"music"_s));
    const QList<Track> tracks = app->container().libraryEngine().allTracks();
    EXPECT_EQ(tracks.size(), 5);
    EXPECT_TRUE(window().findChildren<EonAlert*>().isEmpty());

    AudioEngine& audio = app->container().audioEngine();
    app->container().queueEngine().playNow(tracks, 0);
    ASSERT_EQ(audio.playbackState(), PlaybackState::playing);
    EXPECT_EQ(window().action(MenuCommand::playPause).text(), u"Pause");
    QTest::keyClick(&window().layoutView(), Qt::Key_Space);
    EXPECT_EQ(audio.playbackState(), PlaybackState::paused);
    EXPECT_EQ(window().action(MenuCommand::playPause).text(), u"Play");
    QTest::keyClick(&window().layoutView(), Qt::Key_Space);
    EXPECT_EQ(audio.playbackState(), PlaybackState::playing);
}

TEST_F(MenuBarWindowTest, AFailingImportShowsTheAlertWithTheEnginesWords)
{
    QDir().mkpath(path(u"broken"_s));
    QFile bad(path(u"broken/<b>noise.mp3"_s));
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write(QByteArray(4096, 'x'));
    bad.close();
    addFolder(path(u"broken"_s));
    const QList<EonAlert*> alerts = window().findChildren<EonAlert*>();
    ASSERT_EQ(alerts.size(), 1);
    EXPECT_EQ(alerts.first()->objectName(), u"folderImportAlert");
    EXPECT_EQ(alerts.first()->title(), u"The folder could not be added");
    EXPECT_TRUE(alerts.first()->message().contains(u"<b>noise.mp3"_s))
        << alerts.first()->message().toStdString();
    EXPECT_EQ(alerts.first()->findChild<QLabel*>(u"alertMessage"_s)->textFormat(), Qt::PlainText);
}

TEST_F(MenuBarWindowTest, WorkspaceAndUndoItemsActOnTheWindowsOwnState)
{
    window().action(MenuCommand::showLibrarySidebar).trigger();
    EXPECT_FALSE(app->panelState().isLeftExpanded());
    EXPECT_FALSE(window().layoutView().sidebarRegion().isVisible());
    EXPECT_FALSE(window().action(MenuCommand::showLibrarySidebar).isChecked());
    window().action(MenuCommand::enableInspector).trigger();
    EXPECT_FALSE(window().layoutView().inspectorRegion().isVisible());
    EXPECT_FALSE(window().action(MenuCommand::showInspector).isEnabled());

    TrackTableLayoutState& columns = app->trackTableLayout();
    columns.setColumnVisible(TrackTableColumnID::album, false, &window().undoManager());
    EXPECT_EQ(window().action(MenuCommand::undo).text(), u"Undo Remove Song Column");
    QTest::keyClick(&window().layoutView(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_TRUE(columns.isVisible(TrackTableColumnID::album));
    EXPECT_EQ(window().action(MenuCommand::redo).text(), u"Redo Remove Song Column");
}

TEST_F(MenuBarWindowTest, SettingsOpenAsOneSheetThatStartsAfreshEachTime)
{
    Q_EMIT window().layoutView().settingsRequested(); // the sidebar's Settings button
    SettingsView* sheet = window().layoutView().settingsSheet();
    ASSERT_NE(sheet, nullptr);
    EXPECT_TRUE(sheet->isVisible());
    EXPECT_EQ(sheet->windowModality(), Qt::WindowModal);
    sheet->compactSwitch().click();
    window().showSettings();
    EXPECT_EQ(window().layoutView().settingsSheet(), sheet);

    QTest::keyClick(sheet, Qt::Key_Escape);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(window().layoutView().settingsSheet(), nullptr);
    window().showSettings();
    EXPECT_FALSE(window().layoutView().settingsSheet()->compactSwitch().isChecked());
}

TEST_F(MenuBarWindowTest, AFolderOfFiveSongsCanBeListedEditedPlayedAndRemovedWithUndo)
{
    QDir().mkpath(path(u"music"_s));
    for (const QString& name : { u"a"_s, u"b"_s, u"c"_s, u"d"_s, u"e"_s }) {
        ASSERT_TRUE(test::writeWav(path(u"music/"_s + name + u".wav"_s), { 8000, 1, 0.5 }));
    }
    addFolder(path(u"music"_s));
    auto* list = window().layoutView().findChild<TrackListView*>();
    ASSERT_NE(list, nullptr);
    TrackListController& songs = list->controller();
    const auto rows = [&songs] { return songs.model().rowCount(); };
    EXPECT_TRUE(QTest::qWaitFor([&] { return rows() == 5; }, 5000)) << rows();

    QWidget* table = list->table();
    table->setFocus();
    QTest::keyClick(table, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(songs.selectionCount(), 5);
    EXPECT_EQ(window().action(MenuCommand::editSelection).text(),
        u"Edit Shared Metadata for Selected Songs\u2026");
    QTest::keyClick(table, Qt::Key_E, Qt::ControlModifier);
    BulkMetadataEditorSheet* editor = list->overlays().sharedEditorSheet();
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->form().songCount(), 5);
    songs.cancelSharedEditing();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    window().activateWindow();
    table->setFocus();

    AudioEngine& audio = app->container().audioEngine();
    songs.play(songs.sortedTracks().first());
    ASSERT_EQ(audio.playbackState(), PlaybackState::playing);
    QTest::keyClick(table, Qt::Key_Space);
    EXPECT_EQ(audio.playbackState(), PlaybackState::paused);
    QTest::keyClick(table, Qt::Key_Space);
    EXPECT_EQ(audio.playbackState(), PlaybackState::playing);

    const Track removed = songs.sortedTracks().at(2);
    songs.remove(removed, false);
    EXPECT_TRUE(QTest::qWaitFor([&] { return rows() == 4; }, 5000));
    EXPECT_EQ(window().action(MenuCommand::undo).text(), u"Undo Remove Track");
    QTest::keyClick(table, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_TRUE(QTest::qWaitFor([&] { return rows() == 5; }, 5000));
    EXPECT_TRUE(app->container().libraryEngine().allTracks().contains(removed));
}

} // namespace
