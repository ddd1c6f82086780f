#pragma once

#include "platform/AudioPipeline.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QSemaphore>
#include <QThread>
#include <atomic>
#include <functional>

namespace kivo {

class AudioOutputWorker;

// The playing half of a player: one thread that takes frames from a pipeline
// and plays them through a QAudioSink in pull mode, or, when there is no
// device or the sink fails, consumes them silently in real time by a
// monotonic clock. Controlled from the main thread; every call returns at once.
class AudioOutput {
public:
    // Called on the output thread when the whole stream has been heard.
    using EndHandler = std::function<void(AudioPipeline::End)>;

    // `device` null means the silent output. `format` gives the sample format
    // for the sink; its rate and channel count are the pipeline's.
    AudioOutput(AudioPipeline& pipeline, const QAudioDevice& device, const QAudioFormat& format,
        float volume, EndHandler onEnd);
    // Stops playback and joins the thread; no end is reported afterwards.
    ~AudioOutput();
    AudioOutput(const AudioOutput&) = delete;
    AudioOutput& operator=(const AudioOutput&) = delete;

    void start();
    void pause();
    void setVolume(float volume);

    // The sample format the sink is fed in, for the device's preferred format.
    static QAudioFormat formatFor(const QAudioDevice& device);

private:
    class Thread : public QThread {
    public:
        explicit Thread(AudioOutput& owner)
            : m_owner(owner)
        {
        }

    protected:
        void run() override;

    private:
        AudioOutput& m_owner;
    };

    void post(void (AudioOutputWorker::*command)());

    AudioPipeline& m_pipeline;
    QAudioDevice m_device;
    QAudioFormat m_format;
    EndHandler m_onEnd;
    std::atomic<float> m_volume;
    Thread m_thread;
    QSemaphore m_ready;
    std::atomic<AudioOutputWorker*> m_worker = nullptr; // lives on m_thread while it runs
    std::atomic<bool> m_finished = false; // set as the thread's last act

    friend class AudioOutputWorker;
};

} // namespace kivo
