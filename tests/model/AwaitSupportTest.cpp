#include "support/Await.h"

#include <QTimer>
#include <gtest/gtest.h>
#include <qcoro/qcorotimer.h>
#include <stdexcept>

namespace {

QCoro::Task<int> later(int value, bool fail)
{
    QTimer timer;
    timer.start(5);
    co_await timer;
    if (fail) {
        throw std::runtime_error("boom");
    }
    co_return value;
}

} // namespace

TEST(AwaitSupport, ReturnsValuesAndRethrowsErrors)
{
    EXPECT_EQ(kivo::test::await(later(7, false)), 7);
    EXPECT_THROW((void)kivo::test::await(later(7, true)), std::runtime_error);
}
