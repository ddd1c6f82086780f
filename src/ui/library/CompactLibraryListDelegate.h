#pragma once

#include <QFont>
#include <QStyledItemDelegate>
#include <array>

namespace kivo {

// Paints whole rows of the compact library list: the selection or stripe
// layer, the title block (with the speaker on the current song) and the eleven
// other cells, each in its column's frame, font and colour.
class CompactLibraryListDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    explicit CompactLibraryListDelegate(QObject* parent = nullptr);

    // `index` is any cell of the row; the row spans `option.rect`.
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
        const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    std::array<QFont, 12> m_cellFonts;
    QFont m_titleFont;
    QFont m_currentTitleFont;
    QFont m_subtitleFont;
};

} // namespace kivo
