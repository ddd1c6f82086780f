#include "AppOnTempFolder.h"
#include "app/ThemeEngine.h"
#include "support/FakeReduceMotionSource.h"
#include "support/TempDir.h"
#include "ui/songtable/NowPlayingIndicator.h"

#include <gtest/gtest.h>

namespace kivo {
namespace {

using ReduceMotionTest = test::TempDirTest;

TEST_F(ReduceMotionTest, TheDesktopsSettingStillsTheNowPlayingBarsAndTheThemesAnimations)
{
    auto desktop = std::make_shared<test::FakeReduceMotionSource>(true);
    const auto app
        = test::startAppIn(path(), std::make_shared<test::FakeAudioPlayerFactory>(), desktop);
    const ThemeEngine& theme = app->container().themeEngine();
    NowPlayingTicker& ticker = NowPlayingTicker::shared();
    const QObject subscriber;
    ticker.subscribe(&subscriber); // a playing song on screen
    EXPECT_TRUE(ticker.reduceMotion());
    EXPECT_FALSE(ticker.isRunning());
    EXPECT_EQ(theme.currentConfiguration().animationSpeedMultiplier, 0.0);

    desktop->set(false);
    EXPECT_FALSE(ticker.reduceMotion());
    EXPECT_TRUE(ticker.isRunning());
    EXPECT_EQ(theme.currentConfiguration().animationSpeedMultiplier, 1.0);
    desktop->set(true);
    EXPECT_FALSE(ticker.isRunning());
    ticker.unsubscribe(&subscriber);
}

} // namespace
} // namespace kivo
