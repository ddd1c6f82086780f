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

void addTo(QHash<QString, QSet<QUuid>>& index, const std::optional<QString>& name, const QUuid& id)
{
    if (const std::optional<QString> key = filingKey(name)) {
        index[*key].insert(id);
    }
}

void removeFrom(
    QHash<QString, QSet<QUuid>>& index, const std::optional<QString>& name, const QUuid& id)
{
    const std::optional<QString> key = filingKey(name);
    if (!key) {
        return;
    }
    const auto it = index.find(*key);
    if (it == index.end()) {
        return;
    }
    it->remove(id);
    if (it->isEmpty()) {
        index.erase(it);
    }
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
    m_tracksByID.reserve(m_tracksByID.size() + tracks.size());
    for (const Track& track : tracks) {
        auto it = m_tracksByID.find(track.id);
        if (it == m_tracksByID.end()) {
            m_tracksByID.insert(track.id, track);
        } else {
            // An edited track must not stay listed under its old names.
            unfile(*it);
            *it = track;
        }
        file(track);
    }
}

std::optional<Track> MetadataCache::track(const QUuid& id)
{
    QMutexLocker lock(&m_mutex);
    const auto it = m_tracksByID.constFind(id);
    if (it == m_tracksByID.cend()) {
        ++m_missCount;
        return std::nullopt;
    }
    ++m_hitCount;
    return *it;
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
        const auto track = m_tracksByID.constFind(id);
        if (track != m_tracksByID.cend()) {
            result.push_back(*track);
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
    const auto it = m_tracksByID.find(track.id);
    if (it != m_tracksByID.end()) {
        unfile(*it);
        m_tracksByID.erase(it);
    }
    unfile(track);
}

void MetadataCache::clear()
{
    QMutexLocker lock(&m_mutex);
    m_tracksByID.clear();
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
    return m_tracksByID.size();
}

} // namespace kivo
