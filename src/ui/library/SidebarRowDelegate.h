#pragma once

#include <QStyledItemDelegate>

namespace kivo {

// Paints one sidebar row: the symbol in a 20-wide frame, the title on one
// line, and for the selected row the amber wash, outline and glow.
class SidebarRowDelegate : public QStyledItemDelegate {
public:
    static constexpr int rowHeight = 42;
    // The space below each row.
    static constexpr int rowGap = 4;

    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
        const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};

} // namespace kivo
