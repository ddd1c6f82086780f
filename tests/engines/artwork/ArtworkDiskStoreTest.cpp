#include "engines/artwork/ArtworkDiskStore.h"
#include "engines/artwork/ArtworkCache.h"
#include "support/FileTraps.h"
#include "support/TempDir.h"

#include <QDir>
#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace kivo {
namespace {

class ArtworkDiskStoreTest : public test::TempDirTest {
protected:
    std::optional<ArtworkCacheError> writeError(const QByteArray& bytes) const
    {
        try {
            store.write(u"art.jpg"_s, bytes);
        } catch (const ArtworkCacheError& error) {
            return error;
        }
        return std::nullopt;
    }

    ArtworkDiskStore store { path() };
};

TEST_F(ArtworkDiskStoreTest, AFullDiskOrAForeignEntryKeepsWhatIsThere)
{
    store.write(u"art.jpg"_s, "original");
    {
        const test::FileSizeLimit fullDisk(4);
        const auto error = writeError("a larger picture");
        ASSERT_TRUE(error);
        EXPECT_EQ(error->errorCase(), ArtworkCacheError::Case::writeFailed);
        EXPECT_EQ(error->reason(), u"File too large"_s);
    }
    EXPECT_EQ(store.read(u"art.jpg"_s), "original");
    EXPECT_EQ(QDir(path()).entryList(QDir::Files | QDir::Hidden).size(), 1);

    for (const test::Trap trap : test::allTraps) {
        SCOPED_TRACE(test::trapName(trap));
        test::setTrap(store.filePath(u"art.jpg"_s), trap);
        const std::string before = test::describeEntry(store.filePath(u"art.jpg"_s));
        EXPECT_FALSE(store.read(u"art.jpg"_s));
        EXPECT_TRUE(writeError("picture"));
        EXPECT_EQ(test::describeEntry(store.filePath(u"art.jpg"_s)), before);
    }
}

} // namespace
} // namespace kivo
