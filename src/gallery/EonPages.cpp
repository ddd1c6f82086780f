// Pages of the Eon kit: palette, fonts, symbols and the controls in their states.
#include "Gallery.h"
#include "ui/eon/EonFonts.h"
#include "ui/eon/EonIconButton.h"
#include "ui/eon/EonPalette.h"
#include "ui/eon/EonSymbolButton.h"
#include "ui/eon/Symbols.h"

#include <QCoreApplication>
#include <QEnterEvent>
#include <QGridLayout>
#include <QLabel>
#include <QPainter>

using namespace Qt::Literals::StringLiterals;

namespace kivo::gallery {

namespace {

// A rounded swatch of a colour or a gradient.
class Swatch : public QWidget {
public:
    explicit Swatch(QBrush brush)
        : m_brush(std::move(brush))
    {
        setFixedSize(150, 56);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(eonHairline(), 1));
        painter.setBrush(m_brush);
        painter.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 8, 8);
    }

private:
    QBrush m_brush;
};

QLabel* text(const QString& content, const QFont& font, const QColor& color = eonTextPrimary())
{
    auto* label = new QLabel(content);
    label->setTextFormat(Qt::PlainText);
    label->setFont(font);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, color);
    label->setPalette(palette);
    return label;
}

void hover(QWidget* widget)
{
    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
    QCoreApplication::sendEvent(widget, &enter);
}

void press(QAbstractButton* button)
{
    button->setDown(true);
    Q_EMIT button->pressed();
}

std::unique_ptr<QWidget> palettePage()
{
    auto stage = std::make_unique<Stage>(6);
    const std::pair<const char*, const QColor&> colours[] = {
        { "eonCanvas", eonCanvas() },
        { "eonSurface", eonSurface() },
        { "eonSurfaceRaised", eonSurfaceRaised() },
        { "eonSurfaceSunken", eonSurfaceSunken() },
        { "eonHairline", eonHairline() },
        { "eonTextPrimary", eonTextPrimary() },
        { "eonTextSecondary", eonTextSecondary() },
        { "eonTextTertiary", eonTextTertiary() },
        { "eonAccent", eonAccent() },
        { "eonAccentBright", eonAccentBright() },
        { "eonAccentWash", eonAccentWash() },
        { "eonAccentGlow", eonAccentGlow() },
        { "eonSignalCyan", eonSignalCyan() },
        { "eonSignalTeal", eonSignalTeal() },
        { "eonSignalViolet", eonSignalViolet() },
        { "eonSignalIce", eonSignalIce() },
    };
    for (const auto& [name, colour] : colours) {
        stage->add(QString::fromLatin1(name), new Swatch(colour));
    }
    const std::pair<const char*, const EonGradient&> gradients[] = {
        { "eonWindowGradient", eonWindowGradient() },
        { "eonPanelGradient", eonPanelGradient() },
        { "eonPlayerBarGradient", eonPlayerBarGradient() },
        { "eonAccentGradient", eonAccentGradient() },
        { "eonSelectionGradient", eonSelectionGradient() },
        { "eonSignalWash", eonSignalWash() },
        { "eonSignalStrong", eonSignalStrong() },
        { "eonSignalGradient", eonSignalGradient() },
    };
    for (const auto& [name, gradient] : gradients) {
        stage->add(QString::fromLatin1(name), new Swatch(gradient.toLinearGradient()));
    }
    return stage;
}

std::unique_ptr<QWidget> fontsPage()
{
    auto stage = std::make_unique<Stage>(1);
    const std::pair<const char*, QFont::Weight> weights[] = {
        { "Regular", QFont::Normal },
        { "Medium", QFont::Medium },
        { "Semibold", QFont::DemiBold },
        { "Bold", QFont::Bold },
    };
    for (const auto& [name, weight] : weights) {
        stage->add(u"Inter 15 "_s + QString::fromLatin1(name),
            text(u"KIVO VOVID — All Songs, Recently Added · Ünïcödé 0:59 1:00:00"_s,
                eonFont(15, weight)));
    }
    stage->add(u"Inter 11 semibold, secondary"_s,
        text(u"Playback could not be restored: the file is damaged."_s,
            eonFont(11, QFont::DemiBold), eonTextSecondary()));
    stage->add(u"DejaVu Sans Mono 10 medium (times)"_s,
        text(u"0:00  3:59  59:59  1:00:00  10:00:00"_s, eonMonoFont(10, QFont::Medium),
            eonTextTertiary()));
    return stage;
}

// Draws every symbol of the table with its name.
class SymbolSheet : public QWidget {
protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), eonCanvas());
        painter.setRenderHint(QPainter::TextAntialiasing);
        const int columns = 3;
        const QSizeF cell(width() / double(columns), 34);
        int index = 0;
        for (const SymbolGlyph& entry : Symbols::table()) {
            const QPointF origin(
                (index % columns) * cell.width(), (index / columns) * cell.height());
            Symbols::paint(painter, QRectF(origin + QPointF(10, 5), QSizeF(24, 24)),
                QString::fromUtf16(entry.name), eonAccent(), 22);
            painter.setFont(eonFont(11));
            painter.setPen(eonTextPrimary());
            painter.drawText(
                QRectF(origin + QPointF(42, 0), QSizeF(cell.width() - 46, cell.height())),
                Qt::AlignVCenter | Qt::AlignLeft, QString::fromUtf16(entry.name));
            ++index;
        }
    }
};

std::unique_ptr<QWidget> iconButtonsPage()
{
    auto stage = std::make_unique<Stage>(5);
    const auto add = [&](const QString& caption, const QString& symbol, int size, bool active,
                         const std::function<void(EonIconButton*)>& state = {}) {
        auto* button = new EonIconButton(symbol, size, active);
        if (state) {
            state(button);
        }
        stage->add(caption, button);
    };
    add(u"inactive 30"_s, u"repeat"_s, 30, false);
    add(u"active 30"_s, u"repeat.1"_s, 30, true);
    add(u"hovered 30"_s, u"shuffle"_s, 30, false, hover);
    add(u"active, hovered 30"_s, u"shuffle"_s, 30, true, hover);
    add(u"pressed 30"_s, u"shuffle"_s, 30, false, [](EonIconButton* b) {
        hover(b);
        press(b);
    });
    add(u"previous 32"_s, u"backward.fill"_s, 32, false);
    add(u"next 32"_s, u"forward.fill"_s, 32, false);
    add(u"queue 34"_s, u"music.note.list"_s, 34, true);
    add(u"disabled 30"_s, u"heart"_s, 30, false, [](EonIconButton* b) { b->setEnabled(false); });
    add(u"unknown symbol"_s, u"no.such.symbol"_s, 30, true);
    auto* plain = new EonSymbolButton(u"xmark"_s, 10, eonTextSecondary());
    plain->setFixedSize(18, 18);
    stage->add(u"press style, plain"_s, plain);
    auto* pressed = new EonSymbolButton(u"xmark"_s, 10, eonTextSecondary());
    pressed->setFixedSize(18, 18);
    press(pressed);
    stage->add(u"press style, pressed"_s, pressed);
    return stage;
}

} // namespace

void addEonPages(QList<Page>& pages)
{
    pages.append({ u"eon-palette"_s, { 1120, 560 }, palettePage });
    pages.append({ u"eon-fonts"_s, { 900, 420 }, fontsPage });
    pages.append({ u"eon-symbols"_s, { 1000, 34 * 26 + 8 },
        [] { return std::make_unique<SymbolSheet>(); } });
    pages.append({ u"eon-icon-buttons"_s, { 760, 330 }, iconButtonsPage });
}

} // namespace kivo::gallery
