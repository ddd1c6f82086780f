#include "engines/playback/AudioEngineImpl.h"

#include <QFileInfo>
#include <algorithm>
#include <cmath>

namespace kivo {

namespace {

constexpr int progressIntervalMs = 50;
constexpr double resumeRewindMargin = 0.05; // seconds before the end that count as the end

} // namespace

TavrenAudioEngine::TavrenAudioEngine(
    std::shared_ptr<AudioPlayerFactory> playerFactory, QObject* parent)
    : AudioEngine(parent)
    , m_playerFactory(std::move(playerFactory))
{
    m_progressTimer.setInterval(progressIntervalMs);
    connect(&m_progressTimer, &QTimer::timeout, this, [this] { progressTick(); });
    m_fadeTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_fadeTimer, &QTimer::timeout, this, [this] { fadeStep(); });
}

TavrenAudioEngine::~TavrenAudioEngine()
{
    m_progressTimer.stop();
    m_fadeTimer.stop();
    if (m_audioPlayer) {
        m_audioPlayer->disconnect(this);
        m_audioPlayer->stop();
        m_audioPlayer.reset();
    }
    m_activeSecurityAccess.reset();
}

// ---- delegate and published values --------------------------------------------

AudioEngineDelegate* TavrenAudioEngine::delegate() const
{
    if (m_delegateIsObject && !m_delegateObject) {
        return nullptr; // it was destroyed
    }
    return m_delegate;
}

void TavrenAudioEngine::setDelegate(AudioEngineDelegate* delegate)
{
    m_delegate = delegate;
    m_delegateObject = dynamic_cast<QObject*>(delegate);
    m_delegateIsObject = m_delegateObject != nullptr;
}

double TavrenAudioEngine::duration() const
{
    if (m_audioPlayer) {
        return m_audioPlayer->duration();
    }
    if (m_currentTrack) {
        return m_currentTrack->duration;
    }
    return 0;
}

double TavrenAudioEngine::progress() const
{
    const double total = duration();
    if (!std::isfinite(total) || total <= 0) {
        return 0;
    }
    const double fraction = m_currentTime / total;
    return std::isfinite(fraction) ? std::clamp(fraction, 0.0, 1.0) : 0.0;
}

void TavrenAudioEngine::setVolume(float volume)
{
    // Not a number counts as silence rather than reaching the output.
    m_outputVolume = std::isfinite(volume) ? std::clamp(volume, 0.0f, 1.0f) : 0.0f;
    if (m_audioPlayer) {
        m_audioPlayer->setVolume(m_outputVolume);
    }
}

void TavrenAudioEngine::setPlaybackState(PlaybackState state)
{
    if (state == m_playbackState) {
        return;
    }
    m_playbackState = state;
    Q_EMIT playbackStateChanged(state);
    tellDelegate(
        [&](AudioEngineDelegate& d) { d.audioEngineDidChangePlaybackState(*this, state); });
}

void TavrenAudioEngine::setCurrentTrack(const std::optional<Track>& track)
{
    m_currentTrack = track;
    Q_EMIT currentTrackChanged(m_currentTrack);
    const std::optional<Track> told = m_currentTrack; // the delegate may change it
    tellDelegate([&](AudioEngineDelegate& d) { d.audioEngineDidChangeTrack(*this, told); });
}

void TavrenAudioEngine::publishCurrentTime(double seconds)
{
    m_currentTime = seconds;
    Q_EMIT currentTimeChanged(seconds);
}

// ---- loading and starting -------------------------------------------------------

TavrenAudioEngine::LoadedPlayer TavrenAudioEngine::loadPlayer(const Track& track)
{
    LoadedPlayer loaded;
    loaded.access = SecurityScopedResource::beginAccess(track); // its error passes unchanged
    const QUrl url = loaded.access->url();
    const QFileInfo file(url.toLocalFile());
    if (!url.isLocalFile() || !file.exists()) {
        throw AudioPlaybackError::missingFile(url);
    }
    if (file.isFile() && file.size() == 0) {
        throw AudioPlaybackError::emptyFile(url);
    }
    try {
        loaded.player = m_playerFactory->open(url);
    } catch (const AudioPlayerError& error) {
        throw AudioPlaybackError::unreadableFile(url, error.description());
    }
    const double length = loaded.player->duration();
    if (!std::isfinite(length) || length <= 0) {
        throw AudioPlaybackError::emptyFile(url);
    }
    connect(loaded.player.get(), &AudioPlayer::finished, this,
        [this](AudioPlayer* player, bool successfully) { playerDidFinish(player, successfully); });
    loaded.player->setVolume(m_outputVolume);
    return loaded;
}

void TavrenAudioEngine::startPlayback(const Track& track, double time, bool autoplay)
{
    const PlaybackState stateBefore = m_playbackState;
    std::exception_ptr error;
    LoadedPlayer loaded;
    try {
        loaded = loadPlayer(track);
    } catch (...) {
        error = std::current_exception();
    }

    if (!error) {
        double start = std::isfinite(time) && time > 0 ? time : 0.0;
        start = std::min(start, loaded.player->duration());
        loaded.player->setCurrentTime(start);
        setPlaybackState(PlaybackState::buffering);

        bool started = loaded.player->prepareToPlay();
        if (started && autoplay) {
            started = loaded.player->play();
        }
        if (started) {
            // The new player runs before the old one stops.
            releasePlayer();
            stopProgressTimer();
            m_audioPlayer = std::move(loaded.player);
            m_activeSecurityAccess = std::move(loaded.access);

            publishCurrentTime(start);
            setCurrentTrack(track);
            tellDelegate(
                [&](AudioEngineDelegate& d) { d.audioEngineDidUpdateCurrentTime(*this, start); });
            if (autoplay) {
                startProgressTimer();
                setPlaybackState(PlaybackState::playing);
            } else {
                setPlaybackState(PlaybackState::paused);
            }
            return;
        }
        error = std::make_exception_ptr(AudioPlaybackError::invalidFormat(track.fileURL));
    }

    // Whatever played before goes on untouched, and so does its state: the
    // failure belongs to `track`, not to a different song still loaded.
    loaded = {};
    const bool otherSongLoaded = m_currentTrack && m_currentTrack->id != track.id;
    setPlaybackState(stateBefore == PlaybackState::playing || otherSongLoaded
            ? stateBefore
            : PlaybackState::failed);
    tellDelegate([&](AudioEngineDelegate& d) { d.audioEngineDidFail(*this, error); });
    std::rethrow_exception(error);
}

void TavrenAudioEngine::releasePlayer()
{
    if (!m_audioPlayer) {
        return;
    }
    std::unique_ptr<AudioPlayer> old = std::move(m_audioPlayer);
    old->disconnect(this);
    old->stop(); // ends its output and threads now
    // Deleted later: this may run inside the old player's own end notice.
    old.release()->deleteLater();
}

void TavrenAudioEngine::play(const Track& track)
{
    startPlayback(track, 0, true);
}

void TavrenAudioEngine::restore(const Track& track, double time)
{
    startPlayback(track, time, false);
}

// ---- transport -------------------------------------------------------------------

void TavrenAudioEngine::startProgressTimer()
{
    m_progressTimer.start();
}

void TavrenAudioEngine::stopProgressTimer()
{
    m_progressTimer.stop();
}

void TavrenAudioEngine::progressTick()
{
    if (!m_audioPlayer) {
        return;
    }
    double position = m_audioPlayer->currentTime();
    if (!(position > 0)) {
        position = 0;
    }
    position = std::min(position, duration());
    publishCurrentTime(position);
    tellDelegate(
        [&](AudioEngineDelegate& d) { d.audioEngineDidUpdateCurrentTime(*this, position); });
}

void TavrenAudioEngine::pause()
{
    if (m_playbackState != PlaybackState::playing) {
        return;
    }
    progressTick(); // the paused position is published and told
    if (m_audioPlayer) {
        m_audioPlayer->pause();
    }
    stopProgressTimer();
    setPlaybackState(PlaybackState::paused);
}

void TavrenAudioEngine::resume()
{
    if (!m_currentTrack) {
        return;
    }
    if (!m_audioPlayer) {
        try {
            startPlayback(*m_currentTrack, m_currentTime, true);
        } catch (...) {
            fail(std::current_exception());
        }
        return;
    }
    if (m_currentTime >= std::max(duration() - resumeRewindMargin, 0.0)) {
        m_audioPlayer->setCurrentTime(0);
        publishCurrentTime(0); // a rewind, not a seek: nobody is told
    }
    if (m_audioPlayer->play()) {
        startProgressTimer();
        setPlaybackState(PlaybackState::playing);
    } else {
        fail(std::make_exception_ptr(AudioPlaybackError::invalidFormat(m_currentTrack->fileURL)));
    }
}

void TavrenAudioEngine::stop()
{
    if (m_audioPlayer) {
        m_audioPlayer->stop();
        m_audioPlayer->setCurrentTime(0);
    }
    stopProgressTimer();
    publishCurrentTime(0);
    tellDelegate([&](AudioEngineDelegate& d) { d.audioEngineDidUpdateCurrentTime(*this, 0); });
    setPlaybackState(PlaybackState::stopped);
}

void TavrenAudioEngine::seek(double seconds)
{
    if (!m_currentTrack || !std::isfinite(seconds)) {
        return;
    }
    double limit = duration();
    if (!(limit > 0)) {
        limit = 0;
    }
    const double position = std::clamp(seconds, 0.0, limit);
    if (m_audioPlayer) {
        m_audioPlayer->setCurrentTime(position);
    }
    publishCurrentTime(position);
    tellDelegate(
        [&](AudioEngineDelegate& d) { d.audioEngineDidUpdateCurrentTime(*this, position); });
}

void TavrenAudioEngine::playerDidFinish(AudioPlayer* player, bool successfully)
{
    if (!m_audioPlayer || player != m_audioPlayer.get()) {
        return; // a replaced player's late report
    }
    if (successfully) {
        publishCurrentTime(player->duration());
        stopProgressTimer();
        setPlaybackState(PlaybackState::stopped);
        tellDelegate([&](AudioEngineDelegate& d) { d.audioEngineDidFinishPlayback(*this); });
        return;
    }
    if (m_currentTrack) {
        fail(std::make_exception_ptr(AudioPlaybackError::invalidFormat(m_currentTrack->fileURL)));
    }
}

void TavrenAudioEngine::fail(const std::exception_ptr& error)
{
    stopProgressTimer();
    setPlaybackState(PlaybackState::failed);
    tellDelegate([&](AudioEngineDelegate& d) { d.audioEngineDidFail(*this, error); });
}

} // namespace kivo
