#pragma once

#include "engines/library/MetadataEngine.h"
#include "model/Track.h"

#include <QString>
#include <QUrl>
#include <memory>
#include <optional>
#include <qcoro/qcorotask.h>

class QThreadPool;

namespace kivo {

// The outcome of importing one file: exactly one of the two is present.
struct TrackImportResult {
    std::optional<Track> track;
    // The file's name, ": " and the error's description.
    std::optional<QString> failureDescription;
};

// Turns one audio file into a new track: a bookmark, then the tags. Keeps no
// state; copies share the metadata engine. It neither saves, indexes nor
// publishes the track, and does not look for duplicates.
class TrackImportProcessor {
public:
    // `fileWorkers` runs the file-system step (scoped access and bookmark) so
    // that a slow disk never stalls the main thread; null means the global pool.
    explicit TrackImportProcessor(
        std::shared_ptr<MetadataEngine> metadataEngine, QThreadPool* fileWorkers = nullptr);

    // Never fails: a failure becomes the result's failure text.
    QCoro::Task<TrackImportResult> importTrack(QUrl url, QString fallbackTitle) const;

    // The new track, titled `fallbackTitle` when the file has no title. Throws
    // SecurityScopedAccessError when no bookmark can be made (the tags are not
    // read then), the metadata engine's error, or TrackError. Scoped access to
    // the file is held from the bookmark to the end of the tag read.
    QCoro::Task<Track> makeTrack(QUrl url, QString fallbackTitle) const;

private:
    std::shared_ptr<MetadataEngine> m_metadataEngine;
    QThreadPool* m_fileWorkers;
};

} // namespace kivo
