#include "ui/library/SidebarListView.h"

#include "ui/eon/KeyModifiers.h"

#include <QFocusEvent>
#include <QKeyEvent>

namespace kivo {

SidebarListView::SidebarListView(QWidget* parent)
    : QListView(parent)
{
    setSelectionMode(QAbstractItemView::SingleSelection);
    setFocusPolicy(Qt::StrongFocus);
    // Only Up and Down move through the rows: Left and Right still change songs.
    setProperty(keys::usesArrowKeysProperty, false);
}

void SidebarListView::setModel(QAbstractItemModel* model)
{
    QListView::setModel(model);
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
        &SidebarListView::selectionWasChanged);
}

void SidebarListView::showSelectedRow(int row)
{
    m_showing = true;
    if (row < 0) {
        clearSelection();
    } else {
        const QModelIndex index = model()->index(row, 0);
        selectionModel()->select(index, QItemSelectionModel::ClearAndSelect);
        // The keys go on from the open destination, and Tab lands on it.
        selectionModel()->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
    }
    m_showing = false;
}

void SidebarListView::selectionWasChanged(
    const QItemSelection& selected, const QItemSelection& deselected)
{
    if (m_showing) {
        return;
    }
    if (!selected.isEmpty()) {
        // A client selected a row: open it; the owner shows the new destination.
        Q_EMIT rowOpened(selected.indexes().first().row());
    } else if (!deselected.isEmpty()) {
        // Toggling the open row off leaves it open, so it stays selected.
        showSelectedRow(deselected.indexes().first().row());
    }
}

void SidebarListView::focusFromKeyboard(bool lastRow)
{
    const int rows = model() ? model()->rowCount() : 0;
    if (rows == 0) {
        return;
    }
    setCurrentIndex(model()->index(lastRow ? rows - 1 : 0, 0));
    setFocus(Qt::TabFocusReason);
}

void SidebarListView::focusInEvent(QFocusEvent* event)
{
    if (event->reason() == Qt::MouseFocusReason) {
        m_keyboardFocus = false;
    } else if (event->reason() == Qt::TabFocusReason || event->reason() == Qt::BacktabFocusReason
        || event->reason() == Qt::ShortcutFocusReason) {
        m_keyboardFocus = true;
    }
    QListView::focusInEvent(event);
}

void SidebarListView::keyPressEvent(QKeyEvent* event)
{
    m_keyboardFocus = true;
    const QModelIndex current = currentIndex();
    const bool plain = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    if (plain && current.isValid()) {
        switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Space:
            Q_EMIT rowOpened(current.row());
            return;
        case Qt::Key_Up:
            if (current.row() == 0) {
                Q_EMIT movedPastEnd(-1);
                return;
            }
            break;
        case Qt::Key_Down:
            if (current.row() == model()->rowCount() - 1) {
                Q_EMIT movedPastEnd(1);
                return;
            }
            break;
        default:
            break;
        }
    }
    QListView::keyPressEvent(event);
    viewport()->update();
}

void SidebarListView::mousePressEvent(QMouseEvent* event)
{
    m_keyboardFocus = false;
    QListView::mousePressEvent(event);
    viewport()->update();
}

QItemSelectionModel::SelectionFlags SidebarListView::selectionCommand(
    const QModelIndex&, const QEvent*) const
{
    return QItemSelectionModel::NoUpdate;
}

} // namespace kivo
