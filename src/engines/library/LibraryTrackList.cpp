#include "engines/library/LibraryTrackList.h"

#include <QDir>

namespace kivo {

using ::qHash;

namespace {

// Room to grow into without moving every track: moving 100,000 tracks to a
// larger block takes the main thread most of 100 ms, while room that is never
// written costs no memory.
qsizetype withRoom(qsizetype size)
{
    return size + std::max<qsizetype>(size / 2, 1024);
}

} // namespace

LibraryTrackList::LibraryTrackList(const QList<Track>& tracks)
{
    m_positions.reserve(withRoom(tracks.size()));
    m_idsByLocation.reserve(withRoom(tracks.size()));
    m_tracks.reserve(withRoom(tracks.size()));
    for (const Track& track : tracks) {
        if (m_positions.contains(track.id)) {
            ++m_droppedDuplicates;
            continue;
        }
        index(track, m_tracks.size());
        m_tracks.push_back(track);
    }
}

std::optional<qsizetype> LibraryTrackList::positionOf(const QUuid& id) const
{
    const auto found = m_positions.constFind(id);
    return found == m_positions.cend() ? std::nullopt : std::optional(*found);
}

const Track* LibraryTrackList::firstAtLocation(const QString& key) const
{
    const auto found = m_idsByLocation.constFind(key);
    if (found == m_idsByLocation.cend()) {
        return nullptr;
    }
    qsizetype first = m_tracks.size();
    for (const QUuid& id : *found) {
        first = std::min(first, m_positions.value(id, first));
    }
    return first < m_tracks.size() ? &m_tracks[first] : nullptr;
}

qsizetype LibraryTrackList::append(const QList<Track>& tracks)
{
    if (m_tracks.capacity() < m_tracks.size() + tracks.size()) {
        m_tracks.reserve(withRoom(m_tracks.size() + tracks.size()));
    }
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
        unindexLocation(locationKey(listed.fileURL), track.id);
        m_idsByLocation[locationKey(track.fileURL)].push_back(track.id);
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
    unindexLocation(locationKey(m_tracks[position].fileURL), id);
    m_positions.erase(found);
    m_tracks.remove(position);
    for (qsizetype i = position; i < m_tracks.size(); ++i) {
        m_positions[m_tracks[i].id] = i;
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
    m_idsByLocation[locationKey(track.fileURL)].push_back(track.id);
}

void LibraryTrackList::unindexLocation(const QString& key, const QUuid& id)
{
    const auto found = m_idsByLocation.find(key);
    if (found == m_idsByLocation.end()) {
        return;
    }
    found->removeOne(id);
    if (found->isEmpty()) {
        m_idsByLocation.erase(found);
    }
}

} // namespace kivo
