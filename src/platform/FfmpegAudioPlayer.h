#pragma once

#include "platform/AudioOutput.h"
#include "platform/AudioPipeline.h"
#include "platform/AudioPlayer.h"
#include "platform/FfmpegDecoder.h"

#include <QAudioDevice>
#include <memory>

namespace kivo {

// The real player: FFmpeg decoding on a worker thread into a ring buffer that
// an output thread plays through QAudioSink (or a silent clock when `device`
// is null). The threads exist from prepareToPlay() (or the first play()) until
// stop() or destruction.
class FfmpegAudioPlayer final : public AudioPlayer {
    Q_OBJECT
public:
    // Probes the file. Throws AudioPlayerError.
    static std::unique_ptr<FfmpegAudioPlayer> open(const QUrl& url, const QAudioDevice& device);
    ~FfmpegAudioPlayer() override;

    QUrl url() const override { return m_url; }
    double duration() const override { return m_duration; }

    bool prepareToPlay() override;
    bool play() override;
    void pause() override;
    void stop() override;
    bool isPlaying() const override { return m_playing; }

    double currentTime() const override;
    void setCurrentTime(double seconds) override;

    float volume() const override { return m_volume; }
    void setVolume(float volume) override;

    // True when the player plays through the silent clock-driven output.
    bool isSilent() const { return m_device.isNull(); }

private:
    FfmpegAudioPlayer(QUrl url, std::unique_ptr<FfmpegDecoder> decoder, QAudioDevice device);
    bool ensurePipeline();
    void releasePipeline();
    void handleEnd(AudioPipeline::End end);

    QUrl m_url;
    QAudioDevice m_device;
    double m_duration;
    std::unique_ptr<FfmpegDecoder> m_decoder; // here while no pipeline holds it
    bool m_decoderPristine = true; // never read nor moved since opening
    std::unique_ptr<AudioPipeline> m_pipeline;
    std::unique_ptr<AudioOutput> m_output;
    quint64 m_nextEpoch = 1;

    bool m_playing = false;
    double m_position = 0; // authoritative while not playing
    mutable double m_lastReported = 0; // keeps the time from stepping back while playing
    float m_volume = 1.0f;
};

} // namespace kivo
