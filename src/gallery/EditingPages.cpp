// Pages of the metadata editing views: the song editor, the shared editor and
// the inspector, with fixed sample songs and artwork.
#include "../../tests/support/StubArtworkCache.h"
#include "../../tests/support/StubMetadataEngine.h"
#include "Gallery.h"
#include "model/StartDetached.h"
#include "ui/editing/BulkMetadataEditorSheet.h"
#include "ui/editing/InspectorView.h"
#include "ui/editing/TrackMetadataEditorSheet.h"
#include "ui/eon/EonPalette.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>

using namespace Qt::Literals::StringLiterals;

namespace kivo::gallery {

namespace {

QByteArray sampleArtwork()
{
    QImage image(240, 240, QImage::Format_ARGB32);
    QPainter painter(&image);
    painter.fillRect(image.rect(), QBrush(eonAccentGradient().toLinearGradient()));
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(eonCanvas());
    painter.setPen(Qt::NoPen);
    painter.drawEllipse(QPointF(120, 120), 70, 70);
    painter.setBrush(eonAccentBright());
    painter.drawEllipse(QPointF(120, 120), 14, 14);
    painter.end();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

Track sampleSong(const QString& title, const QString& artist, qint64 rating)
{
    const QUrl url = QUrl::fromLocalFile(u"/music/Ambient/"_s + title + u".flac"_s);
    Track track = Track::make(QUuid::createUuid(), url, url.fileName(), title, 276.4,
        Date::fromDateTime(QDateTime(QDate(2026, 3, 14), QTime(9, 30), QTimeZone::utc())));
    track.artist = artist;
    track.album = u"Northern Lights"_s;
    track.setAlbumArtist(u"Aurora Quartet"_s);
    track.genre = u"Ambient"_s;
    track.year = 2024;
    track.trackNumber = 3;
    track.bpm = 92;
    track.rating = rating;
    track.bitrate = 912;
    track.sampleRate = 44100;
    track.setLyrics(u"Slow light over the water,\nthe harbour holds its breath."_s);
    return track;
}

std::unique_ptr<QWidget> songEditor(
    std::optional<QByteArray> artwork, std::optional<QString> error, const QString& title)
{
    auto* cache = new test::StubArtworkCache;
    cache->artwork = std::move(artwork);
    auto* metadata = new test::StubMetadataEngine;
    auto sheet
        = std::make_unique<TrackMetadataEditorSheet>(sampleSong(title, u"Aurora Quartet"_s, 4),
            std::move(error), TrackMetadataEditorSheet::Services { *cache, *metadata },
            [](Track) -> QCoro::Task<bool> { co_return true; });
    cache->setParent(sheet.get());
    metadata->setParent(sheet.get());
    startDetached(sheet->artwork().load());
    return sheet;
}

// Shows the end of a sheet's body, where its message line is, once laid out.
void scrollToEnd(QWidget& sheet)
{
    auto* scroll = sheet.findChild<QScrollArea*>();
    QTimer::singleShot(50, scroll, [scroll] {
        scroll->verticalScrollBar()->setValue(scroll->verticalScrollBar()->maximum());
    });
}

QList<Track> threeSongs()
{
    return { sampleSong(u"Harbour Lights"_s, u"Aurora Quartet"_s, 4),
        sampleSong(u"Tidal"_s, u"Mira Solen"_s, 2),
        sampleSong(u"Low Sun"_s, u"Aurora Quartet"_s, 4) };
}

std::unique_ptr<QWidget> sharedEditor(const std::function<void(BulkMetadataEditorSheet&)>& setUp)
{
    // The picked "file" is the sample picture, read at once.
    auto sheet = std::make_unique<BulkMetadataEditorSheet>(threeSongs(), std::nullopt, false,
        nullptr, [](QUrl) -> QCoro::Task<QByteArray> { co_return sampleArtwork(); });
    setUp(*sheet);
    return sheet;
}

} // namespace

void addEditingPages(QList<Page>& pages)
{
    using Field = SharedEditorForm::Field;
    pages.append({ u"song-editor-artwork"_s, { 500, 640 },
        [] { return songEditor(sampleArtwork(), std::nullopt, u"Harbour Lights"_s); } });
    pages.append({ u"song-editor-placeholder"_s, { 500, 640 },
        [] { return songEditor(std::nullopt, std::nullopt, u"<b>Tidal</b> & Co"_s); } });
    pages.append({ u"song-editor-error"_s, { 500, 640 }, [] {
                      auto sheet = songEditor(std::nullopt,
                          u"The library could not be saved: the disk is full. Free some space "
                          "and try again; your changes are still in this sheet, so nothing "
                          "is lost while you do."_s,
                          u"Low Sun"_s);
                      scrollToEnd(*sheet);
                      return sheet;
                  } });
    pages.append({ u"shared-editor-mixed"_s, { 620, 700 }, [] {
                      return sharedEditor([](BulkMetadataEditorSheet& sheet) {
                          sheet.form().setApplied(Field::genre, true);
                          sheet.form().setValue(Field::genre, u"Downtempo"_s);
                      });
                  } });
    pages.append({ u"shared-editor-applying"_s, { 620, 700 }, [] {
                      return sharedEditor([](BulkMetadataEditorSheet& sheet) {
                          sheet.form().setApplied(Field::artist, true);
                          sheet.form().setValue(Field::artist, u"Aurora Quartet"_s);
                          sheet.form().setRatingApplied(true);
                          sheet.form().tapStar(5);
                          startDetached(
                              sheet.form().loadArtwork(QUrl::fromLocalFile(u"/cover.png"_s)));
                          sheet.setSaving(true);
                      });
                  } });
    pages.append({ u"shared-editor-validation"_s, { 620, 700 }, [] {
                      return sharedEditor([](BulkMetadataEditorSheet& sheet) {
                          sheet.form().setApplied(Field::year, true);
                          sheet.form().setValue(Field::year, u"20245"_s);
                          sheet.form().setApplied(Field::bpm, true);
                          sheet.form().setValue(Field::bpm, u"1200"_s);
                          scrollToEnd(sheet);
                      });
                  } });
    pages.append({ u"inspector"_s, { 300, 760 }, [] {
                      Track song
                          = sampleSong(u"Harbour Lights (Extended Night Version, Remastered)"_s,
                              u"Aurora Quartet"_s, 3);
                      song.filename = u"01 Harbour Lights (Extended Night Version, "
                                      "Remastered 2024).flac"_s;
                      return std::make_unique<InspectorView>(song);
                  } });
}

} // namespace kivo::gallery
