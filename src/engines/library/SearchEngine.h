#pragma once

#include "model/Playlist.h"
#include "model/Track.h"

#include <QList>
#include <QMetaType>
#include <QObject>
#include <QString>
#include <QStringList>
#include <qcoro/qcorotask.h>

namespace kivo {

// The answer to one free-text query. `query` is the text exactly as asked
// (never trimmed); songs and playlists keep the order of the searched lists;
// artist, album and genre names are distinct and in plain text order.
struct SearchResults {
    QString query {};
    QList<Track> songs {};
    QStringList artists {};
    QStringList albums {};
    QStringList genres {};
    QList<Playlist> playlists {};

    // No songs, names or playlists; the query is not looked at.
    bool isEmpty() const
    {
        return songs.isEmpty() && artists.isEmpty() && albums.isEmpty() && genres.isEmpty()
            && playlists.isEmpty();
    }

    // All six fields equal, texts by canonical equivalence.
    bool operator==(const SearchResults& other) const;
};

size_t qHash(const SearchResults& results, size_t seed = 0);

// Free-text search over the songs (title, artist, album, genre), the artist,
// album and genre names and the playlist names, by case-insensitive
// containment. Main thread only; no operation fails.
class SearchEngine : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~SearchEngine() override = default;

    // The text last given to updateQuery(), empty after clearSearch(). A
    // published property: `activeQueryChanged` carries every new value.
    virtual QString activeQuery() const = 0;

    // Sets the active query and searches it once the user has paused typing;
    // the results arrive through `resultsPublished`. A text equal to the last
    // one searched this way is not searched again.
    virtual void updateQuery(const QString& query) = 0;
    // Searches now, publishes the results as well and returns them. Leaves the
    // active query alone.
    virtual QCoro::Task<SearchResults> searchImmediately(QString query) = 0;
    // Empties the active query and publishes empty results.
    virtual void clearSearch() = 0;
    // Kept for callers that refresh the engine; there is no index to rebuild.
    virtual QCoro::Task<> rebuildIndex() = 0;

Q_SIGNALS:
    // Every result set, in the order the searches were asked; a search that a
    // newer one overtook is never published.
    void resultsPublished(const kivo::SearchResults& results);
    void activeQueryChanged(const QString& query);
};

} // namespace kivo

Q_DECLARE_METATYPE(kivo::SearchResults)
