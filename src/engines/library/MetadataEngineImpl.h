#pragma once

#include "engines/library/MetadataEngine.h"
#include "platform/MediaProbe.h"

#include <memory>

class QThreadPool;

namespace kivo {

// Reads through the media layer on a bounded worker pool; keeps no state
// between calls, so any number of reads may be in flight at once.
class TavrenMetadataEngine final : public MetadataEngine {
    Q_OBJECT
public:
    // The text every refused tag write carries.
    static const QString tagWritingDisabledReason;

    explicit TavrenMetadataEngine(QObject* parent = nullptr);
    // `pool` defaults to the application's global pool.
    explicit TavrenMetadataEngine(std::shared_ptr<const MediaProbe> probe,
        QThreadPool* pool = nullptr, QObject* parent = nullptr);

    QCoro::Task<ExtractedMetadata> readMetadata(QUrl url) override;
    QCoro::Task<> writeMetadata(Track track, std::optional<QByteArray> newArtwork) override;
    QCoro::Task<std::optional<QByteArray>> extractArtwork(QUrl url) override;

    // The same reads, blocking: for callers already on a worker thread.
    // Safe on any thread. Throw MediaProbeError.
    static ExtractedMetadata readMetadataNow(const MediaProbe& probe, const QUrl& url);
    static std::optional<QByteArray> extractArtworkNow(const MediaProbe& probe, const QUrl& url);

private:
    std::shared_ptr<const MediaProbe> m_probe;
    QThreadPool* m_pool;
};

} // namespace kivo
