#include "engines/library/LibraryTrackList.h"

#include <QDir>
#include <QtConcurrent/QtConcurrentMap>
#include <algorithm>
#include <vector>

namespace kivo {

using ::qHash;

namespace {

size_t locationHash(const QString& key)
{
    return qHash(key);
}

} // namespace

LibraryTrackList::LibraryTrackList(QList<Track> tracks)
    : m_tracks(std::move(tracks))
{
    m_positions.reserve(m_tracks.size());
    m_idsByLocation.reserve(m_tracks.size());
    // Read through const access, so that a list shared with its caller is
    // copied only when repeats must be dropped from it.
    const QList<Track>& listed = m_tracks;
    // Cleaning every path is most of the work: it is done side by side.
    std::vector<size_t> locations(size_t(listed.size()));
    constexpr qsizetype chunkSize = 4096;
    std::vector<qsizetype> chunks;
    for (qsizetype first = 0; first < listed.size(); first += chunkSize) {
        chunks.push_back(first);
    }
    QtConcurrent::blockingMap(chunks, [&listed, &locations](qsizetype first) {
        const qsizetype end = std::min(first + chunkSize, listed.size());
        for (qsizetype i = first; i < end; ++i) {
            locations[size_t(i)] = locationHash(locationKey(listed[i].fileURL));
        }
    });
    qsizetype kept = 0;
    for (qsizetype i = 0; i < listed.size(); ++i) {
        if (m_positions.contains(listed[i].id)) {
            ++m_droppedDuplicates;
            continue;
        }
        if (kept != i) {
            m_tracks[kept] = std::move(m_tracks[i]);
        }
        m_positions.insert(listed[kept].id, kept);
        m_idsByLocation.insert(locations[size_t(i)], listed[kept].id);
        ++kept;
    }
    if (kept < m_tracks.size()) {
        m_tracks.resize(kept);
    }
}

std::optional<qsizetype> LibraryTrackList::positionOf(const QUuid& id) const
{
    const auto found = m_positions.constFind(id);
    return found == m_positions.cend() ? std::nullopt : std::optional(*found);
}

const Track* LibraryTrackList::firstAtLocation(const QString& key) const
{
    qsizetype first = m_tracks.size();
    const size_t hash = locationHash(key);
    for (auto it = m_idsByLocation.constFind(hash);
         it != m_idsByLocation.cend() && it.key() == hash; ++it) {
        const qsizetype position = m_positions.value(*it, m_tracks.size());
        if (position < first && locationKey(m_tracks.at(position).fileURL) == key) {
            first = position;
        }
    }
    return first < m_tracks.size() ? &m_tracks[first] : nullptr;
}

qsizetype LibraryTrackList::append(const QList<Track>& tracks)
{
    // No room is reserved ahead: tracks move by their bytes, so growing the
    // list reallocates it in place instead of copying every track.
    qsizetype appended = 0;
    for (const Track& track : tracks) {
        if (m_positions.contains(track.id)) {
            continue;
        }
        index(track, m_tracks.size());
        m_tracks.push_back(track);
        ++appended;
    }
    return appended;
}

bool LibraryTrackList::replace(const Track& track)
{
    const auto found = m_positions.constFind(track.id);
    if (found == m_positions.cend()) {
        return false;
    }
    Track& listed = m_tracks[*found];
    if (listed.fileURL != track.fileURL) {
        unindexLocation(listed.fileURL, track.id);
        m_idsByLocation.insert(locationHash(locationKey(track.fileURL)), track.id);
    }
    listed = track;
    return true;
}

bool LibraryTrackList::remove(const QUuid& id)
{
    const auto found = m_positions.constFind(id);
    if (found == m_positions.cend()) {
        return false;
    }
    const qsizetype position = *found;
    unindexLocation(m_tracks.at(position).fileURL, id);
    m_positions.erase(found);
    m_tracks.remove(position);
    for (qsizetype i = position; i < m_tracks.size(); ++i) {
        m_positions[m_tracks.at(i).id] = i;
    }
    return true;
}

QString LibraryTrackList::locationKey(const QUrl& url)
{
    if (url.isLocalFile()) {
        return QDir::cleanPath(url.toLocalFile());
    }
    return url.toString(QUrl::FullyEncoded);
}

void LibraryTrackList::index(const Track& track, qsizetype position)
{
    m_positions.insert(track.id, position);
    m_idsByLocation.insert(locationHash(locationKey(track.fileURL)), track.id);
}

void LibraryTrackList::unindexLocation(const QUrl& url, const QUuid& id)
{
    m_idsByLocation.remove(locationHash(locationKey(url)), id);
}

} // namespace kivo
