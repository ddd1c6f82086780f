#pragma once

#include "model/Track.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QUrl>
#include <QtGlobal>
#include <exception>
#include <optional>
#include <qcoro/qcorotask.h>
#include <string>

namespace kivo {

// What one read of an audio file found. Only `duration` is always known.
struct ExtractedMetadata {
    explicit ExtractedMetadata(double durationSeconds)
        : duration(durationSeconds)
    {
    }

    double duration;
    std::optional<QString> title;
    std::optional<QString> artist;
    std::optional<QString> album;
    std::optional<QString> genre;
    std::optional<qint64> year;
    std::optional<qint64> trackNumber;
    std::optional<qint64> discNumber;
    std::optional<QString> composer;
    std::optional<QString> albumArtist;
    std::optional<QString> comments;
    std::optional<qint64> bpm;
    std::optional<qint64> bitrate; // kilobits per second
    std::optional<qint64> sampleRate; // hertz
};

// Errors of writing tags. They carry no message of their own: a caller shows
// the generic text of the case.
class MetadataError : public std::exception {
public:
    enum class Case { fileNotFound, unsupportedFormat, writePermissionDenied, tagWriteFailed };

    static MetadataError fileNotFound(const QUrl& url) { return { Case::fileNotFound, url, {} }; }
    static MetadataError unsupportedFormat(const QUrl& url)
    {
        return { Case::unsupportedFormat, url, {} };
    }
    static MetadataError writePermissionDenied(const QUrl& url)
    {
        return { Case::writePermissionDenied, url, {} };
    }
    static MetadataError tagWriteFailed(const QString& reason)
    {
        return { Case::tagWriteFailed, {}, reason };
    }

    Case errorCase() const { return m_case; }
    // The file of the first three cases.
    const QUrl& url() const { return m_url; }
    // The reason of tagWriteFailed.
    const QString& reason() const { return m_reason; }
    // The generic text for an error of this type and case.
    QString errorDescription() const
    {
        return QStringLiteral("The operation couldn't be completed. (MetadataError error %1.)")
            .arg(int(m_case));
    }
    const char* what() const noexcept override { return m_what.c_str(); }

private:
    MetadataError(Case errorCase, QUrl url, QString reason)
        : m_case(errorCase)
        , m_url(std::move(url))
        , m_reason(std::move(reason))
        , m_what(errorDescription().toStdString())
    {
    }

    Case m_case;
    QUrl m_url;
    QString m_reason;
    std::string m_what;
};

// Reads what an audio file says about itself: tags, technical data and
// embedded artwork. Never changes a file. Reads of different files may run
// concurrently. Reads fail with MediaProbeError when the file cannot be read
// as audio.
class MetadataEngine : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~MetadataEngine() override = default;

    // Tags, duration, sample rate and estimated bitrate; the title falls back
    // to the file name without its extension.
    virtual QCoro::Task<ExtractedMetadata> readMetadata(QUrl url) = 0;
    // Always fails: tagWriteFailed for an existing file, fileNotFound otherwise.
    virtual QCoro::Task<> writeMetadata(Track track, std::optional<QByteArray> newArtwork) = 0;
    // The first embedded artwork's bytes exactly as stored, or absent.
    virtual QCoro::Task<std::optional<QByteArray>> extractArtwork(QUrl url) = 0;
};

} // namespace kivo
