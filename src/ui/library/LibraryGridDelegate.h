#pragma once

#include <QFont>
#include <QPixmap>
#include <QStyledItemDelegate>

namespace kivo {

// Paints one tile of the library grid in `option.rect`: the artwork
// placeholder square (it never loads artwork) and the title and artist lines.
class LibraryGridDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    explicit LibraryGridDelegate(QObject* parent = nullptr);

    // Both caption lines with the space between them.
    double captionHeight() const;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
        const QModelIndex& index) const override;

private:
    // The artwork square with its shadow, note and outline, drawn once per
    // size: every tile shows the same placeholder.
    const QPixmap& placeholder(int side, qreal devicePixelRatio) const;

    mutable QPixmap m_placeholder;
    QFont m_titleFont;
    QFont m_artistFont;
};

} // namespace kivo
