#pragma once

#include "engines/playback/WaveformCache.h"
#include "engines/playback/WaveformGenerator.h"

#include <QString>
#include <QThreadPool>
#include <atomic>
#include <memory>
#include <optional>

namespace kivo {

// Decodes on one worker thread of its own, so requests, invalidations and
// clears run one at a time in the order asked; a request queued behind
// another for the same track and point count is answered from the file the
// first one wrote.
class TavrenWaveformGenerator final : public WaveformGenerator {
    Q_OBJECT
public:
    // Peaks are gathered through a buffer of this many frames.
    static constexpr qint64 bufferFrameCount = 32768;

    // `cacheDirectory` defaults to defaultCacheDirectory(); it is created with
    // its missing parents. Throws WaveformError(cacheFolderUnavailable).
    explicit TavrenWaveformGenerator(
        std::optional<QString> cacheDirectory = std::nullopt, QObject* parent = nullptr);
    // Stops a computation in progress and waits for the worker.
    ~TavrenWaveformGenerator() override;

    // GenericDataLocation + "/TavrenMediaStudio/WaveformCache". Throws
    // WaveformError(cacheFolderUnavailable) when the system has no data location.
    static QString defaultCacheDirectory();

    const QString& cacheDirectory() const { return m_cache.folder(); }

    QCoro::Task<Waveform> generateWaveform(Track track, qint64 numberOfPoints) override;
    qint64 currentPeakIndex(double progress, qint64 totalPeaks) const override;
    void invalidateCache(const QUuid& trackID) override;
    QCoro::Task<> clearWaveformCache() override;

    // The peaks of the track's audio, decoded at its native rate and channel
    // count; blocking, for the worker. `stop` ends the work early with
    // generationFailed. Throws as generateWaveform() does.
    static Waveform computeWaveform(
        const Track& track, qint64 numberOfPoints, const std::atomic<bool>& stop);

private:
    WaveformCache m_cache;
    std::shared_ptr<std::atomic<bool>> m_stopping;
    QThreadPool m_queue;
};

} // namespace kivo
