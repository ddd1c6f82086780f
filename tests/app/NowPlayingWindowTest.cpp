#include "AppOnTempFolder.h"
#include "app/DIContainer.h"
#include "app/MainLayoutView.h"
#include "app/MainWindow.h"
#include "app/TavrenMediaStudioApp.h"
#include "engines/artwork/ArtworkCacheImpl.h"
#include "engines/library/LibraryEngineImpl.h"
#include "engines/playback/FakeAudioPlayer.h"
#include "engines/playback/QueueEngineImpl.h"
#include "platform/UserDefaults.h"
#include "support/Await.h"
#include "support/TempDir.h"
#include "support/WaitFor.h"
#include "support/WavWriter.h"
#include "ui/eon/EonIconButton.h"
#include "ui/player/BottomPlayerView.h"
#include "ui/player/NowPlayingArtworkView.h"
#include "ui/player/NowPlayingPanelView.h"
#include "ui/songtable/TrackFavoriteButton.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>
#include <taglib/attachedpictureframe.h>
#include <taglib/id3v2tag.h>
#include <taglib/wavfile.h>

using namespace kivo;
using namespace Qt::Literals::StringLiterals;

namespace {

QByteArray redPng()
{
    QImage image(32, 32, QImage::Format_RGB32);
    image.fill(Qt::red);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

// A WAV file whose ID3 tag carries a title and a red cover.
void writeCoveredSong(const QString& path, const QString& title)
{
    ASSERT_TRUE(test::writeWav(path, { 8000, 1, 1.0 }));
    TagLib::RIFF::WAV::File file(QFile::encodeName(path).constData());
    ASSERT_TRUE(file.isValid());
    TagLib::ID3v2::Tag* tag = file.ID3v2Tag();
    tag->setTitle(TagLib::String(title.toStdString(), TagLib::String::UTF8));
    auto* cover = new TagLib::ID3v2::AttachedPictureFrame;
    cover->setMimeType("image/png");
    cover->setType(TagLib::ID3v2::AttachedPictureFrame::FrontCover);
    const QByteArray png = redPng();
    cover->setPicture(TagLib::ByteVector(png.constData(), uint(png.size())));
    tag->addFrame(cover);
    ASSERT_TRUE(file.save());
}

class NowPlayingWindowTest : public test::TempDirTest {
protected:
    void SetUp() override
    {
        TempDirTest::SetUp();
        QDir().mkpath(path(u"home"_s));
        QDir().mkpath(path(u"music"_s));
        app = test::startAppIn(dir.path());
        ASSERT_TRUE(app->container().isBootstrapFinished());
        app->mainWindow().show();
    }

    MainLayoutView& layout() const { return app->mainWindow().layoutView(); }
    NowPlayingPanelView* panel() const { return layout().nowPlayingPanel(); }

    std::unique_ptr<TavrenMediaStudioApp> app;
};

TEST_F(NowPlayingWindowTest, ThePlayingSongShowsWithItsArtworkAndSurvivesCollapsing)
{
    const QString file = path(u"music/cover.wav"_s);
    writeCoveredSong(file, u"Lighthouse"_s);
    LibraryEngine& library = app->container().libraryEngine();
    test::await(library.importFiles({ QUrl::fromLocalFile(file) }));
    ASSERT_EQ(library.allTracks().size(), 1);

    ASSERT_TRUE(panel());
    EXPECT_TRUE(panel()->emptyState().isVisible());
    app->container().queueEngine().playNow(library.allTracks(), 0);
    EXPECT_EQ(panel()->title(), u"Lighthouse");
    EXPECT_EQ(panel()->badge(), u"WAV");
    KIVO_WAIT_TRUE(!panel()->artwork().image().isNull());
    EXPECT_EQ(panel()->artwork().image().pixelColor(16, 16), QColor(Qt::red));
    EXPECT_EQ(panel()->artwork().symbolName(), u"");

    // The panel's heart and the bar's show one song: a press on one shows in both.
    EonIconButton* barHeart = layout().bottomPlayer().favoriteButton().button();
    EXPECT_EQ(barHeart->symbolName(), u"heart");
    QTest::mouseClick(panel()->favoriteButton().button(), Qt::LeftButton);
    KIVO_WAIT_EQ(library.allTracks().first().rating, 5);
    KIVO_WAIT_EQ(barHeart->symbolName(), u"heart.fill");
    EXPECT_EQ(panel()->favoriteButton().button()->symbolName(), u"heart.fill");

    // The edit button opens the song editor; the window manager's close cancels it.
    QTest::mouseClick(&panel()->editButton(), Qt::LeftButton);
    ASSERT_TRUE(panel()->editor());
    EXPECT_TRUE(panel()->editor()->isVisible());
    panel()->editor()->close();
    EXPECT_FALSE(panel()->editor());
    EXPECT_FALSE(panel()->presenter().editingTrack());

    // The artwork changes and the panel goes while its reload is on the way;
    // twice, so that the first panel's load lands after the second one exists.
    MainLayoutPresenter& presenter = layout().presenter();
    for (int round = 0; round < 2; ++round) {
        app->container().artworkCache().evictArtwork(library.allTracks().first());
        QCoreApplication::processEvents(); // the change notice starts the load
        presenter.collapse(WorkspacePanelSide::right);
        EXPECT_FALSE(panel());
        presenter.reveal(WorkspacePanelSide::right);
        ASSERT_TRUE(panel());
        EXPECT_EQ(panel()->title(), u"Lighthouse");
    }
    KIVO_WAIT_TRUE(!panel()->artwork().image().isNull());

    // The divider's width reaches the artwork.
    presenter.resize(WorkspacePanelSide::right, 460);
    KIVO_WAIT_EQ(panel()->artwork().height(), 320);
}

} // namespace
