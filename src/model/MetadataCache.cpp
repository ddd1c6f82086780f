#include "model/MetadataCache.h"

#include "model/TextRules.h"

#include <QMutexLocker>
#include <algorithm>
#include <utility>

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

const Track& MetadataCache::trackAt(const Slot& slot) const
{
    return m_batches.find(slot.batch)->tracks.at(slot.position);
}

void MetadataCache::release(const Slot& slot, std::optional<quint64> inserting)
{
    const auto batch = m_batches.find(slot.batch);
    --batch->live;
    if (slot.batch == inserting) {
        return;
    }
    if (batch->live == 0) {
        m_batches.erase(batch);
    } else if (batch->live * 2 <= batch->tracks.size()) {
        // Replaced and evicted tracks must not live on through their batch.
        compact(slot.batch);
    }
}

void MetadataCache::compact(quint64 number)
{
    const Batch old = m_batches.take(number);
    const quint64 freshNumber = m_nextBatch++;
    Batch fresh;
    fresh.tracks.reserve(old.live);
    for (qsizetype i = 0; i < old.tracks.size(); ++i) {
        const auto slot = m_slots.find(old.tracks.at(i).id);
        if (slot != m_slots.end() && slot->batch == number && slot->position == i) {
            *slot = { freshNumber, fresh.tracks.size() };
            fresh.tracks.push_back(old.tracks.at(i));
        }
    }
    fresh.live = fresh.tracks.size();
    m_batches.insert(freshNumber, std::move(fresh));
}

void MetadataCache::insert(const QList<Track>& tracks)
{
    if (tracks.isEmpty()) {
        return;
    }
    QMutexLocker lock(&m_mutex);
    const quint64 number = m_nextBatch++;
    m_batches.insert(number, Batch { tracks, 0 });
    m_slots.reserve(m_slots.size() + tracks.size());
    for (qsizetype i = 0; i < tracks.size(); ++i) {
        const Track& track = tracks.at(i);
        const auto it = m_slots.find(track.id);
        if (it == m_slots.end()) {
            m_slots.insert(track.id, { number, i });
        } else {
            // An edited track must not stay listed under its old names.
            unfile(trackAt(*it));
            const Slot old = std::exchange(*it, Slot { number, i });
            release(old, number);
        }
        ++m_batches.find(number)->live;
        file(track);
    }
    // A list that repeats ids keeps only the last track of each indexed.
    const Batch& batch = *m_batches.constFind(number);
    if (batch.live * 2 <= batch.tracks.size()) {
        compact(number);
    }
}

std::optional<Track> MetadataCache::track(const QUuid& id)
{
    QMutexLocker lock(&m_mutex);
    const auto it = m_slots.constFind(id);
    if (it == m_slots.cend()) {
        ++m_missCount;
        return std::nullopt;
    }
    ++m_hitCount;
    return trackAt(*it);
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
        const auto slot = m_slots.constFind(id);
        if (slot != m_slots.cend()) {
            result.push_back(trackAt(*slot));
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
    const auto it = m_slots.find(track.id);
    if (it != m_slots.end()) {
        unfile(trackAt(*it));
        const Slot slot = *it;
        m_slots.erase(it);
        release(slot);
    }
    unfile(track);
}

void MetadataCache::clear()
{
    QMutexLocker lock(&m_mutex);
    m_slots.clear();
    m_batches.clear();
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
    return m_slots.size();
}

} // namespace kivo
