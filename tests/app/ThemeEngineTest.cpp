#include "app/ThemeEngineImpl.h"

#include <QBuffer>
#include <QImage>
#include <QSignalSpy>
#include <gtest/gtest.h>
#include <qcoro/qcorotask.h>

using namespace kivo;

namespace {

QByteArray encoded(const QImage& image, const char* format = "PNG")
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(image.save(&buffer, format));
    return bytes;
}

QByteArray solid(QColor color, QImage::Format format = QImage::Format_ARGB32)
{
    QImage image(8, 6, format);
    image.fill(color);
    return encoded(image);
}

StudioColor accentOf(const QByteArray& bytes)
{
    TavrenThemeEngine engine;
    const ThemeConfiguration before = engine.currentConfiguration();
    QSignalSpy spy(&engine, &ThemeEngine::configurationChanged);
    const StudioColor color = QCoro::waitFor(engine.extractAccentColor(bytes));
    EXPECT_EQ(spy.count(), 0);
    EXPECT_EQ(engine.currentConfiguration(), before);
    return color;
}

void expectColor(const StudioColor& actual, double r, double g, double b)
{
    EXPECT_NEAR(actual.r, r, 1e-9);
    EXPECT_NEAR(actual.g, g, 1e-9);
    EXPECT_NEAR(actual.b, b, 1e-9);
    EXPECT_EQ(actual.alpha, 1.0);
}

ThemeConfiguration lastPublished(const QSignalSpy& spy)
{
    return spy.last().at(0).value<ThemeConfiguration>();
}

class FakeReduceMotion : public ReduceMotionSource {
public:
    bool enabled = false;
    bool isReduceMotionEnabled() const override { return enabled; }
    void set(bool value)
    {
        enabled = value;
        Q_EMIT reduceMotionChanged(value);
    }
};

} // namespace

TEST(ThemeEngine, StartsWithStartingValuesAndResetUsesTheOtherAccent)
{
    TavrenThemeEngine engine;
    const ThemeConfiguration start = engine.currentConfiguration();
    EXPECT_EQ(start.accentColor, (StudioColor { 0.5, 0.5, 0.55, 1.0 }));
    EXPECT_EQ(start.roundedCorners, 8.0);
    EXPECT_EQ(start.animationSpeedMultiplier, 1.0);
    EXPECT_EQ(start.fontSizeScale, 1.0);
    EXPECT_FALSE(start.isCompactMode);
    EXPECT_EQ(start.panelTransparency, 0.85);
    EXPECT_FALSE(engine.isReduceMotionEnabled());

    // Each operation publishes one value, already stored when subscribers hear of it.
    QList<ThemeConfiguration> storedWhenHeard;
    QObject::connect(&engine, &ThemeEngine::configurationChanged, &engine,
        [&](const ThemeConfiguration&) { storedWhenHeard.append(engine.currentConfiguration()); });
    QSignalSpy spy(&engine, &ThemeEngine::configurationChanged);
    engine.updateTheme([](ThemeConfiguration& c) {
        c.fontSizeScale = 1.4;
        c.isCompactMode = true;
        c.accentColor = { 1, 0, 0, 1 };
    });
    engine.updateTheme([](ThemeConfiguration&) {}); // unchanged values are published too
    engine.resetToDefaults();
    ASSERT_EQ(spy.count(), 3);
    for (int i = 0; i < spy.count(); ++i) {
        EXPECT_EQ(spy.at(i).at(0).value<ThemeConfiguration>(), storedWhenHeard.at(i));
    }
    EXPECT_EQ(storedWhenHeard.at(0).fontSizeScale, 1.4);
    EXPECT_EQ(lastPublished(spy), ThemeConfiguration::defaults());
    EXPECT_EQ(engine.currentConfiguration().accentColor, (StudioColor { 0.5, 0.55, 0.6, 1.0 }));
}

TEST(ThemeEngine, ReduceMotionForcesZeroSpeedAndForgetsThePreviousSpeed)
{
    TavrenThemeEngine engine;
    QSignalSpy spy(&engine, &ThemeEngine::configurationChanged);
    engine.updateTheme([](ThemeConfiguration& c) { c.animationSpeedMultiplier = 1.5; });
    engine.setReduceMotion(true);
    EXPECT_EQ(lastPublished(spy).animationSpeedMultiplier, 0.0);

    engine.updateTheme([](ThemeConfiguration& c) {
        c.animationSpeedMultiplier = 2.0;
        c.panelTransparency = 0.5;
    });
    EXPECT_EQ(lastPublished(spy).animationSpeedMultiplier, 0.0);
    EXPECT_EQ(lastPublished(spy).panelTransparency, 0.5);

    engine.resetToDefaults();
    ThemeConfiguration expected = ThemeConfiguration::defaults();
    expected.animationSpeedMultiplier = 0;
    EXPECT_EQ(lastPublished(spy), expected);
    EXPECT_TRUE(engine.isReduceMotionEnabled());

    engine.setReduceMotion(false);
    EXPECT_EQ(engine.currentConfiguration().animationSpeedMultiplier, 1.0);
    engine.updateTheme([](ThemeConfiguration& c) { c.animationSpeedMultiplier = 2.0; });
    EXPECT_EQ(engine.currentConfiguration().animationSpeedMultiplier, 2.0);
}

TEST(ThemeEngine, FollowsAnInjectedReduceMotionSource)
{
    FakeReduceMotion source;
    source.enabled = true;
    TavrenThemeEngine engine(&source);
    EXPECT_TRUE(engine.isReduceMotionEnabled());
    EXPECT_EQ(engine.currentConfiguration().animationSpeedMultiplier, 0.0);

    source.set(false);
    EXPECT_FALSE(engine.isReduceMotionEnabled());
    EXPECT_EQ(engine.currentConfiguration().animationSpeedMultiplier, 1.0);
}

TEST(ThemeEngineAccent, FallbacksForEmptyAndUndecodableBytes)
{
    expectColor(accentOf({}), 0.5, 0.5, 0.55);
    expectColor(accentOf("not an image at all"), 0.5, 0.55, 0.6);

    const QByteArray png = solid(Qt::red);
    expectColor(accentOf(png.left(png.size() / 2)), 0.5, 0.55, 0.6);
    expectColor(accentOf(png.left(20)), 0.5, 0.55, 0.6);
}

TEST(ThemeEngineAccent, DarkAveragesAreLiftedBelowQuarterLuminanceOnly)
{
    expectColor(accentOf(solid(Qt::black)), 0.3, 0.3, 0.35);
    const double g63 = 63 / 255.0;
    expectColor(accentOf(solid(QColor(63, 63, 63))), g63 + 0.3, g63 + 0.3, g63 + 0.35);
    const double g64 = 64 / 255.0;
    expectColor(accentOf(solid(QColor(64, 64, 64))), g64, g64, g64);
    expectColor(accentOf(solid(QColor(230, 26, 26))), 230 / 255.0, 26 / 255.0, 26 / 255.0);
    // Lifting never goes past 1.0.
    expectColor(accentOf(solid(QColor(0, 0, 255))), 0.3, 0.3, 1.0);
}

TEST(ThemeEngineAccent, AveragesEveryPixelWithTransparencyCountingAsBlack)
{
    // Half black, half white: 127.5 rounds to 128.
    QImage halves(10, 4, QImage::Format_RGB32);
    halves.fill(Qt::white);
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 5; ++x) {
            halves.setPixel(x, y, qRgb(0, 0, 0));
        }
    }
    const double mid = 128 / 255.0;
    expectColor(accentOf(encoded(halves)), mid, mid, mid);

    // A quarter opaque white, the rest fully transparent white: average 64.
    QImage sparse(4, 4, QImage::Format_ARGB32);
    sparse.fill(QColor(255, 255, 255, 0));
    for (int i = 0; i < 4; ++i) {
        sparse.setPixel(i, i, qRgba(255, 255, 255, 255));
    }
    const double quarter = 64 / 255.0;
    expectColor(accentOf(encoded(sparse)), quarter, quarter, quarter);

    // Decoders that give other pixel formats (grey scale, palette) agree.
    QImage grey(5, 5, QImage::Format_Grayscale8);
    grey.fill(200);
    expectColor(accentOf(encoded(grey)), 200 / 255.0, 200 / 255.0, 200 / 255.0);
    QImage rgb(5, 5, QImage::Format_RGB32);
    rgb.fill(QColor(200, 100, 50));
    const QByteArray palette = encoded(rgb.convertToFormat(QImage::Format_Indexed8));
    ASSERT_EQ(QImage::fromData(palette).format(), QImage::Format_Indexed8);
    expectColor(accentOf(palette), 200 / 255.0, 100 / 255.0, 50 / 255.0);
}

TEST(ThemeEngineAccent, ImagesClaimingHugeSizesAreNotDecoded)
{
    // A 69-byte PNG whose header announces 30000 x 30000 pixels (3.6 GB decoded).
    const QByteArray png = QByteArray::fromHex(
        "89504e470d0a1a0a0000000d4948445200007530000075300802000000e9456fed0000000c4944415478"
        "9c6360a00c000000400001b7347cef0000000049454e44ae426082");
    expectColor(accentOf(png), 0.5, 0.55, 0.6);
}
