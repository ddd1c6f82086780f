#include "ui/player/NowPlayingPanelPresenter.h"

#include "model/ErrorText.h"
#include "model/StartDetached.h"
#include "model/TrackSortOrder.h"
#include "ui/eon/MediumDateFormatter.h"

#include <QMetaMethod>
#include <QPointer>
#include <algorithm>

using namespace Qt::Literals::StringLiterals;

namespace kivo {

namespace {

const QString missingDetail = u"-"_s;

QString textDetail(const std::optional<QString>& value)
{
    return value && !value->isEmpty() ? *value : missingDetail;
}

QString numberDetail(const std::optional<qint64>& value, const QString& suffix = {})
{
    return value ? QString::number(*value) + suffix : missingDetail;
}

} // namespace

NowPlayingPanelPresenter::NowPlayingPanelPresenter(
    AudioEngine& audio, LibraryEngine& library, ArtworkCache& artwork, QObject* parent)
    : QObject(parent)
    , m_audio(audio)
    , m_library(library)
    , m_artwork(artwork)
{
    connect(&audio, &AudioEngine::currentTrackChanged, this,
        &NowPlayingPanelPresenter::updateDisplayedTrack);
    connect(&library, &LibraryEngine::tracksChanged, this,
        &NowPlayingPanelPresenter::updateDisplayedTrack);
    // The connection ends with this presenter, so a notice never reaches a
    // panel that is gone.
    connect(&artwork, &ArtworkCache::cacheVersionChanged, this,
        &NowPlayingPanelPresenter::reloadArtwork);
    updateDisplayedTrack();
}

void NowPlayingPanelPresenter::setSelectedTrack(const std::optional<Track>& track)
{
    if (m_selected == track) {
        return;
    }
    m_selected = track;
    updateDisplayedTrack();
}

void NowPlayingPanelPresenter::updateDisplayedTrack()
{
    std::optional<Track> shown = m_audio.currentTrack();
    if (!shown) {
        shown = m_selected;
    }
    if (shown) {
        const QList<Track> tracks = m_library.allTracks();
        const auto copy = std::find_if(tracks.cbegin(), tracks.cend(),
            [&id = shown->id](const Track& track) { return track.id == id; });
        if (copy != tracks.cend()) {
            shown = *copy;
        }
    }
    if (shown == m_displayed) {
        return;
    }
    const bool idChanged = (shown ? std::optional(shown->id) : std::nullopt)
        != (m_displayed ? std::optional(m_displayed->id) : std::nullopt);
    m_displayed = std::move(shown);
    if (idChanged) {
        // Never another song's artwork under this one, even while it loads.
        setArtworkImage({});
    }
    Q_EMIT displayedTrackChanged(m_displayed);
    if (idChanged) {
        reloadArtwork();
    }
}

void NowPlayingPanelPresenter::reloadArtwork()
{
    const quint64 generation = ++m_artworkGeneration;
    if (!m_displayed) {
        setArtworkImage({});
        return;
    }
    startDetached(loadArtwork(generation, *m_displayed)); // dropped if this goes
}

QCoro::Task<> NowPlayingPanelPresenter::loadArtwork(quint64 generation, Track track)
{
    const QPointer<NowPlayingPanelPresenter> self(this);
    QCoro::Task<std::optional<QByteArray>> retrieving = m_artwork.retrieveArtwork(track);
    const std::optional<QByteArray> bytes = co_await std::move(retrieving);
    if (!self || generation != m_artworkGeneration || !m_displayed || m_displayed->id != track.id) {
        co_return;
    }
    setArtworkImage(bytes ? QImage::fromData(*bytes) : QImage());
}

void NowPlayingPanelPresenter::setArtworkImage(const QImage& image)
{
    if (image.isNull() && m_artworkImage.isNull()) {
        return;
    }
    m_artworkImage = image;
    Q_EMIT artworkImageChanged(m_artworkImage);
}

void NowPlayingPanelPresenter::beginEditing()
{
    if (!m_displayed) {
        return;
    }
    setEditorError(std::nullopt);
    setEditing(m_displayed);
}

void NowPlayingPanelPresenter::cancelEditing()
{
    setEditorError(std::nullopt);
    setEditing(std::nullopt);
}

QCoro::Task<bool> NowPlayingPanelPresenter::saveEdited(Track edited)
{
    const QPointer<NowPlayingPanelPresenter> self(this);
    std::exception_ptr failure;
    try {
        QCoro::Task<> saving = m_library.updateTracks({ edited });
        co_await std::move(saving);
    } catch (...) {
        failure = std::current_exception();
    }
    if (!self) {
        co_return !failure;
    }
    if (failure) {
        setEditorError(describeError(failure));
        co_return false;
    }
    m_selected = edited;
    Q_EMIT selectedTrackEdited(edited);
    updateDisplayedTrack();
    setEditorError(std::nullopt);
    setEditing(std::nullopt);
    co_return true;
}

void NowPlayingPanelPresenter::setEditing(const std::optional<Track>& track)
{
    if (m_editing == track) {
        return;
    }
    m_editing = track;
    Q_EMIT editingTrackChanged(m_editing);
}

void NowPlayingPanelPresenter::setEditorError(const std::optional<QString>& message)
{
    if (m_editorError == message) {
        return;
    }
    m_editorError = message;
    Q_EMIT editorErrorChanged(m_editorError);
}

double NowPlayingPanelPresenter::artworkSide(double panelWidth)
{
    return std::min(std::max(panelWidth - 56, 176.0), 320.0);
}

QString NowPlayingPanelPresenter::formatBadge(const Track& track)
{
    const QString format = track.fileFormat();
    return format.isEmpty() ? u"AUDIO"_s : format.toUpper();
}

QString NowPlayingPanelPresenter::artistText(const Track& track)
{
    return track.artist.value_or(u"Unknown Artist"_s);
}

QString NowPlayingPanelPresenter::albumText(const Track& track)
{
    return track.album.value_or(u"Unknown Album"_s);
}

QList<NowPlayingDetailRow> NowPlayingPanelPresenter::detailRows(const Track& track)
{
    return {
        { u"Album Artist"_s, textDetail(track.albumArtist()) },
        { u"Genre"_s, textDetail(track.genre) },
        { u"Year"_s, numberDetail(track.year) },
        { u"Track #"_s, numberDetail(track.trackNumber) },
        { u"Bitrate"_s, numberDetail(track.bitrate, u" kbps"_s) },
        // asprintf formats in the C locale: always a full stop.
        { u"Sample Rate"_s,
            track.sampleRate ? QString::asprintf("%.1f kHz", double(*track.sampleRate) / 1000.0)
                             : missingDetail },
        { u"Date Added"_s, track.dateAdded ? formatMediumDate(*track.dateAdded) : missingDetail },
    };
}

} // namespace kivo
