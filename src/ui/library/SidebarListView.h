#pragma once

#include <QListView>

namespace kivo {

// A list of sidebar rows that the keyboard reaches. Up and Down move the focus
// cursor without opening anything; Return and Space open the row under it.
// Its selection is the row of the window's destination: the owner sets it, and
// a selection made through assistive technology is announced as an opening.
class SidebarListView : public QListView {
    Q_OBJECT
public:
    explicit SidebarListView(QWidget* parent = nullptr);

    void setModel(QAbstractItemModel* model) override;

    // Selects `row` (or nothing for -1) without announcing it.
    void showSelectedRow(int row);
    // Focus came from the keyboard and the list still has it: the ring shows.
    bool showsFocusRing() const { return hasFocus() && m_keyboardFocus; }
    // Takes the focus as a key press would give it, on its first or last row.
    void focusFromKeyboard(bool lastRow);

Q_SIGNALS:
    // Return or Space on a row, or a row selected from outside.
    void rowOpened(int row);
    // Up on the first row (-1) or Down on the last (+1).
    void movedPastEnd(int direction);

protected:
    void focusInEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    // Clicks and keys never select: only an opened destination does.
    QItemSelectionModel::SelectionFlags selectionCommand(
        const QModelIndex& index, const QEvent* event) const override;

private:
    void selectionWasChanged(const QItemSelection& selected, const QItemSelection& deselected);

    bool m_keyboardFocus = false;
    bool m_showing = false;
};

} // namespace kivo
