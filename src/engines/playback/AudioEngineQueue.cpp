// TavrenAudioEngine's own queue, volume fade and output settings.
#include "engines/playback/AudioEngineImpl.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace kivo {

namespace {

constexpr double fadeStepSeconds = 0.02;
constexpr double previousTrackThreshold = 3.0; // seconds; later ones restart the track

float clampedVolume(float volume)
{
    return std::isfinite(volume) ? std::clamp(volume, 0.0f, 1.0f) : 0.0f;
}

} // namespace

void TavrenAudioEngine::setQueue(const QList<Track>& tracks, qsizetype startAt)
{
    m_queue = tracks;
    Q_EMIT queueChanged(m_queue);
    if (m_queue.isEmpty()) {
        clearQueue();
        return;
    }
    m_currentIndex = std::clamp<qsizetype>(startAt, 0, m_queue.size() - 1);
    setCurrentTrack(m_queue[m_currentIndex]);
}

void TavrenAudioEngine::appendToQueue(const Track& track)
{
    m_queue.append(track);
    Q_EMIT queueChanged(m_queue);
}

void TavrenAudioEngine::clearQueue()
{
    stop();
    m_queue.clear();
    Q_EMIT queueChanged(m_queue);
    m_currentIndex = 0;
    releasePlayer();
    m_activeSecurityAccess.reset();
    setCurrentTrack(std::nullopt);
}

void TavrenAudioEngine::togglePlayback()
{
    if (m_playbackState == PlaybackState::playing) {
        pause();
    } else {
        resume();
    }
}

void TavrenAudioEngine::nextTrack()
{
    const qsizetype next = m_currentIndex + 1;
    if (next < 0 || next >= m_queue.size()) {
        stop();
        return;
    }
    m_currentIndex = next;
    try {
        startPlayback(m_queue[m_currentIndex], 0, true);
    } catch (...) {
        fail(std::current_exception());
    }
}

void TavrenAudioEngine::previousTrack()
{
    if (m_currentTime > previousTrackThreshold || m_currentIndex <= 0
        || m_currentIndex > m_queue.size()) {
        seek(0);
        return;
    }
    --m_currentIndex;
    try {
        startPlayback(m_queue[m_currentIndex], 0, true);
    } catch (...) {
        fail(std::current_exception());
    }
}

void TavrenAudioEngine::fade(double duration, float targetVolume)
{
    m_fadeTimer.stop();
    const float target = clampedVolume(targetVolume); // not a number fades to silence
    // A fade of no length, or of no end, sets the volume at once.
    if (!(duration > 0) || !std::isfinite(duration)) {
        setVolume(target);
        return;
    }
    const double steps = std::floor(duration / fadeStepSeconds);
    m_fadeSteps = steps >= double(std::numeric_limits<qint64>::max())
        ? std::numeric_limits<qint64>::max()
        : std::max<qint64>(qint64(steps), 1);
    m_fadeStep = 0;
    m_fadeStart = m_outputVolume;
    m_fadeTarget = target;
    const double intervalMs = duration / double(m_fadeSteps) * 1000.0;
    m_fadeTimer.start(int(std::clamp(
        std::llround(intervalMs), 1LL, static_cast<long long>(std::numeric_limits<int>::max()))));
}

void TavrenAudioEngine::fadeStep()
{
    ++m_fadeStep;
    const bool last = m_fadeStep >= m_fadeSteps;
    const float fraction = std::min(float(m_fadeStep) / float(m_fadeSteps), 1.0f);
    // The last step lands on the target itself, free of rounding.
    m_outputVolume = last ? m_fadeTarget
                          : clampedVolume(m_fadeStart + (m_fadeTarget - m_fadeStart) * fraction);
    if (m_audioPlayer) {
        m_audioPlayer->setVolume(m_outputVolume);
    }
    if (last) {
        m_fadeTimer.stop();
    }
}

void TavrenAudioEngine::setOutputDevice(const QString&)
{
    throw AudioPlaybackError::outputDeviceRoutingUnavailable();
}

} // namespace kivo
