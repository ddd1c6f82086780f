#pragma once

#include "engines/artwork/ArtworkCache.h"

#include <QByteArray>
#include <QList>
#include <QSizeF>
#include <qcoro/qcorotask.h>

namespace kivo {

// Makes small images from artwork bytes, off the main thread. Declared for the
// thumbnail operations of the artwork cache; nothing implements it yet.
class ThumbnailGenerator {
public:
    virtual ~ThumbnailGenerator() = default;

    // `imageData` scaled to fit `targetSize`, keeping its aspect ratio, as
    // encoded image bytes. Throws ThumbnailError.
    virtual QCoro::Task<QByteArray> generateThumbnail(QByteArray imageData, QSizeF targetSize) = 0;

    // One thumbnail per image, in the given order. Throws ThumbnailError for
    // the first image that fails; the others are then dropped.
    virtual QCoro::Task<QList<QByteArray>> generateThumbnails(
        QList<QByteArray> images, QSizeF targetSize)
        = 0;

    // Longest a generation may take before it fails with processingTimedOut.
    virtual int timeoutMilliseconds() const = 0;
    virtual void setTimeoutMilliseconds(int milliseconds) = 0;
};

} // namespace kivo
