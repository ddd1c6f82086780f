#pragma once

#include "model/Playlist.h"
#include "model/Track.h"

#include <QList>
#include <QMetaType>
#include <QObject>
#include <QString>
#include <QStringList>
#include <initializer_list>
#include <iterator>
#include <qcoro/qcorotask.h>

namespace kivo {

// The songs a search found, in the order of the searched list. They are read
// in place from that list, which they share rather than copy, so a query
// that matches nearly every song of a large library costs no more than the
// positions of its matches.
class SearchSongs {
public:
    class const_iterator {
    public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = Track;
        using difference_type = qsizetype;
        using pointer = const Track*;
        using reference = const Track&;

        const_iterator() = default;
        const_iterator(const Track* tracks, const qint32* position)
            : m_tracks(tracks)
            , m_position(position)
        {
        }
        reference operator*() const { return m_tracks[*m_position]; }
        pointer operator->() const { return &m_tracks[*m_position]; }
        const_iterator& operator++()
        {
            ++m_position;
            return *this;
        }
        const_iterator operator++(int)
        {
            const_iterator before = *this;
            ++m_position;
            return before;
        }
        bool operator==(const const_iterator& other) const
        {
            return m_position == other.m_position;
        }

    private:
        const Track* m_tracks = nullptr;
        const qint32* m_position = nullptr;
    };
    using iterator = const_iterator;
    using value_type = Track;
    using size_type = qsizetype;
    using difference_type = qsizetype;
    using reference = const Track&;
    using const_reference = const Track&;

    SearchSongs() = default;
    SearchSongs(std::initializer_list<Track> tracks);
    // Every track of `tracks`, in order.
    explicit SearchSongs(QList<Track> tracks);
    // The tracks of `tracks` at `positions`, in that order.
    SearchSongs(QList<Track> tracks, QList<qint32> positions);

    qsizetype size() const { return m_positions.size(); }
    bool isEmpty() const { return m_positions.isEmpty(); }
    bool empty() const { return isEmpty(); }
    const Track& operator[](qsizetype i) const { return m_tracks[m_positions[i]]; }
    const Track& at(qsizetype i) const { return (*this)[i]; }
    // Where each song stands in the searched list.
    const QList<qint32>& positions() const { return m_positions; }
    const_iterator begin() const { return { m_tracks.constData(), m_positions.constData() }; }
    const_iterator end() const
    {
        return { m_tracks.constData(), m_positions.constData() + m_positions.size() };
    }
    const_iterator cbegin() const { return begin(); }
    const_iterator cend() const { return end(); }
    QList<Track> toList() const;

    // The same tracks in the same order (each by Track equality).
    bool operator==(const SearchSongs& other) const;

private:
    QList<Track> m_tracks;
    QList<qint32> m_positions;
};

// The answer to one free-text query. `query` is the text exactly as asked
// (never trimmed); songs and playlists keep the order of the searched lists;
// artist, album and genre names are distinct and in plain text order.
struct SearchResults {
    QString query {};
    SearchSongs songs {};
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
