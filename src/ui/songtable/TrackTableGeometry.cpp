#include "ui/songtable/TrackTableGeometry.h"

#include "ui/songtable/TrackTableLayoutState.h"

#include <algorithm>

namespace kivo {

double TrackTableGeometry::contentWidth(const TrackTableColumnLayout& columns, double viewportWidth)
{
    double total = TrackTableLayoutState::fixedRowWidth;
    for (const TrackTableColumnConfiguration& column : columns) {
        total += column.width;
    }
    return std::max(total, viewportWidth);
}

QList<QRectF> TrackTableGeometry::columnFrames(const TrackTableColumnLayout& columns, double height)
{
    QList<QRectF> frames;
    frames.reserve(columns.size());
    double x = padding + leadingCellWidth;
    for (const TrackTableColumnConfiguration& column : columns) {
        frames.append(QRectF(x, 0, column.width, height));
        x += column.width;
    }
    return frames;
}

QRectF TrackTableGeometry::leadingCell(double height)
{
    return QRectF(padding, 0, leadingCellWidth, height);
}

QRectF TrackTableGeometry::trailingCell(double contentWidth, double height)
{
    return QRectF(contentWidth - padding - trailingCellWidth, 0, trailingCellWidth, height);
}

} // namespace kivo
