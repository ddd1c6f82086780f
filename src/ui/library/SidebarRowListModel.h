#pragma once

#include "ui/library/SidebarModel.h"

#include <QAbstractListModel>

namespace kivo {

// One list of sidebar rows (the library sections or the playlists tree's top
// level) for a list view: the title as display role, the symbol name, and
// whether the sidebar's selection highlights the row.
class SidebarRowListModel : public QAbstractListModel {
    Q_OBJECT
public:
    enum Role { SymbolRole = Qt::UserRole + 1, SelectedRole };

    explicit SidebarRowListModel(const SidebarModel& sidebar, QObject* parent = nullptr);

    void setRows(const QList<SidebarRow>& rows);
    const SidebarRow& row(int position) const { return m_rows.at(position); }

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

private:
    const SidebarModel& m_sidebar;
    QList<SidebarRow> m_rows;
};

} // namespace kivo
