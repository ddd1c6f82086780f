#include "ui/editing/InspectorModel.h"

#include "engines/artwork/SharedMetadataDraft.h"
#include "ui/eon/MediumDateFormatter.h"
#include "ui/eon/TimeText.h"

#include <QFileInfo>

using namespace Qt::Literals::StringLiterals;

namespace kivo {

namespace {

const QString noValue = u"—"_s;

std::optional<QString> tagText(const QString& text)
{
    return text.isEmpty() ? std::nullopt : std::optional(text);
}

// The whole text must be the number: no blank around it, unlike trimming readers.
std::optional<qint64> bpmValue(const QString& text)
{
    return text == text.trimmed() ? parseMetadataInteger(text) : std::nullopt;
}

} // namespace

InspectorModel::InspectorModel(Track track, QObject* parent)
    : QObject(parent)
    , m_track(std::move(track))
    , m_artist(m_track.artist.value_or(QString()))
    , m_album(m_track.album.value_or(QString()))
    , m_genre(m_track.genre.value_or(QString()))
    , m_bpm(m_track.bpm ? QString::number(*m_track.bpm) : QString())
    , m_rating(m_track.rating)
{
}

void InspectorModel::setTrack(const Track& track)
{
    m_track = track;
}

void InspectorModel::write(const std::function<void(Track&)>& change)
{
    change(m_track);
    Q_EMIT trackEdited(m_track);
}

void InspectorModel::setArtistInput(const QString& text)
{
    if (text == m_artist) {
        return;
    }
    m_artist = text;
    write([&](Track& track) { track.artist = tagText(text); });
}

void InspectorModel::setAlbumInput(const QString& text)
{
    if (text == m_album) {
        return;
    }
    m_album = text;
    write([&](Track& track) { track.album = tagText(text); });
}

void InspectorModel::setGenreInput(const QString& text)
{
    if (text == m_genre) {
        return;
    }
    m_genre = text;
    write([&](Track& track) { track.genre = tagText(text); });
}

void InspectorModel::setBpmInput(const QString& text)
{
    if (text == m_bpm) {
        return;
    }
    m_bpm = text;
    write([&](Track& track) { track.bpm = bpmValue(text); });
}

void InspectorModel::tapStar(int n)
{
    m_rating = m_rating == n ? 0 : n;
    write([&](Track& track) { track.rating = m_rating; });
}

QString InspectorModel::formatText() const
{
    return m_track.fileFormat().toUpper();
}

QString InspectorModel::bitrateText() const
{
    return m_track.bitrate ? u"%1 kbps"_s.arg(*m_track.bitrate) : noValue;
}

QString InspectorModel::sampleRateText() const
{
    return m_track.sampleRate
        ? u"%1 kHz"_s.arg(static_cast<double>(*m_track.sampleRate) / 1000.0, 0, 'f', 1)
        : noValue;
}

QString InspectorModel::durationText() const
{
    return formatTime(m_track.duration);
}

QString InspectorModel::dateAddedText() const
{
    return m_track.dateAdded ? formatMediumDate(*m_track.dateAdded) : noValue;
}

} // namespace kivo
