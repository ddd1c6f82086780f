#include "platform/FfmpegDecoder.h"

#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <algorithm>
#include <cmath>
#include <mutex>
#include <vector>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
}

using namespace Qt::Literals::StringLiterals;

namespace kivo {

namespace {

// Only local files, and only containers that carry audio: a file that merely
// carries an audio extension must not make the demuxer open playlists, other
// files or the network.
constexpr const char* protocolWhitelist = "file";
constexpr const char* formatWhitelist = "mp3,mov,wav,w64,flac,aac,loas,ogg,asf,aiff";

// A corrupt packet is skipped; this many in a row means the stream is broken.
constexpr int maxConsecutiveDecodeErrors = 64;

QString ffmpegErrorText(int code)
{
    char buffer[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, buffer, sizeof buffer);
    return QString::fromUtf8(buffer);
}

QString openErrorText(int code)
{
    if (code == AVERROR(ENOENT)) {
        return u"The file could not be found."_s;
    }
    if (code == AVERROR(EACCES) || code == AVERROR(EPERM)) {
        return u"Permission to read the file was denied."_s;
    }
    if (code == AVERROR_INVALIDDATA || code == AVERROR(EINVAL)) {
        return u"The file is not in a recognized audio format."_s;
    }
    return ffmpegErrorText(code);
}

// FFmpeg's own messages go to our log instead of standard error, in a category
// of their own that is quiet unless enabled: corrupt files make FFmpeg chatty,
// and what matters reaches callers as errors anyway.
Q_LOGGING_CATEGORY(ffmpegLog, "Halvern.KIVO-VOVID.Audio.FFmpeg", QtWarningMsg)

void logFromFfmpeg(void* context, int level, const char* format, va_list args)
{
    const bool severe = level <= AV_LOG_FATAL;
    if (!severe && (level > AV_LOG_WARNING || !ffmpegLog().isDebugEnabled())) {
        return;
    }
    char line[1024];
    int prefix = 1;
    av_log_format_line2(context, level, format, args, line, sizeof line, &prefix);
    const QString text = QString::fromUtf8(line).trimmed();
    if (severe) {
        qCWarning(ffmpegLog).noquote() << text;
    } else {
        qCDebug(ffmpegLog).noquote() << text;
    }
}

void installLogCallback()
{
    static std::once_flag once;
    std::call_once(once, [] { av_log_set_callback(logFromFfmpeg); });
}

void defaultLayout(AVChannelLayout& layout, int channels)
{
    av_channel_layout_uninit(&layout);
    av_channel_layout_default(&layout, channels);
}

} // namespace

FfmpegDecoderError::FfmpegDecoderError(Case errorCase, QString description)
    : m_case(errorCase)
    , m_description(std::move(description))
    , m_what(m_description.toStdString())
{
}

struct FfmpegDecoder::State {
    AVFormatContext* format = nullptr;
    AVCodecContext* codec = nullptr;
    AVPacket* packet = nullptr;
    AVFrame* frame = nullptr;
    SwrContext* resampler = nullptr;
    int streamIndex = -1;
    AVRational timeBase { 1, 1 };
    int64_t startTime = 0; // stream time base

    // What the resampler was set up for; rebuilt when decoded frames differ.
    int resamplerInFormat = -1;
    int resamplerInRate = 0;
    AVChannelLayout resamplerInLayout {};
    bool resamplerStale = true;

    std::vector<float> pending; // converted samples not yet read
    size_t pendingOffset = 0; // in floats

    bool demuxerDone = false;
    bool decoderDone = false;
    bool resamplerFlushed = false;
    int consecutiveErrors = 0;
    bool anyFrameDecoded = false;

    qint64 nextNativeFrame = 0; // native position of the next decoded sample
    bool skipActive = false; // after a seek: drop what lies before the target
    qint64 skipUntilNative = 0;

    ~State()
    {
        swr_free(&resampler);
        av_channel_layout_uninit(&resamplerInLayout);
        av_frame_free(&frame);
        av_packet_free(&packet);
        avcodec_free_context(&codec);
        avformat_close_input(&format);
    }
};

FfmpegDecoder::FfmpegDecoder(QString path, std::unique_ptr<State> state)
    : m_path(std::move(path))
    , m_state(std::move(state))
{
}

FfmpegDecoder::~FfmpegDecoder() = default;

namespace {

AVFormatContext* openInput(const QString& path)
{
    AVFormatContext* format = nullptr;
    AVDictionary* options = nullptr;
    av_dict_set(&options, "protocol_whitelist", protocolWhitelist, 0);
    av_dict_set(&options, "format_whitelist", formatWhitelist, 0);
    // The "file:" prefix keeps a ':' in the path from being read as a protocol.
    const QByteArray url = "file:" + QFile::encodeName(path);
    int result = avformat_open_input(&format, url.constData(), nullptr, &options);
    av_dict_free(&options);
    if (result < 0) {
        throw FfmpegDecoderError(FfmpegDecoderError::Case::openFailed, openErrorText(result));
    }
    result = avformat_find_stream_info(format, nullptr);
    if (result < 0) {
        avformat_close_input(&format);
        throw FfmpegDecoderError(FfmpegDecoderError::Case::openFailed, openErrorText(result));
    }
    return format;
}

// Counts the frames of a stream whose container states no duration, from the
// packet durations alone (no decoding).
qint64 countFrames(const QString& path, int streamIndex, int sampleRate)
{
    AVFormatContext* format = nullptr;
    try {
        format = openInput(path);
    } catch (const FfmpegDecoderError&) {
        return 0;
    }
    AVPacket* packet = av_packet_alloc();
    const AVRational timeBase = format->streams[streamIndex]->time_base;
    qint64 frames = 0;
    while (packet && av_read_frame(format, packet) >= 0) {
        if (packet->stream_index == streamIndex && packet->duration > 0) {
            frames += av_rescale_q(packet->duration, timeBase, AVRational { 1, sampleRate });
        }
        av_packet_unref(packet);
    }
    av_packet_free(&packet);
    avformat_close_input(&format);
    return frames;
}

} // namespace

std::unique_ptr<FfmpegDecoder> FfmpegDecoder::open(const QString& path)
{
    installLogCallback();
    // A pipe or a device would block the reader forever; a folder is no file.
    const QFileInfo file(path);
    if (file.exists() && !file.isFile()) {
        throw FfmpegDecoderError(
            FfmpegDecoderError::Case::openFailed, u"The path is not a regular file."_s);
    }
    auto state = std::make_unique<State>();
    state->format = openInput(path);
    AVFormatContext* format = state->format;

    const AVCodec* codec = nullptr;
    const int index = av_find_best_stream(format, AVMEDIA_TYPE_AUDIO, -1, -1, &codec, 0);
    if (index == AVERROR_DECODER_NOT_FOUND) {
        throw FfmpegDecoderError(FfmpegDecoderError::Case::unsupportedCodec,
            u"The audio codec of the file is not supported."_s);
    }
    if (index < 0) {
        throw FfmpegDecoderError(
            FfmpegDecoderError::Case::noAudioStream, u"The file contains no audio stream."_s);
    }
    for (unsigned i = 0; i < format->nb_streams; ++i) {
        format->streams[i]->discard = int(i) == index ? AVDISCARD_DEFAULT : AVDISCARD_ALL;
    }
    AVStream* stream = format->streams[index];
    const AVCodecParameters* parameters = stream->codecpar;
    if (parameters->sample_rate <= 0 || parameters->ch_layout.nb_channels <= 0) {
        throw FfmpegDecoderError(FfmpegDecoderError::Case::noAudioStream,
            u"The file's audio stream has no sample rate or channels."_s);
    }

    state->streamIndex = index;
    state->timeBase = stream->time_base;
    state->startTime = stream->start_time == AV_NOPTS_VALUE ? 0 : stream->start_time;
    state->codec = avcodec_alloc_context3(codec);
    state->packet = av_packet_alloc();
    state->frame = av_frame_alloc();
    if (!state->codec || !state->packet || !state->frame) {
        throw FfmpegDecoderError(FfmpegDecoderError::Case::openFailed, u"Out of memory."_s);
    }
    int result = avcodec_parameters_to_context(state->codec, parameters);
    if (result >= 0) {
        state->codec->pkt_timebase = stream->time_base;
        result = avcodec_open2(state->codec, codec, nullptr);
    }
    if (result < 0) {
        throw FfmpegDecoderError(FfmpegDecoderError::Case::unsupportedCodec,
            u"The audio codec could not be opened: "_s + ffmpegErrorText(result));
    }

    AudioStreamInfo info;
    info.formatName = QString::fromUtf8(format->iformat->name);
    info.codecName = QString::fromUtf8(codec->name);
    info.sampleRate = parameters->sample_rate;
    info.channelCount = parameters->ch_layout.nb_channels;
    const AVRational perFrame { 1, info.sampleRate };
    if (stream->duration != AV_NOPTS_VALUE && stream->duration >= 0) {
        info.frameCount = av_rescale_q(stream->duration, stream->time_base, perFrame);
    } else if (format->duration != AV_NOPTS_VALUE && format->duration >= 0) {
        info.frameCount = av_rescale_q(format->duration, AV_TIME_BASE_Q, perFrame);
    } else {
        info.frameCount = countFrames(path, index, info.sampleRate);
    }
    info.duration = double(info.frameCount) / info.sampleRate;
    if (parameters->bit_rate > 0) {
        info.bitRate = parameters->bit_rate;
    } else if (format->bit_rate > 0) {
        info.bitRate = format->bit_rate;
    }

    std::unique_ptr<FfmpegDecoder> decoder(new FfmpegDecoder(path, std::move(state)));
    decoder->m_info = info;
    decoder->m_outRate = info.sampleRate;
    decoder->m_outChannels = info.channelCount;
    return decoder;
}

void FfmpegDecoder::setOutputFormat(int sampleRate, int channelCount)
{
    const int rate = sampleRate > 0 ? sampleRate : m_info.sampleRate;
    const int channels = channelCount > 0 ? channelCount : m_info.channelCount;
    if (channels > 64 || rate > 1'536'000) { // beyond what the resampler handles
        throw FfmpegDecoderError(
            FfmpegDecoderError::Case::unsupportedCodec, u"The output format is not supported."_s);
    }
    m_outRate = rate;
    m_outChannels = channels;
    // Check now that this conversion can be built, with the stream's own format.
    m_state->resamplerInFormat = m_state->codec->sample_fmt;
    m_state->resamplerInRate = m_state->codec->sample_rate;
    av_channel_layout_uninit(&m_state->resamplerInLayout);
    av_channel_layout_copy(&m_state->resamplerInLayout, &m_state->codec->ch_layout);
    configureResampler();
    m_state->pending.clear();
    m_state->pendingOffset = 0;
}

void FfmpegDecoder::configureResampler()
{
    State& s = *m_state;
    swr_free(&s.resampler);
    AVChannelLayout in {};
    if (s.resamplerInLayout.order == AV_CHANNEL_ORDER_UNSPEC
        || av_channel_layout_check(&s.resamplerInLayout) == 0) {
        defaultLayout(in, std::max(1, s.resamplerInLayout.nb_channels));
    } else {
        av_channel_layout_copy(&in, &s.resamplerInLayout);
    }
    AVChannelLayout out {};
    if (in.nb_channels == m_outChannels) {
        av_channel_layout_copy(&out, &in); // no remixing
    } else {
        defaultLayout(out, m_outChannels);
    }
    int result = swr_alloc_set_opts2(&s.resampler, &out, AV_SAMPLE_FMT_FLT, m_outRate, &in,
        AVSampleFormat(s.resamplerInFormat), s.resamplerInRate, 0, nullptr);
    av_channel_layout_uninit(&in);
    av_channel_layout_uninit(&out);
    if (result >= 0) {
        result = swr_init(s.resampler);
    }
    if (result < 0) {
        swr_free(&s.resampler);
        throw FfmpegDecoderError(FfmpegDecoderError::Case::unsupportedCodec,
            u"The audio could not be converted: "_s + ffmpegErrorText(result));
    }
    s.resamplerStale = false;
}

qint64 FfmpegDecoder::drainPending(float* out, qint64 maxFrames)
{
    State& s = *m_state;
    const qint64 available = qint64(s.pending.size() - s.pendingOffset) / m_outChannels;
    const qint64 frames = std::min(available, maxFrames);
    if (frames > 0) {
        const size_t count = size_t(frames * m_outChannels);
        std::copy_n(s.pending.data() + s.pendingOffset, count, out);
        s.pendingOffset += count;
    }
    if (s.pendingOffset >= s.pending.size()) {
        s.pending.clear();
        s.pendingOffset = 0;
    }
    return frames;
}

void FfmpegDecoder::convertFrame()
{
    State& s = *m_state;
    AVFrame* frame = s.frame;
    if (frame->nb_samples <= 0 || frame->sample_rate <= 0) {
        return;
    }
    qint64 start = s.nextNativeFrame;
    if (frame->best_effort_timestamp != AV_NOPTS_VALUE) {
        start = av_rescale_q(frame->best_effort_timestamp - s.startTime, s.timeBase,
            AVRational { 1, m_info.sampleRate });
    }
    s.nextNativeFrame = start + frame->nb_samples;

    int skip = 0;
    if (s.skipActive) {
        skip = int(std::clamp<qint64>(s.skipUntilNative - start, 0, frame->nb_samples));
        if (skip == frame->nb_samples) {
            return;
        }
        s.skipActive = false;
    }

    if (frame->format != s.resamplerInFormat || frame->sample_rate != s.resamplerInRate
        || av_channel_layout_compare(&frame->ch_layout, &s.resamplerInLayout) != 0) {
        s.resamplerInFormat = frame->format;
        s.resamplerInRate = frame->sample_rate;
        av_channel_layout_uninit(&s.resamplerInLayout);
        av_channel_layout_copy(&s.resamplerInLayout, &frame->ch_layout);
        s.resamplerStale = true;
    }
    if (s.resamplerStale) {
        configureResampler();
    }

    const auto format = AVSampleFormat(frame->format);
    const int bytesPerSample = av_get_bytes_per_sample(format);
    const bool planar = av_sample_fmt_is_planar(format);
    const int channels = frame->ch_layout.nb_channels;
    std::vector<const uint8_t*> in(size_t(planar ? channels : 1));
    for (size_t c = 0; c < in.size(); ++c) {
        const size_t offset
            = size_t(skip) * size_t(bytesPerSample) * (planar ? 1 : size_t(channels));
        in[c] = frame->extended_data[c] + offset;
    }
    const int inCount = frame->nb_samples - skip;
    const int capacity = swr_get_out_samples(s.resampler, inCount);
    if (capacity <= 0) {
        return;
    }
    const size_t oldSize = s.pending.size();
    s.pending.resize(oldSize + size_t(capacity) * size_t(m_outChannels));
    auto* outPointer = reinterpret_cast<uint8_t*>(s.pending.data() + oldSize);
    const int converted = swr_convert(s.resampler, &outPointer, capacity, in.data(), inCount);
    if (converted < 0) {
        s.pending.resize(oldSize);
        throw FfmpegDecoderError(FfmpegDecoderError::Case::decodeFailed,
            u"The audio could not be converted: "_s + ffmpegErrorText(converted));
    }
    s.pending.resize(oldSize + size_t(converted) * size_t(m_outChannels));
}

void FfmpegDecoder::flushResampler()
{
    State& s = *m_state;
    if (!s.resampler) {
        return;
    }
    const int capacity = swr_get_out_samples(s.resampler, 0);
    if (capacity <= 0) {
        return;
    }
    const size_t oldSize = s.pending.size();
    s.pending.resize(oldSize + size_t(capacity) * size_t(m_outChannels));
    auto* outPointer = reinterpret_cast<uint8_t*>(s.pending.data() + oldSize);
    const int converted = swr_convert(s.resampler, &outPointer, capacity, nullptr, 0);
    s.pending.resize(oldSize + size_t(std::max(converted, 0)) * size_t(m_outChannels));
}

bool FfmpegDecoder::decodeMore()
{
    State& s = *m_state;
    const auto failed = [&](int code) {
        if (code == AVERROR_INVALIDDATA && ++s.consecutiveErrors < maxConsecutiveDecodeErrors) {
            return; // skip the corrupt packet
        }
        throw FfmpegDecoderError(FfmpegDecoderError::Case::decodeFailed,
            u"The audio data could not be decoded: "_s + ffmpegErrorText(code));
    };
    while (!s.decoderDone) {
        int result = avcodec_receive_frame(s.codec, s.frame);
        if (result == 0) {
            s.consecutiveErrors = 0;
            s.anyFrameDecoded = true;
            try {
                convertFrame();
            } catch (...) {
                av_frame_unref(s.frame);
                throw;
            }
            av_frame_unref(s.frame);
            if (s.pending.size() > s.pendingOffset) {
                return true;
            }
            continue;
        }
        if (result == AVERROR_EOF) {
            s.decoderDone = true;
            break;
        }
        if (result != AVERROR(EAGAIN)) {
            failed(result);
            continue;
        }
        if (s.demuxerDone) {
            s.decoderDone = true; // nothing more will come
            break;
        }
        result = av_read_frame(s.format, s.packet);
        if (result == AVERROR_EOF || (result < 0 && s.format->pb && avio_feof(s.format->pb))) {
            s.demuxerDone = true;
            avcodec_send_packet(s.codec, nullptr); // drain the decoder
            continue;
        }
        if (result < 0) {
            throw FfmpegDecoderError(FfmpegDecoderError::Case::decodeFailed,
                u"The file could not be read: "_s + ffmpegErrorText(result));
        }
        if (s.packet->stream_index != s.streamIndex) {
            av_packet_unref(s.packet);
            continue;
        }
        result = avcodec_send_packet(s.codec, s.packet);
        av_packet_unref(s.packet);
        if (result < 0 && result != AVERROR(EAGAIN)) {
            failed(result);
        }
    }
    if (s.consecutiveErrors > 0 && !s.anyFrameDecoded) {
        // Not one packet decoded: a broken stream, not a silent one.
        throw FfmpegDecoderError(
            FfmpegDecoderError::Case::decodeFailed, u"The audio data could not be decoded."_s);
    }
    if (!s.resamplerFlushed) {
        s.resamplerFlushed = true;
        flushResampler();
        return s.pending.size() > s.pendingOffset;
    }
    return false;
}

qint64 FfmpegDecoder::read(float* out, qint64 maxFrames)
{
    qint64 done = 0;
    while (done < maxFrames) {
        done += drainPending(out + done * m_outChannels, maxFrames - done);
        if (done == maxFrames || !decodeMore()) {
            break;
        }
    }
    return done;
}

void FfmpegDecoder::resetAfterSeek(qint64 targetFrame, bool positionKnown)
{
    State& s = *m_state;
    avcodec_flush_buffers(s.codec);
    s.resamplerStale = true; // drops what the old resampler still holds
    s.pending.clear();
    s.pendingOffset = 0;
    s.demuxerDone = false;
    s.decoderDone = false;
    s.resamplerFlushed = false;
    s.consecutiveErrors = 0;
    s.nextNativeFrame = positionKnown ? targetFrame : 0;
    s.skipActive = true;
    s.skipUntilNative = targetFrame;
}

void FfmpegDecoder::seek(double seconds)
{
    State& s = *m_state;
    if (!std::isfinite(seconds) || seconds < 0) {
        seconds = 0;
    }
    const double clampedFrames = std::min(seconds * m_info.sampleRate, 9.0e15);
    const auto target = qint64(std::llround(clampedFrames));
    const int64_t timestamp
        = s.startTime + av_rescale_q(target, AVRational { 1, m_info.sampleRate }, s.timeBase);
    if (av_seek_frame(s.format, s.streamIndex, timestamp, AVSEEK_FLAG_BACKWARD) >= 0) {
        resetAfterSeek(target, true);
        return;
    }
    // Some streams cannot seek by time: go back to the start and decode forward.
    if (av_seek_frame(s.format, s.streamIndex, s.startTime, AVSEEK_FLAG_BACKWARD) >= 0
        || avformat_seek_file(s.format, -1, 0, 0, 0, AVSEEK_FLAG_BYTE) >= 0) {
        resetAfterSeek(target, false);
        return;
    }
    throw FfmpegDecoderError(
        FfmpegDecoderError::Case::seekFailed, u"The audio position could not be changed."_s);
}

bool FfmpegDecoder::atEnd() const
{
    return m_state->decoderDone && m_state->resamplerFlushed
        && m_state->pendingOffset >= m_state->pending.size();
}

} // namespace kivo
