#pragma once

#include "model/Track.h"

#include <QHash>
#include <QList>
#include <QMutex>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QUuid>
#include <optional>

namespace kivo {

// In-memory index of the library's tracks: by id, and the ids filed under each
// artist, album and genre name. Names are filed trimmed (an absent or blank
// name files nothing) and in their canonically composed form; lookups by name
// are not trimmed.
//
// Every operation runs alone on the index (a lock), so any thread may call it.
class MetadataCache {
public:
    MetadataCache() = default;
    MetadataCache(const MetadataCache&) = delete;
    MetadataCache& operator=(const MetadataCache&) = delete;

    // Stores each track, replacing the earlier value of its id, and files it
    // under its names. A track inserted again with other names is taken out
    // of the sets of its earlier names first.
    void insert(const QList<Track>& tracks);
    // As insert(), but an empty index keeps the list itself (sharing its
    // buffer, as QList does) rather than copies of its tracks: the library's
    // list of every track need not be held twice. Later changes are kept
    // beside it, so that the shared list is never copied.
    void share(const QList<Track>& tracks);
    // Holds this list (shared) in place of the one held, where it lists the
    // indexed values; what it does not list stays beside it. What the index
    // holds does not change: the library calls it with each new list of its
    // own, so that its earlier list is freed.
    void follow(const QList<Track>& tracks);
    // Counts a hit or a miss.
    std::optional<Track> track(const QUuid& id);
    // The tracks filed under exactly this name, in no particular order; the
    // counters do not change.
    QList<Track> tracksByArtist(const QString& artist) const;
    QList<Track> tracksByAlbum(const QString& album) const;
    // Names in plain text order (code points of the composed forms).
    QStringList allArtists() const;
    QStringList allAlbums() const;
    // Removes the track and unfiles it under the names of the value given and
    // of the value stored.
    void evict(const Track& track);
    // Empties the index and resets both counters.
    void clear();

    qint64 hitCount() const;
    qint64 missCount() const;
    // Number of indexed tracks.
    qsizetype count() const;

private:
    // A list of ids per name rather than a set: a small set costs several
    // times its ids, and only a track whose names change is searched for.
    using NameIndex = QHash<QString, QList<QUuid>>;

    void file(const Track& track);
    // The indexed value of the id, or null.
    const Track* stored(const QUuid& id) const;
    // Whether writing into the list copies nothing (nobody else holds it).
    bool listWritable() const;
    void unfile(const Track& track);
    QList<Track> lookUp(const NameIndex& index, const QString& name) const;
    static QStringList sortedNames(const NameIndex& index);

    // Tracks by id, side by side rather than one allocation each.
    struct TrackTable {
        QList<Track> tracks;
        QHash<QUuid, qsizetype> positions;

        const Track* find(const QUuid& id) const;
        // Replaces the value of its id, or adds it.
        void put(const Track& track);
        // The last track fills the gap, so that nothing else moves.
        void remove(const QUuid& id);
        qsizetype size() const { return positions.size(); }
    };

    // follow() of a list that starts with the held one, value for value.
    void followContinuation(const QList<Track>& tracks);
    // A batch of tracks none of which is indexed yet, each id once.
    bool allNew(const QList<Track>& tracks) const;

    mutable QMutex m_mutex;
    // Copies of the indexed tracks (their texts shared) in no particular
    // order, and where each id is among them. The list may be shared with
    // the library's, and then keeps evicted values; `m_changed` holds what
    // was inserted meanwhile (sharing the inserted list where it can).
    // An id is in `m_positions` or in `m_changed`, never both.
    QList<Track> m_tracks;
    QHash<QUuid, qsizetype> m_positions;
    TrackTable m_changed;
    NameIndex m_tracksByArtist;
    NameIndex m_tracksByAlbum;
    NameIndex m_tracksByGenre;
    qint64 m_hitCount = 0;
    qint64 m_missCount = 0;
};

} // namespace kivo
