#include "ui/songtable/TrackTableModel.h"

#include "model/RunOnWorker.h"
#include "ui/eon/PlainToolTip.h"
#include "ui/songtable/TrackSortIndexCache.h"

#include <QCoreApplication>
#include <QTimer>
#include <QtConcurrent/qtconcurrenttask.h>
#include <array>
#include <atomic>

namespace kivo {

// Shared with the worker's jobs for one shown list: which fields a job has
// taken on, and whether the list is gone.
struct TrackTableModel::Preparation {
    std::atomic<bool> cancelled = false;
    std::array<std::atomic<bool>, 12> claimed {};
};

TrackTableModel::TrackTableModel(QObject* parent, int backgroundThreshold)
    : QAbstractTableModel(parent)
    , m_pool(std::make_unique<QThreadPool>())
    , m_urgentPool(std::make_unique<QThreadPool>())
    , m_backgroundThreshold(backgroundThreshold)
    , m_latestList(std::make_shared<std::atomic<quint64>>(0))
    , m_preparation(std::make_shared<Preparation>())
{
    m_pool->setMaxThreadCount(1);
    m_urgentPool->setMaxThreadCount(1);
}

TrackTableModel::~TrackTableModel()
{
    // Queued jobs see that they are not needed; the pool waits for the one running.
    m_preparation->cancelled = true;
    *m_latestList = 0;
    m_pool->waitForDone();
    m_urgentPool->waitForDone();
    // The shared cache may now hold the last copy of this list (a favourites
    // or playlist screen closed): once the screen's other parts are gone too,
    // a list nobody shows is let go, with its orders.
    if (QCoreApplication* app = QCoreApplication::instance()) {
        QTimer::singleShot(0, app, [] { TrackSortIndexCache::shared().prune(); });
    }
}

void TrackTableModel::setTracks(QList<Track> tracks)
{
    const quint64 generation = ++m_requestedList;
    *m_latestList = generation;
    // The shown list's background ordering gives way to the new list.
    m_preparation->cancelled = true;
    TrackSortIndexCache::shared().prune();
    if (tracks.size() < m_backgroundThreshold) {
        adopt(TrackSortIndex(std::move(tracks)), m_sortOrder.field);
        return;
    }
    if (m_index.isContinuedBy(tracks)) {
        // The songs shown are read from the new list while it is ordered, so
        // that the library's old list is freed now: holding both, and the
        // new orders, is the largest an import or an edit ever makes the
        // program. The old list does not come back.
        TrackSortIndexCache::shared().forget(m_index.tracks());
        releaseOnWorker(std::exchange(m_index, m_index.continuedBy(tracks)));
    }
    const TrackSortField field = m_sortOrder.field;
    // A list shown before (the unchanged library) already has its orders.
    if (std::optional<TrackSortIndex> known = TrackSortIndexCache::shared().find(tracks);
        known && known->hasField(field)) {
        adopt(std::move(*known), field);
        return;
    }
    continueOnMain(QtConcurrent::task([tracks = std::move(tracks), sortOrder = m_sortOrder,
                                          generation, latest = m_latestList]() {
        if (*latest != generation) {
            return std::shared_ptr<TrackSortIndex>(); // a newer list came
        }
        auto indexed = std::make_shared<TrackSortIndex>(tracks);
        indexed->rows(sortOrder);
        return indexed;
    })
                       .onThreadPool(*m_urgentPool)
                       .spawn(),
        this, [this, generation, field](std::shared_ptr<TrackSortIndex> indexed) {
            if (indexed && generation == m_requestedList) {
                adopt(std::move(*indexed), field);
                TrackSortIndexCache::shared().remember(m_index);
            }
        });
}

void TrackTableModel::adopt(TrackSortIndex index, TrackSortField preparedField)
{
    m_preparation->cancelled = true;
    m_preparation = std::make_shared<Preparation>();
    m_preparation->claimed[size_t(preparedField)] = true;
    beginResetModel();
    m_shownList = m_requestedList;
    letGo(std::exchange(m_index, std::move(index)));
    if (canOrderNow(m_sortOrder.field)) {
        m_orderedBy = m_sortOrder;
    } else {
        // The sort order changed while this list was ordered: show it by the
        // field it was ordered by until the new one is ready.
        m_orderedBy = { preparedField, true };
        requestField(m_sortOrder.field, true);
    }
    setOrder(m_orderedBy);
    endResetModel();
    if (m_index.tracks().size() >= m_backgroundThreshold) {
        for (const TrackTableColumnID column : allTrackTableColumnIDs()) {
            requestField(sortField(column), false);
        }
    }
}

void TrackTableModel::letGo(TrackSortIndex shown)
{
    // The last copy of a list frees its songs on a worker. Any other copy
    // goes here and now: the shared cache may then be the list's last holder
    // (a library list a removal replaced), and it must not keep a list that
    // nobody shows any more.
    if (shown.tracks().isDetached()) {
        releaseOnWorker(std::move(shown));
        return;
    }
    shown = TrackSortIndex();
    TrackSortIndexCache::shared().prune();
}

bool TrackTableModel::canOrderNow(TrackSortField field) const
{
    return m_index.hasField(field) || m_index.tracks().size() < m_backgroundThreshold;
}

void TrackTableModel::requestField(TrackSortField field, bool urgent)
{
    if (m_index.hasField(field)) {
        return;
    }
    const std::shared_ptr<Preparation> preparation = m_preparation;
    continueOnMain(
        QtConcurrent::task(
            [listed = m_index.tracks(), idRank = m_index.idRank(), field, urgent,
                preparation]() mutable -> std::shared_ptr<const TrackSortIndex::FieldOrder> {
                // Let go before the result is reported, so that the table, told of
                // it, sees who else still holds the list (see letGo()).
                const QList<Track> tracks = std::exchange(listed, {});
                // Background work skips a field already taken on; an urgent request
                // does not wait for a slower background run of its field.
                const bool taken = preparation->claimed[size_t(field)].exchange(true);
                if (preparation->cancelled || (taken && !urgent)) {
                    return nullptr;
                }
                auto order = std::make_shared<const TrackSortIndex::FieldOrder>(
                    TrackSortIndex::makeFieldOrder(
                        tracks, *idRank, field, urgent, &preparation->cancelled));
                if (preparation->cancelled) {
                    return nullptr; // possibly cut short
                }
                return order;
            })
            .onThreadPool(urgent ? *m_urgentPool : *m_pool)
            .spawn(),
        this, [this, preparation, field](std::shared_ptr<const TrackSortIndex::FieldOrder> order) {
            if (preparation != m_preparation) {
                // Work for a list this table no longer shows: it may have
                // held that list's last copy besides the shared cache.
                TrackSortIndexCache::shared().prune();
                return;
            }
            if (!order) {
                return;
            }
            // Another table of the same list may have put the field in first.
            if (!m_index.hasField(field)) {
                m_index.insert(field, std::move(order));
            }
            if (field == m_sortOrder.field && m_orderedBy != m_sortOrder) {
                reorder();
            }
        });
}

void TrackTableModel::setOrder(const TrackSortOrder& orderedBy)
{
    TrackSortIndex::Rows rows = m_index.rows(orderedBy);
    m_order = std::move(rows.order);
    m_orderedIDs = std::move(rows.ids);
    m_orderedBy = orderedBy;
}

const Track& TrackTableModel::track(int row) const
{
    return m_index.tracks()[m_order->at(size_t(row))];
}

void TrackTableModel::setSortOrder(const TrackSortOrder& sortOrder)
{
    if (sortOrder == m_sortOrder) {
        return;
    }
    m_sortOrder = sortOrder;
    if (canOrderNow(sortOrder.field)) {
        reorder();
    } else {
        requestField(sortOrder.field, true);
    }
    Q_EMIT sortOrderChanged(m_sortOrder);
}

void TrackTableModel::reorder()
{
    Q_EMIT layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    // Shared, not copied: the index keeps the rows of one order only.
    const std::shared_ptr<const std::vector<int>> oldOrder = m_order;
    setOrder(m_sortOrder);
    // Persistent indexes (the view's current row) follow their rows.
    const QModelIndexList persistent = persistentIndexList();
    if (!persistent.isEmpty()) {
        std::vector<int> rowOfPosition(m_order->size());
        for (size_t row = 0; row < m_order->size(); ++row) {
            rowOfPosition[size_t((*m_order)[row])] = int(row);
        }
        QModelIndexList moved;
        moved.reserve(persistent.size());
        for (const QModelIndex& old : persistent) {
            const int row = rowOfPosition[size_t((*oldOrder)[size_t(old.row())])];
            moved.push_back(index(row, old.column()));
        }
        changePersistentIndexList(persistent, moved);
    }
    Q_EMIT layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void TrackTableModel::sort(int column, Qt::SortOrder order)
{
    if (column >= 0 && column < trackTableColumnCount) {
        setSortOrder({ sortField(columnID(column)), order == Qt::AscendingOrder });
    }
}

void TrackTableModel::setSelectedIDs(const QSet<QUuid>& selectedIDs)
{
    if (selectedIDs != m_selectedIDs) {
        m_selectedIDs = selectedIDs;
        rowStatesChanged();
        Q_EMIT selectionChanged();
    }
}

void TrackTableModel::setCurrentTrack(const std::optional<QUuid>& id, bool isPlaying)
{
    const bool playing = id && isPlaying;
    if (id != m_currentID || playing != m_isPlaying) {
        m_currentID = id;
        m_isPlaying = playing;
        rowStatesChanged();
    }
}

void TrackTableModel::rowStatesChanged()
{
    if (!m_order->empty()) {
        Q_EMIT dataChanged(
            index(0, 0), index(rowCount() - 1, columnCount() - 1), { RowStateRole, IsPlayingRole });
    }
}

TrackRowVisualState TrackTableModel::rowState(int row) const
{
    const QUuid& id = m_orderedIDs.at(row);
    const bool active = m_currentID == id;
    const bool selected = m_selectedIDs.contains(id);
    if (active) {
        return selected ? TrackRowVisualState::activeSelected : TrackRowVisualState::active;
    }
    return selected ? TrackRowVisualState::selected : TrackRowVisualState::idle;
}

void TrackTableModel::setDateText(DateTextFunction dateText)
{
    m_dateText = std::move(dateText);
    const int column = int(TrackTableColumnID::dateAdded);
    if (!m_order->empty()) {
        Q_EMIT dataChanged(index(0, column), index(rowCount() - 1, column));
    }
}

int TrackTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_order->size());
}

int TrackTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : trackTableColumnCount;
}

QVariant TrackTableModel::data(const QModelIndex& index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid)) {
        return {};
    }
    const TrackTableColumnID column = columnID(index.column());
    const Track& song = track(index.row());
    switch (role) {
    case Qt::DisplayRole:
        return trackCellText(column, song, m_dateText);
    case Qt::ToolTipRole:
        return plainToolTip(trackCellToolTip(column, song, m_dateText));
    case PlainToolTipRole:
        return trackCellToolTip(column, song, m_dateText);
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(contentAlignment(column));
    case TrackIdRole:
        return song.id;
    case RowStateRole:
        return int(rowState(index.row()));
    case IsPlayingRole:
        return m_isPlaying && m_currentID == song.id;
    default:
        return {};
    }
}

QVariant TrackTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= trackTableColumnCount) {
        return {};
    }
    const TrackTableColumnID column = columnID(section);
    switch (role) {
    case Qt::DisplayRole:
        return title(column);
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(contentAlignment(column));
    case SymbolNameRole:
        return symbolName(column);
    default:
        return {};
    }
}

} // namespace kivo
