#include "ui/eon/EonStyleHeaders.h"

#include "ui/eon/EonPalette.h"
#include "ui/eon/Symbols.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOption>

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

} // namespace kivo::eonstyle
