#include "app/EonPalette.h"

#include <gtest/gtest.h>

using namespace kivo;

namespace {

void expectRgba(const QColor& color, double r, double g, double b, double a)
{
    EXPECT_NEAR(color.redF(), r, 1e-4);
    EXPECT_NEAR(color.greenF(), g, 1e-4);
    EXPECT_NEAR(color.blueF(), b, 1e-4);
    EXPECT_NEAR(color.alphaF(), a, 1e-4);
}

} // namespace

TEST(EonPalette, GradientStopsAreEvenlySpacedWithOpacityApplied)
{
    const EonGradient& wash = eonSignalWash();
    ASSERT_EQ(wash.stops.size(), 4);
    expectRgba(wash.stops[0], 0.43, 0.96, 0.88, 0.23);
    expectRgba(wash.stops[3], 0.078, 0.070, 0.055, 0.76);
    expectRgba(eonPlayerBarGradient().stops[2], 0, 0, 0, 0.96);
    // Opacity multiplies the colour's own.
    expectRgba(eonWithOpacity(eonHairline(), 0.5), 0.94, 0.68, 0.30, 0.09);

    const QLinearGradient linear = wash.toLinearGradient();
    EXPECT_EQ(linear.coordinateMode(), QGradient::ObjectMode);
    EXPECT_EQ(linear.start(), QPointF(0, 0.5));
    EXPECT_EQ(linear.finalStop(), QPointF(1, 0.5));
    ASSERT_EQ(linear.stops().size(), 4);
    EXPECT_NEAR(linear.stops()[1].first, 1.0 / 3.0, 1e-12);
    EXPECT_EQ(linear.stops()[3].first, 1.0);

    const QLinearGradient mirrored = eonWindowGradient().toLinearGradient(Qt::RightToLeft);
    EXPECT_EQ(mirrored.start(), QPointF(1, 0));
    EXPECT_EQ(mirrored.finalStop(), QPointF(0, 1));
    EXPECT_EQ(eonSignalGradient().startPoint, QPointF(0.5, 0));
}
