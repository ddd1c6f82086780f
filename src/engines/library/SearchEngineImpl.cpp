#include "engines/library/SearchEngineImpl.h"

#include "model/Logging.h"
#include "model/TextRules.h"

#include <QFutureWatcher>
#include <QHash>
#include <QPointer>
#include <QtConcurrent/QtConcurrentMap>
#include <QtConcurrent/QtConcurrentRun>
#include <algorithm>
#include <numeric>
#include <qcoro/qcorofuture.h>

namespace kivo {
using ::qHash;

namespace {

// Never in a text: a scan of all texts at once finds no match across two.
constexpr char16_t separator = 0;

// Folds each UTF-16 unit as a case-insensitive comparison of two texts does
// (a low surrogate together with its high one), so that plain containment of
// folded texts is case-insensitive containment of the texts.
void appendFolded(std::u16string& folded, QStringView text)
{
    const qsizetype start = qsizetype(folded.size());
    folded.resize(folded.size() + size_t(text.size()));
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i].unicode();
        if (unit < 0x80) {
            // The common case, without the table.
            folded[size_t(start + i)] = unit >= u'A' && unit <= u'Z' ? unit + 0x20 : unit;
            continue;
        }
        char32_t codePoint = unit;
        if (QChar::isLowSurrogate(unit) && i > 0 && text[i - 1].isHighSurrogate()) {
            codePoint = QChar::surrogateToUcs4(text[i - 1].unicode(), unit);
        }
        folded[size_t(start + i)] = char16_t(QChar::toCaseFolded(codePoint));
    }
}

// Tracks per task of the song pass.
constexpr qsizetype songChunkSize = 8192;

bool equalTexts(const QStringList& a, const QStringList& b)
{
    return a.size() == b.size() && std::equal(a.cbegin(), a.cend(), b.cbegin(), text::equal);
}

SearchCatalogue::Names gatherNames(
    const QList<Track>& tracks, OptionalNullable<QString> Track::*field)
{
    struct Name {
        QString composed;
        QString original;
    };
    std::vector<Name> found;
    std::vector<qint32> foundOfTrack(size_t(tracks.size()), -1);
    QHash<QString, qint32> byComposed;
    QHash<QString, qint32> bySpelling;
    for (qsizetype i = 0; i < tracks.size(); ++i) {
        const OptionalNullable<QString>& value = tracks[i].*field;
        if (!value) {
            continue;
        }
        // Most values repeat verbatim: look the spelling up first and compose
        // only spellings not met before.
        auto spelling = bySpelling.constFind(*value);
        if (spelling == bySpelling.cend()) {
            QString composed = text::nfc(*value);
            auto slot = byComposed.constFind(composed);
            if (slot == byComposed.cend()) {
                // The first spelling met stands for all equivalent ones.
                slot = byComposed.insert(composed, qint32(found.size()));
                found.push_back({ std::move(composed), *value });
            }
            spelling = bySpelling.insert(*value, *slot);
        }
        foundOfTrack[size_t(i)] = *spelling;
    }
    std::vector<qint32> order(found.size());
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(), [&](qint32 a, qint32 b) {
        return text::compareCodePoints(found[size_t(a)].composed, found[size_t(b)].composed) < 0;
    });
    SearchCatalogue::Names result;
    std::vector<qint32> sortedPosition(found.size());
    result.names.reserve(qsizetype(found.size()));
    for (size_t position = 0; position < order.size(); ++position) {
        sortedPosition[size_t(order[position])] = qint32(position);
        result.names.push_back(found[size_t(order[position])].original);
        result.folded.append(result.names.back());
    }
    for (qint32& position : foundOfTrack) {
        if (position >= 0) {
            position = sortedPosition[size_t(position)];
        }
    }
    result.positionOfTrack = std::move(foundOfTrack);
    return result;
}

// Whether each name matches, and the matching names in order.
std::vector<char> matchNames(const SearchCatalogue::Names& names, const QString& needle,
    std::u16string_view folded, QStringList& matching)
{
    std::vector<char> hits(size_t(names.names.size()), 0);
    if (FoldedTexts::canScanFor(folded)) {
        names.folded.match(folded, 0, names.names.size(), hits);
    } else {
        for (qsizetype i = 0; i < names.names.size(); ++i) {
            hits[size_t(i)] = char(text::containsCaseInsensitive(names.names[i], needle));
        }
    }
    for (qsizetype i = 0; i < names.names.size(); ++i) {
        if (hits[size_t(i)]) {
            matching.push_back(names.names[i]);
        }
    }
    return hits;
}

bool hit(const std::vector<char>& hits, const SearchCatalogue::Names& names, qsizetype track)
{
    const qint32 position = names.positionOfTrack[size_t(track)];
    return position >= 0 && hits[size_t(position)];
}

} // namespace

std::u16string FoldedTexts::fold(QStringView text)
{
    std::u16string folded;
    appendFolded(folded, text::nfc(text.toString()));
    return folded;
}

bool FoldedTexts::canScanFor(std::u16string_view needle)
{
    return !needle.empty() && needle.find(separator) == std::u16string_view::npos;
}

void FoldedTexts::reserve(qsizetype texts, qsizetype units)
{
    m_starts.reserve(size_t(texts) + 1);
    m_units.reserve(size_t(units + texts));
}

void FoldedTexts::append(const QString& text)
{
    appendFolded(m_units, text::nfc(text));
    m_units.push_back(separator);
    m_starts.push_back(qsizetype(m_units.size()));
}

void FoldedTexts::match(
    std::u16string_view needle, qsizetype begin, qsizetype end, std::vector<char>& hits) const
{
    const qsizetype from = m_starts[size_t(begin)];
    const QStringView range(m_units.data() + from, m_starts[size_t(end)] - from);
    const QStringView wanted(needle.data(), qsizetype(needle.size()));
    const auto firstStart = m_starts.cbegin() + begin;
    const auto lastStart = m_starts.cbegin() + end;
    qsizetype at = 0;
    while ((at = range.indexOf(wanted, at, Qt::CaseSensitive)) >= 0) {
        // The text holding the match, then on to the next text.
        const auto next = std::upper_bound(firstStart, lastStart, from + at);
        hits[size_t(std::distance(firstStart, next) - 1)] = 1;
        at = *next - from;
    }
}

SearchSongs::SearchSongs(std::initializer_list<Track> tracks)
    : SearchSongs(QList<Track>(tracks))
{
}

SearchSongs::SearchSongs(QList<Track> tracks)
    : m_tracks(std::move(tracks))
    , m_positions(m_tracks.size())
{
    std::iota(m_positions.begin(), m_positions.end(), 0);
}

SearchSongs::SearchSongs(QList<Track> tracks, QList<qint32> positions)
    : m_tracks(std::move(tracks))
    , m_positions(std::move(positions))
{
}

QList<Track> SearchSongs::toList() const
{
    return QList<Track>(begin(), end());
}

bool SearchSongs::operator==(const SearchSongs& other) const
{
    if (size() != other.size()) {
        return false;
    }
    // Results of one list compare by position, without reading a track.
    if (m_tracks.constData() == other.m_tracks.constData() && m_positions == other.m_positions) {
        return true;
    }
    return std::equal(begin(), end(), other.begin());
}

bool SearchResults::operator==(const SearchResults& other) const
{
    return text::equal(query, other.query) && songs == other.songs
        && equalTexts(artists, other.artists) && equalTexts(albums, other.albums)
        && equalTexts(genres, other.genres) && playlists == other.playlists;
}

size_t qHash(const SearchResults& results, size_t seed)
{
    seed = text::hash(results.query, seed);
    seed = qHash(results.songs.size(), seed);
    for (const Track& track : results.songs) {
        seed = qHash(track, seed);
    }
    for (const QStringList* names : { &results.artists, &results.albums, &results.genres }) {
        seed = qHash(names->size(), seed);
        for (const QString& name : *names) {
            seed = text::hash(name, seed);
        }
    }
    seed = qHash(results.playlists.size(), seed);
    for (const Playlist& playlist : results.playlists) {
        seed = qHash(playlist, seed);
    }
    return seed;
}

SearchCatalogue::SearchCatalogue(QList<Track> tracks)
    : m_tracks(std::move(tracks))
{
}

void SearchCatalogue::prepare() const
{
    std::call_once(m_prepared, [this] {
        qsizetype length = 0;
        for (const Track& track : m_tracks) {
            length += track.title.size();
        }
        // Composing rarely changes a title's length; this spares the regrowth.
        m_titles.reserve(m_tracks.size(), length);
        for (const Track& track : m_tracks) {
            m_titles.append(track.title);
        }
        m_artists = gatherNames(m_tracks, &Track::artist);
        m_albums = gatherNames(m_tracks, &Track::album);
        m_genres = gatherNames(m_tracks, &Track::genre);
    });
}

const FoldedTexts& SearchCatalogue::titles() const
{
    prepare();
    return m_titles;
}

const SearchCatalogue::Names& SearchCatalogue::artists() const
{
    prepare();
    return m_artists;
}

const SearchCatalogue::Names& SearchCatalogue::albums() const
{
    prepare();
    return m_albums;
}

const SearchCatalogue::Names& SearchCatalogue::genres() const
{
    prepare();
    return m_genres;
}

TavrenSearchEngine::TavrenSearchEngine(QObject* parent, std::chrono::milliseconds debounceInterval)
    : SearchEngine(parent)
    , m_catalogue(std::make_shared<SearchCatalogue>())
{
    m_debounce.setSingleShot(true);
    m_debounce.setInterval(debounceInterval);
    connect(&m_debounce, &QTimer::timeout, this, &TavrenSearchEngine::debounceElapsed);
}

TavrenSearchEngine::~TavrenSearchEngine()
{
    m_debounce.stop();
    m_pool.waitForDone();
}

SearchResults TavrenSearchEngine::search(
    const SearchCatalogue& catalogue, const QList<Playlist>& playlists, const QString& query)
{
    SearchResults results;
    results.query = query;
    if (query.isEmpty()) {
        return results;
    }
    // Composed once here rather than once per compared text.
    const QString needle = text::nfc(query);
    const std::u16string folded = FoldedTexts::fold(query);
    const std::vector<char> artistHits
        = matchNames(catalogue.artists(), needle, folded, results.artists);
    const std::vector<char> albumHits
        = matchNames(catalogue.albums(), needle, folded, results.albums);
    const std::vector<char> genreHits
        = matchNames(catalogue.genres(), needle, folded, results.genres);
    const bool scanTitles = FoldedTexts::canScanFor(folded);
    const QList<Track>& tracks = catalogue.tracks();
    const SearchCatalogue::Names& artists = catalogue.artists();
    const SearchCatalogue::Names& albums = catalogue.albums();
    const SearchCatalogue::Names& genres = catalogue.genres();
    // Matches are kept as positions: copying the tracks would cost far more
    // than matching them.
    auto matchRange = [&](qsizetype begin) {
        QList<qint32> matching;
        const qsizetype end = std::min(begin + songChunkSize, tracks.size());
        std::vector<char> titleHits(size_t(end - begin), 0);
        if (scanTitles) {
            catalogue.titles().match(folded, begin, end, titleHits);
        } else {
            for (qsizetype i = begin; i < end; ++i) {
                titleHits[size_t(i - begin)]
                    = char(text::containsCaseInsensitive(tracks[i].title, needle));
            }
        }
        for (qsizetype i = begin; i < end; ++i) {
            if (hit(artistHits, artists, i) || hit(albumHits, albums, i)
                || hit(genreHits, genres, i) || titleHits[size_t(i - begin)]) {
                matching.push_back(qint32(i));
            }
        }
        return matching;
    };
    QList<qsizetype> starts;
    for (qsizetype begin = 0; begin < tracks.size(); begin += songChunkSize) {
        starts.push_back(begin);
    }
    // Large libraries are split over the global pool; the calling thread
    // takes part, so a caller inside that pool cannot starve it.
    QList<QList<qint32>> chunks = starts.size() > 1
        ? QtConcurrent::blockingMapped<QList<QList<qint32>>>(starts, matchRange)
        : QList<QList<qint32>> { matchRange(0) };
    QList<qint32> positions;
    if (chunks.size() == 1) {
        positions = std::move(chunks.front());
    } else {
        qsizetype total = 0;
        for (const QList<qint32>& chunk : chunks) {
            total += chunk.size();
        }
        positions.reserve(total);
        for (const QList<qint32>& chunk : chunks) {
            positions.append(chunk);
        }
    }
    results.songs = SearchSongs(tracks, std::move(positions));
    for (const Playlist& playlist : playlists) {
        if (text::containsCaseInsensitive(playlist.name, needle)) {
            results.playlists.push_back(playlist);
        }
    }
    return results;
}

void TavrenSearchEngine::setActiveQuery(const QString& query)
{
    if (m_activeQuery == query) {
        return;
    }
    m_activeQuery = query;
    Q_EMIT activeQueryChanged(m_activeQuery);
}

void TavrenSearchEngine::updateQuery(const QString& query)
{
    setActiveQuery(query);
    m_pendingQuery = query;
    m_debounce.start();
}

void TavrenSearchEngine::debounceElapsed()
{
    if (m_lastDebouncedQuery && text::equal(*m_lastDebouncedQuery, m_pendingQuery)) {
        return;
    }
    m_lastDebouncedQuery = m_pendingQuery;
    startSearch(m_pendingQuery);
}

QFuture<SearchResults> TavrenSearchEngine::runSearch(const QString& query)
{
    return QtConcurrent::run(&m_pool, [catalogue = m_catalogue, playlists = m_playlists, query] {
        return search(*catalogue, playlists, query);
    });
}

void TavrenSearchEngine::startSearch(const QString& query)
{
    const quint64 generation = ++m_generation;
    if (query.isEmpty()) {
        Q_EMIT resultsPublished(SearchResults { .query = query });
        return;
    }
    auto* watcher = new QFutureWatcher<SearchResults>(this);
    connect(watcher, &QFutureWatcherBase::finished, this, [this, watcher, generation] {
        watcher->deleteLater();
        if (generation != m_generation) {
            return;
        }
        try {
            Q_EMIT resultsPublished(watcher->result());
        } catch (const std::exception& error) {
            // Only running out of memory can fail a search; the user keeps
            // the results shown before.
            qCWarning(logging::library) << "Search failed:" << error.what();
        }
    });
    watcher->setFuture(runSearch(query));
}

QCoro::Task<SearchResults> TavrenSearchEngine::searchImmediately(QString query)
{
    const quint64 generation = ++m_generation;
    if (query.isEmpty()) {
        SearchResults results { .query = query };
        Q_EMIT resultsPublished(results);
        co_return results;
    }
    QPointer<TavrenSearchEngine> self(this);
    QFuture<SearchResults> future = runSearch(query);
    SearchResults results = co_await future;
    if (self && generation == m_generation) {
        Q_EMIT resultsPublished(results);
    }
    co_return results;
}

void TavrenSearchEngine::clearSearch()
{
    setActiveQuery(QString());
    // Whatever is still being searched is older than the clear.
    ++m_generation;
    Q_EMIT resultsPublished(SearchResults {});
}

QCoro::Task<> TavrenSearchEngine::rebuildIndex()
{
    co_return;
}

void TavrenSearchEngine::updateTracks(const QList<Track>& tracks)
{
    m_catalogue = std::make_shared<SearchCatalogue>(tracks);
    // Gather the names before the user types, not in the first search.
    m_pool.start([catalogue = m_catalogue] { catalogue->prepare(); });
    if (!m_activeQuery.isEmpty()) {
        startSearch(m_activeQuery);
    }
}

void TavrenSearchEngine::updatePlaylists(const QList<Playlist>& playlists)
{
    m_playlists = playlists;
    if (!m_activeQuery.isEmpty()) {
        startSearch(m_activeQuery);
    }
}

} // namespace kivo
