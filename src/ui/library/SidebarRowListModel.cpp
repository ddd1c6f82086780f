#include "ui/library/SidebarRowListModel.h"

namespace kivo {

SidebarRowListModel::SidebarRowListModel(const SidebarModel& sidebar, QObject* parent)
    : QAbstractListModel(parent)
    , m_sidebar(sidebar)
{
    connect(&sidebar, &SidebarModel::selectionChanged, this, [this] {
        if (!m_rows.isEmpty()) {
            Q_EMIT dataChanged(index(0), index(rowCount() - 1), { SelectedRole });
        }
    });
}

void SidebarRowListModel::setRows(const QList<SidebarRow>& rows)
{
    beginResetModel();
    m_rows = rows;
    endResetModel();
}

int SidebarRowListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

QVariant SidebarRowListModel::data(const QModelIndex& index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid)) {
        return {};
    }
    const SidebarRow& row = m_rows.at(index.row());
    switch (role) {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole:
        return row.title;
    case SymbolRole:
        return row.symbol;
    case SelectedRole:
        return m_sidebar.isSelected(row);
    default:
        return {};
    }
}

} // namespace kivo
