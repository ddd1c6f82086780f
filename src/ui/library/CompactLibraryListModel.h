#pragma once

#include "model/Track.h"
#include "model/TrackSortOrder.h"
#include "ui/library/CompactLibraryListColumns.h"

#include <QIdentityProxyModel>
#include <QSet>
#include <QUuid>
#include <optional>

namespace kivo {

class TrackTableModel;

// The rows of the compact library list: one per song in display order, one
// column per TrackSortField. The ordering is the song table's model (collation
// keys, large lists ordered on its worker, newest list wins); this proxy gives
// the list its own texts and row looks. Main thread only.
class CompactLibraryListModel : public QIdentityProxyModel {
    Q_OBJECT
public:
    enum Role {
        TrackIdRole = Qt::UserRole + 1, // QUuid
        SubtitleRole, // QString: the title block's second line
        IsCurrentRole, // bool: the queue's current song
        IsSelectedRole, // bool
        IsStripedRole, // bool: every second row, counted from the first
        SymbolNameRole, // QString, on the horizontal header: the sort chevron
    };

    // Lists of at least `backgroundThreshold` songs are ordered on a worker.
    explicit CompactLibraryListModel(QObject* parent = nullptr, int backgroundThreshold = 5000);

    void setTracks(QList<Track> tracks);
    // The rows show the newest list in the current order.
    bool isUpToDate() const;
    const Track& track(int row) const;
    // The songs as displayed, in display order.
    QList<Track> displayedTracks() const;
    // The first row showing `id`, or -1.
    int firstRow(const QUuid& id) const;

    const TrackSortOrder& sortOrder() const;
    // A new field sorts ascending; the sorted field flips its direction.
    void sortBy(TrackSortField field);

    const QSet<QUuid>& selectedIDs() const;
    void setSelectedIDs(const QSet<QUuid>& ids);
    void setCurrentTrackID(const std::optional<QUuid>& id);

    // Formats the DATE ADDED column (the shared medium-style formatter by default).
    void setDateText(compactlist::DateText dateText);

    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(
        int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

Q_SIGNALS:
    void sortOrderChanged(const kivo::TrackSortOrder& sortOrder);

private:
    TrackTableModel* m_rows;
    compactlist::DateText m_dateText;
};

} // namespace kivo
