#pragma once

#include "model/Track.h"

#include <QHash>
#include <QList>
#include <QMultiHash>
#include <QString>
#include <QUrl>
#include <QUuid>
#include <optional>
#include <vector>

namespace kivo {

// The library's ordered track list with lookups by id and by file location,
// so that imports and edits never scan 100,000 tracks on the main thread.
// Ids are unique: a list built from stored tracks keeps the first track of
// each id.
class LibraryTrackList {
public:
    LibraryTrackList() = default;
    // Takes the list over as it is (no copy) and computes every location
    // key: build large lists off the main thread.
    explicit LibraryTrackList(QList<Track> tracks);

    const QList<Track>& tracks() const { return m_tracks; }
    qsizetype size() const { return m_tracks.size(); }
    // How many tracks of the list it was built from repeated an earlier id.
    qsizetype droppedDuplicates() const { return m_droppedDuplicates; }

    std::optional<qsizetype> positionOf(const QUuid& id) const;
    // The listed track with this id, or null.
    const Track* trackWithID(const QUuid& id) const;
    // The first track (in list order) at this location, or null.
    const Track* firstAtLocation(const QString& key) const;
    bool containsLocation(const QString& key) const { return firstAtLocation(key) != nullptr; }

    // Appends the tracks whose id is not listed yet; returns how many.
    qsizetype append(const QList<Track>& tracks);
    // Replaces the track with the same id in place; false when it is not listed.
    bool replace(const Track& track);
    // False when no track has that id.
    bool remove(const QUuid& id);

    // What makes two file URLs one location: the cleaned local path (so that
    // "/Music//a.mp3" and "/Music/a.mp3" are one file), or the whole URL for
    // anything that is not a local file. Paths are compared byte for byte, as
    // the file system does: no normalisation of the text.
    static QString locationKey(const QUrl& url);
    static QString locationKey(const TrackFileURL& location);

private:
    // Lookups file each track under its slot: its position when it was
    // listed, counting the removed tracks before it. A track's position is
    // its slot less the removed slots before it.
    struct Lookups {
        QHash<QUuid, qsizetype> slotByID;
        // Ids by the hash of their location key. The key itself is not kept:
        // it follows from each track's URL, which is checked on every lookup,
        // so that a hash shared by two locations never mixes them up, and an
        // entry left from a removed track or an earlier URL is passed over.
        // Usually one id per location; more only when the store held repeats.
        QMultiHash<size_t, QUuid> idsByLocation;
    };

    void index(Lookups& lookups, const Track& track, qsizetype slot);
    // The slot of a listed id, or nothing (also for a removed one).
    std::optional<qsizetype> slotOf(const QUuid& id) const;
    bool isRemoved(qsizetype slot) const;

    QList<Track> m_tracks;
    // The lookups of the list as it was built, and of the tracks appended
    // or moved to another URL since. Copies of the list share both, and the
    // built ones are never written: an import, an edit or a removal changes
    // a list that the window and the index still read, and writing into the
    // large lookups would copy them whole.
    Lookups m_built;
    Lookups m_appended;
    // The slots of the removed tracks, in order.
    std::vector<qsizetype> m_removedSlots;
    qsizetype m_droppedDuplicates = 0;
};

} // namespace kivo
