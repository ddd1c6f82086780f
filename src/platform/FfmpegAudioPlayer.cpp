#include "platform/FfmpegAudioPlayer.h"

#include "model/Logging.h"

#include <algorithm>
#include <cmath>

using namespace Qt::Literals::StringLiterals;

namespace kivo {

std::unique_ptr<FfmpegAudioPlayer> FfmpegAudioPlayer::open(
    const QUrl& url, const QAudioDevice& device)
{
    if (!url.isLocalFile()) {
        throw AudioPlayerError(u"Only local files can be played."_s);
    }
    std::unique_ptr<FfmpegDecoder> decoder;
    try {
        decoder = FfmpegDecoder::open(url.toLocalFile());
    } catch (const FfmpegDecoderError& error) {
        throw AudioPlayerError(error.description());
    }
    return std::unique_ptr<FfmpegAudioPlayer>(
        new FfmpegAudioPlayer(url, std::move(decoder), device));
}

FfmpegAudioPlayer::FfmpegAudioPlayer(
    QUrl url, std::unique_ptr<FfmpegDecoder> decoder, QAudioDevice device)
    : m_url(std::move(url))
    , m_device(std::move(device))
    , m_duration(decoder->info().duration)
    , m_decoder(std::move(decoder))
{
}

FfmpegAudioPlayer::~FfmpegAudioPlayer()
{
    // Output first: it reads from the pipeline.
    m_output.reset();
    m_pipeline.reset();
}

bool FfmpegAudioPlayer::ensurePipeline()
{
    if (m_pipeline) {
        return true;
    }
    QAudioFormat format;
    if (!m_device.isNull()) {
        format = AudioOutput::formatFor(m_device);
    }
    try {
        m_decoder->setOutputFormat(format.sampleRate(), format.channelCount());
    } catch (const FfmpegDecoderError& error) {
        qCWarning(logging::audio).noquote()
            << "Cannot play" << m_url.toLocalFile() << ":" << error.description();
        return false;
    }
    const bool seekFirst = !m_decoderPristine || m_position > 0;
    m_decoderPristine = false;
    m_pipeline
        = std::make_unique<AudioPipeline>(std::move(m_decoder), m_position, seekFirst, m_nextEpoch);
    // Called on the output thread; the notice reaches the main thread queued
    // and is dropped with this player if it is destroyed first.
    m_output = std::make_unique<AudioOutput>(
        *m_pipeline, m_device, format, m_volume, [this](AudioPipeline::End end) {
            QMetaObject::invokeMethod(
                this, [this, end] { handleEnd(end); }, Qt::QueuedConnection);
        });
    m_lastReported = m_position;
    return true;
}

void FfmpegAudioPlayer::releasePipeline()
{
    if (!m_pipeline) {
        return;
    }
    m_output.reset();
    m_nextEpoch = m_pipeline->epoch() + 1;
    m_decoder = m_pipeline->finish();
    m_pipeline.reset();
}

bool FfmpegAudioPlayer::prepareToPlay()
{
    return ensurePipeline();
}

bool FfmpegAudioPlayer::play()
{
    if (m_playing) {
        return true;
    }
    if (!ensurePipeline()) {
        return false;
    }
    m_pipeline->bumpEpoch();
    m_lastReported = m_position;
    m_output->start();
    m_playing = true;
    return true;
}

void FfmpegAudioPlayer::pause()
{
    if (!m_playing) {
        return;
    }
    m_position = currentTime();
    m_playing = false;
    m_pipeline->bumpEpoch();
    m_output->pause();
}

void FfmpegAudioPlayer::stop()
{
    if (m_playing) {
        m_position = currentTime();
    }
    m_playing = false;
    releasePipeline();
}

double FfmpegAudioPlayer::currentTime() const
{
    if (!m_playing || !m_pipeline) {
        return m_position;
    }
    const double heard = std::min(m_pipeline->heardSeconds(), m_duration);
    m_lastReported = std::max(m_lastReported, heard);
    return m_lastReported;
}

void FfmpegAudioPlayer::setCurrentTime(double seconds)
{
    if (!std::isfinite(seconds) || seconds < 0) {
        seconds = 0;
    }
    seconds = std::min(seconds, m_duration);
    m_position = seconds;
    m_lastReported = seconds;
    if (m_pipeline) {
        m_pipeline->seek(seconds);
    }
}

void FfmpegAudioPlayer::setVolume(float volume)
{
    m_volume = std::isfinite(volume) ? std::clamp(volume, 0.0f, 1.0f) : 0.0f;
    if (m_output) {
        m_output->setVolume(m_volume);
    }
}

void FfmpegAudioPlayer::handleEnd(AudioPipeline::End end)
{
    if (!m_playing || !m_pipeline || end.epoch != m_pipeline->epoch()) {
        return; // overtaken by a pause, stop, play or seek
    }
    m_position = end.successfully ? m_duration : currentTime();
    m_lastReported = m_position;
    m_playing = false;
    m_pipeline->bumpEpoch();
    m_output->pause();
    Q_EMIT finished(this, end.successfully);
}

} // namespace kivo
