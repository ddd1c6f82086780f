#include "engines/artwork/ArtworkCache.h"

#include <QHashFunctions>

using namespace Qt::Literals::StringLiterals;

namespace kivo {

ThumbnailError::ThumbnailError(Case errorCase)
    : m_case(errorCase)
    , m_what(errorDescription().toStdString())
{
}

QString ThumbnailError::errorDescription() const
{
    switch (m_case) {
    case Case::invalidSourceData:
        return u"The raw image data is corrupted or formatted incorrectly."_s;
    case Case::scaleFailed:
        return u"Failed to downscale the image to the requested dimensions."_s;
    case Case::processingTimedOut:
        return u"Thumbnail generation timed out in the background queue."_s;
    }
    return {};
}

size_t qHash(const ThumbnailError& error, size_t seed) noexcept
{
    return ::qHash(int(error.errorCase()), seed);
}

ArtworkCacheError::ArtworkCacheError(Case errorCase, QString path, QString reason)
    : m_case(errorCase)
    , m_path(std::move(path))
    , m_reason(std::move(reason))
    , m_what(errorDescription().toStdString())
{
}

QString ArtworkCacheError::errorDescription() const
{
    switch (m_case) {
    case Case::folderUnavailable:
        return u"The artwork cache folder "_s + m_path + u" could not be created: "_s + m_reason;
    case Case::writeFailed:
        return u"The artwork could not be saved to "_s + m_path + u": "_s + m_reason;
    case Case::removeFailed:
        return u"The artwork file "_s + m_path + u" could not be removed: "_s + m_reason;
    case Case::readFailed:
        return u"The artwork file "_s + m_path + u" could not be read: "_s + m_reason;
    }
    return {};
}

QCoro::Task<std::optional<QByteArray>> ArtworkCache::retrieveArtworkForRollback(Track track)
{
    QCoro::Task<std::optional<QByteArray>> reading = retrieveArtwork(std::move(track));
    std::optional<QByteArray> artwork = co_await std::move(reading);
    co_return artwork;
}

} // namespace kivo
