#include "engines/playback/QueueEngineImpl.h"

#include <QHash>
#include <QRandomGenerator>
#include <QSet>
#include <QThreadPool>
#include <QtConcurrent/QtConcurrentRun>
#include <algorithm>

namespace kivo {

using ::qHash;

namespace {

// Fisher–Yates over ids[from...]: each order equally likely.
void shuffleIDs(QList<QUuid>& ids, qsizetype from, std::mt19937_64& random)
{
    const qsizetype last = ids.size() - 1;
    if (last - from < 1) {
        return;
    }
    QUuid* data = ids.data();
    for (qsizetype i = from; i < last; ++i) {
        std::uniform_int_distribution<qsizetype> pick(i, last);
        const qsizetype j = pick(random);
        if (j != i) {
            std::swap(data[i], data[j]);
        }
    }
}

// The queued order of the entries still upcoming. Each queued entry is looked
// up by itself, so an id queued twice comes back twice as long as it is still
// upcoming at all.
QList<QUuid> inQueuedOrder(const QList<QUuid>& upcoming, const QList<QUuid>& queued)
{
    QSet<QUuid> remaining(upcoming.cbegin(), upcoming.cend());
    QList<QUuid> ordered;
    ordered.reserve(upcoming.size());
    for (const QUuid& id : queued) {
        if (remaining.contains(id)) {
            ordered.push_back(id);
        }
    }
    return ordered;
}

// The play order a queue stands for. The history alone is shared, never
// copied: it is only ever replaced, never edited in place.
QList<QUuid> concatenated(
    const QList<QUuid>& history, const std::optional<QUuid>& current, const QList<QUuid>& upcoming)
{
    if (!current && upcoming.isEmpty()) {
        return history;
    }
    QList<QUuid> order;
    order.reserve(history.size() + 1 + upcoming.size());
    order.append(history);
    if (current) {
        order.push_back(*current);
    }
    order.append(upcoming);
    return order;
}

std::optional<QUuid> idOf(const std::optional<Track>& track)
{
    return track ? std::optional(track->id) : std::nullopt;
}

} // namespace

QList<QUuid> TavrenQueueEngine::PlaybackOrder::ids() const
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
    history.removeAll(id);
    if (current == id) {
        current.reset();
    }
    upcoming.removeAll(id);
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

// ---- tracks of the ids ----------------------------------------------------------

const Track* TavrenQueueEngine::find(const QUuid& id) const
{
    if (m_lookup) {
        if (const Track* track = m_lookup(id)) {
            return track;
        }
    }
    const auto kept = m_kept.constFind(id);
    return kept != m_kept.cend() ? &*kept : nullptr;
}

Track TavrenQueueEngine::trackOf(const QUuid& id) const
{
    if (const Track* track = find(id)) {
        return *track;
    }
    Track gone;
    gone.id = id;
    return gone;
}

QList<Track> TavrenQueueEngine::tracksOf(const QList<QUuid>& ids) const
{
    QList<Track> tracks;
    tracks.reserve(ids.size());
    for (const QUuid& id : ids) {
        tracks.push_back(trackOf(id));
    }
    return tracks;
}

QList<QUuid> TavrenQueueEngine::enter(const QList<Track>& tracks)
{
    QList<QUuid> ids;
    ids.reserve(tracks.size());
    for (const Track& track : tracks) {
        ids.push_back(track.id);
        if (!m_lookup || !m_lookup(track.id)) {
            m_kept.insert(track.id, track);
        }
    }
    return ids;
}

void TavrenQueueEngine::forgetUnlisted()
{
    if (m_kept.isEmpty()) {
        return;
    }
    QSet<QUuid> listed;
    listed.reserve(m_upcoming.size() + m_history.size() + m_playbackOrder.size() + 1);
    for (const QList<QUuid>* ids :
        { &m_upcoming, &m_history, &m_playbackOrder.history, &m_playbackOrder.upcoming }) {
        for (const QUuid& id : *ids) {
            listed.insert(id);
        }
    }
    for (const std::optional<QUuid>& id : { idOf(m_currentTrack), m_playbackOrder.current }) {
        if (id) {
            listed.insert(*id);
        }
    }
    m_kept.removeIf([&](const auto& kept) { return !listed.contains(kept.key()); });
}

std::optional<Track> TavrenQueueEngine::currentTrack() const
{
    if (m_currentTrack && m_lookup) {
        if (const Track* track = m_lookup(m_currentTrack->id)) {
            return *track;
        }
    }
    return m_currentTrack;
}

std::optional<Track> TavrenQueueEngine::upcomingTrack(qsizetype position) const
{
    if (position < 0 || position >= m_upcoming.size()) {
        return std::nullopt;
    }
    return trackOf(m_upcoming[position]);
}

std::optional<Track> TavrenQueueEngine::historyTrack(qsizetype position) const
{
    if (position < 0 || position >= m_history.size()) {
        return std::nullopt;
    }
    return trackOf(m_history[position]);
}

// ---- published values -----------------------------------------------------------

void TavrenQueueEngine::publishCurrentTrack(const std::optional<Track>& track)
{
    m_currentTrack = track;
    Q_EMIT currentTrackChanged(currentTrack());
}

void TavrenQueueEngine::publishUpcoming(const QList<QUuid>& ids)
{
    m_upcoming = ids;
    m_queuedOrderIsUpcoming = false;
    Q_EMIT upcomingChanged(m_upcoming);
}

void TavrenQueueEngine::publishHistory(const QList<QUuid>& ids)
{
    m_history = ids;
    Q_EMIT historyChanged(m_history);
}

void TavrenQueueEngine::setUpcoming(const QList<Track>& tracks)
{
    settleReordering();
    stopFollowingQueue();
    publishUpcoming(enter(tracks));
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
        m_orderFollowsQueue, m_kept };
}

void TavrenQueueEngine::restore(const QueueSnapshot& snapshot)
{
    publishCurrentTrack(snapshot.currentTrack);
    publishUpcoming(snapshot.upcoming);
    publishHistory(snapshot.history);
    m_originalUpcomingOrder = snapshot.originalUpcomingOrder;
    m_playbackOrder = snapshot.playbackOrder;
    m_orderFollowsQueue = snapshot.orderFollowsQueue;
    m_kept = snapshot.kept;
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
    return started ? std::optional(track) : std::nullopt;
}

// ---- shuffle --------------------------------------------------------------------

void TavrenQueueEngine::shuffle(QList<QUuid>& ids, qsizetype from)
{
    shuffleIDs(ids, from, m_random);
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
        const QList<QUuid> history = std::exchange(*lists->history, {});
        publishHistory(history);
    }
    if (lists->originalUpcomingOrder) {
        m_originalUpcomingOrder = std::exchange(*lists->originalUpcomingOrder, {});
    }
    m_orderFollowsQueue = lists->orderFollowsQueue;
    if (m_orderFollowsQueue) {
        m_playbackOrder = {};
    }
    {
        const QList<QUuid> upcoming = std::exchange(lists->upcoming, {});
        publishUpcoming(upcoming);
    }
    // A new queue left in its queued order has those ids as they stand.
    m_queuedOrderIsUpcoming = lists->originalUpcomingOrder && lists->orderFollowsQueue;
    if (pending.save) {
        savePlaybackState(false);
    }
}

QList<QUuid> TavrenQueueEngine::inPlayingOrder(QList<QUuid> queued)
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
                    QList<QUuid> shuffled(upcoming.cbegin(), upcoming.cend());
                    shuffleIDs(shuffled, 0, random);
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
        QList<QUuid> shuffled = m_upcoming;
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

void TavrenQueueEngine::playNow(const QList<Track>& tracks, qsizetype startingAt)
{
    if (tracks.isEmpty()) {
        return;
    }
    settleReordering();
    QueueSnapshot snapshot = takeSnapshot();
    const QList<QUuid> ids = enter(tracks);
    playIDs(ids, startingAt, std::move(snapshot));
}

void TavrenQueueEngine::playNowByID(const QList<QUuid>& ids, qsizetype startingAt)
{
    if (ids.isEmpty()) {
        return;
    }
    settleReordering();
    const QList<QUuid> given = ids; // the caller's list may be one of ours
    playIDs(given, startingAt, takeSnapshot());
}

void TavrenQueueEngine::playIDs(
    const QList<QUuid>& ids, qsizetype startingAt, QueueSnapshot snapshot)
{
    const qsizetype start = std::clamp<qsizetype>(startingAt, 0, ids.size() - 1);
    const bool shuffled = m_shuffleMode == ShuffleMode::standard;
    const Track first = trackOf(ids[start]);

    if (ids.size() >= m_backgroundThreshold) {
        // The track starts now; the history and the upcoming tracks, parts of
        // the list, are cut on the worker and published when ready. Kept
        // until the worker's lists show whether the order is the queue.
        m_playbackOrder = PlaybackOrder::of(ids);
        m_orderFollowsQueue = false;
        publishCurrentTrack(first);
        reorderInBackground(
            [ids, start, shuffled, seed = m_random()] {
                QList<QUuid> queued = ids.sliced(start + 1);
                QList<QUuid> order = queued;
                if (shuffled) {
                    std::mt19937_64 random(seed);
                    shuffleIDs(queued, 0, random);
                }
                return Reordered { ids.first(start), std::move(queued), std::move(order),
                    !shuffled };
            },
            false);
        if (!startCurrentTrack(first)) {
            m_pending.reset();
            restore(snapshot);
        }
        savePlaybackState(false);
        return;
    }

    m_playbackOrder = shuffled ? PlaybackOrder::of(ids) : PlaybackOrder {};
    m_orderFollowsQueue = !shuffled;
    QList<QUuid> queued = ids.sliced(start + 1);
    m_originalUpcomingOrder = queued;
    publishHistory(ids.first(start));
    publishCurrentTrack(first);
    publishUpcoming(inPlayingOrder(std::move(queued)));
    m_queuedOrderIsUpcoming = !shuffled;

    if (!startCurrentTrack(first)) {
        restore(snapshot);
    } else {
        forgetUnlisted();
    }
    savePlaybackState(false);
}

void TavrenQueueEngine::playNext(const QList<Track>& tracks)
{
    if (tracks.isEmpty()) {
        return;
    }
    settleReordering();
    const QList<QUuid> ids = enter(tracks);
    publishUpcoming(ids + m_upcoming);
    m_originalUpcomingOrder = ids + m_originalUpcomingOrder;
    refreshPlaybackOrder();
    savePlaybackState(false);
}

void TavrenQueueEngine::playLast(const QList<Track>& tracks)
{
    if (tracks.isEmpty()) {
        return;
    }
    settleReordering();
    const QList<QUuid> ids = enter(tracks);
    QList<QUuid> upcoming = m_upcoming + ids;
    m_originalUpcomingOrder.append(ids);
    if (m_shuffleMode == ShuffleMode::standard) {
        // The play order is the queued one, before the reshuffle: the next
        // track stays next; the rest, new tracks included, is drawn again.
        m_playbackOrder = PlaybackOrder { m_history, idOf(m_currentTrack), upcoming };
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
    QList<QUuid> upcoming = m_upcoming;
    const QUuid removed = upcoming.takeAt(index);
    m_originalUpcomingOrder.removeAll(removed);
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
        m_originalUpcomingOrder = m_upcoming;
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
    m_playbackOrder = PlaybackOrder { {}, idOf(m_currentTrack), {} };
    forgetUnlisted();
    savePlaybackState(false);
}

void TavrenQueueEngine::removeTrackFromPlayback(const QUuid& id)
{
    settleReordering();
    const bool wasCurrent = m_currentTrack && m_currentTrack->id == id;

    QList<QUuid> upcoming = m_upcoming;
    if (upcoming.removeAll(id) > 0) {
        publishUpcoming(upcoming);
    }
    QList<QUuid> history = m_history;
    if (history.removeAll(id) > 0) {
        publishHistory(history);
    }
    m_originalUpcomingOrder.removeAll(id);
    m_playbackOrder.removeAll(id);
    m_kept.remove(id);

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
    m_playbackOrder = {};
}

QList<QUuid> TavrenQueueEngine::playbackOrderIDs() const
{
    return m_orderFollowsQueue ? queueOrder(m_upcoming) : m_playbackOrder.ids();
}

QList<QUuid> TavrenQueueEngine::queueOrder(const QList<QUuid>& upcoming) const
{
    return concatenated(m_history, idOf(m_currentTrack), upcoming);
}

void TavrenQueueEngine::stopFollowingQueue()
{
    if (std::exchange(m_orderFollowsQueue, false)) {
        m_playbackOrder = PlaybackOrder { m_history, idOf(m_currentTrack), m_upcoming };
    }
}

} // namespace kivo
