#pragma once

#include <QChar>
#include <QColor>
#include <QFont>
#include <QPixmap>
#include <QRectF>
#include <QString>
#include <optional>
#include <span>

class QPainter;

namespace kivo {

// One symbol of the design and the Material Icons glyph that draws it.
struct SymbolGlyph {
    const char16_t* name; // the design's symbol name ("play.fill")
    const char16_t* materialName; // the glyph's name in the icon font ("play_arrow")
    char16_t codepoint;
    // Adjustments where the icon font's glyph differs from the design's
    // symbol: a glyph drawn small in its box, a turned or mirrored one.
    double scale = 1.0;
    int quarterTurns = 0; // clockwise
    bool mirrored = false;
};

// Every symbol name the views use, drawn with the Material Icons font in any
// colour and size. An unknown name draws nothing, so a typo shows as a gap
// rather than a wrong picture. Widgets keep the name they show, so tests check
// names, not pixels.
class Symbols {
public:
    static std::span<const SymbolGlyph> table();
    // The glyph of `name`, or nothing when the table has no such symbol.
    static std::optional<QChar> glyph(const QString& name);

    // The table entry of `name`, or nothing.
    static const SymbolGlyph* find(const QString& name);

    // Registers the icon font; called by loadEonFonts().
    static void loadFont();
    // The icon font at a glyph height of `size` logical pixels.
    static QFont font(double size);
    // The glyph's height for a symbol set in a text font of `pointSize` (the
    // design sizes symbols like the text around them).
    static double sizeForTextSize(double pointSize) { return pointSize * 1.4; }

    // Draws `name` centred in `rect`.
    static void paint(QPainter& painter, const QRectF& rect, const QString& name,
        const QColor& color, double size);
    // `name` on a transparent square of `side` logical pixels.
    static QPixmap pixmap(const QString& name, const QColor& color, double size, int side,
        qreal devicePixelRatio = 1);
};

} // namespace kivo
