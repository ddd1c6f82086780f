#include "ui/player/NowPlayingArtworkView.h"

#include "ui/eon/EonPalette.h"
#include "ui/eon/Symbols.h"

#include <QGraphicsDropShadowEffect>
#include <QPainter>
#include <QPainterPath>
#include <cmath>

using namespace Qt::Literals::StringLiterals;

namespace kivo {

namespace {

constexpr double cornerRadius = 13;
constexpr double ringDiameter = 148;
constexpr double ringWidth = 4;

} // namespace

NowPlayingArtworkView::NowPlayingArtworkView(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(u"nowPlaying.artwork"_s);
    setAttribute(Qt::WA_TranslucentBackground);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    auto* shadow = new QGraphicsDropShadowEffect(this);
    shadow->setColor(eonWithOpacity(eonAccent(), 0.14));
    shadow->setBlurRadius(24);
    shadow->setOffset(0, 10);
    setGraphicsEffect(shadow);
}

void NowPlayingArtworkView::setImage(const QImage& image)
{
    m_image = image;
    update();
}

QString NowPlayingArtworkView::symbolName() const
{
    return m_image.isNull() ? u"music.note"_s : QString();
}

QRectF NowPlayingArtworkView::square() const
{
    const double side = std::min(width(), height());
    return { (width() - side) / 2, (height() - side) / 2, side, side };
}

void NowPlayingArtworkView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const QRectF bounds = square().adjusted(0.5, 0.5, -0.5, -0.5);
    QPainterPath shape;
    shape.addRoundedRect(bounds, cornerRadius, cornerRadius);
    painter.save();
    painter.setClipPath(shape);
    if (m_image.isNull()) {
        paintPlaceholder(painter, bounds);
    } else {
        // Fill the square, keeping the image's proportions; the clip crops.
        const QSizeF scaled
            = QSizeF(m_image.size()).scaled(bounds.size(), Qt::KeepAspectRatioByExpanding);
        painter.drawImage(
            QRectF(bounds.center() - QPointF(scaled.width() / 2, scaled.height() / 2), scaled),
            m_image);
    }
    painter.restore();
    painter.setPen(QPen(eonAccentGlow(), 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(shape);
}

void NowPlayingArtworkView::paintPlaceholder(QPainter& painter, const QRectF& square) const
{
    painter.fillRect(square, eonArtworkPlaceholderGradient().toLinearGradient(layoutDirection()));
    const QRectF ring(square.center() - QPointF(ringDiameter / 2, ringDiameter / 2),
        QSizeF(ringDiameter, ringDiameter));
    // The ring's glow: wider, fainter strokes under it.
    painter.setBrush(Qt::NoBrush);
    for (int step = 8; step >= 1; --step) {
        painter.setPen(QPen(eonWithOpacity(eonAccent(), 0.38 * 0.22 * std::exp(-step / 3.0)),
            ringWidth + step * 4));
        painter.drawEllipse(ring);
    }
    // The gradient spans the ring's own box, not the square's.
    painter.setPen(
        QPen(QBrush(eonAccentGradient().toLinearGradient(layoutDirection())), ringWidth));
    painter.drawEllipse(ring);
    Symbols::paint(
        painter, square, u"music.note"_s, eonAccentBright(), Symbols::sizeForTextSize(32));
}

} // namespace kivo
