#include "platform/AudioPipeline.h"

#include "model/Logging.h"

#include <algorithm>
#include <cmath>

namespace kivo {

namespace {

constexpr qint64 decodeChunkFrames = 2048;
constexpr double bufferedSeconds = 0.5; // decoded ahead of the output

qint64 framesAt(double seconds, int sampleRate)
{
    if (!std::isfinite(seconds) || seconds <= 0) {
        return 0;
    }
    return qint64(std::llround(std::min(seconds * sampleRate, 9.0e15)));
}

} // namespace

AudioPipeline::AudioPipeline(
    std::unique_ptr<FfmpegDecoder> decoder, double startSeconds, bool seekFirst, quint64 firstEpoch)
    : m_decoder(std::move(decoder))
    , m_sampleRate(m_decoder->outputSampleRate())
    , m_channels(m_decoder->outputChannelCount())
    , m_chunkFrames(decodeChunkFrames)
    , m_epoch(firstEpoch)
{
    m_capacityFrames = std::max<qint64>(qint64(m_sampleRate * bufferedSeconds), 2 * m_chunkFrames);
    m_ring.resize(size_t(m_capacityFrames * m_channels));
    m_baseFrame = framesAt(startSeconds, m_sampleRate);
    m_seekPending = seekFirst;
    m_seekTarget = startSeconds;
    m_worker = std::thread([this] { run(); });
}

AudioPipeline::~AudioPipeline()
{
    stopWorker();
}

void AudioPipeline::stopWorker()
{
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_wake.notify_all();
    if (m_worker.joinable()) {
        m_worker.join();
    }
}

std::unique_ptr<FfmpegDecoder> AudioPipeline::finish()
{
    stopWorker();
    return std::move(m_decoder);
}

qint64 AudioPipeline::freeFrames() const
{
    return m_capacityFrames - m_bufferedFrames;
}

void AudioPipeline::run()
{
    std::vector<float> chunk(size_t(m_chunkFrames * m_channels));
    std::unique_lock lock(m_mutex);
    while (true) {
        m_wake.wait(lock, [&] {
            return m_stopping || m_seekPending || (!m_decoderDone && freeFrames() >= m_chunkFrames);
        });
        if (m_stopping) {
            return;
        }
        const quint64 generation = m_generation;
        if (m_seekPending) {
            m_seekPending = false;
            const double target = m_seekTarget;
            lock.unlock();
            std::optional<QString> failure;
            try {
                m_decoder->seek(target);
            } catch (const FfmpegDecoderError& error) {
                failure = error.description();
            }
            lock.lock();
            if (failure && generation == m_generation && !m_seekPending) {
                qCWarning(logging::audio).noquote()
                    << "Seeking failed in" << m_decoder->path() << ":" << *failure;
                m_decoderDone = true;
                m_decoderFailed = true;
            }
            continue;
        }

        lock.unlock();
        qint64 frames = 0;
        std::optional<QString> failure;
        try {
            frames = m_decoder->read(chunk.data(), m_chunkFrames);
        } catch (const FfmpegDecoderError& error) {
            failure = error.description();
        }
        lock.lock();
        if (generation != m_generation || m_seekPending || m_stopping) {
            continue; // decoded for a position that is no longer wanted
        }
        qint64 writeFrame = (m_readFrame + m_bufferedFrames) % m_capacityFrames;
        for (qint64 done = 0; done < frames;) {
            const qint64 run = std::min(frames - done, m_capacityFrames - writeFrame);
            std::copy_n(chunk.data() + done * m_channels, run * m_channels,
                m_ring.data() + writeFrame * m_channels);
            done += run;
            writeFrame = (writeFrame + run) % m_capacityFrames;
        }
        m_bufferedFrames += frames;
        if (failure) {
            qCWarning(logging::audio).noquote()
                << "Decoding failed in" << m_decoder->path() << ":" << *failure;
            m_decoderDone = true;
            m_decoderFailed = true;
        } else if (frames < m_chunkFrames) {
            m_decoderDone = true;
        }
    }
}

void AudioPipeline::seek(double seconds)
{
    {
        std::lock_guard lock(m_mutex);
        ++m_generation;
        ++m_epoch;
        m_seekPending = true;
        m_seekTarget = seconds;
        m_readFrame = 0;
        m_bufferedFrames = 0;
        m_decoderDone = false;
        m_decoderFailed = false;
        m_baseFrame = framesAt(seconds, m_sampleRate);
        m_takenFrames = 0;
        m_heardFrames = 0;
    }
    m_wake.notify_all();
}

quint64 AudioPipeline::bumpEpoch()
{
    std::lock_guard lock(m_mutex);
    return ++m_epoch;
}

quint64 AudioPipeline::epoch() const
{
    std::lock_guard lock(m_mutex);
    return m_epoch;
}

quint64 AudioPipeline::seekCount() const
{
    std::lock_guard lock(m_mutex);
    return m_generation;
}

double AudioPipeline::heardSeconds() const
{
    std::lock_guard lock(m_mutex);
    return double(m_baseFrame + m_heardFrames) / m_sampleRate;
}

qint64 AudioPipeline::take(float* out, qint64 maxFrames)
{
    qint64 frames = 0;
    {
        std::lock_guard lock(m_mutex);
        frames = std::min(maxFrames, m_bufferedFrames);
        for (qint64 done = 0; done < frames;) {
            const qint64 run = std::min(frames - done, m_capacityFrames - m_readFrame);
            std::copy_n(m_ring.data() + m_readFrame * m_channels, run * m_channels,
                out + done * m_channels);
            done += run;
            m_readFrame = (m_readFrame + run) % m_capacityFrames;
        }
        m_bufferedFrames -= frames;
        m_takenFrames += frames;
    }
    if (frames > 0) {
        m_wake.notify_all();
    }
    return frames;
}

std::optional<AudioPipeline::End> AudioPipeline::updateHeard(qint64 framesInFlight)
{
    std::lock_guard lock(m_mutex);
    const qint64 heard
        = std::clamp<qint64>(m_takenFrames - std::max<qint64>(framesInFlight, 0), 0, m_takenFrames);
    m_heardFrames = std::max(m_heardFrames, heard);
    const bool everythingHeard = m_decoderDone && !m_seekPending && m_bufferedFrames == 0
        && m_heardFrames >= m_takenFrames;
    if (!everythingHeard || m_endReportedEpoch == m_epoch) {
        return std::nullopt;
    }
    m_endReportedEpoch = m_epoch;
    return End { m_epoch, !m_decoderFailed };
}

} // namespace kivo
