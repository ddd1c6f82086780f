#include "engines/library/MetadataEngineImpl.h"

#include "model/RunOnWorker.h"

#include "platform/MediaProbeImpl.h"

#include <QFileInfo>
#include <QThreadPool>
#include <QtConcurrent/QtConcurrentRun>
#include <cmath>
#include <exception>
#include <qcoro/qcorofuture.h>

using namespace Qt::Literals::StringLiterals;

namespace kivo {

const QString TavrenMetadataEngine::tagWritingDisabledReason
    = u"Physical tag writing is disabled until a non-destructive file replacement workflow is "
      "available. Local metadata edits are saved in the app library."_s;

namespace {

QString localPath(const QUrl& url)
{
    if (!url.isLocalFile()) {
        throw MediaProbeError::notLocalFile(url.toString());
    }
    return url.toLocalFile();
}

// Drops the fraction; a value that is no finite number in range stays absent.
std::optional<qint64> truncatedInteger(double value)
{
    constexpr double limit = 9223372036854775808.0; // 2^63
    if (!std::isfinite(value) || value >= limit || value < -limit) {
        return std::nullopt;
    }
    return qint64(std::trunc(value));
}

// The file name with its last extension removed ("Live.Set.flac" gives "Live.Set").
QString titleFromFileName(const QString& path)
{
    const QString name = QFileInfo(path).fileName();
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot > 0 ? name.left(dot) : name;
}

// The whole number a tag text starts with, when the rest is only what such
// tags carry after it: "3/12" (of a total), "2019-05-03" (a full date).
// Zero, signs, garbage and values past `maximum` read as absent.
std::optional<qint64> leadingNumber(const QString& text, QStringView separators, qint64 maximum)
{
    const QString trimmed = text.trimmed();
    qsizetype digits = 0;
    while (digits < trimmed.size() && trimmed[digits] >= u'0' && trimmed[digits] <= u'9') {
        ++digits;
    }
    if (digits == 0 || digits > 9
        || (digits < trimmed.size() && !separators.contains(trimmed[digits]))) {
        return std::nullopt;
    }
    const qint64 number = trimmed.left(digits).toLongLong();
    return number >= 1 && number <= maximum ? std::optional(number) : std::nullopt;
}

// The numbers the editors accept: a four-digit year, up to 999 discs.
constexpr qint64 maximumYear = 9999;
constexpr qint64 maximumTrackNumber = 9999;
constexpr qint64 maximumDiscNumber = 999;

// A number tag that does not read as one leaves what an earlier item gave.
bool applyNumberItem(ExtractedMetadata& metadata, const QString& key, const QString& text)
{
    std::optional<qint64>* field = nullptr;
    std::optional<qint64> number;
    if (key == MediaCommonKey::creationDate) {
        field = &metadata.year;
        number = leadingNumber(text, u"-T /.", maximumYear);
    } else if (key == MediaCommonKey::trackNumber) {
        field = &metadata.trackNumber;
        number = leadingNumber(text, u"/", maximumTrackNumber);
    } else if (key == MediaCommonKey::discNumber) {
        field = &metadata.discNumber;
        number = leadingNumber(text, u"/", maximumDiscNumber);
    } else {
        return false;
    }
    if (number) {
        *field = number;
    }
    return true;
}

void applyItem(ExtractedMetadata& metadata, const MediaMetadataItem& item)
{
    if (!item.commonKey) {
        return;
    }
    const QString& key = *item.commonKey;
    if (applyNumberItem(metadata, key, item.textValue.value_or(QString()))) {
        return;
    }
    std::optional<QString>* field = nullptr;
    if (key == MediaCommonKey::title) {
        field = &metadata.title;
    } else if (key == MediaCommonKey::artist) {
        field = &metadata.artist;
    } else if (key == MediaCommonKey::albumName) {
        field = &metadata.album;
    } else if (key == MediaCommonKey::genre || key == MediaCommonKey::type) {
        field = &metadata.genre;
    } else if (key == MediaCommonKey::composer) {
        field = &metadata.composer;
    } else if (key == MediaCommonKey::albumArtist) {
        field = &metadata.albumArtist;
    } else {
        return;
    }
    // The last matching item decides, also when it has no text.
    *field = item.textValue;
}

} // namespace

TavrenMetadataEngine::TavrenMetadataEngine(QObject* parent)
    : TavrenMetadataEngine(std::make_shared<LocalMediaProbe>(), nullptr, parent)
{
}

TavrenMetadataEngine::TavrenMetadataEngine(
    std::shared_ptr<const MediaProbe> probe, QThreadPool* pool, QObject* parent)
    : MetadataEngine(parent)
    , m_probe(std::move(probe))
    , m_pool(pool != nullptr ? pool : QThreadPool::globalInstance())
{
}

ExtractedMetadata TavrenMetadataEngine::readMetadataNow(const MediaProbe& probe, const QUrl& url)
{
    const QString path = localPath(url);
    const std::unique_ptr<MediaAsset> asset = probe.openAsset(path);
    const QList<MediaMetadataItem> items = asset->loadMetadata();
    const double seconds = asset->loadDuration();
    ExtractedMetadata metadata(std::isfinite(seconds) && seconds > 0 ? seconds : 0.0);

    QList<MediaAudioTrack> tracks;
    try {
        tracks = asset->loadAudioTracks();
    } catch (const MediaProbeError&) {
        // Without streams the record simply lacks sample rate and bitrate.
    }
    if (!tracks.isEmpty() && tracks.first().sampleRate) {
        metadata.sampleRate = truncatedInteger(*tracks.first().sampleRate);
        const qint64 size = QFileInfo(path).size(); // 0 when it cannot be read
        if (metadata.duration > 0) {
            metadata.bitrate = truncatedInteger(double(size) * 8.0 / metadata.duration / 1000.0);
        }
    }

    for (const MediaMetadataItem& item : items) {
        applyItem(metadata, item);
    }
    if (!metadata.title) {
        metadata.title = titleFromFileName(path);
    }
    return metadata;
}

std::optional<QByteArray> TavrenMetadataEngine::extractArtworkNow(
    const MediaProbe& probe, const QUrl& url)
{
    const std::unique_ptr<MediaAsset> asset = probe.openAsset(localPath(url));
    const QList<MediaMetadataItem> items = asset->loadMetadata();
    for (const MediaMetadataItem& item : items) {
        if (item.commonKey && *item.commonKey == MediaCommonKey::artwork) {
            return item.dataValue; // later artwork items are not tried
        }
    }
    return std::nullopt;
}

QCoro::Task<ExtractedMetadata> TavrenMetadataEngine::readMetadata(QUrl url)
{
    // The work holds copies only: the engine may be gone when it finishes.
    auto work = [probe = m_probe, url] { return readMetadataNow(*probe, url); };
    QCoro::Task<ExtractedMetadata> task = runOnWorker(m_pool, std::move(work));
    co_return co_await std::move(task);
}

QCoro::Task<std::optional<QByteArray>> TavrenMetadataEngine::extractArtwork(QUrl url)
{
    auto work = [probe = m_probe, url] { return extractArtworkNow(*probe, url); };
    QCoro::Task<std::optional<QByteArray>> task = runOnWorker(m_pool, std::move(work));
    co_return co_await std::move(task);
}

QCoro::Task<> TavrenMetadataEngine::writeMetadata(Track track, std::optional<QByteArray>)
{
    // Tags are never written: edits live in the library only.
    const bool exists
        = track.fileURL.isLocalFile() && QFileInfo::exists(track.fileURL.toLocalFile());
    if (exists) {
        throw MetadataError::tagWriteFailed(tagWritingDisabledReason);
    }
    throw MetadataError::fileNotFound(track.fileURL);
    co_return;
}

} // namespace kivo
