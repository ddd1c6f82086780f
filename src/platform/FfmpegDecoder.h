#pragma once

#include <QString>
#include <exception>
#include <memory>
#include <optional>
#include <string>

namespace kivo {

class FfmpegDecoderError : public std::exception {
public:
    enum class Case { openFailed, noAudioStream, unsupportedCodec, decodeFailed, seekFailed };

    FfmpegDecoderError(Case errorCase, QString description);

    Case errorCase() const { return m_case; }
    // A readable description of what went wrong, without the file's name.
    const QString& description() const { return m_description; }
    const char* what() const noexcept override { return m_what.c_str(); }

private:
    Case m_case;
    QString m_description;
    std::string m_what;
};

// What probing a file found out about its first audio stream.
struct AudioStreamInfo {
    QString formatName; // the demuxer, e.g. "wav", "flac", "mp3"
    QString codecName; // e.g. "pcm_s16le", "flac", "mp3"
    int sampleRate = 0; // Hz
    int channelCount = 0;
    // Length at the native rate: exact for PCM and FLAC, the container's
    // estimate for compressed formats without a frame count; 0 without frames.
    qint64 frameCount = 0;
    double duration = 0; // seconds, frameCount / sampleRate
    std::optional<qint64> bitRate; // bits per second, when known
};

// Decodes the first audio stream of a local file into interleaved 32-bit float
// samples, at the native rate and channel count unless an output format is set.
// Not thread-safe: one thread uses an instance at a time (it may be handed over).
class FfmpegDecoder {
public:
    ~FfmpegDecoder();
    FfmpegDecoder(const FfmpegDecoder&) = delete;
    FfmpegDecoder& operator=(const FfmpegDecoder&) = delete;

    // Opens `path` and probes container, codec and stream (no decoding beyond
    // what the probe needs). Only local files and audio containers are accepted.
    // Throws FfmpegDecoderError (openFailed, noAudioStream, unsupportedCodec).
    static std::unique_ptr<FfmpegDecoder> open(const QString& path);

    const AudioStreamInfo& info() const { return m_info; }
    const QString& path() const { return m_path; }

    // Resamples and remixes to this rate and channel count from the next read on;
    // 0 keeps the native value. Throws FfmpegDecoderError (unsupportedCodec)
    // when the conversion cannot be set up.
    void setOutputFormat(int sampleRate, int channelCount);
    int outputSampleRate() const { return m_outRate; }
    int outputChannelCount() const { return m_outChannels; }

    // Decodes up to `maxFrames` frames of the output format into `out` (room for
    // maxFrames × outputChannelCount() floats). Returns the frames written: fewer
    // than asked only at the end, 0 once the stream is exhausted.
    // Throws FfmpegDecoderError (decodeFailed) on a read or decode error that
    // the stream cannot recover from; isolated corrupt packets are skipped.
    qint64 read(float* out, qint64 maxFrames);

    // Positions the next read at `seconds` from the start (a value that is not
    // finite or below 0 counts as 0), to the exact frame where the format allows.
    // Throws FfmpegDecoderError (seekFailed).
    void seek(double seconds);

    bool atEnd() const;

private:
    struct State;
    FfmpegDecoder(QString path, std::unique_ptr<State> state);

    qint64 drainPending(float* out, qint64 maxFrames);
    bool decodeMore(); // false at the end of the stream
    void convertFrame();
    void flushResampler();
    void configureResampler();
    void resetAfterSeek(qint64 targetFrame, bool positionKnown);

    QString m_path;
    AudioStreamInfo m_info;
    int m_outRate = 0;
    int m_outChannels = 0;
    std::unique_ptr<State> m_state;
};

} // namespace kivo
