// The main window's size and position across restarts, and how a saved frame
// is fitted to the screen it comes back on.
#include "app/WindowFrameMemory.h"
#include "AppOnTempFolder.h"
#include "app/MainWindow.h"
#include "support/TempDir.h"

#include <QScreen>
#include <QTest>
#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace kivo {
namespace {

TEST(WindowFrameMemory, ASavedFrameFitsTheScreenAndTheMinimum)
{
    const QSize minimum(900, 690);
    const QRect desktop(0, 0, 1920, 1040);
    const QRect rightMonitor(1920, 0, 1280, 1000);
    const QRect small(0, 0, 800, 600);
    const struct {
        QRect saved, available, fitted;
    } cases[] = {
        { { 100, 80, 1200, 800 }, desktop, { 100, 80, 1200, 800 } },
        { { 1800, 80, 1200, 800 }, desktop, { 720, 80, 1200, 800 } }, // past the right edge
        { { -2000, -50, 1200, 800 }, desktop, { 0, 0, 1200, 800 } }, // a monitor now gone
        { { 10, 10, 3000, 2000 }, desktop, { 0, 0, 1920, 1040 } },
        { { 100, 100, 300, 200 }, desktop, { 100, 100, 900, 690 } },
        { { 2000, 50, 1000, 700 }, rightMonitor, { 2000, 50, 1000, 700 } },
        // A screen smaller than the minimum: the top-left corner stays in reach.
        { { 30, 40, 1000, 700 }, small, { 30, 40, 900, 690 } },
        { { 850, 40, 1000, 700 }, small, { 0, 40, 900, 690 } },
    };
    for (const auto& c : cases) {
        EXPECT_EQ(WindowFrameMemory::fitted(c.saved, c.available, minimum), c.fitted)
            << WindowFrameMemory::text(c.saved).toStdString();
    }
}

using MainWindowFrameTest = test::TempDirTest;

TEST_F(MainWindowFrameTest, TheWindowComesBackWhereTheUserLeftIt)
{
    const QSize defaultSize(1320, 820);
    QRect chosen;
    {
        const auto app = test::startAppIn(path());
        MainWindow& window = app->mainWindow();
        EXPECT_EQ(window.size(), defaultSize);
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        // Inside the screen where it is large enough; offscreen it is smaller
        // than the window's minimum, which then decides the size.
        const QRect available = window.screen()->availableGeometry();
        const QSize minimum = window.minimumSizeHint();
        chosen = { available.topLeft() + QPoint(37, 45),
            QSize(std::max(minimum.width(), std::min(available.width() - 80, 1000)),
                std::max(minimum.height(), std::min(available.height() - 80, 700))) };
        window.setGeometry(chosen);
        QCoreApplication::processEvents();
        ASSERT_EQ(window.geometry(), chosen);
    }
    {
        const auto app = test::startAppIn(path());
        MainWindow& window = app->mainWindow();
        EXPECT_EQ(window.geometry(), chosen);
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        EXPECT_EQ(window.geometry(), chosen);
        window.showMaximized();
        QCoreApplication::processEvents();
    }
    {
        // Maximised over the frame it returns to.
        const auto app = test::startAppIn(path());
        MainWindow& window = app->mainWindow();
        EXPECT_TRUE(window.windowState().testFlag(Qt::WindowMaximized));
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        window.showNormal();
        QCoreApplication::processEvents();
        EXPECT_EQ(window.geometry(), chosen);
    }
    EXPECT_FALSE(test::startAppIn(path())->mainWindow().windowState().testFlag(Qt::WindowMaximized))
        << "a window left in its normal frame comes back normal";

    // Broken or wrong-typed values are ignored, and a window never shown keeps them.
    const QString settings = path(u"settings.json"_s);
    for (const UserDefaults::Value& broken : { UserDefaults::Value(u"wide"_s),
             UserDefaults::Value(u"10 20 0 700"_s), UserDefaults::Value(u"10 20 1000 700 1"_s),
             UserDefaults::Value(u"10 20 99999999999 700"_s), UserDefaults::Value(qint64(3)) }) {
        ASSERT_TRUE(
            SettingsUserDefaults(settings).setValue(TavrenMediaStudioApp::mainFrameKey, broken));
        EXPECT_EQ(test::startAppIn(path())->mainWindow().size(), defaultSize);
        EXPECT_EQ(SettingsUserDefaults(settings).value(TavrenMediaStudioApp::mainFrameKey), broken);
    }
}

} // namespace
} // namespace kivo
