#include "engines/playback/WaveformCache.h"
#include "support/FileTraps.h"
#include "support/TempDir.h"

#include <QDir>
#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace kivo {
namespace {

class WaveformCacheTest : public test::TempDirTest { };

TEST_F(WaveformCacheTest, AFullDiskOrAForeignEntryKeepsWhatIsThere)
{
    const WaveformCache cache(path());
    const Waveform stored { { 0.25f, 0.5f, 1.0f, 0.0f }, QUuid::createUuid() };
    const QString file = cache.filePath(stored.trackID, 4);
    cache.store(stored);
    try {
        const test::FileSizeLimit fullDisk(16);
        cache.store({ { 0.125f, 0.375f, 0.625f, 0.875f }, stored.trackID });
        ADD_FAILURE() << "a failed write was reported as success";
    } catch (const WaveformCacheWriteError& error) {
        EXPECT_TRUE(error.description().endsWith(u": File too large"_s)) << error.what();
    }
    EXPECT_EQ(cache.load(stored.trackID, 4), stored);
    EXPECT_EQ(QDir(path()).entryList(QDir::Files | QDir::Hidden).size(), 1);

    for (const test::Trap trap : test::allTraps) {
        SCOPED_TRACE(int(trap));
        test::setTrap(file, trap);
        const std::string before = test::describeEntry(file);
        EXPECT_FALSE(cache.load(stored.trackID, 4));
        EXPECT_THROW(cache.store(stored), WaveformCacheWriteError);
        EXPECT_EQ(test::describeEntry(file), before);
    }
}

} // namespace
} // namespace kivo
