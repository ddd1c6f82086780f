#include "engines/artwork/ArtworkImageLoader.h"

#include "platform/SecurityScopedResource.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QScopeGuard>
#include <QtConcurrent/QtConcurrentRun>
#include <cerrno>
#include <cstring>
#include <optional>
#include <qcoro/qcorofuture.h>
#include <sys/stat.h>

using namespace Qt::Literals::StringLiterals;

namespace kivo {

ArtworkFileError::ArtworkFileError(Case errorCase, qint64 maximumMegabytes, QString underlying)
    : m_case(errorCase)
    , m_maximumMegabytes(maximumMegabytes)
    , m_underlying(std::move(underlying))
    , m_what(errorDescription().toStdString())
{
}

QString ArtworkFileError::errorDescription() const
{
    switch (m_case) {
    case Case::fileTooLarge:
        return u"Artwork must be smaller than "_s + QString::number(m_maximumMegabytes) + u" MB."_s;
    case Case::unreadable:
        return u"The artwork could not be read: "_s + m_underlying;
    case Case::invalidImage:
        return u"The selected file is not a supported image."_s;
    case Case::excessiveDimensions:
        return u"The selected image is too large to process safely."_s;
    }
    return {};
}

namespace {

// The pixel size from the image's header only.
void checkImageBytes(const QByteArray& bytes)
{
    if (bytes.isEmpty()) {
        throw ArtworkFileError::invalidImage();
    }
    if (bytes.size() > maximumArtworkFileBytes) {
        throw ArtworkFileError::fileTooLarge(maximumArtworkFileMegabytes);
    }
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    if (!reader.canRead()) {
        throw ArtworkFileError::invalidImage();
    }
    const QSize size = reader.size();
    if (size.width() < 1 || size.height() < 1) {
        throw ArtworkFileError::invalidImage();
    }
    if (size.width() > maximumArtworkSide || size.height() > maximumArtworkSide
        || qint64(size.width()) * qint64(size.height()) > maximumArtworkPixelArea) {
        throw ArtworkFileError::excessiveDimensions();
    }
}

} // namespace

QByteArray loadArtworkFileDataNow(const QUrl& url)
{
    const auto platform = FileAccessPlatform::shared();
    const bool started = platform->startAccessing(url);
    const auto stopAccess = qScopeGuard([&] {
        if (started) {
            platform->stopAccessing(url);
        }
    });

    if (!url.isLocalFile()) {
        throw ArtworkFileError::unreadable(u"The location is not a file on this computer."_s);
    }
    const QString path = url.toLocalFile();
    struct stat info { };
    if (::stat(QFile::encodeName(path).constData(), &info) != 0) {
        throw ArtworkFileError::unreadable(QString::fromLocal8Bit(std::strerror(errno)));
    }
    if (!S_ISREG(info.st_mode)) {
        throw ArtworkFileError::invalidImage();
    }
    // Refused before a byte is read.
    if (qint64(info.st_size) > maximumArtworkFileBytes) {
        throw ArtworkFileError::fileTooLarge(maximumArtworkFileMegabytes);
    }

    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        throw ArtworkFileError::unreadable(file.errorString());
    }
    // One byte past the limit is enough to tell a file that grew since.
    const QByteArray bytes = file.read(maximumArtworkFileBytes + 1);
    if (file.error() != QFileDevice::NoError) {
        throw ArtworkFileError::unreadable(file.errorString());
    }
    checkImageBytes(bytes);
    return bytes;
}

QCoro::Task<QByteArray> loadArtworkFileData(QUrl url)
{
    auto work = [url]() -> std::pair<QByteArray, std::exception_ptr> {
        try {
            return { loadArtworkFileDataNow(url), nullptr };
        } catch (...) {
            return { QByteArray(), std::current_exception() };
        }
    };
    QFuture<std::pair<QByteArray, std::exception_ptr>> future = QtConcurrent::run(std::move(work));
    std::pair<QByteArray, std::exception_ptr> outcome = co_await future;
    if (outcome.second) {
        std::rethrow_exception(outcome.second);
    }
    co_return std::move(outcome.first);
}

} // namespace kivo
