#include "ui/library/SearchOverlayResultsDelegate.h"

#include "ui/eon/EonFonts.h"
#include "ui/eon/EonMetrics.h"
#include "ui/eon/EonPalette.h"
#include "ui/eon/Symbols.h"
#include "ui/library/SearchOverlayResultsModel.h"

#include <QFontMetricsF>
#include <QPainter>

namespace kivo {

namespace {

constexpr double rowSpacing = 8;
constexpr double rowInset = 8;
constexpr double symbolTextSize = 12;
constexpr double symbolSpacing = 12;

} // namespace

SearchOverlayResultsDelegate::SearchOverlayResultsDelegate(QObject* parent)
    : QStyledItemDelegate(parent)
    , m_titleFont(eonFont(eon::textCaption, QFont::DemiBold))
    , m_textFont(eonFont(eon::textBody, QFont::Medium))
{
    m_titleFont.setLetterSpacing(QFont::AbsoluteSpacing, 1.2);
}

QSize SearchOverlayResultsDelegate::sizeHint(
    const QStyleOptionViewItem& option, const QModelIndex&) const
{
    return { option.rect.width(), rowHeight };
}

void SearchOverlayResultsDelegate::paint(
    QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    const QRectF row = option.rect;
    const QString text = index.data().toString();
    painter->save();
    if (index.data(SearchOverlayResultsModel::IsSectionTitleRole).toBool()) {
        const double height = QFontMetricsF(m_titleFont).height();
        painter->setFont(m_titleFont);
        painter->setPen(eonTextTertiary());
        painter->drawText(
            QRectF(row.left(), row.bottom() + 1 - rowSpacing - height, row.width(), height),
            Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text);
        painter->restore();
        return;
    }
    const QRectF body(
        row.left() + rowInset, row.top(), row.width() - 2 * rowInset, row.height() - rowSpacing);
    const double side = Symbols::sizeForTextSize(symbolTextSize);
    Symbols::paint(*painter, QRectF(body.left(), body.center().y() - side / 2, side, side),
        index.data(SearchOverlayResultsModel::SymbolNameRole).toString(), eonTextTertiary(), side);
    const QRectF textRect(body.left() + side + symbolSpacing, body.top(),
        body.width() - side - symbolSpacing, body.height());
    painter->setFont(m_textFont);
    painter->setPen(eonTextPrimary());
    painter->drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
        QFontMetricsF(m_textFont).elidedText(text, Qt::ElideRight, textRect.width()));
    painter->restore();
}

} // namespace kivo
