#pragma once

#include <QAbstractListModel>

namespace kivo {

class AddSongsSheetModel;

// The add-songs sheet's rows: one per position of the library list, with the
// song's title (display role), its artist or "Unknown Artist", its duration
// as time text and whether it is ticked.
class AddSongsSheetListModel : public QAbstractListModel {
    Q_OBJECT
public:
    enum Role { ArtistRole = Qt::UserRole + 1, DurationRole, TickedRole, IdRole };

    explicit AddSongsSheetListModel(AddSongsSheetModel& sheet, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

private:
    AddSongsSheetModel& m_sheet;
};

} // namespace kivo
