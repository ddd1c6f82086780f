#include "support/TempDir.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace kivo::test {

void TempDirTest::SetUp()
{
    ASSERT_TRUE(dir.isValid());
}

QString TempDirTest::path(const QString& relative) const
{
    return relative.isEmpty() ? dir.path() : dir.filePath(relative);
}

QString TempDirTest::writeFile(const QString& relative, const QByteArray& bytes) const
{
    const QString full = path(relative);
    QDir().mkpath(QFileInfo(full).absolutePath());
    QFile file(full);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
        ADD_FAILURE() << "cannot write " << full.toStdString();
    }
    return full;
}

} // namespace kivo::test
