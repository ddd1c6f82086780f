#include "ui/editing/ArtworkPreview.h"

#include "ui/eon/EonFonts.h"
#include "ui/eon/EonPalette.h"
#include "ui/eon/Symbols.h"

#include <QBuffer>
#include <QImageReader>
#include <QPainter>
#include <QPainterPath>

namespace kivo {

ArtworkPreview::ArtworkPreview(int side, double radius, QString placeholderSymbol,
    double symbolSize, double placeholderFill, QWidget* parent)
    : QWidget(parent)
    , m_radius(radius)
    , m_symbol(std::move(placeholderSymbol))
    , m_symbolSize(symbolSize)
    , m_placeholderFill(placeholderFill)
    , m_outline(eonHairline())
{
    setFixedSize(side, side);
}

void ArtworkPreview::setArtwork(const std::optional<QByteArray>& bytes)
{
    m_image = QImage();
    if (bytes) {
        // Decoded at tile size: a huge picture never becomes a huge bitmap.
        QBuffer buffer;
        buffer.setData(*bytes);
        QImageReader reader(&buffer);
        const QSize full = reader.size();
        if (full.isValid()) {
            const int side = qMax(width(), height()) * qMax(1, qRound(devicePixelRatioF()));
            reader.setScaledSize(full.scaled(side, side, Qt::KeepAspectRatioByExpanding));
        }
        m_image = reader.read();
    }
    update();
}

void ArtworkPreview::setOutline(const QColor& color)
{
    m_outline = color;
    update();
}

void ArtworkPreview::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
    const QRectF tile = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    QPainterPath shape;
    shape.addRoundedRect(tile, m_radius, m_radius);
    if (!m_image.isNull()) {
        painter.save();
        painter.setClipPath(shape);
        const QSizeF filled = QSizeF(m_image.size()).scaled(size(), Qt::KeepAspectRatioByExpanding);
        const QRectF target(
            QPointF((width() - filled.width()) / 2, (height() - filled.height()) / 2), filled);
        painter.drawImage(target, m_image);
        painter.restore();
    } else {
        painter.fillPath(shape, eonWithOpacity(Qt::white, m_placeholderFill));
        Symbols::paint(
            painter, rect(), m_symbol, eonTextTertiary(), Symbols::sizeForTextSize(m_symbolSize));
    }
    painter.setPen(QPen(m_outline, 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(shape);
}

} // namespace kivo
