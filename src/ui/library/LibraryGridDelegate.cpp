#include "ui/library/LibraryGridDelegate.h"

#include "ui/eon/EonFonts.h"
#include "ui/eon/EonMetrics.h"
#include "ui/eon/EonPalette.h"
#include "ui/eon/Symbols.h"
#include "ui/library/LibraryGridLayout.h"
#include "ui/library/LibraryGridModel.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

using namespace Qt::Literals::StringLiterals;

namespace kivo {

namespace {

constexpr double cornerRadius = eon::tileCornerRadius;
constexpr double captionLineSpacing = 2;
constexpr double captionInset = 2;
constexpr double noteTextSize = 24;

constexpr int shadowMargin = 4;

} // namespace

const QPixmap& LibraryGridDelegate::placeholder(int side, qreal devicePixelRatio) const
{
    const QSize size(side + 2 * shadowMargin, side + 2 * shadowMargin);
    if (m_placeholder.deviceIndependentSize().toSize() == size
        && m_placeholder.devicePixelRatio() == devicePixelRatio) {
        return m_placeholder;
    }
    m_placeholder = QPixmap(size * devicePixelRatio);
    m_placeholder.setDevicePixelRatio(devicePixelRatio);
    m_placeholder.fill(Qt::transparent);
    QPainter painter(&m_placeholder);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF art(shadowMargin, shadowMargin, side, side);
    // A soft shadow, 3 down, in two passes rather than a blur.
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0, 0, 0, 40));
    painter.drawRoundedRect(
        art.translated(0, 3).adjusted(-2, -1, 2, 1), cornerRadius + 2, cornerRadius + 2);
    painter.setBrush(QColor(0, 0, 0, 60));
    painter.drawRoundedRect(art.translated(0, 3), cornerRadius, cornerRadius);
    painter.setBrush(eonCanvas());
    painter.drawRoundedRect(art, cornerRadius, cornerRadius);
    painter.setBrush(eonWithOpacity(Qt::white, 0.05));
    painter.drawRoundedRect(art, cornerRadius, cornerRadius);
    Symbols::paint(
        painter, art, u"music.note"_s, eonTextTertiary(), Symbols::sizeForTextSize(noteTextSize));
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(eonHairline(), 1));
    painter.drawRoundedRect(art.adjusted(0.5, 0.5, -0.5, -0.5), cornerRadius, cornerRadius);
    return m_placeholder;
}

LibraryGridDelegate::LibraryGridDelegate(QObject* parent)
    : QStyledItemDelegate(parent)
    , m_titleFont(eonFont(eon::textBody, QFont::DemiBold))
    , m_artistFont(eonFont(eon::textFootnote, QFont::Medium))
{
}

double LibraryGridDelegate::captionHeight() const
{
    return QFontMetricsF(m_titleFont).height() + captionLineSpacing
        + QFontMetricsF(m_artistFont).height();
}

void LibraryGridDelegate::paint(
    QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    const QRectF tile = option.rect;
    const QRectF art(tile.left(), tile.top(), tile.width(), tile.width());
    painter->save();
    const qreal ratio = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
    painter->drawPixmap(QPointF(art.left() - shadowMargin, art.top() - shadowMargin),
        placeholder(option.rect.width(), ratio));

    const double textWidth = tile.width() - 2 * captionInset;
    const double titleHeight = QFontMetricsF(m_titleFont).height();
    const double top = art.bottom() + LibraryGridLayout::captionSpacing;
    const auto line = [&](const QString& text, const QFont& font, const QColor& color, double y,
                          double height) {
        painter->setFont(font);
        painter->setPen(color);
        painter->drawText(QRectF(tile.left() + captionInset, y, textWidth, height),
            Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
            QFontMetricsF(font).elidedText(text, Qt::ElideRight, textWidth));
    };
    line(index.data().toString(), m_titleFont, eonTextPrimary(), top, titleHeight);
    line(index.data(LibraryGridModel::SubtitleRole).toString(), m_artistFont, eonTextSecondary(),
        top + titleHeight + captionLineSpacing, QFontMetricsF(m_artistFont).height());
    painter->restore();
}

} // namespace kivo
