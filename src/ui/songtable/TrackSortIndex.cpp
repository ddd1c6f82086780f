#include "ui/songtable/TrackSortIndex.h"

#include "model/JsonCodec.h"
#include "model/TextRules.h"

#include <QCollatorSortKey>
#include <QtConcurrent/QtConcurrentMap>
#include <algorithm>
#include <numeric>

namespace kivo {

namespace {

bool isTextField(TrackSortField field)
{
    switch (field) {
    case TrackSortField::title:
    case TrackSortField::artist:
    case TrackSortField::album:
    case TrackSortField::albumArtist:
    case TrackSortField::genre:
    case TrackSortField::format:
        return true;
    default:
        return false;
    }
}

QString sortText(const Track& track, TrackSortField field)
{
    switch (field) {
    case TrackSortField::title:
        return track.title;
    case TrackSortField::artist:
        return track.artist.value_or(QString());
    case TrackSortField::album:
        return track.album.value_or(QString());
    case TrackSortField::albumArtist:
        return track.albumArtist.value_or(QString());
    case TrackSortField::genre:
        return track.genre.value_or(QString());
    case TrackSortField::format:
        return trackFormat(track);
    default:
        return {};
    }
}

// Collation keys of one field for every track, made in parallel chunks: the
// collator is safe for concurrent const use.
std::vector<QCollatorSortKey> sortKeys(const QList<Track>& tracks, TrackSortField field)
{
    constexpr qsizetype chunkSize = 4096;
    std::vector<std::pair<qsizetype, qsizetype>> chunks;
    for (qsizetype begin = 0; begin < tracks.size(); begin += chunkSize) {
        chunks.emplace_back(begin, std::min(begin + chunkSize, tracks.size()));
    }
    const auto makeChunk = [&](const std::pair<qsizetype, qsizetype>& range) {
        std::vector<QCollatorSortKey> keys;
        keys.reserve(size_t(range.second - range.first));
        for (qsizetype i = range.first; i < range.second; ++i) {
            keys.push_back(text::localizedSortKey(sortText(tracks[i], field)));
        }
        return keys;
    };
    std::vector<QCollatorSortKey> keys;
    keys.reserve(size_t(tracks.size()));
    if (chunks.size() == 1) {
        keys = makeChunk(chunks.front());
        return keys;
    }
    const QList<std::vector<QCollatorSortKey>> parts
        = QtConcurrent::blockingMapped<QList<std::vector<QCollatorSortKey>>>(chunks, makeChunk);
    for (const std::vector<QCollatorSortKey>& part : parts) {
        keys.insert(keys.end(), part.begin(), part.end());
    }
    return keys;
}

} // namespace

TrackSortIndex::TrackSortIndex(QList<Track> tracks)
    : m_tracks(std::move(tracks))
{
}

const std::vector<int>& TrackSortIndex::idRank()
{
    if (m_idRank.empty() && !m_tracks.isEmpty()) {
        std::vector<int> positions(size_t(m_tracks.size()));
        std::iota(positions.begin(), positions.end(), 0);
        std::sort(positions.begin(), positions.end(), [&](int a, int b) {
            const QUuid& ia = m_tracks[a].id;
            const QUuid& ib = m_tracks[b].id;
            if (ia != ib) {
                return json::uuidTextLess(ia, ib);
            }
            return a < b;
        });
        m_idRank.resize(positions.size());
        for (size_t rank = 0; rank < positions.size(); ++rank) {
            m_idRank[size_t(positions[rank])] = int(rank);
        }
    }
    return m_idRank;
}

TrackSortIndex::FieldOrder TrackSortIndex::computeFieldOrder(TrackSortField field) const
{
    const size_t count = size_t(m_tracks.size());
    FieldOrder result;
    result.ascending.resize(count);
    std::iota(result.ascending.begin(), result.ascending.end(), 0);
    result.runStart.resize(count);

    // `compare(a, b)` orders two positions on the field alone (<0, 0, >0).
    const auto build = [&](const auto& compare) {
        std::sort(result.ascending.begin(), result.ascending.end(), [&](int a, int b) {
            const int r = compare(a, b);
            return r != 0 ? r < 0 : m_idRank[size_t(a)] < m_idRank[size_t(b)];
        });
        for (size_t i = 0; i < count; ++i) {
            const bool sameAsPrevious
                = i > 0 && compare(result.ascending[i - 1], result.ascending[i]) == 0;
            result.runStart[i] = sameAsPrevious ? result.runStart[i - 1] : int(i);
        }
    };
    if (isTextField(field)) {
        const std::vector<QCollatorSortKey> keys = sortKeys(m_tracks, field);
        build([&keys](int a, int b) { return keys[size_t(a)].compare(keys[size_t(b)]); });
    } else {
        const TrackSortOrder byField { field, true };
        build([&](int a, int b) { return byField.compare(m_tracks[a], m_tracks[b]); });
    }
    return result;
}

const TrackSortIndex::FieldOrder& TrackSortIndex::fieldOrder(TrackSortField field)
{
    std::optional<FieldOrder>& slot = m_fieldOrders[size_t(field)];
    if (!slot) {
        idRank();
        slot = computeFieldOrder(field);
    }
    return *slot;
}

std::vector<int> TrackSortIndex::order(const TrackSortOrder& sortOrder)
{
    const FieldOrder& field = fieldOrder(sortOrder.field);
    if (sortOrder.ascending) {
        return field.ascending;
    }
    // Runs of equal values in reverse order, each run still by id.
    std::vector<int> result;
    result.reserve(field.ascending.size());
    for (size_t end = field.ascending.size(); end > 0;) {
        const size_t start = size_t(field.runStart[end - 1]);
        result.insert(result.end(), field.ascending.begin() + qsizetype(start),
            field.ascending.begin() + qsizetype(end));
        end = start;
    }
    return result;
}

} // namespace kivo
