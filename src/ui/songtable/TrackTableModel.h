#pragma once

#include "model/Track.h"
#include "model/TrackSortOrder.h"
#include "ui/songtable/TrackCellText.h"
#include "ui/songtable/TrackSortIndex.h"
#include "ui/songtable/TrackTableColumn.h"

#include <QAbstractTableModel>
#include <QSet>
#include <QThreadPool>
#include <QUuid>
#include <atomic>
#include <memory>
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
// layout state), so layout changes never touch the model. Main thread only.
//
// Sorting uses each field's order, made once per list change through
// collation keys. For a large list that work runs on a worker of the model's
// own: the rows keep showing the previous list until the new one is ordered
// (the newest list wins), then the other fields are ordered in the background
// so that a header click only rearranges rows. A click on a field not ordered
// yet has it ordered beside the background work and takes effect when ready.
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

    // Lists of at least `backgroundThreshold` tracks are ordered on the worker;
    // a shorter one is ordered at once in a few milliseconds, sooner than a
    // worker's answer would come.
    explicit TrackTableModel(QObject* parent = nullptr, int backgroundThreshold = 10000);
    ~TrackTableModel() override;

    // A new list (the library or the playlist changed): the model resets, in
    // the current sort order, at once for a small list, when it is ordered
    // for a large one.
    void setTracks(QList<Track> tracks);
    // The rows show the newest list in the current sort order (false while
    // the worker orders them).
    bool isUpToDate() const { return m_requestedList == m_shownList && m_orderedBy == m_sortOrder; }
    const Track& track(int row) const;
    // The track ids by row, for the selection.
    const QList<QUuid>& orderedIDs() const { return m_orderedIDs; }
    // The list shown and, by row, each row's position in it: together the
    // display order, cheap to hand to a worker.
    const QList<Track>& shownTracks() const { return m_index.tracks(); }
    const std::vector<int>& rowPositions() const { return *m_order; }

    const TrackSortOrder& sortOrder() const { return m_sortOrder; }
    // Reorders the rows (persistent indexes follow their rows), at once unless
    // the worker is still ordering this field.
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
    // The selected songs changed (after the rows' dataChanged).
    void selectionChanged();

private:
    struct Preparation;

    // The index's rows in `preparedField`'s order are taken as they are: the
    // worker that indexed a long list laid them out, so that showing it does
    // not gather its ids on the main thread.
    void adopt(TrackSortIndex index, TrackSortField preparedField);
    // Lets go of the index this model showed before.
    static void letGo(TrackSortIndex shown);
    bool canOrderNow(TrackSortField field) const;
    void setOrder(const TrackSortOrder& orderedBy);
    void reorder();
    // An urgent field (the one the rows wait for) does not queue behind the
    // background ones.
    void requestField(TrackSortField field, bool urgent);
    void rowStatesChanged();

    std::unique_ptr<QThreadPool> m_pool;
    std::unique_ptr<QThreadPool> m_urgentPool;
    int m_backgroundThreshold;
    quint64 m_requestedList = 0;
    quint64 m_shownList = 0;
    std::shared_ptr<std::atomic<quint64>> m_latestList; // m_requestedList, for the worker
    std::shared_ptr<Preparation> m_preparation; // of the list shown
    TrackSortIndex m_index;
    TrackSortOrder m_sortOrder;
    TrackSortOrder m_orderedBy; // what m_order follows now
    // Row -> position in m_index.tracks(), shared with the index.
    std::shared_ptr<const std::vector<int>> m_order = std::make_shared<const std::vector<int>>();
    QList<QUuid> m_orderedIDs;
    QSet<QUuid> m_selectedIDs;
    std::optional<QUuid> m_currentID;
    bool m_isPlaying = false;
    DateTextFunction m_dateText;
};

} // namespace kivo
