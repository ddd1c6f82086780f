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
    m_built.slotByID.reserve(m_tracks.size());
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
        if (m_built.slotByID.contains(listed[i].id)) {
            ++m_droppedDuplicates;
            continue;
        }
        if (kept != i) {
            m_tracks[kept] = std::move(m_tracks[i]);
        }
        m_built.slotByID.insert(listed[kept].id, kept);
        m_built.idsByLocation.insert(locations[size_t(i)], listed[kept].id);
        ++kept;
    }
    if (kept < m_tracks.size()) {
        m_tracks.resize(kept);
    }
}

std::optional<qsizetype> LibraryTrackList::slotOf(const QUuid& id) const
{
    // The appended lookups first: a removed song put back is filed there
    // anew, beside its removed slot in the built ones.
    for (const Lookups* lookups : { &m_appended, &m_built }) {
        const auto found = lookups->slotByID.constFind(id);
        if (found != lookups->slotByID.cend()) {
            return isRemoved(*found) ? std::nullopt : std::optional(*found);
        }
    }
    return std::nullopt;
}

bool LibraryTrackList::isRemoved(qsizetype slot) const
{
    return std::binary_search(m_removedSlots.cbegin(), m_removedSlots.cend(), slot);
}

const Track* LibraryTrackList::trackWithID(const QUuid& id) const
{
    const std::optional<qsizetype> position = positionOf(id);
    return position ? &m_tracks[*position] : nullptr;
}

std::optional<qsizetype> LibraryTrackList::positionOf(const QUuid& id) const
{
    const std::optional<qsizetype> slot = slotOf(id);
    if (!slot) {
        return std::nullopt;
    }
    const auto removedBefore
        = std::lower_bound(m_removedSlots.cbegin(), m_removedSlots.cend(), *slot);
    return *slot - (removedBefore - m_removedSlots.cbegin());
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
    const qsizetype nextSlot = m_tracks.size() + qsizetype(m_removedSlots.size());
    std::vector<qsizetype> added;
    for (qsizetype i = 0; i < tracks.size(); ++i) {
        if (!positionOf(tracks[i].id)) {
            index(m_appended, tracks[i], nextSlot + qsizetype(added.size()));
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
        // The entry under the earlier URL stays: lookups check the URL.
        m_appended.idsByLocation.insert(locationHash(locationKey(track.fileURL)), track.id);
    }
    listed = track;
    return true;
}

bool LibraryTrackList::remove(const QUuid& id)
{
    const std::optional<qsizetype> slot = slotOf(id);
    if (!slot) {
        return false;
    }
    // Every later position moves down by one without a lookup being written.
    const auto removedBefore
        = std::lower_bound(m_removedSlots.cbegin(), m_removedSlots.cend(), *slot);
    const qsizetype position = *slot - (removedBefore - m_removedSlots.cbegin());
    m_removedSlots.insert(removedBefore, *slot);
    m_tracks.remove(position);
    return true;
}

QString LibraryTrackList::locationKey(const QUrl& url)
{
    if (url.isLocalFile()) {
        return QDir::cleanPath(url.toLocalFile());
    }
    return url.toString(QUrl::FullyEncoded);
}

QString LibraryTrackList::locationKey(const TrackFileURL& location)
{
    // A path needs no URL built to be cleaned.
    return location.isLocalFile() ? QDir::cleanPath(location.toLocalFile())
                                  : locationKey(location.toUrl());
}

void LibraryTrackList::index(Lookups& lookups, const Track& track, qsizetype slot)
{
    lookups.slotByID.insert(track.id, slot);
    lookups.idsByLocation.insert(locationHash(locationKey(track.fileURL)), track.id);
}

} // namespace kivo
