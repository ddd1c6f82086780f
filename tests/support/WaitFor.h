#pragma once

#include <QTest>
#include <gtest/gtest.h>

// Waits up to five seconds, running the event loop, for `condition`, and
// fails the GoogleTest case when it never holds. QtTest's QTRY_ macros are
// not for these tests: they record a failure where GoogleTest never sees it,
// and the case passes.
#define KIVO_WAIT_TRUE(condition)                                                                  \
    ASSERT_TRUE(QTest::qWaitFor([&] { return bool(condition); }, 5000)) << #condition

// The same for a value that must come to equal `expected`; a failure shows both.
#define KIVO_WAIT_EQ(actual, expected)                                                             \
    do {                                                                                           \
        (void)QTest::qWaitFor([&] { return (actual) == (expected); }, 5000);                       \
        ASSERT_EQ(actual, expected);                                                               \
    } while (false)
