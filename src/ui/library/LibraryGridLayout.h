#pragma once

#include <QRectF>
#include <utility>

namespace kivo {

// Where the library grid's tiles go. Columns are at least the tile width and
// at most 40 wider, 24 apart, as many as fit inside the 24-point margins;
// when even the widest columns leave room, the grid is centred. Each tile is
// its square artwork, 10 points, then two caption lines; rows are 32 apart.
struct LibraryGridLayout {
    static constexpr double margin = 24;
    static constexpr double columnSpacing = 24;
    static constexpr double rowSpacing = 32;
    static constexpr double extraColumnWidth = 40;
    static constexpr double captionSpacing = 10;
    static constexpr double minimumItemWidth = 120;
    static constexpr double maximumItemWidth = 240;
    static constexpr double defaultItemWidth = 160;

    // `viewportWidth`: the scroll area's width; `captionHeight`: both caption lines.
    LibraryGridLayout(double viewportWidth, double itemWidth, double captionHeight);

    int columns = 1;
    double columnWidth = 0;
    double left = margin; // of the first column
    double tileHeight = 0;

    double rowPitch() const { return tileHeight + rowSpacing; }
    QRectF tileRect(int index) const;
    // Everything the tiles need, margins included.
    double contentHeight(int count) const;
    // The first and one past the last tile that meet the band [top, bottom).
    std::pair<int, int> visibleRange(double top, double bottom, int count) const;
};

} // namespace kivo
