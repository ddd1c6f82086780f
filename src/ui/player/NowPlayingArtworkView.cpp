#include "ui/player/NowPlayingArtworkView.h"

#include "ui/eon/EonPalette.h"
#include "ui/eon/Symbols.h"

#include <QGraphicsDropShadowEffect>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <algorithm>
#include <cmath>

using namespace Qt::Literals::StringLiterals;

namespace kivo {

namespace {

constexpr double cornerRadius = 13;
constexpr double ringDiameter = 148;
constexpr double ringWidth = 4;

constexpr int glowSteps = 8;
constexpr double ringRadius = ringDiameter / 2;
// How far the widest glow band reaches from the ring's centre line.
constexpr double glowReach = ringRadius + (ringWidth + glowSteps * 4) / 2;

// The ring's glow: bands that widen by 4 px and fade as they go, laid over
// one another, as one radial fill (one pass instead of a stroke per band).
// Each band's edge is softened over a pixel, as an antialiased stroke's is.
QRadialGradient ringGlow(const QPointF& centre)
{
    QRadialGradient glow(centre, glowReach + 1);
    const QColor accent = eonAccent();
    const auto colour = [&](int widestFrom) {
        // The bands from `widestFrom` outwards, all of one colour, composed.
        double clear = 1;
        for (int step = widestFrom; step <= glowSteps; ++step) {
            clear *= 1 - 0.38 * 0.22 * std::exp(-step / 3.0);
        }
        return eonWithOpacity(accent, 1 - clear);
    };
    const auto at = [&](double radius, const QColor& value) {
        glow.setColorAt(std::clamp(radius / (glowReach + 1), 0.0, 1.0), value);
    };
    const QColor clear = eonWithOpacity(accent, 0);
    // From the centre out: clear, then each band's inner edge (widest
    // first), then the outer edges (narrowest first), then clear.
    at(0, clear);
    for (int step = glowSteps; step >= 1; --step) {
        const double half = (ringWidth + step * 4) / 2;
        at(ringRadius - half - 0.5, step == glowSteps ? clear : colour(step + 1));
        at(ringRadius - half + 0.5, colour(step));
    }
    for (int step = 1; step <= glowSteps; ++step) {
        const double half = (ringWidth + step * 4) / 2;
        at(ringRadius + half - 0.5, colour(step));
        at(ringRadius + half + 0.5, step == glowSteps ? clear : colour(step + 1));
    }
    at(glowReach + 1, clear);
    return glow;
}

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
    painter.setPen(Qt::NoPen);
    painter.setBrush(ringGlow(ring.center()));
    painter.drawEllipse(ring.center(), glowReach + 1, glowReach + 1);
    painter.setBrush(Qt::NoBrush);
    // The gradient spans the ring's own box, not the square's.
    painter.setPen(
        QPen(QBrush(eonAccentGradient().toLinearGradient(layoutDirection())), ringWidth));
    painter.drawEllipse(ring);
    Symbols::paint(
        painter, square, u"music.note"_s, eonAccentBright(), Symbols::sizeForTextSize(32));
}

} // namespace kivo
