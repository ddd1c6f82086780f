#include "engines/playback/WaveformGeneratorImpl.h"

#include "model/RunOnWorker.h"

#include "model/Logging.h"
#include "platform/FfmpegDecoder.h"
#include "platform/SecurityScopedResource.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QtConcurrent/QtConcurrentRun>
#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>
#include <new>
#include <qcoro/qcorofuture.h>
#include <vector>

using namespace Qt::Literals::StringLiterals;

namespace kivo {

namespace {

// First frame of `bucket` when `length` frames fall into `count` buckets by
// bucket = floor(frame × count ÷ length): ceil(bucket × length ÷ count). In
// 128 bits, so that no announced length can overflow it.
qint64 bucketStart(qint64 bucket, qint64 length, qint64 count)
{
    const __int128 product = static_cast<__int128>(bucket) * length;
    return qint64((product + count - 1) / count);
}

// The largest |sample|, a sample that is no finite number counting as 0.
// Compared as bit patterns: with the sign bit cleared, finite floats order as
// their patterns do as (non-negative) integers. Eight independent lanes let
// the compiler use vector instructions, which a float maximum with its NaN
// rules would prevent.
float largestMagnitude(const float* samples, qint64 count)
{
    constexpr qint32 magnitudeMask = 0x7FFFFFFF;
    constexpr qint32 infinityBits = 0x7F800000; // and above: infinity, NaN
    const auto usable = [](float sample) {
        const qint32 bits = std::bit_cast<qint32>(sample) & magnitudeMask;
        return bits < infinityBits ? bits : 0;
    };
    constexpr int laneCount = 8;
    qint32 lanes[laneCount] = {};
    qint64 i = 0;
    for (; i + laneCount <= count; i += laneCount) {
        for (int lane = 0; lane < laneCount; ++lane) {
            const qint32 bits = usable(samples[i + lane]);
            lanes[lane] = bits > lanes[lane] ? bits : lanes[lane];
        }
    }
    qint32 largest = 0;
    for (; i < count; ++i) {
        largest = std::max(largest, usable(samples[i]));
    }
    for (const qint32 lane : lanes) {
        largest = std::max(largest, lane);
    }
    return std::bit_cast<float>(largest);
}

} // namespace

TavrenWaveformGenerator::TavrenWaveformGenerator(
    std::optional<QString> cacheDirectory, QObject* parent)
    : WaveformGenerator(parent)
    , m_cache(cacheDirectory ? *cacheDirectory : defaultCacheDirectory())
    , m_stopping(std::make_shared<std::atomic<bool>>(false))
{
    m_queue.setMaxThreadCount(1);
    m_queue.setObjectName(u"com.halvern.waveform-generator"_s);
    const QString folder = m_cache.folder();
    if (folder.isEmpty() || !QDir().mkpath(folder)) {
        throw WaveformError::cacheFolderUnavailable(folder,
            QFileInfo::exists(folder) ? u"Another item is in its place."_s
                                      : u"The folder could not be created."_s);
    }
}

TavrenWaveformGenerator::~TavrenWaveformGenerator()
{
    m_stopping->store(true);
    m_queue.waitForDone();
}

QString TavrenWaveformGenerator::defaultCacheDirectory()
{
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (data.isEmpty()) {
        throw WaveformError::cacheFolderUnavailable(
            u"WaveformCache"_s, u"The system has no data folder."_s);
    }
    return data + u"/TavrenMediaStudio/WaveformCache"_s;
}

QCoro::Task<Waveform> TavrenWaveformGenerator::generateWaveform(Track track, qint64 numberOfPoints)
{
    if (numberOfPoints < minimumPointCount || numberOfPoints > maximumPointCount) {
        throw WaveformError::invalidPointCount();
    }
    // The work holds copies only; the generator waits for it when destroyed.
    auto work
        = [cache = m_cache, stopping = m_stopping, track = std::move(track), numberOfPoints]() {
              if (std::optional<Waveform> cached = cache.load(track.id, numberOfPoints)) {
                  return std::move(*cached);
              }
              Waveform waveform = computeWaveform(track, numberOfPoints, *stopping);
              try {
                  cache.store(waveform);
              } catch (const std::exception& e) {
                  qCCritical(logging::waveform, "Unable to cache waveform: %s", e.what());
              }
              return waveform;
          };
    auto task = runOnWorker(&m_queue, std::move(work));
    Waveform waveform = co_await std::move(task);
    co_return waveform;
}

qint64 TavrenWaveformGenerator::currentPeakIndex(double progress, qint64 totalPeaks) const
{
    if (totalPeaks < 1) {
        return 0;
    }
    if (!std::isfinite(progress) || progress <= 0) {
        progress = 0;
    } else if (progress > 1) {
        progress = 1;
    }
    const double position = std::trunc(progress * double(totalPeaks));
    // Compared as doubles first: a count near 2^63 must not overflow the cast.
    if (position >= double(totalPeaks - 1)) {
        return totalPeaks - 1;
    }
    return qint64(position);
}

void TavrenWaveformGenerator::invalidateCache(const QUuid& trackID)
{
    m_queue.start([cache = m_cache, trackID] { cache.removeTrack(trackID); });
}

QCoro::Task<> TavrenWaveformGenerator::clearWaveformCache()
{
    auto work = [cache = m_cache] { cache.clear(); };
    QFuture<void> future = QtConcurrent::run(&m_queue, std::move(work));
    co_await future;
}

Waveform TavrenWaveformGenerator::computeWaveform(
    const Track& track, qint64 numberOfPoints, const std::atomic<bool>& stop)
{
    const std::shared_ptr<SecurityScopedResource> access
        = SecurityScopedResource::beginAccess(track);
    const QString path = access->url().toLocalFile();
    if (path.isEmpty() || !QFileInfo::exists(path)) {
        throw WaveformError::missingFile(access->url());
    }

    const std::unique_ptr<FfmpegDecoder> decoder = FfmpegDecoder::open(path);
    const AudioStreamInfo& info = decoder->info();
    const qint64 length = info.frameCount;
    // Native rate and channels: no resampling, which would change frame counts
    // and peaks. Stepped through as the decoder delivers them.
    const qint64 channels = decoder->outputChannelCount();
    if (length < 1 || info.sampleRate <= 0 || info.channelCount < 1 || channels < 1) {
        throw WaveformError::invalidSourceData();
    }

    std::vector<float> buffer;
    try {
        buffer.resize(size_t(bufferFrameCount * channels));
    } catch (const std::bad_alloc&) {
        throw WaveformError::generationFailed();
    }

    QList<float> peaks(numberOfPoints, 0.0f);
    qint64 framesRead = 0;
    qint64 bucket = 0;
    qint64 nextBucketStart = bucketStart(1, length, numberOfPoints);
    // Never past the announced length, even when the decoder has more to give.
    while (framesRead < length) {
        if (stop.load(std::memory_order_relaxed)) {
            throw WaveformError::generationFailed();
        }
        const qint64 wanted = std::min(length - framesRead, bufferFrameCount);
        const qint64 delivered = std::min(decoder->read(buffer.data(), wanted), wanted);
        if (delivered <= 0) {
            break;
        }
        // Runs of frames that share a bucket: one maximum over all their samples.
        qint64 frame = 0;
        while (frame < delivered) {
            while (framesRead + frame >= nextBucketStart) {
                ++bucket;
                nextBucketStart = bucketStart(bucket + 1, length, numberOfPoints);
            }
            const qint64 runEnd = std::min(delivered, nextBucketStart - framesRead);
            peaks[bucket] = std::max(peaks[bucket],
                largestMagnitude(buffer.data() + frame * channels, (runEnd - frame) * channels));
            frame = runEnd;
        }
        framesRead += delivered;
    }
    if (framesRead < 1) {
        throw WaveformError::invalidSourceData();
    }

    const float top = *std::max_element(peaks.cbegin(), peaks.cend());
    if (top > 0.0f) {
        for (float& peak : peaks) {
            const float scaled = peak / top;
            peak = scaled <= 0.0f ? 0.0f : (scaled > 1.0f ? 1.0f : scaled);
        }
    }
    return Waveform { std::move(peaks), track.id };
}

} // namespace kivo
