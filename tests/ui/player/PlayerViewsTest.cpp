#include "PlayerFakes.h"
#include "engines/artwork/ArtworkCache.h"
#include "engines/library/MetadataEngineImpl.h"
#include "ui/player/CompactWaveformSeekView.h"
#include "ui/player/NowPlayingMetadataDetailsView.h"
#include "ui/player/NowPlayingPanelView.h"
#include "ui/player/PlayerIssueBanner.h"
#include "ui/player/PlayerTrackInfoView.h"
#include "ui/player/QueueView.h"

#include <QBuffer>
#include <QLabel>
#include <QListView>
#include <QTest>
#include <QTextDocument>
#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace kivo::test {
namespace {

TEST(PlayerTrackInfoView, ShowsTextsAndOnlyTheCurrentSongsArtwork)
{
    ManualArtworkCache artwork;
    PlayerTrackInfoView info(artwork);
    info.resize(300, 58);
    Track first = song(u"<img src=x>"_s);
    first.artist = u""_s;
    const Track second = song(u"Second"_s);

    info.setTrack(first, PlaybackState::paused);
    EXPECT_EQ(info.title(), u"<img src=x>");
    EXPECT_EQ(info.findChild<QLabel*>(u"player.artist"_s)->text(), u"Unknown Artist");
    EXPECT_EQ(info.status(), u"READY TO RESUME");
    info.setTrack(first, PlaybackState::playing); // same song: no new load
    EXPECT_EQ(info.status(), u"NOW PLAYING");
    ASSERT_EQ(artwork.loads.size(), 1);

    info.setTrack(second, PlaybackState::playing);
    artwork.finish(0, png(Qt::red)); // the first song's artwork arrives late: dropped
    EXPECT_TRUE(info.artworkImage().isNull());
    artwork.finish(1, png(Qt::blue));
    ASSERT_FALSE(info.artworkImage().isNull());
    EXPECT_EQ(info.artworkImage().pixelColor(0, 0), QColor(Qt::blue));
}

TEST(QueueView, AsksArtworkOnlyForTheRowsInViewAndForRowsScrolledTo)
{
    ScriptedQueueEngine queue;
    queue.current = song(u"Now"_s);
    QHash<QUuid, QString> titles { { queue.current->id, queue.current->title } };
    for (int i = 0; i < 1000; ++i) {
        queue.upcomingList.append(song(QString::number(i)));
        titles.insert(queue.upcomingList.last().id, queue.upcomingList.last().title);
    }
    ManualArtworkCache artwork;
    QueueView view(queue, artwork);
    view.resize(390, 480);
    view.show();
    const auto settle = [] {
        for (int i = 0; i < 5; ++i) {
            QCoreApplication::processEvents();
        }
    };
    const auto asked = [&] {
        QStringList titlesAsked;
        for (const auto& load : std::as_const(artwork.loads)) {
            titlesAsked << titles.value(load->trackID);
        }
        return titlesAsked;
    };
    settle();
    EXPECT_TRUE(asked().contains(u"Now"_s));
    EXPECT_TRUE(asked().contains(u"0"_s));
    EXPECT_LT(asked().size(), 50);

    view.list().scrollToBottom();
    settle();
    EXPECT_TRUE(asked().contains(u"999"_s));
    EXPECT_FALSE(asked().contains(u"500"_s));

    // A song moved into view asks then; one asked already is not asked again.
    queue.upcomingList.move(500, 999);
    queue.publishLists();
    settle();
    EXPECT_EQ(asked().count(u"500"_s), 1);
    EXPECT_EQ(asked().count(u"999"_s), 1);
}

TEST(CompactWaveformSeekView, ClickSeeksAndDragShowsTheBubbleUntilRelease)
{
    QWidget parent;
    CompactWaveformSeekView bar(&parent);
    bar.resize(200, 28);
    bar.setDuration(200);
    QList<double> seeks;
    bar.setOnSeek([&seeks](double seconds) { seeks.append(seconds); });
    QTest::mousePress(&bar, Qt::LeftButton, {}, QPoint(100, 14));
    EXPECT_EQ(bar.scrubProgress(), 0.5);
    EXPECT_EQ(bar.accessibleValue(), u"1:40");
    QTest::mouseRelease(&bar, Qt::LeftButton, {}, QPoint(100, 14));
    EXPECT_FALSE(bar.scrubProgress());
    EXPECT_EQ(seeks, (QList<double> { 100, 100 }));

    PlayerIssueBanner banner;
    banner.setMessage(QString(400, u'x'));
    EXPECT_LE(banner.width(), PlayerIssueBanner::maximumCardWidth);
}

// The text a tooltip shows, decided as Qt's tooltips decide it.
QString shownToolTip(const QWidget& widget)
{
    const QString tip = widget.toolTip();
    QTextDocument document;
    Qt::mightBeRichText(tip) ? document.setHtml(tip) : document.setPlainText(tip);
    return document.toPlainText();
}

TEST(PlayerToolTips, SongTextsShowAsTyped)
{
    const QString title = u"AC/DC &  \"Friends\" <b>Live</b>"_s;
    const QString artist = u"Tom & Jerry's <i>Band</i>, a name far too long for the panel"_s;
    Track track = song(title);
    track.artist = artist;
    track.setAlbumArtist(u"<img src=x> & co"_s);

    ManualArtworkCache artwork;
    PlayerTrackInfoView info(artwork);
    info.resize(300, 58);
    info.setTrack(track, PlaybackState::playing);
    EXPECT_EQ(shownToolTip(*info.findChild<QLabel*>(u"player.title"_s)), title);

    PlayerIssueBanner banner;
    banner.setMessage(u"\u201C"_s + title + u"\u201D couldn't be played."_s);
    EXPECT_EQ(shownToolTip(*banner.findChild<QLabel*>(u"player.issueMessage"_s)),
        u"\u201C"_s + title + u"\u201D couldn't be played."_s);

    ScriptedAudioEngine audio;
    audio.current = track;
    ScriptedLibraryEngine library;
    TavrenMetadataEngine metadata;
    NowPlayingPanelView panel({ audio, library, artwork, metadata });
    panel.resize(260, 900);
    panel.show();
    QCoreApplication::processEvents();
    ASSERT_EQ(panel.title(), title);
    EXPECT_EQ(shownToolTip(*panel.findChild<QLabel*>(u"nowPlaying.title"_s)), title);
    EXPECT_EQ(shownToolTip(*panel.findChild<QLabel*>(u"nowPlaying.artist"_s)), artist);
    QStringList detailTips;
    for (const QLabel* label : panel.details().findChildren<QLabel*>()) {
        if (!label->toolTip().isEmpty()) {
            detailTips << shownToolTip(*label);
        }
    }
    EXPECT_TRUE(detailTips.contains(u"<img src=x> & co"_s))
        << detailTips.join(u" | ").toStdString();
}

} // namespace
} // namespace kivo::test
