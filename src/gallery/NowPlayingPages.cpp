// Pages of the now-playing panel: two widths with and without artwork, a song
// without tags, a long title and the empty state.
#include "../../tests/support/StubArtworkCache.h"
#include "../../tests/support/StubAudioEngine.h"
#include "../../tests/support/StubLibraryEngine.h"
#include "../../tests/support/StubMetadataEngine.h"
#include "Gallery.h"
#include "ui/eon/EonPalette.h"
#include "ui/player/NowPlayingPanelView.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QTimeZone>

using namespace Qt::Literals::StringLiterals;

namespace kivo::gallery {

namespace {

constexpr int panelHeight = 716; // the window's default height less the player bar

// A wide picture, so the page shows it filling the square, cropped.
QByteArray sampleArtwork()
{
    QImage image(480, 360, QImage::Format_ARGB32);
    QPainter painter(&image);
    QLinearGradient sky(0, 0, 0, 360);
    sky.setColorAt(0, QColor(38, 70, 120));
    sky.setColorAt(0.6, QColor(230, 140, 60));
    sky.setColorAt(1, QColor(60, 30, 20));
    painter.fillRect(image.rect(), sky);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(eonAccentBright());
    painter.drawEllipse(QPointF(240, 230), 60, 60);
    painter.setBrush(QColor(20, 16, 12));
    painter.drawRect(0, 260, 480, 100);
    painter.end();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

class SampleAudio : public test::StubAudioEngine {
public:
    std::optional<Track> track;
    std::optional<Track> currentTrack() const override { return track; }
};

Track taggedSong(const QString& title)
{
    const QUrl url = QUrl::fromLocalFile(u"/music/Harbour/"_s + title + u".flac"_s);
    Track track = Track::make(QUuid::createUuid(), url, url.fileName(), title, 276.4,
        Date::fromDateTime(QDateTime(QDate(2026, 3, 14), QTime(9, 30), QTimeZone::utc())));
    track.artist = u"Aurora Quartet"_s;
    track.album = u"Northern Lights"_s;
    track.setAlbumArtist(u"Aurora Quartet & Friends"_s);
    track.genre = u"Ambient"_s;
    track.year = 2024;
    track.trackNumber = 3;
    track.bitrate = 912;
    track.sampleRate = 48000;
    track.rating = 5;
    return track;
}

Track untaggedSong()
{
    const QUrl url = QUrl::fromLocalFile(u"/music/inbox/field recording 07"_s);
    return Track::make(QUuid::createUuid(), url, url.fileName(), url.fileName(), 61, Date::now());
}

std::unique_ptr<QWidget> panel(std::optional<Track> track, bool withArtwork)
{
    auto* audio = new SampleAudio;
    audio->track = std::move(track);
    auto* library = new test::StubLibraryEngine;
    auto* artwork = new test::StubArtworkCache;
    if (withArtwork) {
        artwork->artwork = sampleArtwork();
    }
    auto* metadata = new test::StubMetadataEngine;
    auto view = std::make_unique<NowPlayingPanelView>(
        NowPlayingPanelEngines { *audio, *library, *artwork, *metadata });
    for (QObject* engine : std::initializer_list<QObject*> { audio, library, artwork, metadata }) {
        engine->setParent(view.get());
    }
    return view;
}

} // namespace

void addNowPlayingPages(QList<Page>& pages)
{
    for (const int width : { 260, 460 }) {
        const QString size = QString::number(width);
        pages.append({ u"now-playing-"_s + size, { width, panelHeight },
            [] { return panel(taggedSong(u"Harbour Lights"_s), true); } });
        pages.append({ u"now-playing-"_s + size + u"-placeholder"_s, { width, panelHeight },
            [] { return panel(taggedSong(u"Harbour Lights"_s), false); } });
    }
    pages.append({ u"now-playing-untagged"_s, { 320, panelHeight },
        [] { return panel(untaggedSong(), false); } });
    pages.append({ u"now-playing-long-title"_s, { 260, panelHeight }, [] {
                      Track track = taggedSong(u"A Very Long Title That Keeps On Going Past "
                                               u"Two Whole Lines Of The Panel"_s);
                      track.artist = u"The Extraordinarily Named Chamber Ensemble"_s;
                      return panel(track, true);
                  } });
    pages.append({ u"now-playing-empty"_s, { 300, panelHeight },
        [] { return panel(std::nullopt, false); } });
}

} // namespace kivo::gallery
