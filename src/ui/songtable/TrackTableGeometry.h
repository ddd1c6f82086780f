#pragma once

#include "ui/songtable/TrackTableColumnConfiguration.h"

#include <QList>
#include <QRectF>

namespace kivo {

// Where things sit across the song table, shared by the header and the rows so
// that they always line up. X positions are in content coordinates (0 is the
// content's leading edge, before horizontal scrolling).
struct TrackTableGeometry {
    static constexpr double padding = 16;
    static constexpr double leadingCellWidth = 36;
    static constexpr double trailingCellWidth = 64;
    static constexpr int rowHeight = 42;
    static constexpr int headerRowHeight = 30;
    // The header row plus its hairline.
    static constexpr int headerHeight = headerRowHeight + 1;
    // Numbers end this far before their column's edge, so that they never
    // run into the next column's text and sit under their header's title.
    static constexpr double trailingTextInset = 5;

    // The larger of what the columns need and the visible width: a wide
    // window stretches the rows instead of leaving them short.
    static double contentWidth(const TrackTableColumnLayout& columns, double viewportWidth);
    // Left edge and width of each column, in layout order.
    static QList<QRectF> columnFrames(const TrackTableColumnLayout& columns, double height);
    // The play/pause cell and the edit (or controls) cell; the trailing one
    // keeps to the trailing edge of the content.
    static QRectF leadingCell(double height);
    static QRectF trailingCell(double contentWidth, double height);
};

} // namespace kivo
