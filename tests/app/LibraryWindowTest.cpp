// The library's main road through the real window: import by the "Add songs"
// button, make a playlist, fill it from the add-songs sheet and by drops, and
// find everything again after a restart.
#include "AppOnTempFolder.h"
#include "app/DIContainer.h"
#include "app/MainLayoutView.h"
#include "app/MainWindow.h"
#include "app/TavrenMediaStudioApp.h"
#include "engines/library/LibraryEngineImpl.h"
#include "engines/library/PlaylistEngineImpl.h"
#include "engines/playback/FakeAudioPlayer.h"
#include "platform/UserDefaults.h"
#include "support/TempDir.h"
#include "support/WavWriter.h"
#include "ui/eon/EonIconButton.h"
#include "ui/library/AddSongsSheet.h"
#include "ui/library/DropTarget.h"
#include "ui/library/ImportFileChooser.h"
#include "ui/library/ImportRoad.h"
#include "ui/library/NewPlaylistSheet.h"
#include "ui/library/PlaylistDetailView.h"
#include "ui/library/SidebarView.h"
#include "ui/library/SongsView.h"
#include "ui/songtable/TrackListView.h"

#include <QAbstractButton>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMimeData>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

using namespace kivo;
using namespace Qt::Literals::StringLiterals;

namespace {

// Answers every request at once with fixed files.
class FixedChooser final : public ImportFileChooser {
public:
    void chooseAudioFiles(QWidget*, std::function<void(QList<QUrl>)> done) override { done(files); }
    QList<QUrl> files;
};

class LibraryWindowTest : public test::TempDirTest {
protected:
    void SetUp() override
    {
        TempDirTest::SetUp();
        QDir().mkpath(path(u"home"_s));
        QDir().mkpath(path(u"music"_s));
    }

    MainLayoutView& start()
    {
        app.reset();
        app = test::startAppIn(dir.path(), players);
        EXPECT_TRUE(app->container().isBootstrapFinished());
        app->mainWindow().show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&app->mainWindow()));
        MainLayoutView& layout = app->mainWindow().layoutView();
        layout.setImportFileChooser(&chooser);
        return layout;
    }

    QUrl wav(const QString& name)
    {
        EXPECT_TRUE(test::writeWav(path(u"music/"_s + name), { 44100, 2, 0.2 }));
        return QUrl::fromLocalFile(path(u"music/"_s + name));
    }

    static int rows(MainLayoutView& layout)
    {
        auto* list = layout.contentScreen()->findChild<TrackListView*>();
        return list ? int(list->controller().tracks().size()) : -1;
    }

    static void clickRow(QListView& list, int row)
    {
        QTest::mouseClick(list.viewport(), Qt::LeftButton, {},
            list.visualRect(list.model()->index(row, 0)).center());
    }

    static void drop(QWidget& screen, const QList<QUrl>& urls)
    {
        QMimeData data;
        data.setUrls(urls);
        auto* target = screen.findChild<DropTarget*>();
        ASSERT_TRUE(target);
        EXPECT_TRUE(target->enter(data));
        target->drop(data);
    }

    std::shared_ptr<AudioPlayerFactory> players = std::make_shared<test::FakeAudioPlayerFactory>();
    std::unique_ptr<TavrenMediaStudioApp> app;
    FixedChooser chooser;
};

TEST_F(LibraryWindowTest, ImportMakeAPlaylistFillItAndFindItAgainAfterARestart)
{
    chooser.files = { wav(u"one.wav"_s), wav(u"two.wav"_s), wav(u"three.wav"_s) };
    MainLayoutView* layout = &start();
    auto* songs = qobject_cast<SongsView*>(layout->contentScreen());
    ASSERT_TRUE(songs);
    QTest::mouseClick(&songs->addSongsButton(), Qt::LeftButton);
    EXPECT_TRUE(QTest::qWaitFor([&] { return rows(*layout) == 3; }, 10000));

    SidebarView& sidebar = layout->sidebar();
    QTest::mouseClick(&sidebar.newPlaylistButton(), Qt::LeftButton);
    ASSERT_TRUE(sidebar.newPlaylistSheet());
    QTest::keyClicks(&sidebar.newPlaylistSheet()->nameField(), u"Evening"_s);
    QTest::mouseClick(&sidebar.newPlaylistSheet()->createButton(), Qt::LeftButton);
    clickRow(sidebar.playlistList(), 0);
    auto* playlist = qobject_cast<PlaylistDetailView*>(layout->contentScreen());
    ASSERT_TRUE(playlist);
    EXPECT_EQ(layout->contentTitle(), u"Evening"_s);
    EXPECT_EQ(rows(*layout), 0);
    EXPECT_FALSE(playlist->playButton().isEnabled());

    QTest::mouseClick(&playlist->addSongsButton(), Qt::LeftButton);
    AddSongsSheet* sheet = playlist->addSongsSheet();
    ASSERT_TRUE(sheet);
    clickRow(sheet->list(), 0);
    clickRow(sheet->list(), 2);
    EXPECT_EQ(sheet->countLabel().text(), u"2 selected"_s);
    QTest::mouseClick(&sheet->addButton(), Qt::LeftButton);
    EXPECT_FALSE(sheet->isVisible());
    EXPECT_EQ(rows(*layout), 2);
    EXPECT_TRUE(playlist->playButton().isEnabled());

    // Two quick drops of one new file make one library song, listed once.
    const QUrl four = wav(u"four.wav"_s);
    drop(*playlist, { four });
    drop(*playlist, { four, QUrl::fromLocalFile(path(u"music"_s)) });
    EXPECT_TRUE(QTest::qWaitFor([&] { return rows(*layout) == 3; }, 10000));
    QTest::qWait(200);
    EXPECT_EQ(app->container().libraryEngine().allTracks().size(), 4);
    EXPECT_EQ(rows(*layout), 3);

    layout = &start();
    EXPECT_EQ(rows(*layout), 4);
    clickRow(layout->sidebar().playlistList(), 0);
    EXPECT_EQ(layout->contentTitle(), u"Evening"_s);
    EXPECT_EQ(rows(*layout), 3);
}

TEST_F(LibraryWindowTest, TwoQuickDropsOfOneNewFileOnTwoPlaylistsFillBoth)
{
    start();
    DIContainer& container = app->container();
    PlaylistEngine& playlists = container.playlistEngine();
    const Playlist first = playlists.createPlaylist(u"First"_s);
    const Playlist second = playlists.createPlaylist(u"Second"_s);
    const QUrl file = wav(u"shared.wav"_s);
    QCoro::Task<ImportOutcome> one
        = ImportRoad::importAndAdd(container.libraryEngine(), playlists, first.id, { file });
    QCoro::Task<ImportOutcome> two
        = ImportRoad::importAndAdd(container.libraryEngine(), playlists, second.id, { file });
    EXPECT_EQ(QCoro::waitFor(std::move(two)).kind, ImportOutcome::Kind::succeeded);
    EXPECT_EQ(QCoro::waitFor(std::move(one)).kind, ImportOutcome::Kind::succeeded);
    EXPECT_EQ(container.libraryEngine().allTracks().size(), 1);
    EXPECT_EQ(playlists.getTracks(first.id).size(), 1);
    EXPECT_EQ(playlists.getTracks(second.id).size(), 1);
}

} // namespace
