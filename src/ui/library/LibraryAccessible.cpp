#include "ui/library/LibraryAccessible.h"

#include "ui/eon/EonAccessibleElement.h"
#include "ui/library/LibraryGridArea.h"
#include "ui/library/LibraryGridLayout.h"
#include "ui/library/LibraryGridModel.h"

#include <QAccessibleWidget>
#include <QScrollBar>

namespace kivo {

namespace {

class GridAccessible : public QAccessibleWidget {
public:
    explicit GridAccessible(LibraryGridArea* grid)
        : QAccessibleWidget(grid, QAccessible::List)
    {
    }

    LibraryGridArea* grid() const { return static_cast<LibraryGridArea*>(widget()); }
    int count() const { return grid()->model().rowCount(); }

    int childCount() const override { return count(); }

    QAccessibleInterface* child(int index) const override
    {
        if (index < 0 || index >= count()) {
            return nullptr;
        }
        return m_tiles.get(quint64(index), [this, index] { return makeTile(index); });
    }

    int indexOfChild(const QAccessibleInterface* child) const override
    {
        const qint64 index = m_tiles.keyOf(child);
        return index < count() ? int(index) : -1;
    }

    QAccessibleInterface* childAt(int x, int y) const override
    {
        for (int i = 0; i < count(); ++i) {
            if (tileRect(i).contains(grid()->mapFromGlobal(QPoint(x, y)))) {
                return child(i);
            }
        }
        return nullptr;
    }

private:
    QRect tileRect(int index) const
    {
        const QRectF tile = grid()->layout().tileRect(index);
        const QPoint origin = grid()->viewport()->geometry().topLeft();
        return tile.translated(origin.x(), origin.y() - grid()->verticalScrollBar()->value())
            .toAlignedRect();
    }

    EonAccessibleElement* makeTile(int index) const
    {
        auto* tile = new EonAccessibleElement(
            grid(), const_cast<GridAccessible*>(this), QAccessible::ListItem);
        tile->exists = [this, index] { return index < count(); };
        tile->name = [this, index] {
            return grid()->model().data(grid()->model().index(index)).toString();
        };
        tile->description = [this, index] {
            return grid()
                ->model()
                .data(grid()->model().index(index), LibraryGridModel::SubtitleRole)
                .toString();
        };
        tile->bounds = [this, index] { return tileRect(index); };
        return tile;
    }

    mutable EonAccessibleChildren m_tiles;
};

} // namespace

QAccessibleInterface* libraryAccessible(const QString&, QObject* object)
{
    if (auto* grid = qobject_cast<LibraryGridArea*>(object)) {
        return new GridAccessible(grid);
    }
    return nullptr;
}

} // namespace kivo
