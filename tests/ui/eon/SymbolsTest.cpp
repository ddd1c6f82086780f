#include "ui/eon/Symbols.h"
#include "ui/eon/EonFonts.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QRawFont>
#include <QSet>
#include <QTextLayout>
#include <gtest/gtest.h>

using namespace kivo;
using namespace Qt::Literals::StringLiterals;

namespace {

// The glyph the icon font draws for `text` as one ligature; 0 when it is not one glyph.
quint32 ligatureGlyph(const QString& text, const QFont& font)
{
    QTextLayout layout(text, font);
    layout.beginLayout();
    layout.createLine();
    layout.endLayout();
    const QList<QGlyphRun> runs = layout.glyphRuns();
    if (runs.size() != 1 || runs.first().glyphIndexes().size() != 1) {
        return 0;
    }
    return runs.first().glyphIndexes().first();
}

TEST(SymbolsTest, EverySymbolIsTheIconFontGlyphOfItsMaterialName)
{
    loadEonFonts();
    const QFont font = Symbols::font(24);
    ASSERT_EQ(QFontInfo(font).family(), u"Material Icons")
        << "fonts-material-design-icons-iconfont";
    const QRawFont raw = QRawFont::fromFont(font);
    QSet<QString> names;
    for (const SymbolGlyph& entry : Symbols::table()) {
        const QString name = QString::fromUtf16(entry.name);
        EXPECT_FALSE(names.contains(name)) << "listed twice: " << name.toStdString();
        names.insert(name);
        const QList<quint32> byCodepoint
            = raw.glyphIndexesForString(QString(QChar(entry.codepoint)));
        ASSERT_EQ(byCodepoint.size(), 1);
        EXPECT_NE(byCodepoint.first(), 0u) << name.toStdString() << " has no glyph";
        EXPECT_EQ(ligatureGlyph(QString::fromUtf16(entry.materialName), font), byCodepoint.first())
            << name.toStdString() << " is not "
            << QString::fromUtf16(entry.materialName).toStdString();
    }
}

TEST(SymbolsTest, AKnownNameDrawsInItsColourAndAnUnknownOneDrawsNothing)
{
    loadEonFonts();
    const auto inked = [](const QString& name) {
        QImage image(32, 32, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        Symbols::paint(painter, QRectF(0, 0, 32, 32), name, Qt::red, 24);
        painter.end();
        int count = 0;
        for (int y = 0; y < 32; ++y) {
            for (int x = 0; x < 32; ++x) {
                const QColor pixel = image.pixelColor(x, y);
                count += pixel.alpha() > 128 && pixel.red() > 200 && pixel.green() < 50;
            }
        }
        return count;
    };
    EXPECT_GT(inked(u"play.fill"_s), 50);
    EXPECT_EQ(inked(u"play.filled"_s), 0);
    EXPECT_FALSE(Symbols::glyph(u""_s));
}

} // namespace
