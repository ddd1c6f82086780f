#pragma once

#include "engines/playback/AudioDecoder.h"
#include "platform/FfmpegDecoder.h"

#include <memory>

namespace kivo {

// The stream decoder, over FFmpeg. Buffers are non-interleaved 32-bit float at
// the file's own rate and channel count.
class TavrenAudioDecoder final : public AudioDecoder {
public:
    TavrenAudioDecoder() = default;
    ~TavrenAudioDecoder() override = default;

    QCoro::Task<AudioFormat> openStream(QUrl url) override;
    std::optional<AudioBuffer> decodeNextBuffer(qint64 maxFrames) override;
    QCoro::Task<void> seek(double seconds) override;
    void closeStream() override;
    QCoro::Task<AudioBuffer> preDecode(QUrl fileURL, double duration) override;

    // Frames returned when a caller asks for none, and the most one call returns.
    static constexpr qint64 defaultChunkFrames = 4096;
    static constexpr qint64 maxChunkFrames = 1 << 20;

private:
    AudioFormat streamFormat() const;

    QUrl m_url; // of the last openStream(), kept after a failure until closed
    std::shared_ptr<FfmpegDecoder> m_decoder;
    std::optional<QString> m_failure; // a decoding error sticks until reopened
    quint64 m_generation = 0; // tells an open that was overtaken while it ran
};

} // namespace kivo
