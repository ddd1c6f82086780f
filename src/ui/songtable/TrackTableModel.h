#pragma once

#include "model/Track.h"
#include "model/TrackSortOrder.h"
#include "ui/songtable/TrackCellText.h"
#include "ui/songtable/TrackSortIndex.h"
#include "ui/songtable/TrackTableColumn.h"

#include <QAbstractTableModel>
#include <QSet>
#include <QUuid>
#include <optional>
#include <vector>

namespace kivo {

// How a row is drawn: the current song is "active", and a row can be both.
enum class TrackRowVisualState {
    idle,
    selected,
    active,
    activeSelected,
};

// The rows of one song table: one row per position of the list in display
// order (a playlist may list a song twice: both rows show it, and both show as
// selected when its id is), one column per TrackTableColumnID in declaration
// order. Which columns show, where and how wide is the view's business (the
// layout state), so layout changes never touch the model. Sorting uses
// collation keys made once per list change. Main thread only.
class TrackTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Role {
        TrackIdRole = Qt::UserRole + 1, // QUuid
        RowStateRole, // int(TrackRowVisualState)
        IsPlayingRole, // bool: the current song, playing now
        PlainToolTipRole, // QString: the tooltip's text, unescaped
        SymbolNameRole, // QString, on the horizontal header
    };

    explicit TrackTableModel(QObject* parent = nullptr);

    // A new list (the library or the playlist changed): the model resets, in
    // the current sort order.
    void setTracks(QList<Track> tracks);
    const Track& track(int row) const;
    // The track ids by row, for the selection.
    const QList<QUuid>& orderedIDs() const { return m_orderedIDs; }

    const TrackSortOrder& sortOrder() const { return m_sortOrder; }
    // Reorders the rows (persistent indexes follow their rows).
    void setSortOrder(const TrackSortOrder& sortOrder);
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

    void setSelectedIDs(const QSet<QUuid>& selectedIDs);
    const QSet<QUuid>& selectedIDs() const { return m_selectedIDs; }
    // The song the player has loaded (none: nothing) and whether it plays.
    void setCurrentTrack(const std::optional<QUuid>& id, bool isPlaying);
    TrackRowVisualState rowState(int row) const;

    // The formatter of the "Date Added" column.
    void setDateText(DateTextFunction dateText);

    static TrackTableColumnID columnID(int column) { return TrackTableColumnID(column); }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(
        int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

Q_SIGNALS:
    void sortOrderChanged(const kivo::TrackSortOrder& sortOrder);

private:
    void applyOrder();
    void rowStatesChanged();

    TrackSortIndex m_index;
    TrackSortOrder m_sortOrder;
    std::vector<int> m_order; // row -> position in m_index.tracks()
    QList<QUuid> m_orderedIDs;
    QSet<QUuid> m_selectedIDs;
    std::optional<QUuid> m_currentID;
    bool m_isPlaying = false;
    DateTextFunction m_dateText;
};

} // namespace kivo
