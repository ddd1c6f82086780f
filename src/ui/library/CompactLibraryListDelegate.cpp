#include "ui/library/CompactLibraryListDelegate.h"

#include "ui/eon/EonFonts.h"
#include "ui/eon/EonMetrics.h"
#include "ui/eon/EonPalette.h"
#include "ui/eon/Symbols.h"
#include "ui/library/CompactLibraryListColumns.h"
#include "ui/library/CompactLibraryListModel.h"

#include <QFontMetricsF>
#include <QPainter>

using namespace Qt::Literals::StringLiterals;

namespace kivo {

namespace {

constexpr double speakerTextSize = 9;
constexpr double titleSpacing = 8;

void drawLine(QPainter& painter, const QRectF& rect, const QString& text, const QFont& font,
    const QColor& color, Qt::Alignment alignment, bool elide)
{
    painter.setFont(font);
    painter.setPen(color);
    const QString shown
        = elide ? QFontMetricsF(font).elidedText(text, Qt::ElideRight, rect.width()) : text;
    painter.drawText(rect, int(alignment) | Qt::TextSingleLine, shown);
}

} // namespace

CompactLibraryListDelegate::CompactLibraryListDelegate(QObject* parent)
    : QStyledItemDelegate(parent)
    , m_titleFont(eonFont(eon::textCallout, QFont::Medium))
    , m_currentTitleFont(eonFont(eon::textCallout, QFont::DemiBold))
    , m_subtitleFont(eonFont(eon::textCaption))
{
    for (const CompactLibraryListColumn& column : compactlist::columns()) {
        m_cellFonts[size_t(column.field)] = compactlist::cellFont(column.field);
    }
}

QSize CompactLibraryListDelegate::sizeHint(
    const QStyleOptionViewItem& option, const QModelIndex&) const
{
    return { option.rect.width(), compactlist::rowHeight };
}

void CompactLibraryListDelegate::paint(
    QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    const QRectF row = option.rect;
    const bool selected = index.data(CompactLibraryListModel::IsSelectedRole).toBool();
    const bool current = index.data(CompactLibraryListModel::IsCurrentRole).toBool();
    painter->save();
    if (selected) {
        painter->fillRect(row, eonWithOpacity(eonSurfaceRaised(), 0.6));
    } else if (index.data(CompactLibraryListModel::IsStripedRole).toBool()) {
        painter->fillRect(row, eonWithOpacity(Qt::white, 0.025));
    }

    const QList<std::pair<double, double>> spans = compactlist::columnSpans(row.width());
    const double top = row.top() + compactlist::rowVerticalPadding;
    const double height = row.height() - 2 * compactlist::rowVerticalPadding;
    for (const CompactLibraryListColumn& column : compactlist::columns()) {
        const auto [x, width] = spans[qsizetype(column.field)];
        QRectF cell(row.left() + x, top, width, height);
        painter->setClipRect(
            cell.adjusted(0, -compactlist::rowVerticalPadding, 0, compactlist::rowVerticalPadding));
        const QModelIndex cellIndex = index.siblingAtColumn(int(column.field));
        if (column.field != TrackSortField::title) {
            drawLine(*painter, cell, cellIndex.data().toString(), m_cellFonts[size_t(column.field)],
                compactlist::cellColor(column.field, selected), column.alignment, column.oneLine);
            continue;
        }
        if (current) {
            const double side = Symbols::sizeForTextSize(speakerTextSize);
            Symbols::paint(*painter, QRectF(cell.left(), cell.center().y() - side / 2, side, side),
                u"speaker.wave.2.fill"_s, eonAccent(), side);
            cell.setLeft(cell.left() + side + titleSpacing);
        }
        const QFont& titleFont = current ? m_currentTitleFont : m_titleFont;
        const double titleHeight = QFontMetricsF(titleFont).height();
        const double subtitleHeight = QFontMetricsF(m_subtitleFont).height();
        const double blockTop = cell.center().y() - (titleHeight + 1 + subtitleHeight) / 2;
        drawLine(*painter, QRectF(cell.left(), blockTop, cell.width(), titleHeight),
            cellIndex.data().toString(), titleFont, current ? eonAccent() : eonTextPrimary(),
            column.alignment, true);
        drawLine(*painter,
            QRectF(cell.left(), blockTop + titleHeight + 1, cell.width(), subtitleHeight),
            cellIndex.data(CompactLibraryListModel::SubtitleRole).toString(), m_subtitleFont,
            eonTextSecondary(), column.alignment, true);
    }
    painter->restore();
}

} // namespace kivo
