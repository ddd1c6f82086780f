#include "app/MainWindow.h"
#include "AppOnTempFolder.h"
#include "app/DIContainer.h"
#include "app/MainLayoutView.h"
#include "app/RecoveryBannerView.h"
#include "app/TavrenMediaStudioApp.h"
#include "app/WorkspacePanelDivider.h"
#include "app/WorkspacePanelRevealButton.h"
#include "engines/library/LibraryEngineImpl.h"
#include "engines/playback/FakeAudioPlayer.h"
#include "engines/playback/QueueEngineImpl.h"
#include "model/DatabaseManagerImpl.h"
#include "platform/UserDefaults.h"
#include "support/TempDir.h"
#include "support/WavWriter.h"
#include "ui/eon/EonSymbolButton.h"

#include "app/MainMenuBar.h"
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMenuBar>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

using namespace kivo;
using namespace Qt::Literals::StringLiterals;

namespace {

class MainWindowTest : public test::TempDirTest {
protected:
    void SetUp() override
    {
        TempDirTest::SetUp();
        QDir().mkpath(path(u"home"_s));
    }

    // The application object over a temporary data folder, home and settings,
    // with its start-up finished.
    TavrenMediaStudioApp& start()
    {
        app = test::startAppIn(dir.path(), players);
        EXPECT_TRUE(app->container().isBootstrapFinished());
        return *app;
    }

    MainLayoutView& layout() const { return app->mainWindow().layoutView(); }

    std::optional<PlaybackStateSnapshot> savedSession()
    {
        TavrenDatabaseManager store(path(u"data"_s),
            std::make_shared<SettingsUserDefaults>(path(u"other-settings.json"_s)));
        return store.loadPlaybackState();
    }

    // A left-button mouse event at `x` in `widget`, as the window system sends it.
    static void mouse(QWidget& widget, QEvent::Type type, int x)
    {
        const QPointF local(x, 100);
        const QPointF scene = widget.mapTo(widget.window(), local.toPoint());
        const Qt::MouseButtons held
            = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
        QMouseEvent event(
            type, local, scene, widget.mapToGlobal(local), Qt::LeftButton, held, Qt::NoModifier);
        QApplication::sendEvent(&widget, &event);
    }

    std::shared_ptr<AudioPlayerFactory> players = std::make_shared<test::FakeAudioPlayerFactory>();
    std::unique_ptr<TavrenMediaStudioApp> app;
};

TEST_F(MainWindowTest, OpensAtItsDefaultSizeWithEveryRegionAndCannotShrinkBelowItsMinimum)
{
    MainWindow& window = start().mainWindow();
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    EXPECT_EQ(window.size(), QSize(1320, 820));
    // The menu bar sits above a content that never gets smaller than 900 by 650.
    const int menuHeight = window.menuBar().height();
    EXPECT_EQ(window.minimumSize(), QSize(900, 650 + menuHeight));
    EXPECT_EQ(layout().sidebarRegion().width(), 240);
    EXPECT_EQ(layout().inspectorRegion().width(), 340);
    EXPECT_EQ(layout().playerBarRegion().height(), 104);
    EXPECT_EQ(layout().contentTitle(), u"All Songs");
    EXPECT_FALSE(layout().banner().isVisible());

    layout().presenter().setSelection(NavigationDestination::topRated());
    EXPECT_EQ(layout().contentTitle(), u"Top Rated");
    layout().presenter().setSelection(NavigationDestination::playlist(QUuid::createUuid()));
    EXPECT_EQ(layout().contentTitle(), u"All Songs");

    window.resize(500, 400);
    EXPECT_EQ(window.size(), QSize(900, 650 + menuHeight));
    EXPECT_EQ(layout().size(), QSize(900, 650));
}

TEST_F(MainWindowTest, DraggingADividerStoresItsClampedWidthAndALockedPanelIgnoresEveryGesture)
{
    start().mainWindow().show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&app->mainWindow()));
    WorkspacePanelDivider& left = layout().divider(WorkspacePanelSide::left);
    mouse(left, QEvent::MouseButtonPress, 6);
    mouse(left, QEvent::MouseMove, 6 - 90); // to 150
    EXPECT_EQ(app->panelState().leftWidth(), 188);
    mouse(left, QEvent::MouseMove, 6 + 260); // to 500, from where the drag began
    EXPECT_EQ(app->panelState().leftWidth(), 360);
    mouse(left, QEvent::MouseButtonRelease, 6 + 260);
    EXPECT_EQ(WorkspacePanelState(std::make_shared<SettingsUserDefaults>(path(u"settings.json"_s)))
                  .leftWidth(),
        360);

    WorkspacePanelDivider& right = layout().divider(WorkspacePanelSide::right);
    mouse(right, QEvent::MouseButtonPress, 6);
    mouse(right, QEvent::MouseMove, 6 - 30); // dragging left widens the right panel
    mouse(right, QEvent::MouseButtonRelease, 6 - 30);
    EXPECT_EQ(app->panelState().rightWidth(), 370);

    layout().presenter().toggleLock(WorkspacePanelSide::left); // the divider's menu
    EXPECT_EQ(left.menuTexts().first(), u"Unlock Width and Visibility");
    mouse(left, QEvent::MouseButtonPress, 6);
    mouse(left, QEvent::MouseMove, 6 - 100);
    mouse(left, QEvent::MouseButtonRelease, 6 - 100);
    QTest::mouseClick(&left.collapseButton(), Qt::LeftButton);
    EXPECT_EQ(left.collapseButton().symbolName(), u"lock.fill");
    EXPECT_EQ(left.collapseButton().toolTip(), u"Unlock Library Sidebar to change it");
    EXPECT_EQ(app->panelState().leftWidth(), 360);
    EXPECT_TRUE(app->panelState().isLeftExpanded());

    app->panelState().setIsRightLocked(false);
    QTest::mouseClick(
        &layout().divider(WorkspacePanelSide::right).collapseButton(), Qt::LeftButton);
    app->panelState().setIsRightLocked(true);
    WorkspacePanelRevealButton& reveal = layout().revealButton(WorkspacePanelSide::right);
    EXPECT_TRUE(reveal.isVisible());
    EXPECT_EQ(reveal.accessibleName(), u"Now Playing Inspector collapsed and locked");
    QTest::mouseClick(&reveal, Qt::LeftButton);
    EXPECT_FALSE(app->panelState().isRightExpanded());
    EXPECT_FALSE(layout().inspectorRegion().isVisible());
}

TEST_F(MainWindowTest, BareRightInTheWindowPlaysTheNextSongEvenAfterAButtonWasClicked)
{
    MainWindow& window = start().mainWindow();
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    QList<Track> songs;
    for (const QString& title : { u"A"_s, u"B"_s }) {
        const QString file = path(u"music/"_s + title + u".wav"_s);
        QDir().mkpath(path(u"music"_s));
        test::writeWav(file, { 8000, 1, 0.5 });
        songs << Track::make(QUuid::createUuid(), QUrl::fromLocalFile(file), title + u".wav"_s,
            title, 0.5, Date::now());
    }
    QueueEngine& queue = app->container().queueEngine();
    queue.playNow(songs);
    QTest::mouseClick(
        &layout().divider(WorkspacePanelSide::right).collapseButton(), Qt::LeftButton);
    QWidget* focus = QApplication::focusWidget();
    QTest::keyClick(focus ? focus : &window, Qt::Key_Right);
    ASSERT_TRUE(queue.currentTrack());
    EXPECT_EQ(queue.currentTrack()->title, u"B");
}

TEST_F(MainWindowTest, TheBannerShowsTheRecoveryTextAsWrittenUntilDismissed)
{
    start().mainWindow().show();
    const QString message = u"Playback could not be restored: <b>bad</b> & broken"_s;
    app->container().setRecoveryMessage(message);
    RecoveryBannerView& banner = layout().banner();
    EXPECT_TRUE(banner.isVisible());
    EXPECT_EQ(banner.messageLabel().text(), message);
    EXPECT_EQ(banner.messageLabel().textFormat(), Qt::PlainText);
    EXPECT_LE(banner.width(), 540);

    QTest::mouseClick(&banner.closeButton(), Qt::LeftButton);
    EXPECT_FALSE(app->container().recoveryMessage());
    EXPECT_FALSE(banner.isVisible());
}

TEST_F(MainWindowTest, LeavingTheActiveStateClosingOrALogoutWritesTheSessionBeforeReturning)
{
    start().mainWindow().show();
    QFile::remove(path(u"data/playback_state.json"_s));
    Q_EMIT qApp->applicationStateChanged(Qt::ApplicationInactive);
    EXPECT_TRUE(savedSession()); // readable at once: nothing was put off

    QFile::remove(path(u"data/playback_state.json"_s));
    app->mainWindow().close();
    EXPECT_TRUE(savedSession());

    // The session manager's request before a logout: the library's write
    // under way (long enough to be caught) is on disk too, without a turn of
    // the event loop.
    QFile::remove(path(u"data/playback_state.json"_s));
    QList<Track> songs;
    for (int i = 0; i < 20000; ++i) {
        songs << Track::make(QUuid::createUuid(), QUrl::fromLocalFile(path(u"a.wav"_s)), u"a.wav"_s,
            u"A"_s, 1, Date::now());
    }
    const QCoro::Task<> saving = app->container().databaseManager().saveTracks(songs);
    app->saveForEnd();
    EXPECT_TRUE(savedSession());
    QFile tracks(path(u"data/tracks.json"_s));
    ASSERT_TRUE(tracks.open(QIODevice::ReadOnly));
    EXPECT_TRUE(tracks.readAll().contains(json::uuidText(songs.last().id).toUtf8()));
}

TEST_F(MainWindowTest, TheRealProgramSavesItsSessionWhenItsWindowCloses)
{
    // The first run plays the sample file through the real (or silent) output.
    const QString sample
        = path(u"home/Music/Audio Music Apps/Samples/QUICK SAMPLER/ANALOG A.wav"_s);
    QDir().mkpath(QFileInfo(sample).path());
    test::writeWav(sample, { 8000, 1, 2.0 });
    players = nullptr;
    start().mainWindow().show();
    const std::optional<Track> playing = app->container().queueEngine().currentTrack();
    ASSERT_TRUE(playing);

    app->mainWindow().close();
    const std::optional<PlaybackStateSnapshot> saved = savedSession();
    ASSERT_TRUE(saved);
    EXPECT_EQ(saved->currentTrackID, playing->id);
}

TEST_F(MainWindowTest, ASecondStartShowsAMinimizedWindowAndASignalQuitsAsClosingDoes)
{
    MainWindow& window = start().mainWindow();
    window.showMinimized();
    window.bringToFront();
    EXPECT_TRUE(window.isVisible());
    EXPECT_FALSE(window.isMinimized());

    QFile::remove(path(u"data/playback_state.json"_s));
    app->quit();
    EXPECT_FALSE(window.isVisible());
    EXPECT_TRUE(savedSession());
}

} // namespace
