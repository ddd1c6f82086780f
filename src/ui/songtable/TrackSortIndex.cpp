#include "ui/songtable/TrackSortIndex.h"

#include "model/JsonCodec.h"
#include "model/TextRules.h"

#include <QCollatorSortKey>
#include <QHash>
#include <QStringList>
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
        return track.albumArtist().value_or(QString());
    case TrackSortField::genre:
        return track.genre.value_or(QString());
    case TrackSortField::format:
        return track.fileFormat();
    default:
        return {};
    }
}

// Collation keys of `texts`, made in parallel chunks: the collator is safe
// for concurrent const use.
std::vector<QCollatorSortKey> sortKeys(
    const QStringList& texts, bool parallel, const std::atomic<bool>* cancelled)
{
    constexpr qsizetype chunkSize = 4096;
    const qsizetype count = texts.size();
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
            keys.push_back(text::localizedSortKey(texts[i]));
        }
        return keys;
    };
    std::vector<QCollatorSortKey> keys;
    keys.reserve(size_t(count));
    if (!parallel || chunks.size() <= 1) {
        for (const auto& chunk : chunks) {
            std::vector<QCollatorSortKey> part = makeChunk(chunk);
            keys.insert(keys.end(), part.begin(), part.end());
        }
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
template <typename T, typename Less>
void parallelSort(std::vector<T>& values, const Less& less, bool parallel)
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

// For each track, the place of its text among the field's distinct texts in
// locale order; texts the collator holds equal share a place. Songs share
// most of their artists, albums and genres, so only the distinct texts are
// given collation keys. Empty when cancelled.
std::vector<quint32> textRanks(const QList<Track>& tracks, size_t count, TrackSortField field,
    bool parallel, const std::atomic<bool>* cancelled)
{
    QHash<QString, quint32> known;
    QStringList texts;
    std::vector<quint32> textOf(count);
    for (size_t i = 0; i < count; ++i) {
        QString text = sortText(tracks[qsizetype(i)], field);
        auto found = known.constFind(text);
        if (found == known.cend()) {
            found = known.insert(text, quint32(texts.size()));
            texts.push_back(std::move(text));
        }
        textOf[i] = *found;
    }
    known.clear();
    const std::vector<QCollatorSortKey> keys = sortKeys(texts, parallel, cancelled);
    if (cancelled && *cancelled) {
        return {};
    }
    std::vector<quint32> byKey(keys.size());
    std::iota(byKey.begin(), byKey.end(), 0);
    parallelSort(
        byKey, [&](quint32 a, quint32 b) { return keys[a].compare(keys[b]) < 0; }, parallel);
    std::vector<quint32> rankOfText(keys.size());
    quint32 rank = 0;
    for (size_t place = 0; place < byKey.size(); ++place) {
        if (place > 0 && keys[byKey[place - 1]].compare(keys[byKey[place]]) != 0) {
            ++rank;
        }
        rankOfText[byKey[place]] = rank;
    }
    for (quint32& text : textOf) {
        text = rankOfText[text];
    }
    return textOf;
}

// One song's value of the field, beside its tie-break and its position, so
// that the sort moves compact entries instead of reaching into the tracks or
// into arrays indexed by position: on a large library those reaches miss the
// cache and cost more than the comparisons.
template <typename Value> struct SortEntry {
    Value value;
    int idRank;
    int position;
};

// The field order of `values` (one per position) under `compare`, a
// three-way comparison of two values.
template <typename Value, typename Compare>
TrackSortIndex::FieldOrder orderOf(const std::vector<Value>& values, const std::vector<int>& idRank,
    const Compare& compare, bool parallel)
{
    const size_t count = values.size();
    std::vector<SortEntry<Value>> entries(count);
    for (size_t i = 0; i < count; ++i) {
        entries[i] = { values[i], idRank[i], int(i) };
    }
    parallelSort(
        entries,
        [&](const SortEntry<Value>& a, const SortEntry<Value>& b) {
            const int r = compare(a.value, b.value);
            return r != 0 ? r < 0 : a.idRank < b.idRank;
        },
        parallel);
    TrackSortIndex::FieldOrder result;
    result.ascending.resize(count);
    result.runBegins.resize(count);
    for (size_t i = 0; i < count; ++i) {
        result.ascending[i] = entries[i].position;
        result.runBegins[i] = i == 0 || compare(entries[i - 1].value, entries[i].value) != 0;
    }
    return result;
}

} // namespace

TrackSortIndex::TrackSortIndex(QList<Track> tracks)
    : m_tracks(std::move(tracks))
    , m_idRank(std::make_shared<const std::vector<int>>(idRanks(m_tracks)))
    , m_fieldOrders(std::make_shared<FieldOrders>())
    , m_lastRows(std::make_shared<LastRows>())
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
    continued.m_lastRows = std::make_shared<LastRows>();
    return continued;
}

std::vector<int> TrackSortIndex::idRanks(const QList<Track>& tracks)
{
    struct IdEntry {
        QUuid id;
        int position;
    };
    // The ids themselves are sorted, not positions into them: see SortEntry.
    std::vector<IdEntry> entries(size_t(tracks.size()));
    for (qsizetype i = 0; i < tracks.size(); ++i) {
        entries[size_t(i)] = { tracks[i].id, int(i) };
    }
    std::sort(entries.begin(), entries.end(), [](const IdEntry& a, const IdEntry& b) {
        if (a.id != b.id) {
            return json::uuidTextLess(a.id, b.id);
        }
        return a.position < b.position;
    });
    std::vector<int> rank(entries.size());
    for (size_t place = 0; place < entries.size(); ++place) {
        rank[size_t(entries[place].position)] = int(place);
    }
    return rank;
}

TrackSortIndex::FieldOrder TrackSortIndex::makeFieldOrder(const QList<Track>& tracks,
    const std::vector<int>& idRank, TrackSortField field, bool parallel,
    const std::atomic<bool>* cancelled)
{
    const size_t count = idRank.size();
    Q_ASSERT(count <= size_t(tracks.size()));
    const auto compareNumbers = [](auto a, auto b) { return a < b ? -1 : (b < a ? 1 : 0); };
    if (isTextField(field)) {
        const std::vector<quint32> ranks = textRanks(tracks, count, field, parallel, cancelled);
        if (cancelled && *cancelled) {
            return {}; // nobody waits for it any more
        }
        return orderOf(ranks, idRank, compareNumbers, parallel);
    }
    if (field == TrackSortField::duration || field == TrackSortField::dateAdded) {
        std::vector<double> values(count);
        for (size_t i = 0; i < count; ++i) {
            const Track& track = tracks[qsizetype(i)];
            values[i] = field == TrackSortField::duration
                ? track.duration
                : track.dateAdded.value_or(Date::distantPast()).secondsSinceReferenceDate;
        }
        if (field == TrackSortField::duration) {
            // As TrackSortOrder: NaN equals NaN and follows every number.
            const auto compareDurations = [&](double x, double y) {
                if (std::isnan(x) || std::isnan(y)) {
                    return std::isnan(x) == std::isnan(y) ? 0 : (std::isnan(x) ? 1 : -1);
                }
                return compareNumbers(x, y);
            };
            return orderOf(values, idRank, compareDurations, parallel);
        }
        return orderOf(values, idRank, compareNumbers, parallel);
    }
    std::vector<qint64> values(count);
    for (size_t i = 0; i < count; ++i) {
        const Track& track = tracks[qsizetype(i)];
        const std::optional<qint64>& value = field == TrackSortField::year ? track.year
            : field == TrackSortField::trackNumber                         ? track.trackNumber
            : field == TrackSortField::bitrate                             ? track.bitrate
                                                                           : track.sampleRate;
        values[i] = value.value_or(0);
    }
    return orderOf(values, idRank, compareNumbers, parallel);
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
        size_t start = end - 1;
        while (!field.runBegins[start]) {
            --start;
        }
        result.insert(result.end(), field.ascending.begin() + qsizetype(start),
            field.ascending.begin() + qsizetype(end));
        end = start;
    }
    return result;
}

TrackSortIndex::Rows TrackSortIndex::rows(const TrackSortOrder& sortOrder)
{
    LastRows& last = *m_lastRows;
    if (last.orderedBy != sortOrder) {
        auto order = std::make_shared<const std::vector<int>>(this->order(sortOrder));
        QList<QUuid> ids(qsizetype(order->size()));
        for (size_t row = 0; row < order->size(); ++row) {
            ids[qsizetype(row)] = m_tracks.at((*order)[row]).id;
        }
        last = { sortOrder, { std::move(order), std::move(ids) } };
    }
    return last.rows;
}

} // namespace kivo
