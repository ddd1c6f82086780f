#include "ui/library/AddSongsSheetListModel.h"

#include "ui/eon/TimeText.h"
#include "ui/library/AddSongsSheetModel.h"
#include "ui/library/PlaylistDetailViewModel.h"

using namespace Qt::Literals::StringLiterals;

namespace kivo {

AddSongsSheetListModel::AddSongsSheetListModel(AddSongsSheetModel& sheet, QObject* parent)
    : QAbstractListModel(parent)
    , m_sheet(sheet)
{
    // The sheet's list is the screen's copy of the library: reset with it.
    connect(&sheet.screen(), &PlaylistDetailViewModel::libraryTracksChanged, this, [this] {
        beginResetModel();
        endResetModel();
    });
    connect(&sheet, &AddSongsSheetModel::changed, this, [this] {
        if (rowCount() > 0) {
            Q_EMIT dataChanged(index(0), index(rowCount() - 1), { TickedRole });
        }
    });
}

int AddSongsSheetListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_sheet.tracks().size());
}

QVariant AddSongsSheetListModel::data(const QModelIndex& index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid)) {
        return {};
    }
    const Track& track = m_sheet.tracks().at(index.row());
    switch (role) {
    case Qt::DisplayRole:
        return track.title;
    case ArtistRole:
        return track.artist.value_or(u"Unknown Artist"_s);
    case DurationRole:
        return formatTime(track.duration);
    case TickedRole:
        return m_sheet.isTicked(track.id);
    case IdRole:
        return track.id;
    default:
        return {};
    }
}

} // namespace kivo
