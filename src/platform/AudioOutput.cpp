#include "platform/AudioOutput.h"

#include "model/Logging.h"

#include <QAudioSink>
#include <QElapsedTimer>
#include <QIODevice>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

using namespace Qt::Literals::StringLiterals;

namespace kivo {

namespace {

constexpr int tickMilliseconds = 10;
constexpr qint64 sinkBufferMicroseconds = 100'000;

} // namespace

// Runs on the output thread; created and destroyed there.
class AudioOutputWorker : public QObject {
public:
    explicit AudioOutputWorker(AudioOutput& owner);
    ~AudioOutputWorker() override;

    void start();
    void pause();
    // Ends output for good: the sink is stopped and destroyed here, on the
    // thread that made it, while its event loop still runs.
    void shutDown();

private:
    // What the sink pulls from: frames from the pipeline, silence when none.
    class Feed : public QIODevice {
    public:
        explicit Feed(AudioOutputWorker& worker)
            : m_worker(worker)
        {
        }
        bool isSequential() const override { return true; }
        // An endless stream (silence when the pipeline is empty). At its end
        // Qt's sink would drain on an underrun, and the drain's completion
        // marks the sink idle from the sound server's thread, even after a
        // suspend, which leaves the sink unable to resume.
        bool atEnd() const override { return false; }

    protected:
        qint64 readData(char* data, qint64 maxSize) override
        {
            return m_worker.feed(data, maxSize);
        }
        qint64 writeData(const char*, qint64) override { return -1; }

    private:
        AudioOutputWorker& m_worker;
    };

    qint64 feed(char* data, qint64 maxSize);
    void tick();
    void startSink();
    void resumeSink();
    bool sinkHasFailed() const;
    void fallBackToSilence(const QString& reason);
    void consumeSilently();
    void applyGainAndConvert(qint64 frames, char* out);

    AudioOutput& m_owner;
    AudioPipeline& m_pipeline;
    const int m_channels;
    const int m_sampleRate;
    bool m_running = false;
    bool m_closed = false; // shut down: nothing starts again
    bool m_silent;

    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_lastClockNs = 0;
    double m_clockFraction = 0;
    quint64 m_clockSeekCount = 0;

    std::unique_ptr<Feed> m_feed;
    std::unique_ptr<QAudioSink> m_sink;
    // A failed sink and its feed, kept until control is back in the event loop
    // (the failure may be noticed inside one of the sink's own calls).
    std::unique_ptr<QAudioSink> m_retiredSink;
    std::unique_ptr<Feed> m_retiredFeed;
    qint64 m_deliveredFrames = 0; // to the current sink, silence included
    qint64 m_realEndFrame = 0; // delivered count just after the last decoded frame

    std::vector<float> m_scratch;
    float m_gain;
};

AudioOutputWorker::AudioOutputWorker(AudioOutput& owner)
    : m_owner(owner)
    , m_pipeline(owner.m_pipeline)
    , m_channels(owner.m_pipeline.channelCount())
    , m_sampleRate(owner.m_pipeline.sampleRate())
    , m_silent(owner.m_device.isNull())
    , m_gain(owner.m_volume.load())
{
    m_timer.setInterval(tickMilliseconds);
    m_timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&m_timer, &QTimer::timeout, this, [this] { tick(); });
    m_clock.start();
}

AudioOutputWorker::~AudioOutputWorker()
{
    shutDown(); // already done by the owner; kept for a thread that never got to run
}

void AudioOutputWorker::shutDown()
{
    // Qt's sink runs the thread's pending events while it is destroyed; a
    // start or pause still queued then must not bring a new sink to life.
    m_closed = true;
    m_running = false;
    m_timer.stop();
    if (m_sink) {
        m_sink->stop();
    }
    m_sink.reset();
    m_feed.reset();
    m_retiredSink.reset();
    m_retiredFeed.reset();
}

void AudioOutputWorker::start()
{
    if (m_running || m_closed) {
        return;
    }
    m_running = true;
    if (!m_silent) {
        if (!m_sink) {
            startSink();
        } else {
            resumeSink();
        }
        if (sinkHasFailed()) {
            fallBackToSilence(u"the audio device could not be opened"_s);
        }
    }
    m_lastClockNs = m_clock.nsecsElapsed();
    m_clockFraction = 0;
    m_clockSeekCount = m_pipeline.seekCount();
    m_timer.start();
}

void AudioOutputWorker::pause()
{
    if (!m_running || m_closed) {
        return;
    }
    if (m_silent) {
        consumeSilently(); // up to this moment
    } else if (m_sink) {
        m_sink->suspend();
    }
    tick();
    m_running = false;
    m_timer.stop();
}

void AudioOutputWorker::startSink()
{
    m_feed = std::make_unique<Feed>(*this);
    // Unbuffered: QIODevice must not read ahead of what the sink takes.
    m_feed->open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    QAudioFormat format = m_owner.m_format;
    format.setSampleRate(m_sampleRate);
    format.setChannelCount(m_channels);
    m_sink = std::make_unique<QAudioSink>(m_owner.m_device, format);
    m_sink->setBufferSize(format.bytesForDuration(sinkBufferMicroseconds));
    m_deliveredFrames = 0;
    m_realEndFrame = 0;
    m_sink->start(m_feed.get());
}

void AudioOutputWorker::resumeSink()
{
    // An underrun reported late by the sound server's thread can turn a
    // suspended sink idle, still corked and no longer pulling; resume() only
    // acts on a suspended sink, so suspend it again first.
    if (m_sink->state() != QAudio::SuspendedState) {
        m_sink->suspend();
    }
    m_sink->resume();
}

bool AudioOutputWorker::sinkHasFailed() const
{
    return !m_sink || m_sink->error() == QAudio::OpenError || m_sink->error() == QAudio::FatalError
        || m_sink->error() == QAudio::IOError
        || (m_running && m_sink->state() == QAudio::StoppedState);
}

void AudioOutputWorker::fallBackToSilence(const QString& reason)
{
    qCWarning(logging::audio).noquote() << "Audio output unavailable, playing silently:" << reason;
    if (m_sink) {
        m_sink->stop();
    }
    m_retiredSink = std::move(m_sink);
    m_retiredFeed = std::move(m_feed);
    m_silent = true;
    m_lastClockNs = m_clock.nsecsElapsed();
    m_clockFraction = 0;
}

qint64 AudioOutputWorker::feed(char* data, qint64 maxSize)
{
    const int bytesPerFrame = m_owner.m_format.bytesPerSample() * m_channels;
    const qint64 frames = bytesPerFrame > 0 ? maxSize / bytesPerFrame : 0;
    if (frames <= 0) {
        return 0;
    }
    m_scratch.resize(size_t(frames * m_channels));
    const qint64 real = m_running ? m_pipeline.take(m_scratch.data(), frames) : 0;
    std::fill(m_scratch.begin() + real * m_channels, m_scratch.end(), 0.0f);
    applyGainAndConvert(frames, data);
    if (real > 0) {
        m_realEndFrame = m_deliveredFrames + real;
    }
    m_deliveredFrames += frames;
    return frames * bytesPerFrame;
}

void AudioOutputWorker::applyGainAndConvert(qint64 frames, char* out)
{
    // Ramp from the last gain to the new one across the buffer: no clicks when
    // a fade changes the volume every few buffers.
    const float target = m_owner.m_volume.load();
    const float start = m_gain;
    m_gain = target;
    const auto sampleFormat = m_owner.m_format.sampleFormat();
    for (qint64 f = 0; f < frames; ++f) {
        const float gain = start + (target - start) * float(f + 1) / float(frames);
        for (int c = 0; c < m_channels; ++c) {
            const size_t i = size_t(f * m_channels + c);
            const float value = std::clamp(m_scratch[i] * gain, -1.0f, 1.0f);
            switch (sampleFormat) {
            case QAudioFormat::Float:
                reinterpret_cast<float*>(out)[i] = value;
                break;
            case QAudioFormat::Int32:
                reinterpret_cast<qint32*>(out)[i]
                    = qint32(std::lround(double(value) * 2147483647.0));
                break;
            case QAudioFormat::UInt8:
                reinterpret_cast<quint8*>(out)[i] = quint8(std::lround(value * 127.0f + 128.0f));
                break;
            default:
                reinterpret_cast<qint16*>(out)[i] = qint16(std::lround(value * 32767.0f));
                break;
            }
        }
    }
}

void AudioOutputWorker::consumeSilently()
{
    const qint64 now = m_clock.nsecsElapsed();
    const quint64 seeks = m_pipeline.seekCount();
    if (seeks != m_clockSeekCount) {
        // Time that passed before a seek is not played after it.
        m_clockSeekCount = seeks;
        m_lastClockNs = now;
        m_clockFraction = 0;
        return;
    }
    const double due = double(now - m_lastClockNs) * 1e-9 * m_sampleRate + m_clockFraction;
    m_lastClockNs = now;
    qint64 wanted = std::min<qint64>(qint64(due), m_sampleRate); // at most a second's catch-up
    m_clockFraction = due - std::floor(due);
    m_scratch.resize(size_t(std::max<qint64>(wanted, 1) * m_channels));
    while (wanted > 0) {
        const qint64 taken = m_pipeline.take(m_scratch.data(), wanted);
        if (taken == 0) {
            m_clockFraction = 0; // an underrun is not made up for later
            break;
        }
        wanted -= taken;
    }
}

void AudioOutputWorker::tick()
{
    if (!m_running) {
        return;
    }
    qint64 inFlight = 0;
    if (!m_silent && sinkHasFailed()) {
        fallBackToSilence(u"the audio device stopped"_s);
    }
    if (m_silent) {
        consumeSilently();
    } else {
        const double processed = double(m_sink->processedUSecs()) * 1e-6 * m_sampleRate;
        inFlight = std::max<qint64>(0, m_realEndFrame - qint64(processed));
    }
    if (const auto end = m_pipeline.updateHeard(inFlight)) {
        m_owner.m_onEnd(*end);
    }
}

// ---- AudioOutput -------------------------------------------------------------

void AudioOutput::Thread::run()
{
    {
        AudioOutputWorker worker(m_owner);
        // Release order: the worker is complete before the owner posts to it.
        m_owner.m_worker.store(&worker, std::memory_order_release);
        m_owner.m_ready.release();
        exec();
    }
    // QThread::wait() orders everything above before the owner goes on, but
    // through a lock that a thread checker cannot see; this makes it explicit.
    m_owner.m_finished.store(true, std::memory_order_release);
}

AudioOutput::AudioOutput(AudioPipeline& pipeline, const QAudioDevice& device,
    const QAudioFormat& format, float volume, EndHandler onEnd)
    : m_pipeline(pipeline)
    , m_device(device)
    , m_format(format)
    , m_onEnd(std::move(onEnd))
    , m_volume(volume)
    , m_thread(*this)
{
    m_thread.setObjectName(u"AudioOutput"_s);
    m_thread.start(QThread::TimeCriticalPriority);
    m_ready.acquire();
}

AudioOutput::~AudioOutput()
{
    // The sink goes while its thread's event loop still runs (its backend
    // may have posted work to it); only then does the thread end. Waiting
    // here also means no end is reported once this returns.
    AudioOutputWorker* worker = m_worker.load(std::memory_order_acquire);
    QMetaObject::invokeMethod(
        worker, [worker] { worker->shutDown(); }, Qt::BlockingQueuedConnection);
    m_thread.quit();
    m_thread.wait();
    [[maybe_unused]] const bool finished = m_finished.load(std::memory_order_acquire);
}

void AudioOutput::post(void (AudioOutputWorker::*command)())
{
    AudioOutputWorker* worker = m_worker.load(std::memory_order_acquire);
    QMetaObject::invokeMethod(
        worker, [worker, command] { (worker->*command)(); }, Qt::QueuedConnection);
}

void AudioOutput::start()
{
    post(&AudioOutputWorker::start);
}

void AudioOutput::pause()
{
    post(&AudioOutputWorker::pause);
}

void AudioOutput::setVolume(float volume)
{
    m_volume.store(volume);
}

QAudioFormat AudioOutput::formatFor(const QAudioDevice& device)
{
    QAudioFormat format = device.preferredFormat();
    if (format.sampleRate() <= 0) {
        format.setSampleRate(44100);
    }
    if (format.channelCount() <= 0) {
        format.setChannelCount(2);
    }
    QAudioFormat asFloat = format;
    asFloat.setSampleFormat(QAudioFormat::Float);
    if (device.isFormatSupported(asFloat)) {
        return asFloat;
    }
    if (format.sampleFormat() == QAudioFormat::Unknown) {
        format.setSampleFormat(QAudioFormat::Int16);
    }
    return format;
}

} // namespace kivo
