#include "ui/eon/EonFonts.h"

#include "ui/eon/Symbols.h"

#include <QFontDatabase>
#include <QGuiApplication>

using namespace Qt::Literals::StringLiterals;

namespace kivo {

namespace {

QFont sized(QStringList families, double size, QFont::Weight weight)
{
    QFont font;
    font.setFamilies(families);
    font.setPixelSize(std::max(1, qRound(size)));
    font.setWeight(weight);
    return font;
}

} // namespace

void loadEonFonts()
{
    static const bool loaded = [] {
        Symbols::loadFont();
        return true;
    }();
    Q_UNUSED(loaded);
}

QFont eonFont(double size, QFont::Weight weight)
{
    return sized({ u"Inter"_s, QGuiApplication::font().family() }, size, weight);
}

QFont eonMonoFont(double size, QFont::Weight weight)
{
    return sized(
        { u"DejaVu Sans Mono"_s, QFontDatabase::systemFont(QFontDatabase::FixedFont).family() },
        size, weight);
}

} // namespace kivo
