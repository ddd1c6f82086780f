#include "ui/eon/EonSortLabel.h"

#include "ui/eon/Symbols.h"

#include <QFontInfo>
#include <QFontMetricsF>
#include <algorithm>

namespace kivo {

namespace {

double advance(const QFont& font, const QString& text)
{
    if (text.isEmpty()) {
        return 0;
    }
    // The spacing after the last letter is no part of the title.
    return QFontMetricsF(font).horizontalAdvance(text) - font.letterSpacing();
}

// A chevron's ink is much narrower than the box its glyph is set in.
double inkWidth(const QString& symbol, double size)
{
    const SymbolGlyph* entry = Symbols::find(symbol);
    if (!entry) {
        return 0;
    }
    const QRectF ink = QFontMetricsF(Symbols::font(size * entry->scale))
                           .tightBoundingRect(QString(QChar(entry->codepoint)));
    return entry->quarterTurns % 2 == 0 ? ink.width() : ink.height();
}

} // namespace

EonSortLabel EonSortLabel::layout(const QFont& font, const QString& title, double room,
    const QString& chevron, double chevronSize, double spacing)
{
    EonSortLabel label;
    label.font = font;
    label.chevronWidth = chevron.isEmpty() ? 0 : inkWidth(chevron, chevronSize);
    label.spacing = chevron.isEmpty() ? 0 : spacing;
    const double textRoom = std::max(0.0, room - label.chevronWidth - label.spacing);
    const double natural = advance(font, title);
    const qsizetype gaps = title.size() - 1;
    if (natural > textRoom && gaps > 0 && font.letterSpacingType() == QFont::AbsoluteSpacing) {
        // Narrow the spacing just enough; a hair below none still reads well
        // in the monospaced header fonts, whose letters carry wide margins.
        const double floor = -0.05 * QFontInfo(font).pixelSize();
        const double excess = natural - textRoom;
        const double letterSpacing = std::max(floor, font.letterSpacing() - excess / gaps);
        label.font.setLetterSpacing(QFont::AbsoluteSpacing, letterSpacing);
    }
    label.text = title;
    if (advance(label.font, title) > textRoom) {
        label.text = QFontMetricsF(label.font).elidedText(title, Qt::ElideRight, textRoom);
    }
    label.textWidth = advance(label.font, label.text);
    return label;
}

} // namespace kivo
