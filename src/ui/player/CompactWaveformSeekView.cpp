#include "ui/player/CompactWaveformSeekView.h"

#include "ui/eon/EonFocusRing.h"
#include "ui/eon/EonFonts.h"
#include "ui/eon/EonMetrics.h"
#include "ui/eon/EonPalette.h"
#include "ui/eon/KeyModifiers.h"
#include "ui/eon/TimeText.h"
#include "ui/player/PlayerSliderKeys.h"

#include <QAccessible>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

using namespace Qt::Literals::StringLiterals;

namespace kivo {

namespace ws = waveformseek;

namespace {

// The time under the pointer while dragging. It floats above the bar, so it
// lives in the bar's parent, where the bar's own rectangle cannot clip it.
class ScrubBubble : public QWidget {
public:
    explicit ScrubBubble(QWidget* parent)
        : QWidget(parent)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setObjectName(u"player.waveform.bubble"_s);
    }

    void show(const QString& text, const QPoint& leftBottom)
    {
        m_text = text;
        const QFontMetrics metrics(font());
        const QSize size(metrics.horizontalAdvance(text) + 12, metrics.height() + 6);
        setGeometry(QRect(QPoint(leftBottom.x(), leftBottom.y() - size.height()), size));
        raise();
        QWidget::show();
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(eonWithOpacity(eonAccent(), 0.24), 1));
        painter.setBrush(eonSurfaceRaised());
        painter.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5),
            eon::badgeCornerRadius, eon::badgeCornerRadius);
        painter.setPen(eonTextPrimary());
        painter.drawText(rect(), Qt::AlignCenter, m_text);
    }

private:
    QString m_text;
};

} // namespace

CompactWaveformSeekView::CompactWaveformSeekView(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(u"player.waveform"_s);
    setAccessibleName(u"Playback waveform"_s);
    setToolTip(u"Click or drag to seek"_s);
    setMinimumHeight(28);
    // A Tab stop with the slider keys; a click seeks and leaves the focus be.
    setFocusPolicy(Qt::TabFocus);
    setProperty(keys::usesArrowKeysProperty, true);
    setAttribute(Qt::WA_Hover);
}

void CompactWaveformSeekView::setPeaks(const QList<float>& peaks)
{
    m_peaks = peaks;
    update();
}

void CompactWaveformSeekView::setProgress(double progress)
{
    if (progress != m_progress) {
        m_progress = progress;
        // Playback moves the position twenty times a second; a screen reader
        // hears the value only when the time it shows changes.
        if (accessibleValue() != m_announcedValue) {
            notifyAccessibleValue();
        }
        update();
    }
}

void CompactWaveformSeekView::setDuration(double duration)
{
    m_duration = duration;
    update();
}

void CompactWaveformSeekView::setLoading(bool loading)
{
    m_loading = loading;
    update();
}

QString CompactWaveformSeekView::accessibleValue() const
{
    return formatTime(displayedSeconds());
}

void CompactWaveformSeekView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    paintBar(painter);
    EonFocusRing::paintFor(painter, *this, eon::plateCornerRadius);
}

void CompactWaveformSeekView::paintBar(QPainter& painter) const
{
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF bounds = rect();
    const double width = bounds.width();
    const double fraction = m_scrub.displayedFraction(m_progress);

    painter.setPen(QPen(m_hovering ? eonWithOpacity(eonAccent(), 0.26) : eonHairline(), 1));
    painter.setBrush(eonWithOpacity(eonSurfaceRaised(), m_hovering ? 0.9 : 0.58));
    painter.drawRoundedRect(
        bounds.adjusted(0.5, 0.5, -0.5, -0.5), eon::plateCornerRadius, eon::plateCornerRadius);

    const QRectF canvas = bounds.adjusted(
        ws::horizontalInset, ws::verticalInset, -ws::horizontalInset, -ws::verticalInset);
    const QColor played = eonAccent();
    const QColor unplayed = eonWithOpacity(eonTextTertiary(), 0.26);
    // The bars are drawn once per peaks and size, in both tints; each paint
    // then shows the played copy up to the first unplayed bar and the other
    // copy after it, so a progress tick costs two image blits.
    const QList<ws::Bar> bars = ws::bars(m_peaks, canvas.width(), canvas.height(), fraction);
    const qreal ratio = painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
    const QSize pixels = (canvas.size() * ratio).toSize();
    if (m_barCache.size != pixels || m_barCache.peaks != m_peaks) {
        m_barCache.size = pixels;
        m_barCache.peaks = m_peaks;
        for (int tint = 0; tint < 2; ++tint) {
            QImage& image = m_barCache.images[tint];
            image = QImage(pixels, QImage::Format_ARGB32_Premultiplied);
            image.setDevicePixelRatio(ratio);
            image.fill(Qt::transparent);
            QPainter barPainter(&image);
            barPainter.setRenderHint(QPainter::Antialiasing);
            barPainter.setPen(Qt::NoPen);
            barPainter.setBrush(tint == 0 ? played : unplayed);
            for (const ws::Bar& bar : bars) {
                const double radius = bar.rect.width() / 2;
                barPainter.drawRoundedRect(bar.rect, radius, radius);
            }
        }
    }
    // The tints meet at the leading edge of the first unplayed bar's cell.
    double split = canvas.width();
    for (const ws::Bar& bar : bars) {
        if (!bar.played) {
            split = bar.rect.center().x() - canvas.width() / double(bars.size()) / 2;
            break;
        }
    }
    painter.save();
    painter.setOpacity(m_loading ? 0.42 : 1.0);
    painter.translate(canvas.topLeft());
    const QRectF playedPart(0, 0, split, canvas.height());
    const QRectF unplayedPart(split, 0, canvas.width() - split, canvas.height());
    painter.drawImage(playedPart, m_barCache.images[0],
        QRectF(playedPart.topLeft() * ratio, playedPart.size() * ratio));
    painter.drawImage(unplayedPart, m_barCache.images[1],
        QRectF(unplayedPart.topLeft() * ratio, unplayedPart.size() * ratio));
    painter.restore();

    const double headHeight = std::max(bounds.height() - 8, 4.0);
    const QRectF head(ws::playheadOffset(fraction, width), 4, 1, headHeight);
    painter.fillRect(head.adjusted(-1, 0, 1, 0), eonWithOpacity(eonAccent(), 0.25));
    painter.fillRect(head, eonAccentBright());
}

void CompactWaveformSeekView::seek(double seconds)
{
    if (m_onSeek) {
        m_onSeek(seconds);
    }
    updateBubble();
    notifyAccessibleValue();
    update();
}

void CompactWaveformSeekView::updateBubble()
{
    const std::optional<double>& scrub = m_scrub.scrubProgress();
    if (!scrub || !parentWidget()) {
        if (m_bubble) {
            m_bubble->hide();
        }
        return;
    }
    if (!m_bubble) {
        auto* bubble = new ScrubBubble(parentWidget());
        bubble->setFont(eonMonoFont(eon::textCaption, QFont::DemiBold));
        m_bubble = bubble;
    }
    const QPoint origin = mapTo(parentWidget(), QPoint(int(ws::bubbleOffset(*scrub, width())), 3));
    static_cast<ScrubBubble*>(m_bubble.data())
        ->show(formatTime(*scrub * ws::safeDuration(m_duration)), origin);
}

void CompactWaveformSeekView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        seek(m_scrub.press(event->position().x(), width(), m_duration));
    }
}

void CompactWaveformSeekView::mouseMoveEvent(QMouseEvent* event)
{
    if (m_scrub.scrubProgress()) {
        seek(m_scrub.drag(event->position().x(), width(), m_duration));
    }
}

void CompactWaveformSeekView::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && m_scrub.scrubProgress()) {
        seek(m_scrub.release(event->position().x(), width(), m_duration));
    }
}

bool CompactWaveformSeekView::event(QEvent* event)
{
    if (event->type() == QEvent::ShortcutOverride && isSliderKey(*static_cast<QKeyEvent*>(event))) {
        event->accept();
        return true;
    }
    return QWidget::event(event);
}

void CompactWaveformSeekView::keyPressEvent(QKeyEvent* event)
{
    if (!isSliderKey(*event)) {
        QWidget::keyPressEvent(event);
        return;
    }
    const double here = displayedSeconds();
    switch (event->key()) {
    case Qt::Key_Right:
    case Qt::Key_Up:
        stepBy(1);
        break;
    case Qt::Key_Left:
    case Qt::Key_Down:
        stepBy(-1);
        break;
    case Qt::Key_PageUp:
        seekTo(here + ws::largeStepSeconds);
        break;
    case Qt::Key_PageDown:
        seekTo(here - ws::largeStepSeconds);
        break;
    case Qt::Key_Home:
        seekTo(0);
        break;
    case Qt::Key_End:
        seekTo(ws::safeDuration(m_duration));
        break;
    default:
        break;
    }
    event->accept();
}

void CompactWaveformSeekView::notifyAccessibleValue()
{
    m_announcedValue = accessibleValue();
    if (QAccessible::isActive()) {
        QAccessibleValueChangeEvent event(this, displayedSeconds());
        QAccessible::updateAccessibility(&event);
    }
}

double CompactWaveformSeekView::displayedSeconds() const
{
    return ws::safeDuration(m_duration) * m_scrub.displayedFraction(m_progress);
}

void CompactWaveformSeekView::stepBy(int direction)
{
    seek(ws::accessibilityStep(direction, m_scrub.displayedFraction(m_progress), m_duration));
}

void CompactWaveformSeekView::seekTo(double seconds)
{
    if (std::isnan(seconds)) {
        return;
    }
    seek(std::clamp(seconds, 0.0, ws::safeDuration(m_duration)));
}

void CompactWaveformSeekView::enterEvent(QEnterEvent*)
{
    m_hovering = true;
    update();
}

void CompactWaveformSeekView::leaveEvent(QEvent*)
{
    m_hovering = false;
    update();
}

} // namespace kivo
