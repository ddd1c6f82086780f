#pragma once

#include <QAbstractItemModelTester>
#include <memory>

namespace kivo::test {

// Holds an item model to Qt's model contract for as long as the result lives.
// A broken contract ends the test program at once: the tester's default mode
// only prints a warning, which a passing test would carry past unnoticed.
[[nodiscard]] inline std::unique_ptr<QAbstractItemModelTester> checkModel(QAbstractItemModel* model)
{
    return std::make_unique<QAbstractItemModelTester>(
        model, QAbstractItemModelTester::FailureReportingMode::Fatal);
}

} // namespace kivo::test
