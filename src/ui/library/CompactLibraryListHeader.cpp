#include "ui/library/CompactLibraryListHeader.h"

#include "ui/eon/EonFonts.h"
#include "ui/eon/EonMetrics.h"
#include "ui/eon/EonPalette.h"
#include "ui/eon/Symbols.h"
#include "ui/library/CompactLibraryListColumns.h"

#include <QFontMetricsF>
#include <QMouseEvent>
#include <QPainter>

namespace kivo {

namespace {

// The chevron at this glyph size is about as wide as the design's 7-point one.
constexpr double chevronSize = 7;
constexpr double labelSpacing = 3;

QFont headerFont()
{
    QFont font = eonMonoFont(eon::textMicro, QFont::Bold);
    font.setLetterSpacing(QFont::AbsoluteSpacing, 1.0);
    return font;
}

} // namespace

CompactLibraryListHeader::CompactLibraryListHeader(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("compactLibraryList.header"));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void CompactLibraryListHeader::setSortOrder(const TrackSortOrder& sortOrder)
{
    if (sortOrder != m_sortOrder) {
        m_sortOrder = sortOrder;
        update();
    }
}

std::optional<TrackSortField> CompactLibraryListHeader::fieldAt(double x) const
{
    const QList<std::pair<double, double>> spans = compactlist::columnSpans(width());
    for (qsizetype i = 0; i < spans.size(); ++i) {
        if (x >= spans[i].first && x < spans[i].first + spans[i].second) {
            return TrackSortField(i);
        }
    }
    return std::nullopt;
}

QSize CompactLibraryListHeader::sizeHint() const
{
    const double text = QFontMetricsF(headerFont()).height();
    return { 1000, int(std::ceil(text + 2 * compactlist::headerVerticalPadding)) };
}

EonSortLabel CompactLibraryListHeader::columnLabel(
    TrackSortField field, double width, const TrackSortOrder& sortOrder)
{
    return EonSortLabel::layout(headerFont(), QString::fromUtf16(compactlist::column(field).header),
        std::max(0.0, width - labelGap), compactlist::headerSymbol(field, sortOrder), chevronSize,
        labelSpacing);
}

void CompactLibraryListHeader::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), eonWithOpacity(eonSurfaceRaised(), 0.4));
    const double chevron = chevronSize;
    const QList<std::pair<double, double>> spans = compactlist::columnSpans(width());
    for (const CompactLibraryListColumn& column : compactlist::columns()) {
        const auto [x, w] = spans[qsizetype(column.field)];
        const QString symbol = compactlist::headerSymbol(column.field, m_sortOrder);
        const EonSortLabel label = columnLabel(column.field, w, m_sortOrder);
        const double labelWidth = label.width();
        double left = x;
        if (column.alignment & Qt::AlignRight) {
            left = x + w - labelWidth;
        } else if (column.alignment & Qt::AlignHCenter) {
            left = x + (w - labelWidth) / 2;
        }
        painter.setClipRect(QRectF(x, 0, w, height()));
        const QColor color = symbol.isEmpty() ? eonTextTertiary() : eonAccent();
        painter.setPen(color);
        painter.setFont(label.font);
        const QRectF textRect(left, 0, label.textWidth, height());
        painter.drawText(textRect.adjusted(0, 0, 1, 0),
            Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, label.text);
        if (!symbol.isEmpty()) {
            Symbols::paint(painter,
                QRectF(textRect.right() + label.spacing, (height() - chevron) / 2,
                    label.chevronWidth, chevron),
                symbol, eonAccent(), chevron);
        }
    }
}

void CompactLibraryListHeader::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
        if (const auto field = fieldAt(event->position().x())) {
            Q_EMIT sortRequested(*field);
        }
    }
}

} // namespace kivo
