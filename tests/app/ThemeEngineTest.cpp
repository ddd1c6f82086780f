#include "app/ThemeEngineImpl.h"
#include "support/FakeReduceMotionSource.h"

#include <QBuffer>
#include <QImage>
#include <QSignalSpy>
#include <gtest/gtest.h>
#include <qcoro/qcorotask.h>

using namespace kivo;

namespace {

QByteArray encoded(const QImage& image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(image.save(&buffer, "PNG"));
    return bytes;
}

QByteArray solid(QColor color)
{
    QImage image(8, 6, QImage::Format_ARGB32);
    image.fill(color);
    return encoded(image);
}

// The accent of `bytes`, checking that extracting it changes no theme.
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

ThemeConfiguration lastPublished(const QSignalSpy& spy)
{
    return spy.last().at(0).value<ThemeConfiguration>();
}

} // namespace

TEST(ThemeEngine, PublishesStoredValuesAndResetUsesTheOtherAccent)
{
    TavrenThemeEngine engine;
    const ThemeConfiguration start = engine.currentConfiguration();
    EXPECT_EQ(start.accentColor, (StudioColor { 0.5, 0.5, 0.55, 1.0 }));
    EXPECT_EQ(start.panelTransparency, 0.85);
    EXPECT_FALSE(engine.isReduceMotionEnabled());

    // Each operation publishes one value, already stored when subscribers hear of it.
    QList<ThemeConfiguration> storedWhenHeard;
    QObject::connect(&engine, &ThemeEngine::configurationChanged, &engine,
        [&](const ThemeConfiguration&) { storedWhenHeard.append(engine.currentConfiguration()); });
    QSignalSpy spy(&engine, &ThemeEngine::configurationChanged);
    engine.updateTheme([](ThemeConfiguration& c) {
        c.fontSizeScale = 1.4;
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

    // An injected system setting is followed from the start and on change.
    test::FakeReduceMotionSource source(true);
    TavrenThemeEngine following(&source);
    EXPECT_TRUE(following.isReduceMotionEnabled());
    EXPECT_EQ(following.currentConfiguration().animationSpeedMultiplier, 0.0);
    source.set(false);
    EXPECT_FALSE(following.isReduceMotionEnabled());
    EXPECT_EQ(following.currentConfiguration().animationSpeedMultiplier, 1.0);
}

TEST(ThemeEngineAccent, AveragesEveryPixelLiftsDarkOnesAndFallsBackOnBadBytes)
{
    const double f = 1 / 255.0;
    const StudioColor fallback { 0.5, 0.55, 0.6, 1.0 };
    const QByteArray red = solid(Qt::red);
    // A 69-byte PNG whose header announces 30000 x 30000 pixels (3.6 GB decoded).
    const QByteArray huge = QByteArray::fromHex(
        "89504e470d0a1a0a0000000d4948445200007530000075300802000000e9456fed0000000c4944415478"
        "9c6360a00c000000400001b7347cef0000000049454e44ae426082");
    // Half black, half white: 127.5 rounds to 128.
    QImage halves(2, 1, QImage::Format_RGB32);
    halves.setPixel(0, 0, qRgb(0, 0, 0));
    halves.setPixel(1, 0, qRgb(255, 255, 255));
    // A quarter opaque white, the rest fully transparent white (counting as black).
    QImage sparse(4, 1, QImage::Format_ARGB32);
    sparse.fill(QColor(255, 255, 255, 0));
    sparse.setPixel(0, 0, qRgba(255, 255, 255, 255));
    // Decoders that give other pixel formats (grey scale, palette) agree.
    QImage grey(5, 5, QImage::Format_Grayscale8);
    grey.fill(200);
    QImage rgb(5, 5, QImage::Format_RGB32);
    rgb.fill(QColor(200, 100, 50));
    const QByteArray palette = encoded(rgb.convertToFormat(QImage::Format_Indexed8));
    ASSERT_EQ(QImage::fromData(palette).format(), QImage::Format_Indexed8);

    const std::pair<QByteArray, StudioColor> cases[] = {
        { QByteArray(), { 0.5, 0.5, 0.55 } },
        { "not an image at all", fallback },
        { red.left(red.size() / 2), fallback },
        { red.left(20), fallback },
        { huge, fallback },
        // Averages below a quarter luminance are lifted, never past 1.0.
        { solid(Qt::black), { 0.3, 0.3, 0.35 } },
        { solid(QColor(63, 63, 63)), { 63 * f + 0.3, 63 * f + 0.3, 63 * f + 0.35 } },
        { solid(QColor(64, 64, 64)), { 64 * f, 64 * f, 64 * f } },
        { solid(QColor(230, 26, 26)), { 230 * f, 26 * f, 26 * f } },
        { solid(QColor(0, 0, 255)), { 0.3, 0.3, 1.0 } },
        { encoded(halves), { 128 * f, 128 * f, 128 * f } },
        { encoded(sparse), { 64 * f, 64 * f, 64 * f } },
        { encoded(grey), { 200 * f, 200 * f, 200 * f } },
        { palette, { 200 * f, 100 * f, 50 * f } },
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(i);
        const StudioColor actual = accentOf(cases[i].first);
        EXPECT_NEAR(actual.r, cases[i].second.r, 1e-9);
        EXPECT_NEAR(actual.g, cases[i].second.g, 1e-9);
        EXPECT_NEAR(actual.b, cases[i].second.b, 1e-9);
        EXPECT_EQ(actual.alpha, 1.0);
    }
}
