#include "ui/library/CompactLibraryListModel.h"

#include "ui/eon/MediumDateFormatter.h"
#include "ui/songtable/TrackTableColumn.h"
#include "ui/songtable/TrackTableModel.h"

namespace kivo {

CompactLibraryListModel::CompactLibraryListModel(QObject* parent, int backgroundThreshold)
    : QIdentityProxyModel(parent)
    , m_rows(new TrackTableModel(this, backgroundThreshold))
    , m_dateText([](const Date& date) { return formatMediumDate(date); })
{
    setSourceModel(m_rows);
    connect(m_rows, &TrackTableModel::sortOrderChanged, this, [this](const TrackSortOrder& order) {
        Q_EMIT headerDataChanged(Qt::Horizontal, 0, columnCount() - 1);
        Q_EMIT sortOrderChanged(order);
    });
}

void CompactLibraryListModel::setTracks(QList<Track> tracks)
{
    m_rows->setTracks(std::move(tracks));
}

bool CompactLibraryListModel::isUpToDate() const
{
    return m_rows->isUpToDate();
}

const Track& CompactLibraryListModel::track(int row) const
{
    return m_rows->track(row);
}

QList<Track> CompactLibraryListModel::displayedTracks() const
{
    QList<Track> tracks;
    const int count = rowCount();
    tracks.reserve(count);
    for (int row = 0; row < count; ++row) {
        tracks.append(m_rows->track(row));
    }
    return tracks;
}

int CompactLibraryListModel::firstRow(const QUuid& id) const
{
    return int(m_rows->orderedIDs().indexOf(id));
}

const TrackSortOrder& CompactLibraryListModel::sortOrder() const
{
    return m_rows->sortOrder();
}

void CompactLibraryListModel::sortBy(TrackSortField field)
{
    m_rows->setSortOrder(sortOrderAfterHeaderClick(columnForSortField(field), sortOrder()));
}

const QSet<QUuid>& CompactLibraryListModel::selectedIDs() const
{
    return m_rows->selectedIDs();
}

void CompactLibraryListModel::setSelectedIDs(const QSet<QUuid>& ids)
{
    m_rows->setSelectedIDs(ids);
}

void CompactLibraryListModel::setCurrentTrackID(const std::optional<QUuid>& id)
{
    // The list marks the current song whether or not it plays.
    m_rows->setCurrentTrack(id, false);
}

void CompactLibraryListModel::setDateText(compactlist::DateText dateText)
{
    m_dateText = std::move(dateText);
    if (rowCount() > 0) {
        const int column = int(TrackSortField::dateAdded);
        Q_EMIT dataChanged(index(0, column), index(rowCount() - 1, column));
    }
}

QVariant CompactLibraryListModel::data(const QModelIndex& index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid)) {
        return {};
    }
    const auto field = TrackSortField(index.column());
    const TrackRowVisualState state = m_rows->rowState(index.row());
    switch (role) {
    case Qt::DisplayRole:
        return compactlist::cellText(field, track(index.row()), m_dateText);
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(compactlist::column(field).alignment);
    case TrackIdRole:
        return track(index.row()).id;
    case SubtitleRole:
        return compactlist::subtitleText(track(index.row()));
    case IsCurrentRole:
        return state == TrackRowVisualState::active || state == TrackRowVisualState::activeSelected;
    case IsSelectedRole:
        return state == TrackRowVisualState::selected
            || state == TrackRowVisualState::activeSelected;
    case IsStripedRole:
        // The library holds each song once, so a row's own position is the
        // position of its song's first row.
        return index.row() % 2 == 1;
    default:
        return {};
    }
}

QVariant CompactLibraryListModel::headerData(
    int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount()) {
        return {};
    }
    const auto field = TrackSortField(section);
    switch (role) {
    case Qt::DisplayRole:
        return QString::fromUtf16(compactlist::column(field).header);
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(compactlist::column(field).alignment);
    case SymbolNameRole:
        return compactlist::headerSymbol(field, sortOrder());
    default:
        return {};
    }
}

Qt::ItemFlags CompactLibraryListModel::flags(const QModelIndex& index) const
{
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemNeverHasChildren : Qt::NoItemFlags;
}

} // namespace kivo
