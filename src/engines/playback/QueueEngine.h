#pragma once

#include "model/PlaybackStateSnapshot.h"
#include "model/Track.h"

#include <QList>
#include <QMetaType>
#include <QObject>
#include <QString>
#include <QUuid>
#include <exception>
#include <functional>
#include <optional>

namespace kivo {

enum class RepeatMode { off, track, all };
enum class ShuffleMode { off, standard, smart };

// Stored texts: "off", "track", "all" / "off", "standard", "smart".
QString repeatModeText(RepeatMode mode);
std::optional<RepeatMode> repeatModeFromText(const QString& text);
QString shuffleModeText(ShuffleMode mode);
std::optional<ShuffleMode> shuffleModeFromText(const QString& text);

// The play queue: the current track, the tracks still to come (`upcoming`, in
// the order they will play) and those already played (`history`, oldest
// first), with the repeat and shuffle modes. Tracks are told apart by id
// alone; one track may stand in a list more than once.
//
// The lists may be library-sized: views read them by count, position and id
// (upcomingCount(), upcomingTrack(), upcomingIDs() ...); upcoming() and
// history() build a list of whole tracks and are for small uses.
//
// Lives on the main thread. No operation throws: a failure to start a track
// puts the queue back as it was and is published in lastPlaybackError(); a
// failed session save is published in lastPersistenceError(). Every published
// value has a change signal, emitted once the new value is in place.
class QueueEngine : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~QueueEngine() override = default;

    virtual std::optional<Track> currentTrack() const = 0;
    virtual QList<Track> upcoming() const = 0;
    virtual QList<Track> history() const = 0;
    // The ids of upcoming() and history(), in order (shared, not copied).
    virtual QList<QUuid> upcomingIDs() const;
    virtual QList<QUuid> historyIDs() const;
    virtual qsizetype upcomingCount() const { return upcoming().size(); }
    virtual qsizetype historyCount() const { return history().size(); }
    // The track at a position of upcoming() or history(), as it is now;
    // nothing out of range.
    virtual std::optional<Track> upcomingTrack(qsizetype position) const;
    virtual std::optional<Track> historyTrack(qsizetype position) const;
    virtual RepeatMode repeatMode() const = 0;
    // A new value is saved with the session; the same value does nothing.
    virtual void setRepeatMode(RepeatMode mode) = 0;
    virtual ShuffleMode shuffleMode() const = 0;
    // A new value reorders the upcoming tracks and is saved; the same value
    // does nothing.
    virtual void setShuffleMode(ShuffleMode mode) = 0;
    // The last failure to start or play a track (an AudioPlaybackError or a
    // SecurityScopedAccessError; its text is describeError()'s); null again
    // after a successful start.
    virtual std::exception_ptr lastPlaybackError() const = 0;
    // The outcome of the latest session save (its text is describeError()'s);
    // null when it succeeded.
    virtual std::exception_ptr lastPersistenceError() const = 0;

    // Replaces the queue with `tracks` and starts the first one. An empty list
    // changes nothing; a failure to start puts the previous queue back and is
    // published, never thrown.
    virtual void playNow(const QList<Track>& tracks) = 0;
    // The same from `startingAt`, clamped into the list: the tracks before it
    // become the history, those after it the upcoming tracks (shuffled under
    // ShuffleMode::standard).
    virtual void playNow(const QList<Track>& tracks, qsizetype startingAt) = 0;
    // The same for tracks given by id: songs of the library, or tracks this
    // queue already holds (what a list of upcomingIDs() names).
    virtual void playNowByID(const QList<QUuid>& ids, qsizetype startingAt) = 0;
    // Puts `tracks`, in their order, at the front of the upcoming tracks.
    virtual void playNext(const QList<Track>& tracks) = 0;
    // Appends `tracks`; under standard shuffle everything after the next
    // track is shuffled again.
    virtual void playLast(const QList<Track>& tracks) = 0;
    // Index into upcoming(); out of range does nothing.
    virtual void remove(qsizetype index) = 0;
    // Indices into upcoming(); `to` counts without the moved track and is
    // clamped, so upcoming().size() or more moves it to the end.
    virtual void move(qsizetype from, qsizetype to) = 0;
    // Empties the upcoming tracks; the current track plays on.
    virtual void clearUpcoming() = 0;
    // Takes every entry of the track out of the queue; when it is the current
    // track, playback stops and nothing else starts.
    virtual void removeTrackFromPlayback(const QUuid& id) = 0;

    // The user's Next: the track now playing, or nothing when none started.
    virtual std::optional<Track> advanceToNext() = 0;
    // Previous: past 3 seconds into the track it restarts it instead.
    virtual std::optional<Track> returnToPrevious() = 0;
    // Previous without the 3-second rule.
    virtual std::optional<Track> playPreviousSong() = 0;

    // Sets lastPlaybackError() (null clears it).
    virtual void reportPlaybackError(const std::exception_ptr& error) = 0;
    // Clears both published errors.
    virtual void clearReportedErrors() = 0;

    // Saves the playback session now: handed to the store's worker, or, when
    // `synchronously`, written before returning (after every earlier save).
    virtual void savePlaybackState(bool synchronously) = 0;

Q_SIGNALS:
    void currentTrackChanged(const std::optional<kivo::Track>& track);
    // The new ids: no list of whole tracks is made for a notice.
    void upcomingChanged(const QList<QUuid>& upcomingIDs);
    void historyChanged(const QList<QUuid>& historyIDs);
    // A queued track was edited in the library: the lists hold the same ids,
    // in the same places, but what they show may differ.
    void queuedTracksEdited();
    void repeatModeChanged(kivo::RepeatMode mode);
    void shuffleModeChanged(kivo::ShuffleMode mode);
    void lastPlaybackErrorChanged(const std::exception_ptr& error);
    void lastPersistenceErrorChanged(const std::exception_ptr& error);
};

// A saved session matched against the library: what the queue engine's
// restorePlaybackSession() and the audio engine's restore() are given at
// start-up.
// The lists keep the ids the library still has: a saved library-sized queue
// is never copied into songs at start-up.
struct ResolvedPlaybackSession {
    Track currentTrack;
    QList<QUuid> upcoming; // without the current track
    QList<QUuid> history; // without the current track
    RepeatMode repeatMode = RepeatMode::off;
    ShuffleMode shuffleMode = ShuffleMode::off;
    // Only when one was saved; holds only the current, upcoming and history
    // ids, as the queue keeps it.
    std::optional<QList<QUuid>> playbackOrder;
    double currentTime = 0; // seconds; never negative
    float volume = 1.0f; // 0...1; 1 when none was saved
};

// The library's song with an id, or null when it has none.
using TrackLookup = std::function<const Track*(const QUuid& id)>;

// Resolves the saved ids through the library's own lookup (ids no longer
// there are skipped): only the saved ids are looked up, so a session of a
// hundred songs costs a hundred lookups in a library of any size. The
// current track is the saved one when it still exists, else the first saved
// upcoming track that does; nothing when neither is left (a session that
// saved no current or upcoming track at all included). Unknown mode texts
// read as off.
std::optional<ResolvedPlaybackSession> resolvePlaybackSession(
    const PlaybackStateSnapshot& snapshot, const TrackLookup& trackWithID);

// The entries of a saved play order that name the current track or one of
// the upcoming and history ids, in their order: what the queue keeps of it.
QList<QUuid> playbackOrderWithin(QList<QUuid> order, const QUuid& current,
    const QList<QUuid>& upcoming, const QList<QUuid>& history);

} // namespace kivo

Q_DECLARE_METATYPE(kivo::RepeatMode)
Q_DECLARE_METATYPE(kivo::ShuffleMode)
