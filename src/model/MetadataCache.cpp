#include "model/MetadataCache.h"

#include "model/TextRules.h"

#include <QMutexLocker>
#include <QtConcurrent/QtConcurrentMap>
#include <algorithm>
#include <atomic>
#include <cstring>
#include <vector>

namespace kivo {

using ::qHash;

namespace {

// The key a name is filed under; nothing for an absent or blank name.
std::optional<QString> filingKey(const std::optional<QString>& name)
{
    if (!name) {
        return std::nullopt;
    }
    QString key = text::trimmed(*name);
    if (key.isEmpty()) {
        return std::nullopt;
    }
    return text::nfc(key);
}

void addTo(QHash<QString, QList<QUuid>>& index, const std::optional<QString>& name, const QUuid& id)
{
    if (const std::optional<QString> key = filingKey(name)) {
        index[*key].push_back(id);
    }
}

void removeFrom(
    QHash<QString, QList<QUuid>>& index, const std::optional<QString>& name, const QUuid& id)
{
    const std::optional<QString> key = filingKey(name);
    if (!key) {
        return;
    }
    const auto it = index.find(*key);
    if (it == index.end()) {
        return;
    }
    const qsizetype position = it->indexOf(id);
    if (position < 0) {
        return;
    }
    // Order within a name does not matter: the last id fills the gap.
    (*it)[position] = it->constLast();
    it->removeLast();
    if (it->isEmpty()) {
        index.erase(it);
    }
}

// Lists the library publishes are copies of each other: a song that did not
// change shares every text with its earlier copy, and is then the same value
// byte for byte. Anything else is compared field by field.
bool sameValue(const Track& a, const Track& b)
{
    return std::memcmp(static_cast<const void*>(&a), static_cast<const void*>(&b), sizeof(Track))
        == 0
        || a == b;
}

bool sameNames(const Track& a, const Track& b)
{
    return a.artist == b.artist && a.album == b.album && a.genre == b.genre;
}

constexpr qsizetype chunkSize = 8192;

// Where each chunk of a list of `size` starts, for comparing on all cores.
std::vector<qsizetype> chunkStarts(qsizetype size)
{
    std::vector<qsizetype> chunks;
    for (qsizetype first = 0; first < size; first += chunkSize) {
        chunks.push_back(first);
    }
    return chunks;
}

// Whether `tracks` starts with every value of `held`, in the same places: a
// list the library made by appending to `held` (an import, an undone removal).
bool continues(const QList<Track>& held, const QList<Track>& tracks)
{
    if (held.isEmpty() || tracks.size() < held.size()) {
        return false;
    }
    std::atomic<bool> differs = false;
    QtConcurrent::blockingMap(chunkStarts(held.size()), [&](qsizetype first) {
        for (qsizetype i = first; i < std::min(first + chunkSize, held.size()); ++i) {
            if (differs.load(std::memory_order_relaxed) || !sameValue(held.at(i), tracks.at(i))) {
                differs = true;
                return;
            }
        }
    });
    return !differs;
}

} // namespace

void MetadataCache::file(const Track& track)
{
    addTo(m_tracksByArtist, track.artist, track.id);
    addTo(m_tracksByAlbum, track.album, track.id);
    addTo(m_tracksByGenre, track.genre, track.id);
}

void MetadataCache::unfile(const Track& track)
{
    removeFrom(m_tracksByArtist, track.artist, track.id);
    removeFrom(m_tracksByAlbum, track.album, track.id);
    removeFrom(m_tracksByGenre, track.genre, track.id);
}

bool MetadataCache::listWritable() const
{
    return m_tracks.isEmpty() || m_tracks.isDetached();
}

const Track* MetadataCache::TrackTable::find(const QUuid& id) const
{
    const auto position = positions.constFind(id);
    return position == positions.cend() ? nullptr : &tracks.at(*position);
}

void MetadataCache::TrackTable::put(const Track& track)
{
    const auto position = positions.constFind(track.id);
    if (position != positions.cend()) {
        tracks[*position] = track;
        return;
    }
    positions.insert(track.id, tracks.size());
    tracks.push_back(track);
}

void MetadataCache::TrackTable::remove(const QUuid& id)
{
    const auto found = positions.constFind(id);
    if (found == positions.cend()) {
        return;
    }
    const qsizetype position = *found;
    positions.erase(found);
    const qsizetype last = tracks.size() - 1;
    if (position != last) {
        tracks[position] = std::move(tracks[last]);
        positions[tracks.at(position).id] = position;
    }
    tracks.removeLast();
}

const Track* MetadataCache::stored(const QUuid& id) const
{
    if (const Track* changed = m_changed.find(id)) {
        return changed;
    }
    const auto position = m_positions.constFind(id);
    return position == m_positions.cend() ? nullptr : &m_tracks.at(*position);
}

bool MetadataCache::allNew(const QList<Track>& tracks) const
{
    QSet<QUuid> ids;
    ids.reserve(tracks.size());
    for (const Track& track : tracks) {
        if (stored(track.id) || ids.contains(track.id)) {
            return false;
        }
        ids.insert(track.id);
    }
    return true;
}

void MetadataCache::insert(const QList<Track>& tracks)
{
    QMutexLocker lock(&m_mutex);
    if (!listWritable() && m_changed.tracks.isEmpty() && allNew(tracks)) {
        // An import's new songs: kept as the list they came in (shared, not
        // copied) until the library's next list takes them in.
        m_changed.tracks = tracks;
        m_changed.positions.reserve(tracks.size());
        for (qsizetype i = 0; i < tracks.size(); ++i) {
            m_changed.positions.insert(tracks.at(i).id, i);
            file(tracks.at(i));
        }
        return;
    }
    if (m_tracks.isEmpty()) {
        m_tracks.reserve(tracks.size());
    }
    m_positions.reserve(m_positions.size() + tracks.size());
    for (const Track& track : tracks) {
        const Track* indexed = stored(track.id);
        if (!indexed) {
            file(track);
        } else if (!sameNames(*indexed, track)) {
            // An edited track must not stay listed under its old names; names
            // that did not change stay filed as they are.
            unfile(*indexed);
            file(track);
        }
        if (m_changed.find(track.id)) {
            m_changed.put(track);
            continue;
        }
        if (!listWritable()) {
            // Writing into a list shared with the library would copy it whole.
            m_positions.remove(track.id);
            m_changed.put(track);
            continue;
        }
        const auto position = m_positions.constFind(track.id);
        if (position != m_positions.cend()) {
            m_tracks[*position] = track;
        } else {
            m_positions.insert(track.id, m_tracks.size());
            m_tracks.push_back(track);
        }
    }
}

void MetadataCache::share(const QList<Track>& tracks)
{
    {
        QMutexLocker lock(&m_mutex);
        if (m_tracks.isEmpty() && m_changed.size() == 0) {
            m_tracks = tracks;
            m_positions.reserve(tracks.size());
            for (qsizetype i = 0; i < tracks.size(); ++i) {
                const Track& track = tracks.at(i);
                const auto earlier = m_positions.find(track.id);
                if (earlier == m_positions.end()) {
                    m_positions.insert(track.id, i);
                    file(track);
                    continue;
                }
                // A repeated id: the later value replaces the earlier, as in insert().
                const Track& replaced = tracks.at(*earlier);
                if (!sameNames(replaced, track)) {
                    unfile(replaced);
                    file(track);
                }
                *earlier = i;
            }
            return;
        }
    }
    insert(tracks);
}

void MetadataCache::follow(const QList<Track>& tracks)
{
    QMutexLocker lock(&m_mutex);
    if (m_tracks.isSharedWith(tracks)) {
        return;
    }
    if (continues(m_tracks, tracks)) {
        followContinuation(tracks);
        return;
    }
    // Every indexed id keeps its value: from the new list where it holds
    // that value, beside it otherwise. The lookup is rewritten in place: a
    // second one of a large library would only add to the memory that the
    // library's change already doubles.
    // Values are compared on all cores (reading only), taken in list order
    // after: the old list is held until this ends.
    constexpr qsizetype unmatched = -1;
    constexpr qsizetype keptBeside = -2;
    std::vector<qsizetype> matches(size_t(tracks.size()), unmatched);
    QtConcurrent::blockingMap(chunkStarts(tracks.size()), [&](qsizetype first) {
        for (qsizetype i = first; i < std::min(first + chunkSize, tracks.size()); ++i) {
            const Track& listed = tracks.at(i);
            if (const Track* kept = m_changed.find(listed.id)) {
                matches[size_t(i)] = sameValue(*kept, listed) ? keptBeside : unmatched;
                continue;
            }
            const auto position = m_positions.constFind(listed.id);
            if (position != m_positions.cend() && sameValue(m_tracks.at(*position), listed)) {
                matches[size_t(i)] = *position;
            }
        }
    });
    std::vector<qsizetype> newPositions(size_t(m_tracks.size()), unmatched);
    std::vector<std::pair<QUuid, qsizetype>> takenIn;
    for (qsizetype i = 0; i < tracks.size(); ++i) {
        const qsizetype match = matches[size_t(i)];
        if (match == keptBeside) {
            const QUuid& id = tracks.at(i).id;
            if (m_changed.find(id)) {
                takenIn.emplace_back(id, i);
                m_changed.remove(id);
            }
        } else if (match >= 0 && newPositions[size_t(match)] < 0) {
            newPositions[size_t(match)] = i;
        }
    }
    for (auto it = m_positions.begin(); it != m_positions.end();) {
        const qsizetype moved = newPositions[size_t(*it)];
        if (moved >= 0) {
            *it = moved;
            ++it;
        } else {
            m_changed.put(m_tracks.at(*it));
            it = m_positions.erase(it);
        }
    }
    m_tracks = tracks;
    m_positions.reserve(m_positions.size() + qsizetype(takenIn.size()));
    for (const auto& [id, position] : takenIn) {
        m_positions.insert(id, position);
    }
}

void MetadataCache::followContinuation(const QList<Track>& tracks)
{
    // Every indexed value keeps its place; the earlier list goes at once, as
    // the new one holds the same values. Of the songs after it, those kept
    // beside with this value are taken in.
    const qsizetype heldSize = m_tracks.size();
    m_tracks = tracks;
    std::vector<qsizetype> takenIn;
    for (qsizetype i = heldSize; i < tracks.size(); ++i) {
        const Track* kept = m_changed.find(tracks.at(i).id);
        if (kept && sameValue(*kept, tracks.at(i))) {
            takenIn.push_back(i);
        }
    }
    m_positions.reserve(m_positions.size() + qsizetype(takenIn.size()));
    // A song the list names twice is taken in once, at its first place.
    qsizetype taken = 0;
    for (const qsizetype position : takenIn) {
        if (!m_positions.contains(tracks.at(position).id)) {
            m_positions.insert(tracks.at(position).id, position);
            ++taken;
        }
    }
    if (taken == m_changed.size()) {
        // An import's batch, shared with it: let go whole rather than copied
        // by the first removal.
        m_changed = {};
        return;
    }
    for (const qsizetype position : takenIn) {
        m_changed.remove(tracks.at(position).id);
    }
}

std::optional<Track> MetadataCache::track(const QUuid& id)
{
    QMutexLocker lock(&m_mutex);
    const Track* found = stored(id);
    if (!found) {
        ++m_missCount;
        return std::nullopt;
    }
    ++m_hitCount;
    return *found;
}

QList<Track> MetadataCache::lookUp(const NameIndex& index, const QString& name) const
{
    QMutexLocker lock(&m_mutex);
    const auto it = index.constFind(text::nfc(name));
    if (it == index.cend()) {
        return {};
    }
    QList<Track> result;
    result.reserve(it->size());
    for (const QUuid& id : *it) {
        if (const Track* found = stored(id)) {
            result.push_back(*found);
        }
    }
    return result;
}

QList<Track> MetadataCache::tracksByArtist(const QString& artist) const
{
    return lookUp(m_tracksByArtist, artist);
}

QList<Track> MetadataCache::tracksByAlbum(const QString& album) const
{
    return lookUp(m_tracksByAlbum, album);
}

QStringList MetadataCache::sortedNames(const NameIndex& index)
{
    QStringList names = index.keys();
    // Keys are already composed, so code-point order needs no normalising.
    std::sort(names.begin(), names.end(),
        [](const QString& a, const QString& b) { return text::compareCodePoints(a, b) < 0; });
    return names;
}

QStringList MetadataCache::allArtists() const
{
    QMutexLocker lock(&m_mutex);
    return sortedNames(m_tracksByArtist);
}

QStringList MetadataCache::allAlbums() const
{
    QMutexLocker lock(&m_mutex);
    return sortedNames(m_tracksByAlbum);
}

void MetadataCache::evict(const Track& track)
{
    QMutexLocker lock(&m_mutex);
    // The names of the stored value too, so that evicting with an older value
    // leaves no name without tracks behind.
    const auto it = m_positions.constFind(track.id);
    if (const Track* changed = m_changed.find(track.id)) {
        unfile(*changed);
        m_changed.remove(track.id);
    } else if (it != m_positions.cend()) {
        const qsizetype position = *it;
        unfile(m_tracks.at(position));
        m_positions.erase(it);
        // The last track fills the gap, so that nothing else moves. A list
        // shared with the library keeps the evicted value, unlisted.
        if (listWritable()) {
            const qsizetype last = m_tracks.size() - 1;
            if (position != last) {
                m_tracks[position] = std::move(m_tracks[last]);
                const auto moved = m_positions.find(m_tracks.at(position).id);
                if (moved != m_positions.end() && *moved == last) {
                    *moved = position;
                }
            }
            m_tracks.removeLast();
        }
    }
    unfile(track);
}

void MetadataCache::clear()
{
    QMutexLocker lock(&m_mutex);
    m_tracks = QList<Track>();
    m_positions.clear();
    m_changed = {};
    m_tracksByArtist.clear();
    m_tracksByAlbum.clear();
    m_tracksByGenre.clear();
    m_hitCount = 0;
    m_missCount = 0;
}

qint64 MetadataCache::hitCount() const
{
    QMutexLocker lock(&m_mutex);
    return m_hitCount;
}

qint64 MetadataCache::missCount() const
{
    QMutexLocker lock(&m_mutex);
    return m_missCount;
}

qsizetype MetadataCache::count() const
{
    QMutexLocker lock(&m_mutex);
    return m_positions.size() + m_changed.size();
}

} // namespace kivo
