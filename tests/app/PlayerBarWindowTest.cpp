#include "AppOnTempFolder.h"
#include "app/DIContainer.h"
#include "app/MainLayoutView.h"
#include "app/MainWindow.h"
#include "app/TavrenMediaStudioApp.h"
#include "engines/playback/AudioEngineImpl.h"
#include "engines/playback/FakeAudioPlayer.h"
#include "engines/playback/QueueEngineImpl.h"
#include "platform/UserDefaults.h"
#include "support/TempDir.h"
#include "support/WavWriter.h"
#include "ui/eon/EonIconButton.h"
#include "ui/player/BottomPlayerView.h"
#include "ui/player/CompactWaveformSeekView.h"
#include "ui/player/PlayerTrackInfoView.h"
#include "ui/player/PlayerTransportControls.h"
#include "ui/player/QueueView.h"

#include <QDir>
#include <QListView>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

using namespace kivo;
using namespace Qt::Literals::StringLiterals;

namespace {

class PlayerBarWindowTest : public test::TempDirTest {
protected:
    void SetUp() override
    {
        TempDirTest::SetUp();
        QDir().mkpath(path(u"home"_s));
        QDir().mkpath(path(u"music"_s));
        app = test::startAppIn(dir.path());
        ASSERT_TRUE(app->container().isBootstrapFinished());
        app->mainWindow().show();
        for (const QString& title : { u"A"_s, u"B"_s, u"C"_s }) {
            const QString file = path(u"music/"_s + title + u".wav"_s);
            test::writeWav(file, { 8000, 1, 0.5 });
            songs << Track::make(QUuid::createUuid(), QUrl::fromLocalFile(file), title + u".wav"_s,
                title, 10, Date::now());
        }
    }

    BottomPlayerView& bar() const { return app->mainWindow().layoutView().bottomPlayer(); }
    AudioEngine& audio() const { return app->container().audioEngine(); }
    QueueEngine& queue() const { return app->container().queueEngine(); }

    std::unique_ptr<TavrenMediaStudioApp> app;
    QList<Track> songs;
};

TEST_F(PlayerBarWindowTest, TheBarShowsAndDrivesWhatPlays)
{
    EXPECT_FALSE(bar().trackInfo().isVisibleTo(&bar()));
    queue().playNow(songs, 0);
    EXPECT_EQ(bar().trackInfo().title(), u"A");
    EXPECT_EQ(bar().trackInfo().status(), u"NOW PLAYING");

    PlayPauseButton& playPause = bar().transport().playPauseButton();
    QTest::mouseClick(&playPause, Qt::LeftButton);
    EXPECT_EQ(audio().playbackState(), PlaybackState::paused);
    EXPECT_EQ(bar().trackInfo().status(), u"READY TO RESUME");
    QTest::mouseClick(&playPause, Qt::LeftButton);
    EXPECT_EQ(audio().playbackState(), PlaybackState::playing);

    CompactWaveformSeekView& seekBar = bar().seekBar();
    QTest::mouseClick(&seekBar, Qt::LeftButton, {}, QPoint(seekBar.width() / 2, 14));
    EXPECT_NEAR(audio().currentTime(), 5.0, 10.0 / seekBar.width());
    EXPECT_FALSE(seekBar.scrubProgress());

    audio().seek(0);
    QTest::mouseClick(&bar().transport().nextButton(), Qt::LeftButton);
    EXPECT_EQ(bar().trackInfo().title(), u"B");
    QTest::mouseClick(&bar().transport().previousButton(), Qt::LeftButton);
    EXPECT_EQ(bar().trackInfo().title(), u"A");
}

TEST_F(PlayerBarWindowTest, TheQueuePanelListsWhatComesAndRemovesByRow)
{
    queue().playNow(songs + QList<Track> { songs[1] }, 0); // B is listed twice
    QTest::mouseClick(&bar().queueToggle(), Qt::LeftButton);
    QueueView* panel = bar().queuePanel();
    ASSERT_TRUE(panel);
    EXPECT_TRUE(panel->isVisible());
    EXPECT_EQ(panel->window(), bar().window());
    QStringList rows;
    for (int row = 0; row < panel->model().rowCount(); ++row) {
        rows << panel->model().index(row).data().toString();
    }
    EXPECT_EQ(rows.join(u','), u"NOW PLAYING,A,UPCOMING,B,C,B");

    // Select the second B and press Delete: that row, not the first B, goes.
    QListView& list = panel->list();
    list.setCurrentIndex(panel->model().index(5));
    QTest::keyClick(&list, Qt::Key_Delete);
    ASSERT_EQ(queue().upcoming().size(), 2);
    EXPECT_EQ(queue().upcoming()[0].title, u"B");
    EXPECT_EQ(queue().upcoming()[1].title, u"C");

    QTest::mouseClick(&bar().queueToggle(), Qt::LeftButton);
    EXPECT_FALSE(bar().queuePanel());
}

} // namespace
