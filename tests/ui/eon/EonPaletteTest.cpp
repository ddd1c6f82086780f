#include "ui/eon/EonPalette.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <utility>

using namespace kivo;

TEST(EonPalette, OpacityMultipliesAndGradientsSpaceStopsEvenlyAndMirror)
{
    // Opacity multiplies the colour's own (0.18 for the hairline).
    const QColor faded = eonWithOpacity(eonHairline(), 0.5);
    EXPECT_NEAR(faded.alphaF(), 0.09, 1e-4);
    EXPECT_NEAR(faded.redF(), eonHairline().redF(), 1e-6);

    const QLinearGradient linear = eonSignalWash().toLinearGradient();
    EXPECT_EQ(linear.coordinateMode(), QGradient::ObjectMode);
    EXPECT_EQ(linear.start(), QPointF(0, 0.5));
    EXPECT_EQ(linear.finalStop(), QPointF(1, 0.5));
    ASSERT_EQ(linear.stops().size(), 4);
    EXPECT_NEAR(linear.stops()[1].first, 1.0 / 3.0, 1e-12);
    EXPECT_EQ(linear.stops()[3].first, 1.0);
    EXPECT_NEAR(linear.stops()[0].second.alphaF(), 0.23, 1e-4); // the stop's opacity applied

    const QLinearGradient mirrored = eonWindowGradient().toLinearGradient(Qt::RightToLeft);
    EXPECT_EQ(mirrored.start(), QPointF(1, 0));
    EXPECT_EQ(mirrored.finalStop(), QPointF(0, 1));
}

namespace {

double luminance(const QColor& colour)
{
    const auto linear
        = [](double c) { return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4); };
    return 0.2126 * linear(colour.redF()) + 0.7152 * linear(colour.greenF())
        + 0.0722 * linear(colour.blueF());
}

// The contrast ratio of `text` laid over the opaque `background`.
double contrast(const QColor& text, const QColor& background)
{
    const double a = text.alphaF();
    const QColor shown = QColor::fromRgbF(float(text.redF() * a + background.redF() * (1 - a)),
        float(text.greenF() * a + background.greenF() * (1 - a)),
        float(text.blueF() * a + background.blueF() * (1 - a)));
    const double l1 = luminance(shown);
    const double l2 = luminance(background);
    return (std::max(l1, l2) + 0.05) / (std::min(l1, l2) + 0.05);
}

} // namespace

TEST(EonPalette, EveryTextColourReadsAtLeastFourAndAHalfToOneOnEverySurface)
{
    const std::pair<const char*, QColor> texts[] = { { "primary", eonTextPrimary() },
        { "secondary", eonTextSecondary() }, { "tertiary", eonTextTertiary() },
        { "accent", eonAccent() }, { "destructive", eonDestructive() },
        { "error text at a header's 0.86", eonWithOpacity(eonErrorText(), 0.86) },
        { "warning", eonWarning() } };
    for (const QColor& surface : { eonCanvas(), eonSurface(), eonSurfaceRaised() }) {
        for (const auto& [name, text] : texts) {
            EXPECT_GE(contrast(text, surface), 4.5) << name << " on " << qPrintable(surface.name());
        }
    }
    EXPECT_GE(contrast(eonDestructiveLabel(), eonDestructiveFill()), 4.5);
    // A default button's dark label on the amber.
    EXPECT_GE(contrast(eonCanvas(), eonAccent()), 4.5);
}
