#pragma once

#include "model/TrackSortOrder.h"
#include "ui/eon/EonMetrics.h"
#include "ui/eon/EonSortLabel.h"

#include <QWidget>
#include <optional>

namespace kivo {

// The fixed row of twelve column headers above the compact list. Each header
// is a button that asks for its field; the sorted one is amber with its chevron.
class CompactLibraryListHeader : public QWidget {
    Q_OBJECT
public:
    explicit CompactLibraryListHeader(QWidget* parent = nullptr);

    void setSortOrder(const TrackSortOrder& sortOrder);
    const TrackSortOrder& sortOrder() const { return m_sortOrder; }
    // The column under `x`, if any.
    std::optional<TrackSortField> fieldAt(double x) const;
    // A column's title and chevron as drawn in a cell `width` wide; they keep
    // clear of the cell's leading edge, so the title never runs into the
    // right-aligned title before it.
    static EonSortLabel columnLabel(
        TrackSortField field, double width, const TrackSortOrder& sortOrder);
    // As wide as a word space of the header font at least: 3 read as touching.
    static constexpr double labelGap = eon::spaceS;

    QSize sizeHint() const override;

Q_SIGNALS:
    void sortRequested(kivo::TrackSortField field);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    TrackSortOrder m_sortOrder;
};

} // namespace kivo
