#include "ui/library/LibraryGridLayout.h"

#include <algorithm>
#include <cmath>

namespace kivo {

LibraryGridLayout::LibraryGridLayout(double viewportWidth, double itemWidth, double captionHeight)
{
    const double available = std::max(0.0, viewportWidth - 2 * margin);
    columns
        = std::max(1, int(std::floor((available + columnSpacing) / (itemWidth + columnSpacing))));
    const double fitted = (available - (columns - 1) * columnSpacing) / columns;
    columnWidth = std::clamp(fitted, std::min(itemWidth, available), itemWidth + extraColumnWidth);
    const double used = columns * columnWidth + (columns - 1) * columnSpacing;
    left = margin + std::max(0.0, (available - used) / 2);
    tileHeight = columnWidth + captionSpacing + captionHeight;
}

QRectF LibraryGridLayout::tileRect(int index) const
{
    const int row = index / columns;
    const int column = index % columns;
    return { left + column * (columnWidth + columnSpacing), margin + row * rowPitch(), columnWidth,
        tileHeight };
}

double LibraryGridLayout::contentHeight(int count) const
{
    const int rows = (count + columns - 1) / columns;
    return rows == 0 ? 2 * margin : 2 * margin + rows * tileHeight + (rows - 1) * rowSpacing;
}

std::pair<int, int> LibraryGridLayout::visibleRange(double top, double bottom, int count) const
{
    const int firstRow = std::max(0, int(std::floor((top - margin) / rowPitch())));
    const int lastRow = std::max(0, int(std::floor((bottom - margin) / rowPitch())));
    return { std::min(count, firstRow * columns), std::min(count, (lastRow + 1) * columns) };
}

} // namespace kivo
