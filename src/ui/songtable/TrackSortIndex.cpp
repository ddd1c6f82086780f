#include "ui/songtable/TrackSortIndex.h"

#include "model/JsonCodec.h"
#include "model/TextRules.h"

#include <QCollatorSortKey>
#include <QtConcurrent/QtConcurrentMap>
#include <algorithm>
#include <cmath>
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
        return track.fileFormat();
    default:
        return {};
    }
}

// Collation keys of one field for every track, made in parallel chunks: the
// collator is safe for concurrent const use.
std::vector<QCollatorSortKey> sortKeys(const QList<Track>& tracks, qsizetype count,
    TrackSortField field, bool parallel, const std::atomic<bool>* cancelled)
{
    constexpr qsizetype chunkSize = 4096;
    std::vector<std::pair<qsizetype, qsizetype>> chunks;
    for (qsizetype begin = 0; begin < count; begin += chunkSize) {
        chunks.emplace_back(begin, std::min(begin + chunkSize, count));
    }
    const auto makeChunk = [&](const std::pair<qsizetype, qsizetype>& range) {
        std::vector<QCollatorSortKey> keys;
        if (cancelled && *cancelled) {
            return keys;
        }
        keys.reserve(size_t(range.second - range.first));
        for (qsizetype i = range.first; i < range.second; ++i) {
            keys.push_back(text::localizedSortKey(sortText(tracks[i], field)));
        }
        return keys;
    };
    std::vector<QCollatorSortKey> keys;
    keys.reserve(size_t(count));
    if (!parallel) {
        for (const auto& chunk : chunks) {
            std::vector<QCollatorSortKey> part = makeChunk(chunk);
            keys.insert(keys.end(), part.begin(), part.end());
        }
        return keys;
    }
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

// Sorts quarters of a long list on the global pool, then merges them.
template <typename Less>
void parallelSort(std::vector<int>& values, const Less& less, bool parallel)
{
    constexpr size_t parallelThreshold = 8192;
    if (!parallel || values.size() < parallelThreshold) {
        std::sort(values.begin(), values.end(), less);
        return;
    }
    const auto at
        = [&](size_t quarter) { return values.begin() + qsizetype(values.size() * quarter / 4); };
    const std::vector<size_t> quarters { 0, 1, 2, 3 };
    QtConcurrent::blockingMap(quarters, [&](size_t q) { std::sort(at(q), at(q + 1), less); });
    const std::vector<size_t> halves { 0, 2 };
    QtConcurrent::blockingMap(
        halves, [&](size_t q) { std::inplace_merge(at(q), at(q + 1), at(q + 2), less); });
    std::inplace_merge(at(0), at(2), at(4), less);
}

} // namespace

TrackSortIndex::TrackSortIndex(QList<Track> tracks)
    : m_tracks(std::move(tracks))
    , m_idRank(std::make_shared<const std::vector<int>>(idRanks(m_tracks)))
    , m_fieldOrders(std::make_shared<FieldOrders>())
{
}

bool TrackSortIndex::isContinuedBy(const QList<Track>& tracks) const
{
    if (m_tracks.isEmpty() || tracks.size() < qsizetype(m_idRank->size())) {
        return false;
    }
    for (qsizetype i = 0; i < qsizetype(m_idRank->size()); ++i) {
        if (tracks.at(i).id != m_tracks.at(i).id) {
            return false;
        }
    }
    return true;
}

TrackSortIndex TrackSortIndex::continuedBy(QList<Track> tracks) const
{
    TrackSortIndex continued = *this;
    continued.m_tracks = std::move(tracks);
    // Its own array: orders added for the new list are not this list's.
    continued.m_fieldOrders = std::make_shared<FieldOrders>(*m_fieldOrders);
    return continued;
}

std::vector<int> TrackSortIndex::idRanks(const QList<Track>& tracks)
{
    std::vector<QUuid> ids;
    ids.reserve(size_t(tracks.size()));
    for (const Track& track : tracks) {
        ids.push_back(track.id);
    }
    std::vector<int> positions(ids.size());
    std::iota(positions.begin(), positions.end(), 0);
    std::sort(positions.begin(), positions.end(), [&](int a, int b) {
        const QUuid& ia = ids[size_t(a)];
        const QUuid& ib = ids[size_t(b)];
        if (ia != ib) {
            return json::uuidTextLess(ia, ib);
        }
        return a < b;
    });
    std::vector<int> rank(positions.size());
    for (size_t place = 0; place < positions.size(); ++place) {
        rank[size_t(positions[place])] = int(place);
    }
    return rank;
}

TrackSortIndex::FieldOrder TrackSortIndex::makeFieldOrder(const QList<Track>& tracks,
    const std::vector<int>& idRank, TrackSortField field, bool parallel,
    const std::atomic<bool>* cancelled)
{
    const size_t count = idRank.size();
    Q_ASSERT(count <= size_t(tracks.size()));
    FieldOrder result;
    result.ascending.resize(count);
    std::iota(result.ascending.begin(), result.ascending.end(), 0);
    result.runStart.resize(count);

    // `compare(a, b)` orders two positions on the field alone (<0, 0, >0).
    const auto build = [&](const auto& compare) {
        parallelSort(
            result.ascending,
            [&](int a, int b) {
                const int r = compare(a, b);
                return r != 0 ? r < 0 : idRank[size_t(a)] < idRank[size_t(b)];
            },
            parallel);
        for (size_t i = 0; i < count; ++i) {
            const bool sameAsPrevious
                = i > 0 && compare(result.ascending[i - 1], result.ascending[i]) == 0;
            result.runStart[i] = sameAsPrevious ? result.runStart[i - 1] : int(i);
        }
    };
    // Values are taken out of the tracks first: comparing within a compact
    // array is many times faster than reaching into every Track.
    const auto compareNumbers = [](auto a, auto b) { return a < b ? -1 : (b < a ? 1 : 0); };
    if (isTextField(field)) {
        const std::vector<QCollatorSortKey> keys
            = sortKeys(tracks, qsizetype(count), field, parallel, cancelled);
        if (cancelled && *cancelled) {
            return {}; // nobody waits for it any more
        }
        build([&keys](int a, int b) { return keys[size_t(a)].compare(keys[size_t(b)]); });
    } else if (field == TrackSortField::duration || field == TrackSortField::dateAdded) {
        std::vector<double> values(count);
        for (size_t i = 0; i < count; ++i) {
            const Track& track = tracks[qsizetype(i)];
            values[i] = field == TrackSortField::duration
                ? track.duration
                : track.dateAdded.value_or(Date::distantPast()).secondsSinceReferenceDate;
        }
        if (field == TrackSortField::duration) {
            // As TrackSortOrder: NaN equals NaN and follows every number.
            build([&](int a, int b) {
                const double x = values[size_t(a)];
                const double y = values[size_t(b)];
                if (std::isnan(x) || std::isnan(y)) {
                    return std::isnan(x) == std::isnan(y) ? 0 : (std::isnan(x) ? 1 : -1);
                }
                return compareNumbers(x, y);
            });
        } else {
            build(
                [&](int a, int b) { return compareNumbers(values[size_t(a)], values[size_t(b)]); });
        }
    } else {
        std::vector<qint64> values(count);
        for (size_t i = 0; i < count; ++i) {
            const Track& track = tracks[qsizetype(i)];
            const std::optional<qint64>& value = field == TrackSortField::year ? track.year
                : field == TrackSortField::trackNumber                         ? track.trackNumber
                : field == TrackSortField::bitrate                             ? track.bitrate
                                                                               : track.sampleRate;
            values[i] = value.value_or(0);
        }
        build([&](int a, int b) { return compareNumbers(values[size_t(a)], values[size_t(b)]); });
    }
    return result;
}

void TrackSortIndex::insert(TrackSortField field, std::shared_ptr<const FieldOrder> order)
{
    (*m_fieldOrders)[size_t(field)] = std::move(order);
}

std::vector<int> TrackSortIndex::order(const TrackSortOrder& sortOrder)
{
    std::shared_ptr<const FieldOrder>& slot = (*m_fieldOrders)[size_t(sortOrder.field)];
    if (!slot) {
        slot = std::make_shared<const FieldOrder>(
            makeFieldOrder(m_tracks, *m_idRank, sortOrder.field, true));
    }
    const FieldOrder& field = *slot;
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
