#include "model/MetadataCache.h"

#include "model/TextRules.h"

#include <QMutexLocker>
#include <algorithm>

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

bool sameNames(const Track& a, const Track& b)
{
    return a.artist == b.artist && a.album == b.album && a.genre == b.genre;
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

const Track* MetadataCache::stored(const QUuid& id) const
{
    const auto changed = m_changed.constFind(id);
    if (changed != m_changed.cend()) {
        return &*changed;
    }
    const auto position = m_positions.constFind(id);
    return position == m_positions.cend() ? nullptr : &m_tracks.at(*position);
}

void MetadataCache::insert(const QList<Track>& tracks)
{
    QMutexLocker lock(&m_mutex);
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
        const auto changed = m_changed.find(track.id);
        if (changed != m_changed.end()) {
            *changed = track;
            continue;
        }
        if (!listWritable()) {
            // Writing into a list shared with the library would copy it whole.
            m_positions.remove(track.id);
            m_changed.insert(track.id, track);
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
        if (m_tracks.isEmpty() && m_changed.isEmpty()) {
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
    // Every indexed id keeps its value: from the new list where it holds
    // that value, beside it otherwise.
    QHash<QUuid, qsizetype> positions;
    positions.reserve(m_positions.size() + m_changed.size());
    QHash<QUuid, Track> changed;
    for (qsizetype i = 0; i < tracks.size(); ++i) {
        const Track& listed = tracks.at(i);
        if (positions.contains(listed.id)) {
            continue;
        }
        const auto kept = m_changed.constFind(listed.id);
        if (kept != m_changed.cend()) {
            if (*kept == listed) {
                positions.insert(listed.id, i);
            }
            continue;
        }
        const auto position = m_positions.constFind(listed.id);
        if (position != m_positions.cend() && m_tracks.at(*position) == listed) {
            positions.insert(listed.id, i);
        }
    }
    for (auto it = m_changed.cbegin(); it != m_changed.cend(); ++it) {
        if (!positions.contains(it.key())) {
            changed.insert(it.key(), it.value());
        }
    }
    for (auto it = m_positions.cbegin(); it != m_positions.cend(); ++it) {
        if (!positions.contains(it.key())) {
            changed.insert(it.key(), m_tracks.at(it.value()));
        }
    }
    m_tracks = tracks;
    m_positions = std::move(positions);
    m_changed = std::move(changed);
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
    const auto changed = m_changed.find(track.id);
    const auto it = m_positions.constFind(track.id);
    if (changed != m_changed.end()) {
        unfile(*changed);
        m_changed.erase(changed);
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
    m_changed.clear();
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
