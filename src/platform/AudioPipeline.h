#pragma once

#include "platform/FfmpegDecoder.h"

#include <QtGlobal>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace kivo {

// The decoding half of a player: a worker thread decodes ahead into a ring of
// interleaved float frames (the decoder's output format), from which the
// output takes what it plays. It also keeps the books that turn frames into
// the heard position and that decide when the end has been heard.
//
// Every frame count here is in the decoder's output rate and counts from the
// position of the last seek.
class AudioPipeline {
public:
    // Starts decoding at `startSeconds` (at once when `seekFirst` is false, for
    // a decoder that has not been read yet and starts at 0). `firstEpoch` is the
    // epoch to start with: epochs only grow, also across pipelines of one player.
    AudioPipeline(std::unique_ptr<FfmpegDecoder> decoder, double startSeconds, bool seekFirst,
        quint64 firstEpoch);
    // Stops the worker and joins it.
    ~AudioPipeline();
    AudioPipeline(const AudioPipeline&) = delete;
    AudioPipeline& operator=(const AudioPipeline&) = delete;

    // Stops the worker, joins it and hands the decoder back.
    std::unique_ptr<FfmpegDecoder> finish();

    int sampleRate() const { return m_sampleRate; }
    int channelCount() const { return m_channels; }

    // ---- control side (the player, on the main thread) ----

    // Drops what is buffered and decodes from `seconds` on; starts a new epoch.
    void seek(double seconds);
    // Starts a new epoch: an end detected in an earlier one is not reported.
    quint64 bumpEpoch();
    quint64 epoch() const;
    // The position heard so far, in seconds from the start of the file.
    double heardSeconds() const;

    // ---- output side (the output thread) ----

    // Takes up to `maxFrames` frames into `out`; returns how many it took.
    qint64 take(float* out, qint64 maxFrames);
    // Counts the seeks so far: a clock-driven output restarts its clock at one.
    quint64 seekCount() const;
    // Publishes how many taken frames have not been heard yet (still in the
    // output's buffers). Returns the epoch to report an end for, and whether
    // decoding succeeded, once every decoded frame has been heard; at most once
    // per epoch.
    struct End {
        quint64 epoch = 0;
        bool successfully = true;
    };
    std::optional<End> updateHeard(qint64 framesInFlight);

private:
    void run();
    qint64 freeFrames() const;
    void stopWorker();

    std::unique_ptr<FfmpegDecoder> m_decoder;
    const int m_sampleRate;
    const int m_channels;
    const qint64 m_chunkFrames;

    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    std::vector<float> m_ring;
    qint64 m_capacityFrames = 0;
    qint64 m_readFrame = 0; // ring index of the oldest frame
    qint64 m_bufferedFrames = 0;

    bool m_stopping = false;
    bool m_seekPending = false;
    double m_seekTarget = 0;
    quint64 m_generation = 0; // bumped by every seek
    bool m_decoderDone = false;
    bool m_decoderFailed = false;

    quint64 m_epoch;
    std::optional<quint64> m_endReportedEpoch;
    qint64 m_baseFrame = 0; // position of the last seek
    qint64 m_takenFrames = 0; // since the last seek
    qint64 m_heardFrames = 0; // since the last seek

    std::thread m_worker;
};

} // namespace kivo
