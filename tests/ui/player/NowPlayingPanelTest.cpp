#include "PlayerFakes.h"
#include "ui/player/NowPlayingPanelPresenter.h"

#include <QColor>
#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace kivo::test {

namespace {

QString shownColor(const NowPlayingPanelPresenter& panel)
{
    return panel.artworkImage().isNull() ? u"none"_s : panel.artworkImage().pixelColor(0, 0).name();
}

class NowPlayingPanelTest : public ::testing::Test {
protected:
    QString shownTitle() const
    {
        return panel.displayedTrack() ? panel.displayedTrack()->title : u"(none)"_s;
    }

    ScriptedAudioEngine audio;
    ScriptedLibraryEngine library;
    ManualArtworkCache artwork;
    NowPlayingPanelPresenter panel { audio, library, artwork };
};

TEST_F(NowPlayingPanelTest, ThePlayingSongWinsAndShowsAsTheLibraryHasIt)
{
    const Track a = song(u"A"_s);
    const Track b = song(u"B"_s);
    Track editedA = a;
    editedA.title = u"A (edited)"_s;
    library.publish({ editedA, b });
    EXPECT_EQ(shownTitle(), u"(none)");

    panel.setSelectedTrack(b);
    EXPECT_EQ(shownTitle(), u"B");
    audio.setCurrent(a); // the engine still holds the copy it started with
    EXPECT_EQ(shownTitle(), u"A (edited)");
    library.publish({ b }); // removed: the engine's copy keeps showing
    EXPECT_EQ(shownTitle(), u"A");
    audio.setCurrent(std::nullopt);
    EXPECT_EQ(shownTitle(), u"B");
    panel.setSelectedTrack(std::nullopt);
    EXPECT_EQ(shownTitle(), u"(none)");
}

TEST(NowPlayingPanelTexts, ArtworkSideBadgeNamesAndDetails)
{
    for (const auto& [width, side] : QList<std::pair<double, double>> {
             { 200, 176 }, { 232, 176 }, { 260, 204 }, { 300, 244 }, { 376, 320 }, { 460, 320 } }) {
        EXPECT_EQ(NowPlayingPanelPresenter::artworkSide(width), side) << width;
    }

    Track track = song(u"T"_s);
    for (const auto& [path, badge] : QList<std::pair<QString, QString>> {
             { u"/m/song.flac"_s, u"FLAC"_s }, { u"/m/Mix.tar.Mp3"_s, u"MP3"_s },
             { u"/m/no extension"_s, u"AUDIO"_s }, { u"/m.d/trailing."_s, u"AUDIO"_s } }) {
        track.fileURL = QUrl::fromLocalFile(path);
        EXPECT_EQ(NowPlayingPanelPresenter::formatBadge(track), badge) << path.toStdString();
    }

    EXPECT_EQ(NowPlayingPanelPresenter::artistText(track), u"Unknown Artist");
    EXPECT_EQ(NowPlayingPanelPresenter::albumText(track), u"Unknown Album");
    track.artist = QString();
    track.album = u"Blue"_s;
    EXPECT_EQ(NowPlayingPanelPresenter::artistText(track), u"");
    EXPECT_EQ(NowPlayingPanelPresenter::albumText(track), u"Blue");

    const auto values = [](const Track& t) {
        QStringList texts;
        for (const NowPlayingDetailRow& row : NowPlayingPanelPresenter::detailRows(t)) {
            texts << row.label + u'=' + row.value;
        }
        return texts.join(u", "_s);
    };
    Track bare = song(u"Bare"_s);
    bare.setAlbumArtist(QString());
    EXPECT_EQ(values(bare),
        u"Album Artist=-, Genre=-, Year=-, Track #=-, Bitrate=-, Sample Rate=-, Date Added=-");
    Track full = bare;
    full.setAlbumArtist(u"Various"_s);
    full.genre = u"Jazz"_s;
    full.year = 1999;
    full.trackNumber = 7;
    full.bitrate = 320;
    full.sampleRate = 48000;
    EXPECT_EQ(values(full),
        u"Album Artist=Various, Genre=Jazz, Year=1999, Track #=7, Bitrate=320 kbps, "
        u"Sample Rate=48.0 kHz, Date Added=-");
    full.sampleRate = 44100;
    EXPECT_EQ(NowPlayingPanelPresenter::detailRows(full)[5].value, u"44.1 kHz");
}

TEST_F(NowPlayingPanelTest, EditorOpensSavesFailsAndCancels)
{
    const Track a = song(u"A"_s);
    const Track b = song(u"B"_s);
    library.publish({ a, b });
    panel.beginEditing(); // nothing shown: nothing to edit
    EXPECT_FALSE(panel.editingTrack());

    panel.setSelectedTrack(a);
    panel.beginEditing();
    EXPECT_EQ(panel.editingTrack(), a);

    Track edited = a;
    edited.title = QString();
    library.failWith = u"Track title cannot be empty."_s;
    EXPECT_FALSE(QCoro::waitFor(panel.saveEdited(edited)));
    EXPECT_EQ(panel.editorError(), u"Track title cannot be empty.");
    EXPECT_EQ(panel.editingTrack(), a); // the sheet stays open
    EXPECT_EQ(shownTitle(), u"A");
    panel.cancelEditing();
    EXPECT_FALSE(panel.editorError());
    EXPECT_FALSE(panel.editingTrack());

    // Reopening starts without the old text.
    panel.beginEditing();
    library.failWith.clear();
    edited.title = u"A2"_s;
    std::optional<Track> written;
    QObject::connect(&panel, &NowPlayingPanelPresenter::selectedTrackEdited,
        [&](const Track& track) { written = track; });
    audio.setCurrent(b); // another song plays meanwhile
    EXPECT_TRUE(QCoro::waitFor(panel.saveEdited(edited)));
    EXPECT_EQ(written, edited);
    EXPECT_EQ(panel.selectedTrack(), edited);
    EXPECT_FALSE(panel.editingTrack());
    EXPECT_FALSE(panel.editorError());
    EXPECT_EQ(shownTitle(), u"B");
    audio.setCurrent(std::nullopt);
    EXPECT_EQ(shownTitle(), u"A2");
}

TEST_F(NowPlayingPanelTest, OnlyTheNewestLoadOfTheShownSongStoresItsArtwork)
{
    const Track a = song(u"A"_s);
    const Track b = song(u"B"_s);
    panel.setSelectedTrack(a);
    panel.setSelectedTrack(b);
    ASSERT_EQ(artwork.loads.size(), 2);
    artwork.finish(1, png(Qt::blue));
    EXPECT_EQ(shownColor(panel), u"#0000ff");
    artwork.finish(0, png(Qt::red)); // A's slow load lands late
    EXPECT_EQ(shownColor(panel), u"#0000ff");

    // Two change notices: the older load finishing last does not win.
    artwork.announceChange();
    artwork.announceChange();
    ASSERT_EQ(artwork.loads.size(), 4);
    artwork.finish(3, png(Qt::green));
    artwork.finish(2, png(Qt::yellow));
    EXPECT_EQ(shownColor(panel), u"#00ff00");

    // A new song clears the old artwork at once; bytes that are no image show none.
    panel.setSelectedTrack(a);
    EXPECT_EQ(shownColor(panel), u"none");
    artwork.finish(4, QByteArray("not an image"));
    EXPECT_EQ(shownColor(panel), u"none");
    // An edit that keeps the id loads nothing.
    Track renamed = a;
    renamed.title = u"A2"_s;
    panel.setSelectedTrack(renamed);
    EXPECT_EQ(artwork.loads.size(), 5);
}

TEST(NowPlayingPanelLifetime, LoadsStartedByTheChangeNoticeEndWithThePanel)
{
    ScriptedAudioEngine audio;
    ScriptedLibraryEngine library;
    ManualArtworkCache artwork;
    auto panel = std::make_unique<NowPlayingPanelPresenter>(audio, library, artwork);
    panel->setSelectedTrack(song(u"A"_s));
    artwork.announceChange();
    ASSERT_EQ(artwork.loads.size(), 2);
    panel.reset();
    artwork.announceChange(); // nobody listens any more
    EXPECT_EQ(artwork.loads.size(), 2);
    artwork.finish(1, png(Qt::red));
    artwork.finish(0, png(Qt::red));
}

} // namespace
} // namespace kivo::test
