#include "engines/library/TrackImportProcessor.h"

#include "model/ErrorText.h"
#include "model/RunOnWorker.h"
#include "platform/SecurityScopedResource.h"

#include <QThreadPool>

using namespace Qt::Literals::StringLiterals;

namespace kivo {

namespace {

// What the file-system step hands back: whether access was started (it must
// be stopped whatever happens next) and the bookmark or its error.
struct Opened {
    bool didStartAccess = false;
    QByteArray bookmark;
    std::exception_ptr error;
};

// Stops the access started for the file when the import of it ends.
class AccessScope {
public:
    AccessScope(std::shared_ptr<FileAccessPlatform> platform, QUrl url, bool started)
        : m_platform(std::move(platform))
        , m_url(std::move(url))
        , m_started(started)
    {
    }
    ~AccessScope()
    {
        if (m_started) {
            m_platform->stopAccessing(m_url);
        }
    }
    AccessScope(const AccessScope&) = delete;
    AccessScope& operator=(const AccessScope&) = delete;

private:
    std::shared_ptr<FileAccessPlatform> m_platform;
    QUrl m_url;
    bool m_started;
};

} // namespace

TrackImportProcessor::TrackImportProcessor(
    std::shared_ptr<MetadataEngine> metadataEngine, QThreadPool* fileWorkers)
    : m_metadataEngine(std::move(metadataEngine))
    , m_fileWorkers(fileWorkers ? fileWorkers : QThreadPool::globalInstance())
{
}

QCoro::Task<TrackImportResult> TrackImportProcessor::importTrack(
    QUrl url, QString fallbackTitle) const
{
    TrackImportResult result;
    try {
        QCoro::Task<Track> making = makeTrack(url, fallbackTitle);
        result.track = co_await std::move(making);
    } catch (...) {
        // The name first, even when the error names the file too.
        result.failureDescription
            = url.fileName() + u": "_s + describeError(std::current_exception());
    }
    co_return result;
}

QCoro::Task<Track> TrackImportProcessor::makeTrack(QUrl url, QString fallbackTitle) const
{
    // Copied before the first suspension: the processor may be a temporary
    // of its caller.
    const std::shared_ptr<MetadataEngine> metadataEngine = m_metadataEngine;
    const std::shared_ptr<FileAccessPlatform> platform = FileAccessPlatform::shared();
    auto open = [platform, url] {
        Opened opened;
        opened.didStartAccess = platform->startAccessing(url);
        try {
            opened.bookmark = SecurityScopedResource::makeBookmark(url);
        } catch (...) {
            opened.error = std::current_exception();
        }
        return opened;
    };
    QCoro::Task<Opened> opening = runOnWorker(m_fileWorkers, std::move(open));
    const Opened opened = co_await std::move(opening);
    const AccessScope access(platform, url, opened.didStartAccess);
    if (opened.error) {
        std::rethrow_exception(opened.error);
    }

    QCoro::Task<ExtractedMetadata> reading = metadataEngine->readMetadata(url);
    ExtractedMetadata metadata = co_await std::move(reading);
    // The texts the song keeps are copied here, and the reader's freed: kept
    // in the reading thread's heap, each would hold the memory that thread
    // freed around it for the rest of the session.
    for (std::optional<QString>* text : { &metadata.title, &metadata.artist, &metadata.album,
             &metadata.genre, &metadata.composer, &metadata.albumArtist, &metadata.comments }) {
        if (*text && !(*text)->isNull()) {
            *text = QString((*text)->constData(), (*text)->size());
        }
    }

    const QByteArray bookmark = opened.bookmark.isNull()
        ? opened.bookmark
        : QByteArray(opened.bookmark.constData(), opened.bookmark.size());
    Track track = Track::make(QUuid::createUuid(), url, url.fileName(),
        metadata.title.value_or(fallbackTitle), metadata.duration, Date::now(), bookmark);
    track.artist = metadata.artist;
    track.album = metadata.album;
    track.genre = metadata.genre;
    track.year = metadata.year;
    track.trackNumber = metadata.trackNumber;
    track.discNumber = metadata.discNumber;
    track.setComposer(metadata.composer);
    track.setAlbumArtist(metadata.albumArtist);
    track.setComments(metadata.comments);
    track.bpm = metadata.bpm;
    track.bitrate = metadata.bitrate;
    track.sampleRate = metadata.sampleRate;
    // The moment the track was completed, after the read.
    track.dateAdded = Date::now();
    co_return track;
}

} // namespace kivo
