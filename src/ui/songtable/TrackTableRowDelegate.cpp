#include "ui/songtable/TrackTableRowDelegate.h"

#include "ui/eon/EonFonts.h"
#include "ui/eon/EonMetrics.h"
#include "ui/eon/EonPalette.h"
#include "ui/eon/Symbols.h"
#include "ui/songtable/NowPlayingIndicator.h"
#include "ui/songtable/TrackCellText.h"
#include "ui/songtable/TrackTableGeometry.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QStaticText>
#include <cmath>
#include <unordered_map>

namespace kivo {

namespace {

bool isMonospaced(TrackTableColumnID column)
{
    switch (column) {
    case TrackTableColumnID::year:
    case TrackTableColumnID::trackNumber:
    case TrackTableColumnID::duration:
    case TrackTableColumnID::bitrate:
    case TrackTableColumnID::sampleRate:
    case TrackTableColumnID::format:
        return true;
    default:
        return false;
    }
}

// Fonts and metrics are made once: a viewport paints a few hundred cells.
struct CellFonts {
    QFont text = eonFont(eon::textCallout, QFont::Medium);
    QFont mono = eonMonoFont(eon::textFootnote, QFont::Medium);
    QFont title = eonFont(eon::textBody, QFont::Medium);
    QFont activeTitle = eonFont(eon::textBody, QFont::DemiBold);
    QFontMetricsF textMetrics { text };
    QFontMetricsF monoMetrics { mono };
    QFontMetricsF titleMetrics { title };
    QFontMetricsF activeTitleMetrics { activeTitle };

    static const CellFonts& shared()
    {
        static const CellFonts fonts;
        return fonts;
    }
};

// A cell's text laid out once: a repaint (a selection, a scroll by a row)
// draws what is kept instead of shaping every text again. Keyed by the text,
// the font and, when it does not fit, the width it is elided to.
class ShownTexts {
public:
    const QStaticText& shown(
        const QString& text, const QFont& font, const QFontMetricsF& metrics, double width)
    {
        Laid& whole = find(
            m_whole, Key { text, &font, 0 }, [&] { return text; }, font);
        if (whole.width <= width) {
            return whole.text;
        }
        const int elidedTo = int(std::floor(width));
        return find(
            m_elided, Key { text, &font, elidedTo },
            [&] { return metrics.elidedText(text, Qt::ElideRight, elidedTo); }, font)
            .text;
    }

    static ShownTexts& shared()
    {
        static ShownTexts texts;
        return texts;
    }

private:
    struct Key {
        QString text;
        const QFont* font;
        int width;
        bool operator==(const Key&) const = default;
    };
    struct KeyHash {
        size_t operator()(const Key& key) const
        {
            return qHashMulti(0, key.text, quintptr(key.font), key.width);
        }
    };
    struct Laid {
        QStaticText text;
        double width = 0;
    };
    using Map = std::unordered_map<Key, Laid, KeyHash>;

    // A few screens of cells; past that the oldest screens are gone anyway.
    static constexpr size_t kept = 4096;

    template <typename Make> Laid& find(Map& map, Key key, const Make& make, const QFont& font)
    {
        if (const auto found = map.find(key); found != map.end()) {
            return found->second;
        }
        if (map.size() >= kept) {
            map.clear();
        }
        Laid laid;
        laid.text.setTextFormat(Qt::PlainText);
        laid.text.setText(make());
        laid.text.prepare(QTransform(), font);
        laid.width = laid.text.size().width();
        return map.emplace(std::move(key), std::move(laid)).first->second;
    }

    Map m_whole;
    Map m_elided;
};

void drawElided(QPainter& painter, const QRectF& rect, const QString& text, const QFont& font,
    const QFontMetricsF& metrics, const QColor& color, Qt::Alignment alignment)
{
    if (text.isEmpty()) {
        return;
    }
    const QStaticText& shown = ShownTexts::shared().shown(text, font, metrics, rect.width());
    const QSizeF size = shown.size();
    double x = rect.left();
    if (alignment & Qt::AlignRight) {
        x = rect.right() - size.width();
    } else if (alignment & Qt::AlignHCenter) {
        x = rect.left() + (rect.width() - size.width()) / 2;
    }
    painter.setFont(font);
    painter.setPen(color);
    painter.drawStaticText(QPointF(x, rect.top() + (rect.height() - size.height()) / 2), shown);
}

QLinearGradient horizontalGradient(const QRectF& rect, const QList<QColor>& stops)
{
    QLinearGradient gradient(rect.left(), 0, rect.right(), 0);
    for (qsizetype i = 0; i < stops.size(); ++i) {
        gradient.setColorAt(stops.size() == 1 ? 0 : double(i) / double(stops.size() - 1), stops[i]);
    }
    return gradient;
}

// The selected row's plate, drawn at the origin of a row of `size`.
void drawSelectionPlate(QPainter& painter, const QSizeF& size)
{
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF plate = QRectF(QPointF(), size).adjusted(4, 3, -4, -3);
    QPainterPath shape;
    shape.addRoundedRect(
        plate.adjusted(0.5, 0.5, -0.5, -0.5), eon::plateCornerRadius, eon::plateCornerRadius);
    painter.fillPath(shape.translated(0, 1), eonWithOpacity(eonSignalCyan(), 0.05));
    painter.fillPath(shape,
        horizontalGradient(plate,
            { eonWithOpacity(eonSignalTeal(), 0.23), eonWithOpacity(eonSignalCyan(), 0.25),
                eonWithOpacity(eonSignalViolet(), 0.18),
                eonWithOpacity(eonSurfaceRaised(), 0.76) }));
    painter.strokePath(shape,
        QPen(QBrush(horizontalGradient(plate,
                 { eonWithOpacity(eonSignalTeal(), 0.82), eonWithOpacity(eonSignalCyan(), 0.56),
                     eonWithOpacity(eonSignalViolet(), 0.38) })),
            1));
    const QRectF capsule(plate.left() + 4, plate.center().y() - 13.5, 3, 27);
    QLinearGradient signal(0, capsule.top(), 0, capsule.bottom());
    signal.setColorAt(0, eonSignalTeal());
    signal.setColorAt(0.5, eonSignalCyan());
    signal.setColorAt(1, eonSignalViolet());
    painter.setPen(Qt::NoPen);
    painter.setBrush(eonWithOpacity(eonSignalCyan(), 0.25));
    painter.drawRoundedRect(capsule.adjusted(-1.5, -1.5, 1.5, 1.5), capsule.width() / 2 + 1.5,
        capsule.width() / 2 + 1.5);
    painter.setBrush(signal);
    painter.drawRoundedRect(capsule, capsule.width() / 2, capsule.width() / 2);
}

// Every selected row of one width shows the same plate: it is drawn once
// and copied, so that a long selection paints as fast as none. Drawn again
// when the row's size, the screen's scale or the palette changes.
const QPixmap& selectionPlate(const QSizeF& size, qreal pixelRatio)
{
    static QPixmap plate;
    static QList<QRgb> plateColors;
    const QList<QRgb> colors { eonSignalTeal().rgba(), eonSignalCyan().rgba(),
        eonSignalViolet().rgba(), eonSurfaceRaised().rgba() };
    const QSize pixels = (size * pixelRatio).toSize();
    if (plate.size() != pixels || plate.devicePixelRatio() != pixelRatio || plateColors != colors) {
        plate = QPixmap(pixels);
        plate.setDevicePixelRatio(pixelRatio);
        plate.fill(Qt::transparent);
        QPainter painter(&plate);
        drawSelectionPlate(painter, size);
        plateColors = colors;
    }
    return plate;
}

} // namespace

QString TrackRowLook::playSymbol(bool isPlaying)
{
    return isPlaying ? QStringLiteral("speaker.wave.2.fill") : QStringLiteral("play.fill");
}

QString TrackRowLook::playLabel(bool isPlaying, const QString& title)
{
    return (isPlaying ? QStringLiteral("Pause ") : QStringLiteral("Play ")) + title;
}

QColor TrackRowLook::playColor(bool isActive, bool isSelected)
{
    if (isActive) {
        return eonAccent();
    }
    return isSelected ? eonSignalTeal() : eonTextTertiary();
}

QColor TrackRowLook::editColor(bool isSelected)
{
    return isSelected ? eonWithOpacity(eonSignalIce(), 0.78) : eonTextTertiary();
}

QColor TrackRowLook::textColor(TrackTableColumnID column, bool isActive, bool isSelected)
{
    if (column == TrackTableColumnID::title) {
        return isActive ? eonAccent() : isSelected ? eonSignalIce() : eonTextPrimary();
    }
    if (isActive) {
        return eonAccent();
    }
    if (isSelected) {
        return eonWithOpacity(eonSignalIce(), 0.86);
    }
    switch (column) {
    case TrackTableColumnID::artist:
    case TrackTableColumnID::album:
    case TrackTableColumnID::duration:
        return eonTextSecondary();
    default:
        return eonTextTertiary();
    }
}

TrackTableRowDelegate::TrackTableRowDelegate(QObject* parent)
    : QStyledItemDelegate(parent)
{
}

QSize TrackTableRowDelegate::sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const
{
    return QSize(1, TrackTableGeometry::rowHeight);
}

void TrackTableRowDelegate::paintRow(QPainter& painter, const QRectF& rowRect,
    const QModelIndex& index, const TrackTableColumnLayout& columns, double tickerSeconds,
    bool reduceMotion, bool isMenuTarget) const
{
    const auto state = TrackRowVisualState(index.data(TrackTableModel::RowStateRole).toInt());
    const bool isActive
        = state == TrackRowVisualState::active || state == TrackRowVisualState::activeSelected;
    const bool isSelected
        = state == TrackRowVisualState::selected || state == TrackRowVisualState::activeSelected;
    const bool isPlaying = index.data(TrackTableModel::IsPlayingRole).toBool();

    painter.save();
    TrackRowSelectionBackground::paint(painter, rowRect, state, index.row());

    const double height = rowRect.height();
    const QPointF origin = rowRect.topLeft();
    Symbols::paint(painter, TrackTableGeometry::leadingCell(height).translated(origin),
        TrackRowLook::playSymbol(isPlaying), TrackRowLook::playColor(isActive, isSelected),
        Symbols::sizeForTextSize(eon::textFootnote));

    const QList<QRectF> frames = TrackTableGeometry::columnFrames(columns, height);
    const QAbstractItemModel* model = index.model();
    for (qsizetype i = 0; i < columns.size(); ++i) {
        const TrackTableColumnID column = columns[i].id;
        const QRectF cell = frames[i].translated(origin);
        const QModelIndex cellIndex = model->index(index.row(), int(column));
        painter.save();
        painter.setClipRect(cell, Qt::IntersectClip);
        TrackTableCellView::paint(painter, cell, column, cellIndex.data().toString(), isActive,
            isPlaying, isSelected, tickerSeconds, reduceMotion);
        painter.restore();
    }

    Symbols::paint(painter,
        TrackTableGeometry::trailingCell(rowRect.width(), height).translated(origin),
        QStringLiteral("ellipsis"), TrackRowLook::editColor(isSelected),
        Symbols::sizeForTextSize(eon::textCallout));
    if (isMenuTarget) {
        TrackRowSelectionBackground::paintMenuOutline(painter, rowRect);
    }
    painter.restore();
}

void TrackRowSelectionBackground::paintMenuOutline(QPainter& painter, const QRectF& rect)
{
    // Where the selection plate would sit, so that it rings a selected row too.
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(eonAccent(), 2));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(
        rect.adjusted(3, 2, -3, -2), eon::plateCornerRadius + 1, eon::plateCornerRadius + 1);
    painter.restore();
}

void TrackRowSelectionBackground::paint(
    QPainter& painter, const QRectF& rect, TrackRowVisualState state, int rowIndex)
{
    if (TrackRowLook::isStriped(rowIndex)) {
        painter.fillRect(rect, eonWithOpacity(eonSurface(), 0.34));
    }
    if (state == TrackRowVisualState::active) {
        painter.fillRect(rect,
            horizontalGradient(rect,
                { eonWithOpacity(eonAccent(), 0.22), eonWithOpacity(eonAccent(), 0.10),
                    eonWithOpacity(eonSurfaceRaised(), 0.70) }));
        const QRectF bar(rect.left(), rect.top(), 2, rect.height());
        painter.fillRect(bar.adjusted(0, 0, 3, 0), eonWithOpacity(eonAccent(), 0.12));
        painter.fillRect(bar, eonAccent());
        return;
    }
    if (state == TrackRowVisualState::idle) {
        return;
    }
    painter.drawPixmap(
        rect.topLeft(), selectionPlate(rect.size(), painter.device()->devicePixelRatioF()));
}

void TrackTableCellView::paint(QPainter& painter, const QRectF& cell, TrackTableColumnID column,
    const QString& text, bool isActive, bool isPlaying, bool isSelected, double tickerSeconds,
    bool reduceMotion)
{
    const CellFonts& fonts = CellFonts::shared();
    if (column != TrackTableColumnID::title) {
        const bool mono = isMonospaced(column);
        const Qt::Alignment alignment = contentAlignment(column);
        const QRectF frame = alignment & Qt::AlignRight
            ? cell.adjusted(0, 0, -TrackTableGeometry::trailingTextInset, 0)
            : cell;
        // A dash is one thin stroke that antialiasing dims: in the muted or
        // monospaced columns it would fall under 4.5:1, so the placeholder
        // takes the text font and the secondary colour.
        if (text == missingValueText && !isActive && !isSelected) {
            drawElided(
                painter, frame, text, fonts.text, fonts.textMetrics, eonTextSecondary(), alignment);
            return;
        }
        drawElided(painter, frame, text, mono ? fonts.mono : fonts.text,
            mono ? fonts.monoMetrics : fonts.textMetrics,
            TrackRowLook::textColor(column, isActive, isSelected), alignment);
        return;
    }
    const QRectF slot(cell.left(), cell.center().y() - NowPlayingIndicator::height / 2,
        NowPlayingIndicator::width, NowPlayingIndicator::height);
    if (isActive) {
        NowPlayingIndicator::paint(painter, slot, isPlaying, reduceMotion, tickerSeconds);
    }
    const QRectF frame = cell.adjusted(NowPlayingIndicator::width + 6, 0, 0, 0);
    drawElided(painter, frame, text, isActive ? fonts.activeTitle : fonts.title,
        isActive ? fonts.activeTitleMetrics : fonts.titleMetrics,
        TrackRowLook::textColor(TrackTableColumnID::title, isActive, isSelected), Qt::AlignLeft);
}

} // namespace kivo
