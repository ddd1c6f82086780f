#pragma once

#include "engines/library/SearchEngine.h"

#include <QHash>
#include <QThreadPool>
#include <QTimer>
#include <chrono>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace kivo {

// A track list ready for searching: the distinct artist, album and genre
// names (canonically equivalent spellings count once, plain order) and, for
// each track, the position of its names in those lists, so that a search
// tests each name once rather than once per track. Prepared on first use, on
// whichever thread asks; read-only afterwards.
class SearchCatalogue {
public:
    // The distinct values of one field, and the position of each track's
    // value among them (-1: the track has none).
    struct Names {
        QStringList names;
        std::vector<qint32> positionOfTrack;
    };

    explicit SearchCatalogue(QList<Track> tracks = {});

    const QList<Track>& tracks() const { return m_tracks; }
    const Names& artists() const;
    const Names& albums() const;
    const Names& genres() const;
    // Whether each track of [begin, end) has `needle` (composed) in its title,
    // case-insensitively: hits[i - begin] is set for those that do.
    void matchTitles(
        const QString& needle, qsizetype begin, qsizetype end, std::vector<char>& hits) const;
    // Gathers the names now (blocking) unless that is done already.
    void prepare() const;

private:
    QList<Track> m_tracks;
    mutable std::once_flag m_prepared;
    mutable Names m_artists;
    mutable Names m_albums;
    mutable Names m_genres;
    // Every title composed and case-folded, each followed by a separator,
    // back to back, so that a search scans one text rather than folding each
    // title again; track i's title starts at m_titleStarts[i].
    mutable std::u16string m_foldedTitles;
    mutable std::vector<qsizetype> m_titleStarts;
};

// SearchEngine over lists handed to it with updateTracks() and
// updatePlaylists(). Searches run on worker threads of the engine's own, each
// over a snapshot of the two lists, so typing stays smooth with a large
// library; only the newest search's results are published.
class TavrenSearchEngine final : public SearchEngine {
    Q_OBJECT
public:
    static constexpr std::chrono::milliseconds defaultDebounceInterval { 150 };

    // `debounceInterval`: the pause in typing after which updateQuery() searches.
    explicit TavrenSearchEngine(QObject* parent = nullptr,
        std::chrono::milliseconds debounceInterval = defaultDebounceInterval);
    // Waits for searches still running; their results are dropped.
    ~TavrenSearchEngine() override;

    QString activeQuery() const override { return m_activeQuery; }
    void updateQuery(const QString& query) override;
    QCoro::Task<SearchResults> searchImmediately(QString query) override;
    void clearSearch() override;
    QCoro::Task<> rebuildIndex() override;

    // Replace the searched lists; with an active query, its results are
    // searched and published again at once (no debounce).
    void updateTracks(const QList<Track>& tracks);
    void updatePlaylists(const QList<Playlist>& playlists);

    // The search itself: blocking, for any thread. An empty query gives empty
    // results.
    static SearchResults search(
        const SearchCatalogue& catalogue, const QList<Playlist>& playlists, const QString& query);

private:
    void setActiveQuery(const QString& query);
    void debounceElapsed();
    // Starts a search and publishes its results when no newer search (or a
    // clear) came in the meantime.
    void startSearch(const QString& query);
    QFuture<SearchResults> runSearch(const QString& query);

    QString m_activeQuery;
    std::shared_ptr<const SearchCatalogue> m_catalogue;
    QList<Playlist> m_playlists;
    QTimer m_debounce;
    QString m_pendingQuery;
    // The last text the debounce let through, for the duplicate filter.
    std::optional<QString> m_lastDebouncedQuery;
    // Moves on with every search started and every clear.
    quint64 m_generation = 0;
    QThreadPool m_pool;
};

} // namespace kivo
