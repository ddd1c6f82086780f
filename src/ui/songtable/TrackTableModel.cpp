#include "ui/songtable/TrackTableModel.h"

namespace kivo {

TrackTableModel::TrackTableModel(QObject* parent)
    : QAbstractTableModel(parent)
{
}

void TrackTableModel::setTracks(QList<Track> tracks)
{
    beginResetModel();
    m_index = TrackSortIndex(std::move(tracks));
    applyOrder();
    endResetModel();
}

void TrackTableModel::applyOrder()
{
    m_order = m_index.order(m_sortOrder);
    const QList<Track>& tracks = m_index.tracks();
    m_orderedIDs.resize(qsizetype(m_order.size()));
    for (size_t row = 0; row < m_order.size(); ++row) {
        m_orderedIDs[qsizetype(row)] = tracks[m_order[row]].id;
    }
}

const Track& TrackTableModel::track(int row) const
{
    return m_index.tracks()[m_order.at(size_t(row))];
}

void TrackTableModel::setSortOrder(const TrackSortOrder& sortOrder)
{
    if (sortOrder == m_sortOrder) {
        return;
    }
    Q_EMIT layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const std::vector<int> oldOrder = m_order;
    m_sortOrder = sortOrder;
    applyOrder();
    // Persistent indexes (the view's current row) follow their rows.
    const QModelIndexList persistent = persistentIndexList();
    if (!persistent.isEmpty()) {
        std::vector<int> rowOfPosition(m_order.size());
        for (size_t row = 0; row < m_order.size(); ++row) {
            rowOfPosition[size_t(m_order[row])] = int(row);
        }
        QModelIndexList moved;
        moved.reserve(persistent.size());
        for (const QModelIndex& old : persistent) {
            const int row = rowOfPosition[size_t(oldOrder[size_t(old.row())])];
            moved.push_back(index(row, old.column()));
        }
        changePersistentIndexList(persistent, moved);
    }
    Q_EMIT layoutChanged({}, QAbstractItemModel::VerticalSortHint);
    Q_EMIT sortOrderChanged(m_sortOrder);
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
    if (!m_order.empty()) {
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
    if (!m_order.empty()) {
        Q_EMIT dataChanged(index(0, column), index(rowCount() - 1, column));
    }
}

int TrackTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_order.size());
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
