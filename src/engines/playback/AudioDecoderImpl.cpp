#include "engines/playback/AudioDecoderImpl.h"

#include <QFuture>
#include <QtConcurrent/QtConcurrentRun>
#include <algorithm>
#include <cmath>
#include <qcoro/qcorofuture.h>
#include <vector>

using namespace Qt::Literals::StringLiterals;

namespace kivo {

namespace {

// Bounds what one pre-decode holds in memory: 512 MiB of samples.
constexpr qint64 maxPreDecodeSamples = qint64(1) << 27;

struct Opened {
    std::shared_ptr<FfmpegDecoder> decoder;
    QString failure;
};

Opened openDecoder(const QString& path)
{
    try {
        return { std::shared_ptr<FfmpegDecoder>(FfmpegDecoder::open(path)), {} };
    } catch (const FfmpegDecoderError& error) {
        return { nullptr, error.description() };
    }
}

AudioFormat formatOf(const FfmpegDecoder& decoder)
{
    return { double(decoder.outputSampleRate()), decoder.outputChannelCount(), 32, false };
}

// Interleaved frames to one block per channel.
QByteArray planar(const float* interleaved, qint64 frames, int channels)
{
    QByteArray bytes(qsizetype(frames * channels * qint64(sizeof(float))), Qt::Uninitialized);
    auto* out = reinterpret_cast<float*>(bytes.data());
    for (int c = 0; c < channels; ++c) {
        float* block = out + qint64(c) * frames;
        for (qint64 f = 0; f < frames; ++f) {
            block[f] = interleaved[f * channels + c];
        }
    }
    return bytes;
}

struct Decoded {
    AudioBuffer buffer;
    std::optional<AudioDecoderError> error;
};

Decoded decodeStart(const QUrl& url, double duration)
{
    Opened opened = openDecoder(url.toLocalFile());
    if (!opened.decoder) {
        return { {}, AudioDecoderError::fileUnreadable(url, opened.failure) };
    }
    FfmpegDecoder& decoder = *opened.decoder;
    const int channels = decoder.outputChannelCount();
    const double wanted = std::isfinite(duration) && duration > 0
        ? std::trunc(duration * decoder.outputSampleRate())
        : 0.0;
    const qint64 limit = std::min<double>(wanted, double(maxPreDecodeSamples / channels));
    std::vector<float> samples;
    qint64 frames = 0;
    try {
        while (frames < limit) {
            const qint64 chunk = std::min(limit - frames, TavrenAudioDecoder::defaultChunkFrames);
            samples.resize(size_t((frames + chunk) * channels));
            const qint64 read = decoder.read(samples.data() + frames * channels, chunk);
            frames += read;
            if (read < chunk) {
                break;
            }
        }
    } catch (const FfmpegDecoderError& error) {
        return { {}, AudioDecoderError::decodingFailed(error.description()) };
    }
    return { AudioBuffer { planar(samples.data(), frames, channels), formatOf(decoder), frames },
        std::nullopt };
}

} // namespace

QCoro::Task<AudioFormat> TavrenAudioDecoder::openStream(QUrl url)
{
    closeStream();
    m_url = url;
    const quint64 generation = m_generation;
    if (!url.isLocalFile()) {
        throw AudioDecoderError::fileUnreadable(url, u"Only local files can be decoded."_s);
    }
    const Opened opened = co_await QtConcurrent::run(openDecoder, url.toLocalFile());
    if (generation != m_generation) {
        // Closed or reopened while this one was opening.
        throw AudioDecoderError::fileUnreadable(url, u"The stream was closed while opening."_s);
    }
    if (!opened.decoder) {
        throw AudioDecoderError::fileUnreadable(url, opened.failure);
    }
    m_decoder = opened.decoder;
    co_return streamFormat();
}

AudioFormat TavrenAudioDecoder::streamFormat() const
{
    return formatOf(*m_decoder);
}

std::optional<AudioBuffer> TavrenAudioDecoder::decodeNextBuffer(qint64 maxFrames)
{
    if (!m_decoder) {
        return std::nullopt;
    }
    if (m_failure) {
        throw AudioDecoderError::decodingFailed(*m_failure);
    }
    const qint64 frames = maxFrames > 0 ? std::min(maxFrames, maxChunkFrames) : defaultChunkFrames;
    const int channels = m_decoder->outputChannelCount();
    std::vector<float> interleaved(size_t(frames * channels));
    qint64 read = 0;
    try {
        read = m_decoder->read(interleaved.data(), frames);
    } catch (const FfmpegDecoderError& error) {
        m_failure = error.description();
        throw AudioDecoderError::decodingFailed(*m_failure);
    }
    if (read == 0) {
        return std::nullopt;
    }
    return AudioBuffer { planar(interleaved.data(), read, channels), streamFormat(), read };
}

QCoro::Task<void> TavrenAudioDecoder::seek(double seconds)
{
    if (m_url.isEmpty()) {
        co_return;
    }
    if (!m_decoder) {
        co_await openStream(m_url); // the last open failed: try again
    }
    try {
        m_decoder->seek(seconds);
    } catch (const FfmpegDecoderError& error) {
        throw AudioDecoderError::fileUnreadable(m_url, error.description());
    }
    m_failure.reset();
}

void TavrenAudioDecoder::closeStream()
{
    ++m_generation;
    m_decoder.reset();
    m_failure.reset();
    m_url = QUrl();
}

QCoro::Task<AudioBuffer> TavrenAudioDecoder::preDecode(QUrl fileURL, double duration)
{
    if (!fileURL.isLocalFile()) {
        throw AudioDecoderError::fileUnreadable(fileURL, u"Only local files can be decoded."_s);
    }
    Decoded decoded = co_await QtConcurrent::run(decodeStart, fileURL, duration);
    if (decoded.error) {
        throw *decoded.error;
    }
    co_return std::move(decoded.buffer);
}

} // namespace kivo
