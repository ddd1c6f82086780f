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
    // A title cut short shows whole in a tooltip; one that fits shows none.
    bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
        const QModelIndex& index) override;

    // Whether the row's title is drawn cut with an ellipsis in `rowRect`.
    static bool isTitleElided(const QRect& rowRect, const QString& title);
};

} // namespace kivo
