#pragma once

#include "model/JsonCodec.h"
#include "model/Track.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QUrl>
#include <QUuid>
#include <QtGlobal>
#include <exception>
#include <qcoro/qcorotask.h>
#include <string>

namespace kivo {

// The peaks of one track: one value in 0...1 per point of the seek bar.
struct Waveform {
    QList<float> peaks;
    QUuid trackID;

    bool operator==(const Waveform&) const = default;

    // {"peaks":[…],"trackID":"…"}. Throws JsonCodingError(Encoding) for a peak
    // that is not finite.
    Json toJson() const;
    // Both keys required; peaks must be numbers. Throws JsonCodingError(Decoding).
    static Waveform fromJson(const Json& object, const QString& path = {});
};

size_t qHash(const Waveform& waveform, size_t seed = 0);

class WaveformError : public std::exception {
public:
    enum class Case {
        invalidSourceData,
        invalidPointCount,
        generationFailed,
        processingTimedOut, // declared for completeness: no time limit exists
        // The track's file is gone. Carries the same text as the audio engine's
        // error for a missing file.
        missingFile,
        // The cache folder cannot be created; only the constructor throws it.
        cacheFolderUnavailable,
    };

    static WaveformError invalidSourceData() { return { Case::invalidSourceData, {}, {} }; }
    static WaveformError invalidPointCount() { return { Case::invalidPointCount, {}, {} }; }
    static WaveformError generationFailed() { return { Case::generationFailed, {}, {} }; }
    static WaveformError processingTimedOut() { return { Case::processingTimedOut, {}, {} }; }
    static WaveformError missingFile(const QUrl& url) { return { Case::missingFile, url, {} }; }
    static WaveformError cacheFolderUnavailable(const QString& path, const QString& reason)
    {
        return { Case::cacheFolderUnavailable, QUrl::fromLocalFile(path), reason };
    }

    Case errorCase() const { return m_case; }
    // The file of missingFile, the folder of cacheFolderUnavailable.
    const QUrl& url() const { return m_url; }
    QString errorDescription() const;
    const char* what() const noexcept override { return m_what.c_str(); }

private:
    WaveformError(Case errorCase, QUrl url, QString reason);
    Case m_case;
    QUrl m_url;
    QString m_reason;
    std::string m_what;
};

// Computes and caches the peaks of a track for the waveform seek bar. Lives on
// the main thread; decoding and every file access run on the generator's own
// worker, one request after another in the order asked.
class WaveformGenerator : public QObject {
    Q_OBJECT
public:
    static constexpr qint64 minimumPointCount = 8;
    static constexpr qint64 maximumPointCount = 4096;

    using QObject::QObject;
    ~WaveformGenerator() override = default;

    // `numberOfPoints` peaks of the track's audio, from the cache when a valid
    // file exists. Throws WaveformError (invalidPointCount before any work;
    // invalidSourceData, generationFailed, missingFile), the track's
    // SecurityScopedAccessError or the decoder's FfmpegDecoderError unchanged.
    virtual QCoro::Task<Waveform> generateWaveform(Track track, qint64 numberOfPoints) = 0;

    // The peak under a play position of `progress` (0...1) in `totalPeaks` peaks.
    virtual qint64 currentPeakIndex(double progress, qint64 totalPeaks) const = 0;

    // Forgets every cached resolution of the track; returns at once.
    virtual void invalidateCache(const QUuid& trackID) = 0;

    // Removes every file of the cache folder.
    virtual QCoro::Task<> clearWaveformCache() = 0;
};

} // namespace kivo
