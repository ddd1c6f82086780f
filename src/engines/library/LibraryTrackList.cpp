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
    m_built.positions.reserve(m_tracks.size());
    m_built.idsByLocation.reserve(m_tracks.size());
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
        if (m_built.positions.contains(listed[i].id)) {
            ++m_droppedDuplicates;
            continue;
        }
        if (kept != i) {
            m_tracks[kept] = std::move(m_tracks[i]);
        }
        m_built.positions.insert(listed[kept].id, kept);
        m_built.idsByLocation.insert(locations[size_t(i)], listed[kept].id);
        ++kept;
    }
    if (kept < m_tracks.size()) {
        m_tracks.resize(kept);
    }
}

std::optional<qsizetype> LibraryTrackList::positionOf(const QUuid& id) const
{
    for (const Lookups* lookups : { &m_appended, &m_built }) {
        const auto found = lookups->positions.constFind(id);
        if (found != lookups->positions.cend()) {
            return *found;
        }
    }
    return std::nullopt;
}

const Track* LibraryTrackList::firstAtLocation(const QString& key) const
{
    qsizetype first = m_tracks.size();
    const size_t hash = locationHash(key);
    for (const Lookups* lookups : { &m_built, &m_appended }) {
        for (auto it = lookups->idsByLocation.constFind(hash);
             it != lookups->idsByLocation.cend() && it.key() == hash; ++it) {
            const qsizetype position = positionOf(*it).value_or(m_tracks.size());
            if (position < first && locationKey(m_tracks.at(position).fileURL) == key) {
                first = position;
            }
        }
    }
    return first < m_tracks.size() ? &m_tracks[first] : nullptr;
}

qsizetype LibraryTrackList::append(const QList<Track>& tracks)
{
    std::vector<qsizetype> added;
    for (qsizetype i = 0; i < tracks.size(); ++i) {
        if (!positionOf(tracks[i].id)) {
            index(m_appended, tracks[i], m_tracks.size() + qsizetype(added.size()));
            added.push_back(i);
        }
    }
    if (added.empty()) {
        return 0;
    }
    // A list shared with its readers is copied once, to its final size; one
    // of our own grows in place, as tracks move by their bytes.
    if (!m_tracks.isDetached()) {
        m_tracks.reserve(m_tracks.size() + qsizetype(added.size()));
    }
    for (const qsizetype i : added) {
        m_tracks.push_back(tracks[i]);
    }
    return qsizetype(added.size());
}

bool LibraryTrackList::replace(const Track& track)
{
    const std::optional<qsizetype> position = positionOf(track.id);
    if (!position) {
        return false;
    }
    Track& listed = m_tracks[*position];
    if (listed.fileURL != track.fileURL) {
        fold();
        unindexLocation(listed.fileURL, track.id);
        m_built.idsByLocation.insert(locationHash(locationKey(track.fileURL)), track.id);
    }
    listed = track;
    return true;
}

bool LibraryTrackList::remove(const QUuid& id)
{
    // Every later position changes: the lookups are rewritten anyway.
    fold();
    const auto found = m_built.positions.constFind(id);
    if (found == m_built.positions.cend()) {
        return false;
    }
    const qsizetype position = *found;
    unindexLocation(m_tracks.at(position).fileURL, id);
    m_built.positions.erase(found);
    m_tracks.remove(position);
    for (qsizetype i = position; i < m_tracks.size(); ++i) {
        m_built.positions[m_tracks.at(i).id] = i;
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

void LibraryTrackList::index(Lookups& lookups, const Track& track, qsizetype position)
{
    lookups.positions.insert(track.id, position);
    lookups.idsByLocation.insert(locationHash(locationKey(track.fileURL)), track.id);
}

void LibraryTrackList::fold()
{
    if (m_appended.positions.isEmpty()) {
        return;
    }
    m_built.positions.insert(m_appended.positions);
    m_built.idsByLocation.unite(m_appended.idsByLocation);
    m_appended = {};
}

void LibraryTrackList::unindexLocation(const QUrl& url, const QUuid& id)
{
    m_built.idsByLocation.remove(locationHash(locationKey(url)), id);
}

} // namespace kivo
