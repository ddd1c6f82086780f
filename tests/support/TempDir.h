#pragma once

#include <QString>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace kivo::test {

// A fixture with a fresh temporary folder per test case.
class TempDirTest : public ::testing::Test {
protected:
    void SetUp() override;

    // Absolute path of `relative` inside the temporary folder.
    QString path(const QString& relative = {}) const;

    // Writes `bytes` to `relative` (creating parent folders) and returns its absolute path.
    QString writeFile(const QString& relative, const QByteArray& bytes) const;

    QTemporaryDir dir;
};

} // namespace kivo::test
