#pragma once

#include <QFont>
#include <QStyledItemDelegate>

namespace kivo {

// Paints the search overlay's rows: a section title at the foot of its row
// (24 below the previous section), or a result's symbol and text. Rows take
// no clicks, so no hover or selection look is drawn.
class SearchOverlayResultsDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    // A result row (6 + text + 6) and the 8 below it.
    static constexpr int rowHeight = 37;

    explicit SearchOverlayResultsDelegate(QObject* parent = nullptr);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
        const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    QFont m_titleFont;
    QFont m_textFont;
};

} // namespace kivo
