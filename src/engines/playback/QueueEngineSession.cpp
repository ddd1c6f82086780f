// Saving the playback session and putting a saved one back.

#include "engines/playback/QueueEngineImpl.h"
#include "model/ErrorText.h"
#include "model/Logging.h"

#include <QScopeGuard>
#include <QSet>
#include <cmath>
#include <utility>

namespace kivo {

using ::qHash;

namespace {

QList<QUuid> withoutID(QList<QUuid> ids, const QUuid& id)
{
    ids.removeAll(id);
    return ids;
}

} // namespace

QList<QUuid> TavrenQueueEngine::idsOf(const QList<Track>& tracks)
{
    QList<QUuid> ids;
    ids.reserve(tracks.size());
    for (const Track& track : tracks) {
        ids.push_back(track.id);
    }
    return ids;
}

TavrenQueueEngine::SessionParts TavrenQueueEngine::sessionParts() const
{
    SessionParts parts;
    PlaybackStateSnapshot& snapshot = parts.scalars;
    if (m_currentTrack) {
        snapshot.currentTrackID = m_currentTrack->id;
    }
    // Ids the queue already keeps are shared, not read from every track again.
    parts.upcomingIDs = m_upcoming;
    parts.history = m_history;
    if (!m_orderFollowsQueue) {
        parts.playbackOrder = m_playbackOrder;
    }
    snapshot.repeatMode = repeatModeText(m_repeatMode);
    snapshot.shuffleMode = shuffleModeText(m_shuffleMode);
    if (const AudioEngine* engine = m_audioEngine) {
        // A time the file cannot hold would make every save fail.
        const double time = engine->currentTime();
        snapshot.currentTime = std::isfinite(time) && time > 0 ? time : 0.0;
        snapshot.isPlaying = engine->isPlaying();
        const float volume = engine->volume();
        snapshot.volume = std::isfinite(volume) ? volume : 0.0f;
    }
    snapshot.savedAt = Date::now();
    return parts;
}

PlaybackStateSnapshot TavrenQueueEngine::SessionParts::snapshot() const
{
    PlaybackStateSnapshot made = scalars;
    made.upcomingTrackIDs = upcomingIDs;
    made.historyTrackIDs = history;
    if (playbackOrder) {
        made.playbackOrderTrackIDs = playbackOrder->ids();
    } else {
        QList<QUuid> order;
        order.reserve(made.historyTrackIDs.size() + 1 + made.upcomingTrackIDs.size());
        order.append(made.historyTrackIDs);
        if (made.currentTrackID) {
            order.push_back(*made.currentTrackID);
        }
        order.append(made.upcomingTrackIDs);
        made.playbackOrderTrackIDs = std::move(order);
    }
    return made;
}

void TavrenQueueEngine::savePlaybackState(bool synchronously)
{
    if (!m_sessionStore) {
        return;
    }
    if (m_sessionSavesHeld) {
        m_sessionSaveHeldBack = true;
        return;
    }
    if (synchronously) {
        settleReordering();
    } else if (m_pending) {
        // Saved once the worker's lists are published.
        m_pending->save = true;
        return;
    }
    SessionParts parts = sessionParts();
    const quint64 serial = ++m_lastSaveSerial;
    if (synchronously) {
        applySaveResult(serial, m_sessionStore->saveSynchronously(parts.snapshot()));
        return;
    }
    // The ids are read and joined on the store's worker: a move in a
    // library-sized queue then copies no list here.
    m_sessionStore->saveMade([parts = std::move(parts)] { return parts.snapshot(); },
        [self = QPointer(this), serial](std::exception_ptr error) {
            if (self) {
                self->applySaveResult(serial, error);
            }
        });
}

void TavrenQueueEngine::holdSessionSaves()
{
    m_sessionSavesHeld = true;
}

void TavrenQueueEngine::releaseSessionSaves()
{
    m_sessionSavesHeld = false;
    if (std::exchange(m_sessionSaveHeldBack, false)) {
        savePlaybackState(false);
    }
}

void TavrenQueueEngine::applySaveResult(quint64 serial, const std::exception_ptr& error)
{
    // A synchronous save reports before the queued completions of the saves
    // written ahead of it; their older outcome must not replace its own.
    if (serial < m_appliedSaveSerial) {
        return;
    }
    m_appliedSaveSerial = serial;
    if (error) {
        qCWarning(logging::queue).noquote()
            << "Playback session could not be saved:" << describeError(error);
    }
    setLastPersistenceError(error);
}

void TavrenQueueEngine::restorePlaybackSession(const Track& currentTrack,
    const QList<Track>& upcoming, const QList<Track>& history, RepeatMode repeatMode,
    ShuffleMode shuffleMode, const std::optional<QList<Track>>& playbackOrder)
{
    settleReordering();
    const Track current = currentTrack; // may be one of ours
    const QList<QUuid> upcomingIDs = enter(upcoming);
    const QList<QUuid> historyIDs = enter(history);
    std::optional<QList<QUuid>> order;
    if (playbackOrder) {
        order = playbackOrderWithin(enter(*playbackOrder), current.id, upcomingIDs, historyIDs);
    }
    restorePlaybackSession(current, upcomingIDs, historyIDs, repeatMode, shuffleMode, order);
}

void TavrenQueueEngine::restorePlaybackSession(const Track& currentTrack,
    const QList<QUuid>& upcoming, const QList<QUuid>& history, RepeatMode repeatMode,
    ShuffleMode shuffleMode, const std::optional<QList<QUuid>>& playbackOrder)
{
    settleReordering();
    m_isRestoringSession = true;
    const auto restored = qScopeGuard([this] { m_isRestoringSession = false; });

    const Track current = currentTrack; // may be one of ours
    QList<QUuid> order = playbackOrder.value_or(QList<QUuid> {});
    publishCurrentTrack(current);
    if (!m_lookup || !m_lookup(current.id)) {
        m_kept.insert(current.id, current);
    }
    publishUpcoming(withoutID(upcoming, current.id));
    publishHistory(withoutID(history, current.id));
    m_originalUpcomingOrder = m_upcoming;

    // The saved order as long as it still holds the current track; else
    // history, current, upcoming.
    const bool holdsCurrent = order.contains(current.id);
    if (holdsCurrent) {
        m_playbackOrder = PlaybackOrder::of(order);
        m_orderFollowsQueue = false;
    } else {
        refreshPlaybackOrder();
    }
    forgetUnlisted();

    setRepeatMode(repeatMode);
    setShuffleMode(shuffleMode);
}

} // namespace kivo
