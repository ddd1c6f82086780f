#include "ui/eon/EonStyleHeaders.h"

#include "ui/eon/EonPalette.h"
#include "ui/eon/Symbols.h"

#include <QAbstractItemModel>
#include <QFileDialog>
#include <QHeaderView>
#include <QIcon>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>
#include <QTreeView>

using namespace Qt::Literals::StringLiterals;

namespace kivo::eonstyle {

void paintHeaderSection(QPainter* painter, const QStyleOptionHeader* header)
{
    const QRect rect = header->rect;
    painter->fillRect(rect, eonSurface());
    if (header->state & QStyle::State_MouseOver) {
        painter->fillRect(rect, eonWithOpacity(eonSurfaceRaised(), 0.7));
    }
    if (header->orientation == Qt::Horizontal) {
        painter->fillRect(QRect(rect.left(), rect.bottom(), rect.width(), 1), eonHairline());
        if (header->position != QStyleOptionHeader::End
            && header->position != QStyleOptionHeader::OnlyOneSection) {
            painter->fillRect(
                QRect(rect.right(), rect.top() + 4, 1, rect.height() - 8), eonHairline());
        }
    } else {
        painter->fillRect(QRect(rect.right(), rect.top(), 1, rect.height()), eonHairline());
    }
}

bool isSortedHeader(const QStyleOptionHeader* header)
{
    return header->sortIndicator != QStyleOptionHeader::None;
}

void paintHeaderArrow(QPainter* painter, const QStyleOptionHeader* header)
{
    // A header shows SortDown for an ascending column.
    const QString symbol = header->sortIndicator == QStyleOptionHeader::SortDown
        ? u"chevron.up"_s
        : u"chevron.down"_s;
    Symbols::paint(*painter, QRectF(header->rect), symbol, eonAccent(), 8);
}

void paintSplitterHandle(QPainter* painter, const QStyleOption* option)
{
    const QRect rect = option->rect;
    const QColor colour = (option->state & QStyle::State_MouseOver)
        ? eonWithOpacity(eonAccent(), 0.52)
        : eonHairline();
    if (option->state & QStyle::State_Horizontal) {
        painter->fillRect(QRect(rect.center().x(), rect.top(), 1, rect.height()), colour);
    } else {
        painter->fillRect(QRect(rect.left(), rect.center().y(), rect.width(), 1), colour);
    }
}

bool isFileChooserList(const QWidget* widget)
{
    if (qobject_cast<const QHeaderView*>(widget)) {
        widget = widget->parentWidget();
    }
    if (!qobject_cast<const QTreeView*>(widget)) {
        return false;
    }
    // The chooser is a window, or a page's part in the gallery.
    for (const QWidget* above = widget->parentWidget(); above; above = above->parentWidget()) {
        if (qobject_cast<const QFileDialog*>(above)) {
            return true;
        }
    }
    return false;
}

void alignHeaderTitleWithValues(QStyleOptionHeader& header, const QWidget* widget)
{
    const auto* view = qobject_cast<const QHeaderView*>(widget);
    if (!view || header.orientation != Qt::Horizontal || !isFileChooserList(widget)) {
        return;
    }
    // The label's rect comes with Fusion's 4-pixel header margin. The Name
    // title's blank icon (which lined it up with the names) goes: every title
    // starts at the inset, over its column's first mark.
    const int extra = fileChooserTextInset - 4;
    header.rect.adjust(extra, 0, -extra, 0);
    header.icon = QIcon();
    const auto* tree = static_cast<const QTreeView*>(view->parentWidget());
    const QAbstractItemModel* model = view->model();
    if (!model || model->rowCount(tree->rootIndex()) == 0) {
        return;
    }
    const QVariant alignment
        = model->index(0, header.section, tree->rootIndex()).data(Qt::TextAlignmentRole);
    if (alignment.isValid()) {
        const auto values = Qt::Alignment(alignment.toInt()) & Qt::AlignHorizontal_Mask;
        header.textAlignment = (header.textAlignment & ~Qt::AlignHorizontal_Mask) | values;
    }
}

} // namespace kivo::eonstyle
