#include "ui/eon/EonPalette.h"

#include <gtest/gtest.h>

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
