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

void MetadataCache::insert(const QList<Track>& tracks)
{
    QMutexLocker lock(&m_mutex);
    if (m_tracks.isEmpty()) {
        m_tracks.reserve(tracks.size());
    }
    m_positions.reserve(m_positions.size() + tracks.size());
    for (const Track& track : tracks) {
        const auto it = m_positions.constFind(track.id);
        if (it == m_positions.cend()) {
            m_positions.insert(track.id, m_tracks.size());
            m_tracks.push_back(track);
            file(track);
            continue;
        }
        // An edited track must not stay listed under its old names; names
        // that did not change stay filed as they are.
        Track& indexed = m_tracks[*it];
        if (!sameNames(indexed, track)) {
            unfile(indexed);
            file(track);
        }
        indexed = track;
    }
}

std::optional<Track> MetadataCache::track(const QUuid& id)
{
    QMutexLocker lock(&m_mutex);
    const auto it = m_positions.constFind(id);
    if (it == m_positions.cend()) {
        ++m_missCount;
        return std::nullopt;
    }
    ++m_hitCount;
    return m_tracks.at(*it);
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
        const auto position = m_positions.constFind(id);
        if (position != m_positions.cend()) {
            result.push_back(m_tracks.at(*position));
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
    if (it != m_positions.cend()) {
        const qsizetype position = *it;
        unfile(m_tracks.at(position));
        m_positions.erase(it);
        // The last track fills the gap, so that nothing else moves.
        if (position != m_tracks.size() - 1) {
            m_tracks[position] = std::move(m_tracks.last());
            m_positions[m_tracks.at(position).id] = position;
        }
        m_tracks.removeLast();
    }
    unfile(track);
}

void MetadataCache::clear()
{
    QMutexLocker lock(&m_mutex);
    m_tracks = QList<Track>();
    m_positions.clear();
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
    return m_tracks.size();
}

} // namespace kivo
