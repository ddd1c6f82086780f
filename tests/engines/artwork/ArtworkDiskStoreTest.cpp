#include "engines/artwork/ArtworkDiskStore.h"
#include "engines/artwork/ArtworkCache.h"
#include "support/FileTraps.h"
#include "support/TempDir.h"

#include <QDir>
#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace kivo {
namespace {

class ArtworkDiskStoreTest : public test::TempDirTest { };

TEST_F(ArtworkDiskStoreTest, AFullDiskOrAForeignEntryKeepsWhatIsThere)
{
    const ArtworkDiskStore store(path());
    const QString file = store.filePath(u"art.jpg"_s);
    store.write(u"art.jpg"_s, "original");
    try {
        const test::FileSizeLimit fullDisk(4);
        store.write(u"art.jpg"_s, "a larger picture");
        ADD_FAILURE() << "a failed write was reported as success";
    } catch (const ArtworkCacheError& error) {
        EXPECT_EQ(error.errorCase(), ArtworkCacheError::Case::writeFailed);
        EXPECT_EQ(error.reason(), u"File too large"_s);
    }
    EXPECT_EQ(store.read(u"art.jpg"_s), "original");
    EXPECT_EQ(QDir(path()).entryList(QDir::Files | QDir::Hidden).size(), 1);

    for (const test::Trap trap : test::allTraps) {
        SCOPED_TRACE(int(trap));
        test::setTrap(file, trap);
        const std::string before = test::describeEntry(file);
        EXPECT_FALSE(store.read(u"art.jpg"_s));
        EXPECT_THROW(store.write(u"art.jpg"_s, "picture"), ArtworkCacheError);
        EXPECT_EQ(test::describeEntry(file), before);
    }
}

} // namespace
} // namespace kivo
