// Moving through the queue: the user's Next and Previous, the natural end of a
// track, and the audio engine's other notices.

#include "engines/playback/QueueEngineImpl.h"

namespace kivo {

namespace {

// Previous restarts the current track instead once it has played longer than this.
constexpr double stepBackThreshold = 3.0; // seconds
constexpr std::chrono::seconds periodicSaveInterval { 1 };

} // namespace

std::optional<Track> TavrenQueueEngine::advanceToNext()
{
    return advance(false);
}

std::optional<Track> TavrenQueueEngine::returnToPrevious()
{
    return stepBack(true);
}

std::optional<Track> TavrenQueueEngine::playPreviousSong()
{
    return stepBack(false);
}

std::optional<Track> TavrenQueueEngine::advance(bool afterTrackEnded)
{
    settleReordering();
    // Entries whose tracks left the library are passed over for good.
    dropGoneEntries(true);
    QueueSnapshot snapshot = takeSnapshot();

    if (!m_currentTrack) {
        // The current track left the library: the next one simply starts. A
        // failure leaves it current; the engine's failure notice saves.
        const std::optional<Track> next = takeNextUpcoming();
        if (!next) {
            return std::nullopt;
        }
        return startCurrentTrack(*next) ? next : std::nullopt;
    }
    const Track current = *currentTrack();

    if (afterTrackEnded && m_repeatMode == RepeatMode::track) {
        // Repeat one holds natural ends only; the end-of-track notice saves.
        return startCurrentTrack(current) ? std::optional(current) : std::nullopt;
    }

    if (m_upcoming.isEmpty()) {
        // Repeat all wraps; so does the user's Next under repeat one (a natural
        // end under repeat one never comes here). Repeat off stops: the
        // current track stays (after the user's Next it plays on).
        if (m_repeatMode == RepeatMode::off || !rewrapForRepeat()) {
            savePlaybackState(false);
            return std::nullopt;
        }
        const std::optional<Track> next = takeNextUpcoming();
        if (!next) {
            savePlaybackState(false);
            return std::nullopt;
        }
        return startOrRollBack(*next, std::move(snapshot));
    }

    publishHistory(m_history + QList<QUuid> { current.id });
    const std::optional<Track> next = takeNextUpcoming();
    return startOrRollBack(*next, std::move(snapshot));
}

void TavrenQueueEngine::dropGoneEntries(bool upcoming)
{
    QList<QUuid>& ids = upcoming ? m_upcoming : m_history;
    qsizetype gone = 0;
    while (gone < ids.size() && !find(ids[upcoming ? gone : ids.size() - 1 - gone])) {
        ++gone;
    }
    if (gone == 0) {
        return;
    }
    QList<QUuid> kept = ids;
    if (upcoming) {
        for (qsizetype i = 0; i < gone; ++i) {
            m_originalUpcomingOrder.removeAll(kept[i]);
        }
        kept.remove(0, gone);
        publishUpcoming(kept);
    } else {
        kept.resize(kept.size() - gone);
        publishHistory(kept);
    }
}

std::optional<Track> TavrenQueueEngine::takeNextUpcoming()
{
    dropGoneEntries(true);
    if (m_upcoming.isEmpty()) {
        stopFollowingQueue();
        publishCurrentTrack(std::nullopt);
        return std::nullopt;
    }
    QList<QUuid> upcoming = m_upcoming;
    const Track next = trackOf(upcoming.takeFirst());
    publishUpcoming(upcoming);
    publishCurrentTrack(next);
    m_originalUpcomingOrder.removeAll(next.id);
    return next;
}

bool TavrenQueueEngine::rewrapForRepeat()
{
    stopFollowingQueue();
    QList<QUuid> order = m_playbackOrder.ids();
    if (order.isEmpty() && m_currentTrack) {
        order = m_history + QList<QUuid> { m_currentTrack->id };
    }
    if (order.isEmpty()) {
        return false;
    }
    publishHistory({});
    m_originalUpcomingOrder = order;
    publishUpcoming(inPlayingOrder(order));
    return !m_upcoming.isEmpty();
}

std::optional<Track> TavrenQueueEngine::stepBack(bool restartIfPastThreshold)
{
    settleReordering();
    if (!m_currentTrack) {
        return std::nullopt;
    }
    const Track current = *currentTrack();
    AudioEngine* engine = m_audioEngine;
    if (restartIfPastThreshold && engine && engine->currentTime() > stepBackThreshold) {
        engine->seek(0);
        return current;
    }

    dropGoneEntries(false);
    QueueSnapshot snapshot = takeSnapshot();
    if (m_history.isEmpty()) {
        if (engine) {
            engine->seek(0);
        }
        return current;
    }
    QList<QUuid> history = m_history;
    const Track previous = trackOf(history.takeLast());
    publishHistory(history);
    publishUpcoming(QList<QUuid> { current.id } + m_upcoming);
    m_originalUpcomingOrder.prepend(current.id);
    publishCurrentTrack(previous);
    return startOrRollBack(previous, std::move(snapshot));
}

// ---- the audio engine's notices --------------------------------------------------

void TavrenQueueEngine::audioEngineDidChangePlaybackState(AudioEngine&, PlaybackState)
{
    savePlaybackState(false);
}

void TavrenQueueEngine::audioEngineDidChangeTrack(AudioEngine&, const std::optional<Track>&)
{
    savePlaybackState(false);
}

void TavrenQueueEngine::audioEngineDidUpdateCurrentTime(AudioEngine&, double)
{
    const auto now = m_clock();
    if (m_lastPeriodicSave && now - *m_lastPeriodicSave < periodicSaveInterval) {
        return;
    }
    m_lastPeriodicSave = now;
    savePlaybackState(false);
}

void TavrenQueueEngine::audioEngineDidFinishPlayback(AudioEngine&)
{
    advance(true);
    savePlaybackState(false);
}

void TavrenQueueEngine::audioEngineDidFail(AudioEngine&, const std::exception_ptr& error)
{
    setLastPlaybackError(error);
    savePlaybackState(false);
}

} // namespace kivo
