#include "ui/songtable/TrackTableAccessible.h"

#include "ui/eon/EonAccessibleElement.h"
#include "ui/songtable/NowPlayingIndicator.h"
#include "ui/songtable/TrackListTableView.h"
#include "ui/songtable/TrackTableGeometry.h"
#include "ui/songtable/TrackTableHeaderView.h"
#include "ui/songtable/TrackTableLayoutState.h"
#include "ui/songtable/TrackTableModel.h"

#include <QAccessibleWidget>
#include <QMenu>
#include <QScrollBar>

using namespace Qt::Literals::StringLiterals;

namespace kivo {

namespace {

// The header cell's parts, as the header paints them.
enum HeaderPart : quint64 { grip, sortButton, resizeHandle };
constexpr quint64 restoreKey = 1000;
constexpr quint64 menuKey = 1001;
constexpr double handleWidth = 5;

std::optional<qsizetype> positionOf(const TrackTableColumnLayout& columns, TrackTableColumnID id)
{
    for (qsizetype i = 0; i < columns.size(); ++i) {
        if (columns[i].id == id) {
            return i;
        }
    }
    return std::nullopt;
}

class HeaderAccessible : public QAccessibleWidget {
public:
    explicit HeaderAccessible(TrackTableHeaderView* header)
        : QAccessibleWidget(header, QAccessible::Row)
    {
    }

    TrackTableHeaderView* header() const { return static_cast<TrackTableHeaderView*>(widget()); }
    const TrackTableColumnLayout& columns() const
    {
        return static_cast<const TrackListTableView*>(header()->parentWidget())
            ->layoutState()
            .columns();
    }

    int childCount() const override
    {
        return int(columns().size() * 3) + (header()->showsRestoreButton() ? 2 : 1);
    }

    QAccessibleInterface* child(int index) const override
    {
        const int count = childCount();
        if (index < 0 || index >= count) {
            return nullptr;
        }
        if (index == count - 1) {
            return element(menuKey);
        }
        if (index == count - 2 && header()->showsRestoreButton()) {
            return element(restoreKey);
        }
        const auto id = quint64(columns()[index / 3].id);
        return element(id * 3 + quint64(index % 3));
    }

    int indexOfChild(const QAccessibleInterface* child) const override
    {
        for (int i = 0; i < childCount(); ++i) {
            if (this->child(i) == child) {
                return i;
            }
        }
        return -1;
    }

    QAccessibleInterface* childAt(int x, int y) const override
    {
        for (int i = 0; i < childCount(); ++i) {
            QAccessibleInterface* candidate = child(i);
            if (candidate->rect().contains(x, y)) {
                return candidate;
            }
        }
        return nullptr;
    }

private:
    // A rectangle of the content (before scrolling) in the header's coordinates.
    QRect fromContent(const QRectF& content) const
    {
        const QPoint origin = header()->viewport()->geometry().topLeft();
        return content.translated(origin.x() - header()->offset(), origin.y()).toAlignedRect();
    }

    QAccessibleInterface* element(quint64 key) const
    {
        return m_children.get(key, [this, key] { return make(key); });
    }

    EonAccessibleElement* make(quint64 key) const
    {
        TrackTableHeaderView* view = header();
        if (key == restoreKey || key == menuKey) {
            const bool restore = key == restoreKey;
            auto* button = new EonAccessibleElement(view, const_cast<HeaderAccessible*>(this),
                restore ? QAccessible::Button : QAccessible::ButtonMenu);
            button->name = [restore] {
                return restore ? u"Restore Default Column Layout"_s : u"Customize Song Columns"_s;
            };
            button->description = [restore] {
                return restore ? u"Restore default song-column layout"_s
                               : u"Show, hide, and restore song columns"_s;
            };
            button->bounds = [this, restore] {
                const TrackTableHeaderView* v = header();
                return fromContent(restore ? v->restoreButtonRect() : v->menuButtonRect());
            };
            if (restore) {
                button->exists = [view] { return view->showsRestoreButton(); };
                button->press = [view] { view->restoreDefaultLayout(); };
            } else {
                button->press = [this, view] {
                    QMenu* menu = view->buildColumnMenu(view);
                    menu->setAttribute(Qt::WA_DeleteOnClose);
                    menu->popup(view->mapToGlobal(
                        fromContent(view->menuButtonRect()).bottomLeft() + QPoint(0, 2)));
                };
            }
            return button;
        }
        const auto id = TrackTableColumnID(key / 3);
        const auto part = HeaderPart(key % 3);
        const QAccessible::Role role
            = part == sortButton ? QAccessible::ColumnHeader : QAccessible::Grip;
        auto* element = new EonAccessibleElement(view, const_cast<HeaderAccessible*>(this), role);
        element->exists = [this, id] { return positionOf(columns(), id).has_value(); };
        element->bounds = [this, id, part] {
            const TrackTableColumnLayout& shown = columns();
            const qsizetype at = positionOf(shown, id).value_or(0);
            const QRectF frame
                = TrackTableGeometry::columnFrames(shown, TrackTableGeometry::headerRowHeight)[at];
            const double gripWidth = shown[at].isCollapsed ? 14 : 18;
            switch (part) {
            case grip:
                return fromContent(frame.adjusted(0, 0, gripWidth - frame.width(), 0));
            case sortButton:
                return fromContent(frame.adjusted(gripWidth, 0, -handleWidth, 0));
            case resizeHandle:
                break;
            }
            return fromContent(frame.adjusted(frame.width() - handleWidth, 0, 0, 0));
        };
        // The cell's help, as its tooltip gives it over the grip and the title.
        element->description = [] { return u"Drag to reorder. Drag the right edge to resize."_s; };
        switch (part) {
        case grip:
            element->name = [id] { return u"Move "_s + title(id) + u" column"_s; };
            break;
        case sortButton:
            element->name = [id] { return u"Sort by "_s + title(id); };
            element->value = [view, id] {
                const TrackSortOrder& order = view->sortOrder();
                if (order.field != sortField(id)) {
                    return u"Not selected"_s;
                }
                return order.ascending ? u"Ascending"_s : u"Descending"_s;
            };
            // The AT-SPI bridge drops value texts: a screen reader hears the
            // sort state as the description (the grip keeps the cell's help).
            element->description = element->value;
            element->press = [view, id] {
                Q_EMIT view->sortRequested(sortOrderAfterHeaderClick(id, view->sortOrder()));
            };
            break;
        case resizeHandle:
            element->name = [id] { return u"Resize "_s + title(id) + u" column"_s; };
            element->description = [] { return u"Drag to resize. Double-click to reset width."_s; };
            break;
        }
        return element;
    }

    mutable EonAccessibleChildren m_children;
};

// A cell of a song's row, which a screen reader asks for its column's header.
class CellAccessible : public EonAccessibleElement, public QAccessibleTableCellInterface {
public:
    CellAccessible(QWidget* owner, QAccessibleInterface* row, QAccessibleInterface* table,
        int rowIndex, int position)
        : EonAccessibleElement(owner, row, QAccessible::Cell)
        , m_table(table)
        , m_row(rowIndex)
        , m_position(position)
    {
    }

    std::function<bool()> selected;
    std::function<QAccessibleInterface*()> header;

    void* interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TableCellInterface) {
            return static_cast<QAccessibleTableCellInterface*>(this);
        }
        return EonAccessibleElement::interface_cast(type);
    }

    bool isSelected() const override { return selected && selected(); }
    QList<QAccessibleInterface*> columnHeaderCells() const override
    {
        QAccessibleInterface* cell = header ? header() : nullptr;
        return cell ? QList<QAccessibleInterface*> { cell } : QList<QAccessibleInterface*> {};
    }
    QList<QAccessibleInterface*> rowHeaderCells() const override { return {}; }
    int columnIndex() const override { return m_position; }
    int rowIndex() const override { return m_row; }
    int columnExtent() const override { return 1; }
    int rowExtent() const override { return 1; }
    QAccessibleInterface* table() const override { return m_table; }

private:
    QAccessibleInterface* m_table;
    int m_row;
    int m_position;
};

// A row's children: the play button, one cell per shown column, the edit button.
// As a table, its columns are the shown columns and its rows the songs; a row
// is selected and unselected as a Ctrl-click would.
class TableAccessible : public QAccessibleWidget, public QAccessibleTableInterface {
public:
    explicit TableAccessible(TrackListTableView* view)
        : QAccessibleWidget(view, QAccessible::Table)
    {
    }

    TrackListTableView* view() const { return static_cast<TrackListTableView*>(widget()); }

    void* interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TableInterface) {
            return static_cast<QAccessibleTableInterface*>(this);
        }
        return QAccessibleWidget::interface_cast(type);
    }

    int rowCount() const override
    {
        return view()->trackModel() ? view()->trackModel()->rowCount() : 0;
    }
    int columnCount() const override { return int(view()->layoutState().columns().size()); }
    QAccessibleInterface* cellAt(int row, int column) const override
    {
        QAccessibleInterface* rowElement = child(row + 1);
        return rowElement && column >= 0 && column < columnCount() ? rowElement->child(column + 1)
                                                                   : nullptr;
    }
    QAccessibleInterface* caption() const override { return nullptr; }
    QAccessibleInterface* summary() const override { return nullptr; }
    QString columnDescription(int column) const override
    {
        const TrackTableColumnLayout& columns = view()->layoutState().columns();
        return column >= 0 && column < columns.size() ? title(columns[column].id) : QString();
    }
    QString rowDescription(int) const override { return {}; }

    QList<int> selectedRows() const override
    {
        QList<int> rows;
        for (int row = 0; row < rowCount(); ++row) {
            if (isRowSelected(row)) {
                rows << row;
            }
        }
        return rows;
    }
    int selectedRowCount() const override { return int(selectedRows().size()); }
    bool isRowSelected(int row) const override
    {
        if (row < 0 || row >= rowCount()) {
            return false;
        }
        const auto visual = TrackRowVisualState(dataOf(row, TrackTableModel::RowStateRole).toInt());
        return visual == TrackRowVisualState::selected
            || visual == TrackRowVisualState::activeSelected;
    }
    bool selectRow(int row) override { return toggleRowTo(row, true); }
    bool unselectRow(int row) override { return toggleRowTo(row, false); }
    QList<QAccessibleInterface*> selectedCells() const override
    {
        QList<QAccessibleInterface*> cells;
        for (const int row : selectedRows()) {
            for (int column = 0; column < columnCount(); ++column) {
                cells << cellAt(row, column);
            }
        }
        return cells;
    }
    int selectedCellCount() const override { return selectedRowCount() * columnCount(); }
    // Columns are not selected in this table.
    QList<int> selectedColumns() const override { return {}; }
    int selectedColumnCount() const override { return 0; }
    bool isColumnSelected(int) const override { return false; }
    bool selectColumn(int) override { return false; }
    bool unselectColumn(int) override { return false; }
    void modelChange(QAccessibleTableModelChangeEvent*) override { }

    int childCount() const override { return 1 + rowCount(); }

    QAccessibleInterface* child(int index) const override
    {
        if (index == 0) {
            return QAccessible::queryAccessibleInterface(view()->headerView());
        }
        if (index < 1 || index > rowCount()) {
            return nullptr;
        }
        const int row = index - 1;
        return m_rows.get(quint64(row), [this, row] { return makeRow(row); });
    }

    int indexOfChild(const QAccessibleInterface* child) const override
    {
        if (child && child->object() == view()->headerView()) {
            return 0;
        }
        const qint64 row = m_rows.keyOf(child);
        return row >= 0 && row < rowCount() ? int(row) + 1 : -1;
    }

    QAccessibleInterface* childAt(int x, int y) const override
    {
        const QPoint local = view()->mapFromGlobal(QPoint(x, y));
        if (view()->headerView()->geometry().contains(local)) {
            return child(0);
        }
        const QModelIndex index = view()->indexAt(view()->viewport()->mapFrom(view(), local));
        return index.isValid() ? child(index.row() + 1) : nullptr;
    }

private:
    bool toggleRowTo(int row, bool selected)
    {
        if (row < 0 || row >= rowCount() || !view()->callbacks().onSelect) {
            return false;
        }
        if (isRowSelected(row) != selected) {
            view()->callbacks().onSelect(row, Qt::ControlModifier);
        }
        return isRowSelected(row) == selected;
    }

    // Where rows can be seen: a row scrolled away is off screen.
    QRect rowArea() const { return view()->viewport()->geometry(); }

    // A row's band in the view's coordinates, over the whole content width.
    QRect rowRect(int row) const
    {
        const QModelIndex index = view()->trackModel()->index(row, 0);
        const QRect band = view()->visualRect(index);
        const QPoint origin = view()->viewport()->geometry().topLeft();
        return QRect(origin.x() - view()->horizontalScrollBar()->value(), origin.y() + band.y(),
            int(view()->contentWidth()), band.height());
    }

    QRect cellRect(int row, const QRectF& content) const
    {
        const QRect band = rowRect(row);
        return QRectF(band.x() + content.x(), band.y(), content.width(), band.height())
            .toAlignedRect();
    }

    QString titleOf(int row) const { return view()->trackModel()->track(row).title; }
    QVariant dataOf(int row, int role, TrackTableColumnID column = TrackTableColumnID::title) const
    {
        TrackTableModel* model = view()->trackModel();
        return model->data(model->index(row, int(column)), role);
    }
    bool isActive(int row) const
    {
        const auto state = TrackRowVisualState(dataOf(row, TrackTableModel::RowStateRole).toInt());
        return state == TrackRowVisualState::active || state == TrackRowVisualState::activeSelected;
    }

    EonAccessibleElement* makeRow(int row) const
    {
        TrackListTableView* table = view();
        auto* self = const_cast<TableAccessible*>(this);
        auto* element = new EonAccessibleElement(table, self, QAccessible::Row);
        element->exists = [this, row] { return row < rowCount(); };
        element->name = [this, row] { return titleOf(row); };
        element->bounds = [this, row] { return rowRect(row); };
        element->visibleArea = [this] { return rowArea(); };
        element->states = [this, row] {
            QAccessible::State state;
            state.selectable = true;
            state.selected = isRowSelected(row);
            // The keys' row: the one the table's focus event names.
            state.focusable = true;
            state.focused = view()->hasFocus() && view()->currentIndex().row() == row;
            return state;
        };
        const auto columnCount = [this] { return int(view()->layoutState().columns().size()); };
        element->countChildren = [columnCount] { return columnCount() + 2; };
        element->makeChild = [this, element, row, columnCount](int index) {
            // Cells are keyed by position; each asks the layout for its column.
            const bool last = index == columnCount() + 1;
            const quint64 key = last ? 10000 : quint64(index);
            return element->children.get(key, [this, element, row, index, last] {
                if (index == 0 || last) {
                    return makeButton(element, row, last);
                }
                return makeCell(element, row, index - 1);
            });
        };
        return element;
    }

    EonAccessibleElement* makeButton(EonAccessibleElement* rowElement, int row, bool edit) const
    {
        TrackListTableView* table = view();
        auto* button = new EonAccessibleElement(table, rowElement, QAccessible::Button);
        button->exists = [this, row] { return row < rowCount(); };
        button->visibleArea = [this] { return rowArea(); };
        if (edit) {
            button->name = [this, row] { return u"Edit "_s + titleOf(row); };
            button->press = [table, row] {
                if (table->callbacks().onEdit) {
                    table->callbacks().onEdit(row);
                }
            };
        } else {
            button->name = [this, row] {
                const bool playing = dataOf(row, TrackTableModel::IsPlayingRole).toBool();
                return (playing ? u"Pause "_s : u"Play "_s) + titleOf(row);
            };
            button->press = [table, row] {
                if (table->callbacks().onTogglePlayback) {
                    table->callbacks().onTogglePlayback(row);
                }
            };
        }
        button->bounds = [this, row, edit] {
            const double height = TrackTableGeometry::rowHeight;
            return cellRect(row,
                edit ? TrackTableGeometry::trailingCell(view()->contentWidth(), height)
                     : TrackTableGeometry::leadingCell(height));
        };
        return button;
    }

    EonAccessibleElement* makeCell(EonAccessibleElement* rowElement, int row, int position) const
    {
        TrackListTableView* table = view();
        auto* cell = new CellAccessible(
            table, rowElement, const_cast<TableAccessible*>(this), row, position);
        cell->selected = [this, row] { return isRowSelected(row); };
        // The header's sort button of the column: its cells go grip, sort, resize.
        cell->header = [table, position] {
            QAccessibleInterface* header
                = QAccessible::queryAccessibleInterface(table->headerView());
            return header ? header->child(position * 3 + 1) : nullptr;
        };
        const auto column = [this, position] {
            const TrackTableColumnLayout& columns = view()->layoutState().columns();
            return position < columns.size() ? std::optional(columns[position].id) : std::nullopt;
        };
        cell->exists = [this, row, column] { return row < rowCount() && column(); };
        cell->visibleArea = [this] { return rowArea(); };
        cell->name
            = [this, row, column] { return dataOf(row, Qt::DisplayRole, *column()).toString(); };
        cell->description = [column] { return title(*column()); };
        cell->bounds = [this, row, position] {
            const QList<QRectF> frames
                = TrackTableGeometry::columnFrames(view()->layoutState().columns(), 1);
            return cellRect(row, frames.value(position));
        };
        // The current song's title carries the now-playing mark.
        const auto marked = [this, row, column] {
            return column() == TrackTableColumnID::title && isActive(row);
        };
        cell->countChildren = [marked] { return marked() ? 1 : 0; };
        cell->makeChild = [this, cell, row, marked](int) {
            return cell->children.get(0, [this, cell, row, marked] {
                auto* mark = new EonAccessibleElement(view(), cell, QAccessible::Animation);
                mark->exists = [this, row, marked] { return row < rowCount() && marked(); };
                mark->visibleArea = [this] { return rowArea(); };
                mark->name = [this, row] {
                    return NowPlayingIndicator::accessibilityLabel(
                        dataOf(row, TrackTableModel::IsPlayingRole).toBool());
                };
                mark->bounds = [cell] {
                    const QRect box = cell->rect();
                    const QPoint topLeft = cell->owner()->mapFromGlobal(box.topLeft());
                    return QRect(topLeft.x(), topLeft.y() + (box.height() - 12) / 2,
                        int(NowPlayingIndicator::width), int(NowPlayingIndicator::height));
                };
                return mark;
            });
        };
        return cell;
    }

    mutable EonAccessibleChildren m_rows;
};

} // namespace

QAccessibleInterface* songTableAccessible(const QString&, QObject* object)
{
    if (auto* table = qobject_cast<TrackListTableView*>(object)) {
        return new TableAccessible(table);
    }
    if (auto* header = qobject_cast<TrackTableHeaderView*>(object)) {
        if (qobject_cast<TrackListTableView*>(header->parentWidget())) {
            return new HeaderAccessible(header);
        }
    }
    return nullptr;
}

} // namespace kivo
