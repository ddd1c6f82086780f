#include "engines/playback/QueueEngineImpl.h"

#include <QHash>
#include <QRandomGenerator>
#include <QThreadPool>
#include <QtConcurrent/QtConcurrentRun>
#include <algorithm>

namespace kivo {

using ::qHash;

namespace {

qsizetype sizeOf(const QList<Track>& tracks)
{
    return tracks.size();
}

qsizetype sizeOf(const TavrenQueueEngine::PlaybackOrder& order)
{
    return order.size();
}

qsizetype sizeOf(const TavrenQueueEngine::QueueSnapshot& snapshot)
{
    return snapshot.upcoming.size() + snapshot.history.size()
        + snapshot.originalUpcomingOrder.size() + snapshot.playbackOrder.size();
}

// Replaced lists may hold the last references to a whole library of tracks,
// and freeing 100,000 of them takes tens of milliseconds: long ones go on a
// worker. (Called after the change signal, once views have let go of theirs.)
template <typename Lists> void releaseInBackground(Lists lists)
{
    if (sizeOf(lists) >= 10000) {
        QThreadPool::globalInstance()->start([released = std::move(lists)] {});
    }
}

// Fisher–Yates over tracks[from...]: each order equally likely.
void shuffleTracks(QList<Track>& tracks, qsizetype from, std::mt19937_64& random)
{
    const qsizetype last = tracks.size() - 1;
    if (last - from < 1) {
        return;
    }
    Track* data = tracks.data();
    for (qsizetype i = from; i < last; ++i) {
        std::uniform_int_distribution<qsizetype> pick(i, last);
        const qsizetype j = pick(random);
        if (j != i) {
            std::swap(data[i], data[j]);
        }
    }
}

// The queued order of the tracks still upcoming. Each queued entry is looked
// up by itself, so an id queued twice comes back twice as long as it is still
// upcoming at all.
QList<Track> inQueuedOrder(const QList<Track>& upcoming, const QList<QUuid>& queued)
{
    QHash<QUuid, qsizetype> remaining; // id -> its first upcoming entry
    remaining.reserve(upcoming.size());
    for (qsizetype i = upcoming.size() - 1; i >= 0; --i) {
        remaining.insert(upcoming[i].id, i);
    }
    QList<Track> ordered;
    ordered.reserve(upcoming.size());
    for (const QUuid& id : queued) {
        const auto found = remaining.constFind(id);
        if (found != remaining.cend()) {
            ordered.push_back(upcoming[*found]);
        }
    }
    return ordered;
}

// The play order a queue stands for. The history alone is shared, never
// copied: it is only ever replaced, never edited in place.
QList<Track> concatenated(
    const QList<Track>& history, const std::optional<Track>& current, const QList<Track>& upcoming)
{
    if (!current && upcoming.isEmpty()) {
        return history;
    }
    QList<Track> order;
    order.reserve(history.size() + 1 + upcoming.size());
    order.append(history);
    if (current) {
        order.push_back(*current);
    }
    order.append(upcoming);
    return order;
}

// Drops every entry with `id`; reports whether there was one.
bool removeAll(QList<Track>& tracks, const QUuid& id)
{
    return tracks.removeIf([&](const Track& track) { return track.id == id; }) > 0;
}

} // namespace

QList<Track> TavrenQueueEngine::PlaybackOrder::tracks() const
{
    if (!current && history.isEmpty()) {
        return upcoming;
    }
    return concatenated(history, current, upcoming);
}

qsizetype TavrenQueueEngine::PlaybackOrder::size() const
{
    return history.size() + (current ? 1 : 0) + upcoming.size();
}

void TavrenQueueEngine::PlaybackOrder::removeAll(const QUuid& id)
{
    kivo::removeAll(history, id);
    if (current && current->id == id) {
        current.reset();
    }
    kivo::removeAll(upcoming, id);
}

TavrenQueueEngine::TavrenQueueEngine(std::shared_ptr<DatabaseManager> database, QObject* parent)
    : QueueEngine(parent)
    , m_random(QRandomGenerator::system()->generate64())
{
    m_orderingWorker.setMaxThreadCount(1);
    if (database) {
        m_sessionStore = std::make_unique<PlaybackSessionStore>(std::move(database));
    }
}

TavrenQueueEngine::~TavrenQueueEngine()
{
    if (m_audioEngine && m_audioEngine->delegate() == this) {
        m_audioEngine->setDelegate(nullptr);
    }
}

void TavrenQueueEngine::setAudioEngine(AudioEngine* engine)
{
    m_audioEngine = engine;
    if (engine) {
        engine->setDelegate(this);
    }
}

// ---- published values -----------------------------------------------------------

void TavrenQueueEngine::publishCurrentTrack(const std::optional<Track>& track)
{
    m_currentTrack = track;
    Q_EMIT currentTrackChanged(m_currentTrack);
}

void TavrenQueueEngine::publishUpcoming(const QList<Track>& tracks)
{
    QList<Track> replaced = std::exchange(m_upcoming, tracks);
    m_queuedOrderIsUpcoming = false;
    Q_EMIT upcomingChanged(m_upcoming);
    releaseInBackground(std::move(replaced));
}

void TavrenQueueEngine::publishHistory(const QList<Track>& tracks)
{
    QList<Track> replaced = std::exchange(m_history, tracks);
    Q_EMIT historyChanged(m_history);
    releaseInBackground(std::move(replaced));
}

void TavrenQueueEngine::setUpcoming(const QList<Track>& tracks)
{
    settleReordering();
    stopFollowingQueue();
    publishUpcoming(tracks);
}

void TavrenQueueEngine::setLastPlaybackError(const std::exception_ptr& error)
{
    if (error == m_lastPlaybackError) {
        return;
    }
    m_lastPlaybackError = error;
    Q_EMIT lastPlaybackErrorChanged(m_lastPlaybackError);
}

void TavrenQueueEngine::setLastPersistenceError(const std::exception_ptr& error)
{
    if (error == m_lastPersistenceError) {
        return;
    }
    m_lastPersistenceError = error;
    Q_EMIT lastPersistenceErrorChanged(m_lastPersistenceError);
}

void TavrenQueueEngine::reportPlaybackError(const std::exception_ptr& error)
{
    setLastPlaybackError(error);
}

void TavrenQueueEngine::clearReportedErrors()
{
    setLastPlaybackError(nullptr);
    setLastPersistenceError(nullptr);
}

void TavrenQueueEngine::setRepeatMode(RepeatMode mode)
{
    if (mode == m_repeatMode) {
        return;
    }
    m_repeatMode = mode;
    Q_EMIT repeatModeChanged(mode);
    if (!m_isRestoringSession) {
        savePlaybackState(false);
    }
}

void TavrenQueueEngine::setShuffleMode(ShuffleMode mode)
{
    if (mode == m_shuffleMode) {
        return;
    }
    settleReordering();
    m_shuffleMode = mode;
    Q_EMIT shuffleModeChanged(mode);
    applyShuffleMode();
    if (!m_isRestoringSession) {
        savePlaybackState(false);
    }
}

// ---- snapshots and starting -----------------------------------------------------

TavrenQueueEngine::QueueSnapshot TavrenQueueEngine::takeSnapshot() const
{
    return { m_currentTrack, m_upcoming, m_history, m_originalUpcomingOrder, m_playbackOrder,
        m_orderFollowsQueue };
}

void TavrenQueueEngine::restore(const QueueSnapshot& snapshot)
{
    publishCurrentTrack(snapshot.currentTrack);
    publishUpcoming(snapshot.upcoming);
    publishHistory(snapshot.history);
    m_originalUpcomingOrder = snapshot.originalUpcomingOrder;
    m_playbackOrder = snapshot.playbackOrder;
    m_orderFollowsQueue = snapshot.orderFollowsQueue;
}

bool TavrenQueueEngine::startCurrentTrack(const Track& track)
{
    AudioEngine* engine = m_audioEngine;
    if (!engine) {
        setLastPlaybackError(std::make_exception_ptr(AudioPlaybackError::audioEngineUnavailable()));
        return false;
    }
    try {
        engine->play(track);
    } catch (...) {
        setLastPlaybackError(std::current_exception());
        return false;
    }
    setLastPlaybackError(nullptr);
    return true;
}

std::optional<Track> TavrenQueueEngine::startOrRollBack(const Track& track, QueueSnapshot snapshot)
{
    const bool started = startCurrentTrack(track);
    if (!started) {
        restore(snapshot);
    }
    savePlaybackState(false);
    releaseInBackground(std::move(snapshot));
    return started ? std::optional(track) : std::nullopt;
}

// ---- shuffle --------------------------------------------------------------------

void TavrenQueueEngine::shuffle(QList<Track>& tracks, qsizetype from)
{
    shuffleTracks(tracks, from, m_random);
}

// ---- ordering on a worker -------------------------------------------------------

template <typename Work> void TavrenQueueEngine::reorderInBackground(Work work, bool save)
{
    const quint64 serial = ++m_reorderSerial;
    QFuture<std::shared_ptr<Reordered>> result = QtConcurrent::run(&m_orderingWorker,
        [work = std::move(work)]() mutable { return std::make_shared<Reordered>(work()); });
    m_pending = PendingReorder { result, serial, save };
    // Published through the event loop, never inside the call that started
    // the work (a short job may be done before its continuation is attached).
    // The worker is torn down, finishing this, before the engine goes.
    (void)result.then([this, serial](const std::shared_ptr<Reordered>&) {
        QMetaObject::invokeMethod(
            this,
            [this, serial] {
                if (m_pending && m_pending->serial == serial) {
                    settleReordering();
                }
            },
            Qt::QueuedConnection);
    });
}

void TavrenQueueEngine::settleReordering()
{
    if (!m_pending) {
        return;
    }
    PendingReorder pending = std::move(*m_pending);
    m_pending.reset();
    pending.result.waitForFinished();
    const std::shared_ptr<Reordered> lists = pending.result.result();
    // Moved out, so that the lists are ours alone and later edits need no copy.
    if (lists->history) {
        const QList<Track> history = std::exchange(*lists->history, {});
        publishHistory(history);
    }
    if (lists->originalUpcomingOrder) {
        m_originalUpcomingOrder = std::exchange(*lists->originalUpcomingOrder, {});
    }
    m_orderFollowsQueue = lists->orderFollowsQueue;
    if (m_orderFollowsQueue) {
        releaseInBackground(std::exchange(m_playbackOrder, {}));
    }
    {
        const QList<Track> upcoming = std::exchange(lists->upcoming, {});
        publishUpcoming(upcoming);
    }
    // A new queue left in its queued order has those ids as they stand.
    m_queuedOrderIsUpcoming = lists->originalUpcomingOrder && lists->orderFollowsQueue;
    if (pending.save) {
        savePlaybackState(false);
    }
}

QList<Track> TavrenQueueEngine::inPlayingOrder(QList<Track> queued)
{
    // What applyShuffleMode() makes of a list that is its own queued order,
    // without the pass over it that the off rule would take.
    if (m_shuffleMode == ShuffleMode::standard) {
        shuffle(queued, 0);
    }
    return queued;
}

void TavrenQueueEngine::applyShuffleMode()
{
    if (m_shuffleMode == ShuffleMode::standard && m_upcoming.size() < 2) {
        return;
    }
    // The play order stays the queue as it was.
    stopFollowingQueue();
    if (m_upcoming.size() >= m_backgroundThreshold) {
        if (m_shuffleMode == ShuffleMode::standard) {
            reorderInBackground(
                [upcoming = m_upcoming, seed = m_random()] {
                    std::mt19937_64 random(seed);
                    QList<Track> shuffled(upcoming.cbegin(), upcoming.cend());
                    shuffleTracks(shuffled, 0, random);
                    return Reordered { std::nullopt, std::move(shuffled), std::nullopt, false };
                },
                false);
        } else {
            reorderInBackground(
                [upcoming = m_upcoming, queued = m_originalUpcomingOrder] {
                    return Reordered { std::nullopt, inQueuedOrder(upcoming, queued), std::nullopt,
                        false };
                },
                false);
        }
        return;
    }
    if (m_shuffleMode == ShuffleMode::standard) {
        QList<Track> shuffled = m_upcoming;
        shuffle(shuffled, 0);
        publishUpcoming(shuffled);
        return;
    }
    // Off and smart: the queued order of the tracks still upcoming.
    publishUpcoming(inQueuedOrder(m_upcoming, m_originalUpcomingOrder));
}

// ---- building and editing the queue ---------------------------------------------

void TavrenQueueEngine::playNow(const QList<Track>& tracks)
{
    playNow(tracks, 0);
}

void TavrenQueueEngine::playNow(const QList<Track>& given, qsizetype startingAt)
{
    if (given.isEmpty()) {
        return;
    }
    settleReordering();
    const QList<Track> tracks = given; // the caller's list may be one of ours
    const qsizetype start = std::clamp<qsizetype>(startingAt, 0, tracks.size() - 1);
    QueueSnapshot snapshot = takeSnapshot();
    const bool shuffled = m_shuffleMode == ShuffleMode::standard;

    if (tracks.size() >= m_backgroundThreshold) {
        // The track starts now; the history and the upcoming tracks, copies of
        // parts of the list, are cut on the worker and published when ready.
        // Kept until the worker's lists show whether the order is the queue.
        releaseInBackground(std::exchange(m_playbackOrder, PlaybackOrder::of(tracks)));
        m_orderFollowsQueue = false;
        publishCurrentTrack(tracks[start]);
        reorderInBackground(
            [tracks, start, shuffled, seed = m_random()] {
                QList<Track> queued = tracks.sliced(start + 1);
                QList<QUuid> ids = idsOf(queued);
                if (shuffled) {
                    std::mt19937_64 random(seed);
                    shuffleTracks(queued, 0, random);
                }
                return Reordered { tracks.first(start), std::move(queued), std::move(ids),
                    !shuffled };
            },
            false);
        if (!startCurrentTrack(tracks[start])) {
            m_pending.reset();
            restore(snapshot);
        }
        savePlaybackState(false);
        releaseInBackground(std::move(snapshot));
        return;
    }

    releaseInBackground(
        std::exchange(m_playbackOrder, shuffled ? PlaybackOrder::of(tracks) : PlaybackOrder {}));
    m_orderFollowsQueue = !shuffled;
    QList<Track> queued = tracks.sliced(start + 1);
    m_originalUpcomingOrder = idsOf(queued);
    publishHistory(tracks.first(start));
    publishCurrentTrack(tracks[start]);
    publishUpcoming(inPlayingOrder(std::move(queued)));
    m_queuedOrderIsUpcoming = !shuffled;

    if (!startCurrentTrack(tracks[start])) {
        restore(snapshot);
    }
    savePlaybackState(false);
    releaseInBackground(std::move(snapshot));
}

void TavrenQueueEngine::playNext(const QList<Track>& tracks)
{
    if (tracks.isEmpty()) {
        return;
    }
    settleReordering();
    publishUpcoming(tracks + m_upcoming);
    m_originalUpcomingOrder = idsOf(tracks) + m_originalUpcomingOrder;
    refreshPlaybackOrder();
    savePlaybackState(false);
}

void TavrenQueueEngine::playLast(const QList<Track>& tracks)
{
    if (tracks.isEmpty()) {
        return;
    }
    settleReordering();
    QList<Track> upcoming = m_upcoming + tracks;
    m_originalUpcomingOrder.append(idsOf(tracks));
    if (m_shuffleMode == ShuffleMode::standard) {
        // The play order is the queued one, before the reshuffle: the next
        // track stays next; the rest, new tracks included, is drawn again.
        releaseInBackground(
            std::exchange(m_playbackOrder, PlaybackOrder { m_history, m_currentTrack, upcoming }));
        m_orderFollowsQueue = false;
        shuffle(upcoming, 1);
        publishUpcoming(upcoming);
    } else {
        publishUpcoming(upcoming);
        refreshPlaybackOrder();
    }
    // Saved once the queue is final, so the file holds the order that will play.
    savePlaybackState(false);
}

void TavrenQueueEngine::remove(qsizetype index)
{
    settleReordering();
    if (index < 0 || index >= m_upcoming.size()) {
        return;
    }
    QList<Track> upcoming = m_upcoming;
    const Track removed = upcoming.takeAt(index);
    m_originalUpcomingOrder.removeAll(removed.id);
    publishUpcoming(upcoming);
    refreshPlaybackOrder();
    savePlaybackState(false);
}

void TavrenQueueEngine::move(qsizetype from, qsizetype to)
{
    settleReordering();
    if (from < 0 || from >= m_upcoming.size()) {
        return;
    }
    const qsizetype target = std::clamp<qsizetype>(to, 0, m_upcoming.size() - 1);
    // In place: copying a library-sized list costs far more than the move.
    m_upcoming.move(from, target);
    // A manual move makes the present order the queued one; once it is, the
    // id moves with its track instead of every id being read again.
    if (m_queuedOrderIsUpcoming) {
        m_originalUpcomingOrder.move(from, target);
    } else {
        m_originalUpcomingOrder = idsOf(m_upcoming);
        m_queuedOrderIsUpcoming = true;
    }
    Q_EMIT upcomingChanged(m_upcoming);
    refreshPlaybackOrder();
    savePlaybackState(false);
}

void TavrenQueueEngine::clearUpcoming()
{
    settleReordering();
    m_orderFollowsQueue = false;
    publishUpcoming({});
    m_originalUpcomingOrder.clear();
    // What a repeat starts again from: the current track alone.
    releaseInBackground(std::exchange(m_playbackOrder, PlaybackOrder { {}, m_currentTrack, {} }));
    savePlaybackState(false);
}

void TavrenQueueEngine::removeTrackFromPlayback(const QUuid& id)
{
    settleReordering();
    const bool wasCurrent = m_currentTrack && m_currentTrack->id == id;

    QList<Track> upcoming = m_upcoming;
    if (removeAll(upcoming, id)) {
        publishUpcoming(upcoming);
    }
    QList<Track> history = m_history;
    if (removeAll(history, id)) {
        publishHistory(history);
    }
    m_originalUpcomingOrder.removeAll(id);
    m_playbackOrder.removeAll(id);

    if (wasCurrent) {
        publishCurrentTrack(std::nullopt);
        if (AudioEngine* engine = m_audioEngine) {
            engine->clearQueue(); // stops the player; the next track is not started
        }
    }
    savePlaybackState(false);
}

void TavrenQueueEngine::refreshPlaybackOrder()
{
    settleReordering();
    m_orderFollowsQueue = true;
    releaseInBackground(std::exchange(m_playbackOrder, {}));
}

QList<Track> TavrenQueueEngine::playbackOrder() const
{
    return m_orderFollowsQueue ? queueOrder(m_upcoming) : m_playbackOrder.tracks();
}

QList<Track> TavrenQueueEngine::queueOrder(const QList<Track>& upcoming) const
{
    return concatenated(m_history, m_currentTrack, upcoming);
}

void TavrenQueueEngine::stopFollowingQueue()
{
    if (std::exchange(m_orderFollowsQueue, false)) {
        releaseInBackground(std::exchange(
            m_playbackOrder, PlaybackOrder { m_history, m_currentTrack, m_upcoming }));
    }
}

} // namespace kivo
