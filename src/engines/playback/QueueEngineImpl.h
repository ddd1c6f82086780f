#pragma once

#include "engines/playback/AudioEngine.h"
#include "engines/playback/QueueEngine.h"
#include "model/DatabaseManager.h"
#include "model/PlaybackSessionStore.h"

#include <QFuture>
#include <QHash>
#include <QPointer>
#include <QThreadPool>
#include <chrono>
#include <functional>
#include <memory>
#include <random>

namespace kivo {

// The play queue. Starts tracks through the audio engine it is linked to and,
// as that engine's delegate, moves on when a track ends and saves the session
// on every change of the queue, the modes or the engine's state (at most once
// a second on time updates).
//
// The lists hold ids, not tracks: a track is read through the library's
// lookup (setTrackLookup()) when it is shown or started, so an edit in the
// library shows in the queue, and a library-sized queue costs a few
// megabytes. A track the lookup does not know when it is queued (a file from
// outside the library; every track when there is no lookup) is kept by the
// engine as a value for as long as the queue names it. An entry whose track
// later leaves the library without removeTrackFromPlayback() keeps its place,
// so positions stay those the queue panel shows; it reads as a track with
// that id and nothing else, and moving on (Next, Previous, the end of a
// track) passes over it, dropping it as removeTrackFromPlayback() would.
//
// Every operation that rearranges the queue and then starts a track is
// all-or-nothing: when the track cannot start, all five lists go back to what
// they were. Lists are library-sized; every pass over them is linear.
//
// Playing a long list and reordering a long queue for a shuffle change are
// made on a worker: the new lists are published (and saved) when it is done,
// and any other operation first waits for that result, so every operation
// still sees the queue exactly as the ones before it left it.
class TavrenQueueEngine final : public QueueEngine, public AudioEngineDelegate {
    Q_OBJECT
public:
    // The play order as history, current track and upcoming tracks, one
    // after the other. Kept as the queue's own lists (shared, not joined):
    // the order a library-sized queue had when shuffle came on is then held
    // once, not written out as a third list beside the upcoming tracks and
    // their shuffled copy. A list given as the order is its upcoming part.
    struct PlaybackOrder {
        QList<QUuid> history;
        std::optional<QUuid> current;
        QList<QUuid> upcoming;

        static PlaybackOrder of(const QList<QUuid>& ids) { return { {}, std::nullopt, ids }; }
        // The order as one list (shared when it has only one part).
        QList<QUuid> ids() const;
        qsizetype size() const;
        // Drops every entry with `id`.
        void removeAll(const QUuid& id);
    };

    // A copy of the five queue lists, taken before an operation that may have
    // to be undone. Modes, errors and the audio engine's state are not in it.
    struct QueueSnapshot {
        std::optional<Track> currentTrack;
        QList<QUuid> upcoming;
        QList<QUuid> history;
        QList<QUuid> originalUpcomingOrder;
        PlaybackOrder playbackOrder;
        bool orderFollowsQueue = false;
        QHash<QUuid, Track> kept;
    };

    using Clock = std::function<std::chrono::steady_clock::time_point()>;

    // Without a database the session is never saved.
    explicit TavrenQueueEngine(
        std::shared_ptr<DatabaseManager> database = nullptr, QObject* parent = nullptr);
    ~TavrenQueueEngine() override;

    // Links the engine (held weakly) and becomes its delegate.
    void setAudioEngine(AudioEngine* engine);
    AudioEngine* audioEngine() const { return m_audioEngine; }

    // How a queued id becomes a track (the library's own lookup, called on
    // the main thread only); none: every queued track is kept as a value.
    void setTrackLookup(TrackLookup lookup) { m_lookup = std::move(lookup); }
    // Tells the views that queued tracks may read differently now (the
    // library changed); the lists are untouched.
    void announceEditedTracks() { Q_EMIT queuedTracksEdited(); }

    std::optional<Track> currentTrack() const override;
    QList<Track> upcoming() const override { return tracksOf(m_upcoming); }
    QList<Track> history() const override { return tracksOf(m_history); }
    QList<QUuid> upcomingIDs() const override { return m_upcoming; }
    QList<QUuid> historyIDs() const override { return m_history; }
    qsizetype upcomingCount() const override { return m_upcoming.size(); }
    qsizetype historyCount() const override { return m_history.size(); }
    std::optional<Track> upcomingTrack(qsizetype position) const override;
    std::optional<Track> historyTrack(qsizetype position) const override;
    // For the queue panel's direct edits: publishes `tracks` as they are; the
    // caller then calls refreshPlaybackOrder() and saves.
    void setUpcoming(const QList<Track>& tracks);
    RepeatMode repeatMode() const override { return m_repeatMode; }
    void setRepeatMode(RepeatMode mode) override;
    ShuffleMode shuffleMode() const override { return m_shuffleMode; }
    void setShuffleMode(ShuffleMode mode) override;
    std::exception_ptr lastPlaybackError() const override { return m_lastPlaybackError; }
    std::exception_ptr lastPersistenceError() const override { return m_lastPersistenceError; }
    // The ids of the upcoming tracks in the order they were queued (what
    // turning shuffle off goes back to).
    QList<QUuid> originalUpcomingOrder() const { return m_originalUpcomingOrder; }
    // The whole play order: what repeat-all starts again from.
    QList<QUuid> playbackOrderIDs() const;
    QList<Track> playbackOrder() const { return tracksOf(playbackOrderIDs()); }

    void playNow(const QList<Track>& tracks) override;
    void playNow(const QList<Track>& tracks, qsizetype startingAt) override;
    void playNowByID(const QList<QUuid>& ids, qsizetype startingAt) override;
    void playNext(const QList<Track>& tracks) override;
    void playLast(const QList<Track>& tracks) override;
    void remove(qsizetype index) override;
    void move(qsizetype from, qsizetype to) override;
    void clearUpcoming() override;
    void removeTrackFromPlayback(const QUuid& id) override;
    // The play order becomes the history, the current track and the upcoming
    // tracks.
    void refreshPlaybackOrder();

    std::optional<Track> advanceToNext() override;
    std::optional<Track> returnToPrevious() override;
    std::optional<Track> playPreviousSong() override;

    void reportPlaybackError(const std::exception_ptr& error) override;
    void clearReportedErrors() override;

    void savePlaybackState(bool synchronously) override;
    // While held, no save reaches the session file, whoever asks for it: a
    // queue built before the saved session was put back, or without the
    // stores it comes from, would replace it. Releasing saves at once when a
    // save was held back meanwhile.
    void holdSessionSaves();
    void releaseSessionSaves();
    bool areSessionSavesHeld() const { return m_sessionSavesHeld; }
    // Puts a saved session back without touching the audio engine and without
    // saving: entries of the current track are dropped from `upcoming` and
    // `history`; a play order that lacks the current track (or none) is
    // replaced by history, current, upcoming; the modes go through their
    // setters, so a standard shuffle is drawn anew.
    void restorePlaybackSession(const Track& currentTrack, const QList<Track>& upcoming,
        const QList<Track>& history, RepeatMode repeatMode, ShuffleMode shuffleMode,
        const std::optional<QList<Track>>& playbackOrder);
    // The same from ids (those of songs the lookup knows, as a resolved
    // session gives them), the play order already limited to the other
    // lists' ids (see playbackOrderWithin()).
    void restorePlaybackSession(const Track& currentTrack, const QList<QUuid>& upcoming,
        const QList<QUuid>& history, RepeatMode repeatMode, ShuffleMode shuffleMode,
        const std::optional<QList<QUuid>>& playbackOrder);

    // The clock that spaces the saves made on time updates (tests set their own).
    void setClock(Clock clock) { m_clock = std::move(clock); }
    // From how many tracks on the lists are ordered on a worker (tests lower it).
    void setBackgroundThreshold(qsizetype tracks) { m_backgroundThreshold = tracks; }
    // Whether a reordering made on a worker is still to be published.
    bool isReordering() const { return m_pending.has_value(); }

    // AudioEngineDelegate
    void audioEngineDidChangePlaybackState(AudioEngine& engine, PlaybackState state) override;
    void audioEngineDidChangeTrack(AudioEngine& engine, const std::optional<Track>& track) override;
    void audioEngineDidUpdateCurrentTime(AudioEngine& engine, double seconds) override;
    void audioEngineDidFinishPlayback(AudioEngine& engine) override;
    void audioEngineDidFail(AudioEngine& engine, const std::exception_ptr& error) override;

private:
    // The track an id stands for now: the library's, else the one kept; null
    // for an id whose track left the library.
    const Track* find(const QUuid& id) const;
    // find()'s track, or one with the id alone.
    Track trackOf(const QUuid& id) const;
    QList<Track> tracksOf(const QList<QUuid>& ids) const;
    // Keeps what the lookup does not know of `tracks` and returns their ids.
    QList<QUuid> enter(const QList<Track>& tracks);
    // Lets go of kept tracks that no list names any more.
    void forgetUnlisted();
    void playIDs(const QList<QUuid>& ids, qsizetype startingAt, QueueSnapshot snapshot);

    // Publishing setters.
    void publishCurrentTrack(const std::optional<Track>& track);
    void publishUpcoming(const QList<QUuid>& ids);
    void publishHistory(const QList<QUuid>& ids);
    void setLastPlaybackError(const std::exception_ptr& error);
    void setLastPersistenceError(const std::exception_ptr& error);

    QueueSnapshot takeSnapshot() const;
    void restore(const QueueSnapshot& snapshot);
    // Asks the audio engine to play `track`; the queue lists are not touched.
    bool startCurrentTrack(const Track& track);
    // Starts `track`, or puts `snapshot` back; saves either way.
    std::optional<Track> startOrRollBack(const Track& track, QueueSnapshot snapshot);
    void applyShuffleMode();
    // History, current track and `upcoming`, as one list.
    QList<QUuid> queueOrder(const QList<QUuid>& upcoming) const;
    // Keeps the play order as it stands (sharing the queue's lists) while the
    // queue changes under it.
    void stopFollowingQueue();
    // A newly queued list in the order it will play under the shuffle mode.
    QList<QUuid> inPlayingOrder(QList<QUuid> queued);
    void shuffle(QList<QUuid>& ids, qsizetype from);

    // The result of a worker's reordering: the lists it replaces.
    struct Reordered {
        std::optional<QList<QUuid>> history;
        QList<QUuid> upcoming;
        std::optional<QList<QUuid>> originalUpcomingOrder;
        bool orderFollowsQueue = false;
    };
    struct PendingReorder {
        QFuture<std::shared_ptr<Reordered>> result;
        quint64 serial = 0;
        bool save = false;
    };
    template <typename Work> void reorderInBackground(Work work, bool save);
    // Waits for the worker's reordering, if any, and publishes it.
    void settleReordering();

    std::optional<Track> advance(bool afterTrackEnded);
    std::optional<Track> takeNextUpcoming();
    // Drops the entries at the front of the upcoming tracks (or the end of
    // the history) whose tracks left the library: what moving on passes over.
    void dropGoneEntries(bool upcoming);
    bool rewrapForRepeat();
    std::optional<Track> stepBack(bool restartIfPastThreshold);

    static QList<QUuid> idsOf(const QList<Track>& tracks);
    // What a session save needs, sharing the queue's lists rather than
    // copying them; the snapshot is made from it on the store's worker.
    struct SessionParts {
        PlaybackStateSnapshot scalars; // everything but the id lists
        QList<QUuid> upcomingIDs;
        QList<QUuid> history;
        // Absent while the play order is history, current, upcoming.
        std::optional<PlaybackOrder> playbackOrder;
        PlaybackStateSnapshot snapshot() const;
    };
    SessionParts sessionParts() const;
    void applySaveResult(quint64 serial, const std::exception_ptr& error);

    std::unique_ptr<PlaybackSessionStore> m_sessionStore;
    // When the last save caused by a time update began; none: the distant past.
    std::optional<std::chrono::steady_clock::time_point> m_lastPeriodicSave;
    bool m_isRestoringSession = false;
    bool m_sessionSavesHeld = false;
    bool m_sessionSaveHeldBack = false;
    TrackLookup m_lookup;
    // The tracks queued that the lookup did not know, by id.
    QHash<QUuid, Track> m_kept;
    // The current track as it was started; currentTrack() reads the library's
    // when it has the id.
    std::optional<Track> m_currentTrack;
    QList<QUuid> m_upcoming;
    QList<QUuid> m_history;
    RepeatMode m_repeatMode = RepeatMode::off;
    ShuffleMode m_shuffleMode = ShuffleMode::off;
    QList<QUuid> m_originalUpcomingOrder;
    // True while the queued order is exactly the upcoming ids: a move then
    // moves the same id in both instead of copying the list again.
    bool m_queuedOrderIsUpcoming = false;
    // Kept only while the play order is not the queue itself.
    PlaybackOrder m_playbackOrder;
    // True while the play order is exactly history, current, upcoming; it is
    // then not kept at all (m_playbackOrder is empty), so reordering a
    // library-sized queue never copies or rotates a second list.
    bool m_orderFollowsQueue = false;
    std::exception_ptr m_lastPlaybackError;
    std::exception_ptr m_lastPersistenceError;
    QPointer<AudioEngine> m_audioEngine;

    Clock m_clock = [] { return std::chrono::steady_clock::now(); };
    std::mt19937_64 m_random;
    // Saves are numbered so that a late result never hides a newer one.
    quint64 m_lastSaveSerial = 0;
    quint64 m_appliedSaveSerial = 0;
    qsizetype m_backgroundThreshold = 20000;
    std::optional<PendingReorder> m_pending;
    quint64 m_reorderSerial = 0;
    // Last, so that it is torn down (finishing its job) first.
    QThreadPool m_orderingWorker;
};

} // namespace kivo
