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
#include <string_view>
#include <vector>

namespace kivo {

// Texts composed and case-folded once, back to back, each followed by a
// separator, so that a search scans one text rather than composing and
// folding each text again.
class FoldedTexts {
public:
    // `text` composed and folded as a case-insensitive comparison folds it.
    static std::u16string fold(QStringView text);
    // Whether a search for `needle` (folded) can scan these texts at once; no
    // for a needle that could match across two texts.
    static bool canScanFor(std::u16string_view needle);

    void reserve(qsizetype texts, qsizetype units);
    void append(const QString& text);
    // Sets hits[i - begin] for each text of [begin, end) that contains
    // `needle` (folded; canScanFor() it).
    void match(
        std::u16string_view needle, qsizetype begin, qsizetype end, std::vector<char>& hits) const;

private:
    std::u16string m_units;
    // Where each text starts, and where the next one would.
    std::vector<qsizetype> m_starts { 0 };
};

// A track list ready for searching: the distinct artist, album and genre
// names (canonically equivalent spellings count once, plain order) and, for
// each track, the position of its names in those lists, so that a search
// tests each name once rather than once per track; and the titles folded.
// Prepared on first use, on whichever thread asks; read-only afterwards.
class SearchCatalogue {
public:
    // The distinct values of one field, and the position of each track's
    // value among them (-1: the track has none).
    struct Names {
        QStringList names;
        FoldedTexts folded;
        std::vector<qint32> positionOfTrack;
    };

    explicit SearchCatalogue(QList<Track> tracks = {});

    const QList<Track>& tracks() const { return m_tracks; }
    const Names& artists() const;
    const Names& albums() const;
    const Names& genres() const;
    const FoldedTexts& titles() const;
    // Gathers the names and folds the titles now (blocking) unless that is
    // done already.
    void prepare() const;

private:
    QList<Track> m_tracks;
    mutable std::once_flag m_prepared;
    mutable Names m_artists;
    mutable Names m_albums;
    mutable Names m_genres;
    mutable FoldedTexts m_titles;
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
