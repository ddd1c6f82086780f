#include "engines/playback/QueueEngineImpl.h"

#include <QRandomGenerator>
#include <QSet>
#include <algorithm>

namespace kivo {

using ::qHash;

namespace {

QSet<QUuid> idsOf(const QList<Track>& tracks)
{
    QSet<QUuid> ids;
    ids.reserve(tracks.size());
    for (const Track& track : tracks) {
        ids.insert(track.id);
    }
    return ids;
}

// Drops every entry with `id`; reports whether there was one.
bool removeAll(QList<Track>& tracks, const QUuid& id)
{
    return tracks.removeIf([&](const Track& track) { return track.id == id; }) > 0;
}

} // namespace

TavrenQueueEngine::TavrenQueueEngine(std::shared_ptr<DatabaseManager> database, QObject* parent)
    : QueueEngine(parent)
    , m_random(QRandomGenerator::system()->generate64())
{
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
    emit currentTrackChanged(m_currentTrack);
}

void TavrenQueueEngine::publishUpcoming(const QList<Track>& tracks)
{
    m_upcoming = tracks;
    emit upcomingChanged(m_upcoming);
}

void TavrenQueueEngine::publishHistory(const QList<Track>& tracks)
{
    m_history = tracks;
    emit historyChanged(m_history);
}

void TavrenQueueEngine::setUpcoming(const QList<Track>& tracks)
{
    publishUpcoming(tracks);
}

void TavrenQueueEngine::setLastPlaybackError(const std::exception_ptr& error)
{
    if (error == m_lastPlaybackError) {
        return;
    }
    m_lastPlaybackError = error;
    emit lastPlaybackErrorChanged(m_lastPlaybackError);
}

void TavrenQueueEngine::setLastPersistenceError(const std::exception_ptr& error)
{
    if (error == m_lastPersistenceError) {
        return;
    }
    m_lastPersistenceError = error;
    emit lastPersistenceErrorChanged(m_lastPersistenceError);
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
    emit repeatModeChanged(mode);
    if (!m_isRestoringSession) {
        savePlaybackState(false);
    }
}

void TavrenQueueEngine::setShuffleMode(ShuffleMode mode)
{
    if (mode == m_shuffleMode) {
        return;
    }
    m_shuffleMode = mode;
    emit shuffleModeChanged(mode);
    applyShuffleMode();
    if (!m_isRestoringSession) {
        savePlaybackState(false);
    }
}

// ---- snapshots and starting -----------------------------------------------------

TavrenQueueEngine::QueueSnapshot TavrenQueueEngine::takeSnapshot() const
{
    return { m_currentTrack, m_upcoming, m_history, m_originalUpcomingOrder, m_playbackOrder };
}

void TavrenQueueEngine::restore(const QueueSnapshot& snapshot)
{
    publishCurrentTrack(snapshot.currentTrack);
    publishUpcoming(snapshot.upcoming);
    publishHistory(snapshot.history);
    m_originalUpcomingOrder = snapshot.originalUpcomingOrder;
    m_playbackOrder = snapshot.playbackOrder;
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

std::optional<Track> TavrenQueueEngine::startOrRollBack(
    const Track& track, const QueueSnapshot& snapshot)
{
    const bool started = startCurrentTrack(track);
    if (!started) {
        restore(snapshot);
    }
    savePlaybackState(false);
    return started ? std::optional(track) : std::nullopt;
}

// ---- shuffle --------------------------------------------------------------------

void TavrenQueueEngine::shuffle(QList<Track>& tracks, qsizetype from)
{
    // Fisher–Yates over tracks[from...]: each order equally likely.
    const qsizetype last = tracks.size() - 1;
    if (last - from < 1) {
        return;
    }
    Track* data = tracks.data();
    for (qsizetype i = from; i < last; ++i) {
        std::uniform_int_distribution<qsizetype> pick(i, last);
        const qsizetype j = pick(m_random);
        if (j != i) {
            std::swap(data[i], data[j]);
        }
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
    if (m_shuffleMode == ShuffleMode::standard) {
        if (m_upcoming.size() < 2) {
            return;
        }
        QList<Track> shuffled = m_upcoming;
        shuffle(shuffled, 0);
        publishUpcoming(shuffled);
        return;
    }
    // Off and smart: the queued order of the tracks still upcoming.
    const QSet<QUuid> remaining = idsOf(m_upcoming);
    QList<Track> ordered;
    ordered.reserve(m_upcoming.size());
    for (const Track& track : std::as_const(m_originalUpcomingOrder)) {
        if (remaining.contains(track.id)) {
            ordered.push_back(track);
        }
    }
    publishUpcoming(ordered);
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
    const QList<Track> tracks = given; // the caller's list may be one of ours
    const qsizetype start = std::clamp<qsizetype>(startingAt, 0, tracks.size() - 1);
    const QueueSnapshot snapshot = takeSnapshot();

    m_playbackOrder = tracks;
    const QList<Track> queued = tracks.sliced(start + 1);
    m_originalUpcomingOrder = queued;
    publishHistory(tracks.first(start));
    publishCurrentTrack(tracks[start]);
    publishUpcoming(inPlayingOrder(queued));

    if (!startCurrentTrack(tracks[start])) {
        restore(snapshot);
    }
    savePlaybackState(false);
}

void TavrenQueueEngine::playNext(const QList<Track>& tracks)
{
    if (tracks.isEmpty()) {
        return;
    }
    publishUpcoming(tracks + m_upcoming);
    m_originalUpcomingOrder = tracks + m_originalUpcomingOrder;
    refreshPlaybackOrder();
    savePlaybackState(false);
}

void TavrenQueueEngine::playLast(const QList<Track>& tracks)
{
    if (tracks.isEmpty()) {
        return;
    }
    QList<Track> upcoming = m_upcoming + tracks;
    m_originalUpcomingOrder.append(tracks);
    m_upcoming = upcoming;
    refreshPlaybackOrder(); // the queued order, before any reshuffle
    if (m_shuffleMode == ShuffleMode::standard) {
        // The next track stays next; the rest, new tracks included, is drawn again.
        shuffle(upcoming, 1);
    }
    publishUpcoming(upcoming);
    // Saved once the queue is final, so the file holds the order that will play.
    savePlaybackState(false);
}

void TavrenQueueEngine::remove(qsizetype index)
{
    if (index < 0 || index >= m_upcoming.size()) {
        return;
    }
    QList<Track> upcoming = m_upcoming;
    const Track removed = upcoming.takeAt(index);
    removeAll(m_originalUpcomingOrder, removed.id);
    publishUpcoming(upcoming);
    refreshPlaybackOrder();
    savePlaybackState(false);
}

void TavrenQueueEngine::move(qsizetype from, qsizetype to)
{
    if (from < 0 || from >= m_upcoming.size()) {
        return;
    }
    QList<Track> upcoming = m_upcoming;
    Track moved = upcoming.takeAt(from);
    upcoming.insert(std::clamp<qsizetype>(to, 0, upcoming.size()), std::move(moved));
    // A manual move makes the present order the queued one.
    m_originalUpcomingOrder = upcoming;
    publishUpcoming(upcoming);
    refreshPlaybackOrder();
    savePlaybackState(false);
}

void TavrenQueueEngine::clearUpcoming()
{
    publishUpcoming({});
    m_originalUpcomingOrder.clear();
    m_playbackOrder.clear();
    if (m_currentTrack) {
        m_playbackOrder.push_back(*m_currentTrack);
    }
    savePlaybackState(false);
}

void TavrenQueueEngine::removeTrackFromPlayback(const QUuid& id)
{
    const bool wasCurrent = m_currentTrack && m_currentTrack->id == id;

    QList<Track> upcoming = m_upcoming;
    if (removeAll(upcoming, id)) {
        publishUpcoming(upcoming);
    }
    QList<Track> history = m_history;
    if (removeAll(history, id)) {
        publishHistory(history);
    }
    removeAll(m_originalUpcomingOrder, id);
    removeAll(m_playbackOrder, id);

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
    QList<Track> order;
    order.reserve(m_history.size() + 1 + m_upcoming.size());
    order.append(m_history);
    if (m_currentTrack) {
        order.push_back(*m_currentTrack);
    }
    order.append(m_upcoming);
    m_playbackOrder = std::move(order);
}

} // namespace kivo
