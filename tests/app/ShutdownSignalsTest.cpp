#include "app/ShutdownSignals.h"

#include <QSignalSpy>
#include <csignal>
#include <gtest/gtest.h>

namespace kivo {
namespace {

TEST(ShutdownSignals, InterruptAndHangUpArriveInTheEventLoopInsteadOfEndingTheProcess)
{
    ShutdownSignals shutdownSignals;
    QSignalSpy received(&shutdownSignals, &ShutdownSignals::received);
    std::raise(SIGINT);
    std::raise(SIGHUP);
    EXPECT_TRUE(received.isEmpty()); // nothing runs inside the handler
    for (int i = 0; i < 50 && received.size() < 2; ++i) {
        received.wait(100);
    }
    ASSERT_EQ(received.size(), 2);
    EXPECT_EQ(received[0][0].toInt(), SIGINT);
    EXPECT_EQ(received[1][0].toInt(), SIGHUP);
}

} // namespace
} // namespace kivo
