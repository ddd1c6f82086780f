#include "engines/artwork/ArtworkBatchSnapshot.h"
#include "engines/artwork/ArtworkCacheImpl.h"
#include "engines/artwork/TrackMetadataBatchFakes.h"
#include "support/Await.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kivo;
using namespace kivo::test;
using namespace Qt::Literals::StringLiterals;

namespace {

QString failureOf(QCoro::Task<> task)
{
    const auto outcome = QCoro::waitFor(settle(std::move(task)));
    try {
        if (outcome.error) {
            std::rethrow_exception(outcome.error);
        }
    } catch (const std::exception& e) {
        return QString::fromUtf8(e.what());
    }
    return u"none"_s;
}

const QString diskFull(const Track& track)
{
    return ArtworkCacheError(ArtworkCacheError::Case::writeFailed, track.title, u"Disk full"_s)
        .errorDescription();
}

struct FiveSongs {
    FakeArtworkCache cache;
    QList<Track> tracks;
    ArtworkBatchSnapshot prior;

    FiveSongs()
    {
        for (int i = 0; i < 5; ++i) {
            tracks.push_back(song(QString::number(i)));
            if (i != 1) { // song 1 has no artwork
                cache.artwork.insert(tracks.back().id, "old" + QByteArray::number(i));
            }
        }
        prior = await(ArtworkBatchSnapshot::capture(tracks, &cache));
    }
    QCoro::Task<> applyNew()
    {
        return ArtworkBatchSnapshot::apply(
            ArtworkBatchSnapshot::replacing(tracks, "new"), prior, &cache);
    }
};

// Reads nothing back although the file is there (an I/O or permission error).
class UnreadableDiskStore final : public ArtworkDiskStore {
public:
    using ArtworkDiskStore::ArtworkDiskStore;
    std::optional<QByteArray> read(const QString&) const override { return std::nullopt; }
    bool exists(const QString&) const override { return true; }
};

} // namespace

TEST(ArtworkBatchSnapshot, UndoLimitIsInclusive)
{
    FakeArtworkCache cache;
    const QList<Track> tracks { song(u"a"_s), song(u"b"_s), song(u"c"_s) };
    cache.artwork.insert(tracks[0].id, QByteArray(268435455, Qt::Uninitialized));
    cache.artwork.insert(tracks[1].id, "x");
    EXPECT_EQ(await(ArtworkBatchSnapshot::capture(tracks, &cache)).entries.size(), 3);

    cache.artwork.insert(tracks[2].id, "y");
    const auto outcome = QCoro::waitFor(settle(ArtworkBatchSnapshot::capture(tracks, &cache)));
    const auto error = outcome.errorAs<ArtworkBatchTransactionError>();
    ASSERT_TRUE(error);
    EXPECT_EQ(*error, ArtworkBatchTransactionError::undoLimitExceeded(256));
    EXPECT_EQ(error->errorDescription(),
        u"The existing artwork exceeds the 256 MB safe undo limit. Select fewer songs and try again."_s);
}

TEST(ArtworkBatchSnapshot, FailedWriteRestoresEverySongAndNamesTheError)
{
    FiveSongs batch;
    const auto before = batch.cache.artwork;
    batch.cache.failingWrites = { 3 };
    EXPECT_EQ(failureOf(batch.applyNew()),
        u"The shared artwork could not be applied. Existing artwork was restored. "_s
            + diskFull(batch.tracks[2]));
    EXPECT_EQ(batch.cache.writes, 3 + 5);
    EXPECT_EQ(batch.cache.artwork, before);
}

TEST(ArtworkBatchSnapshot, FailedRollbackReportsBothErrors)
{
    FiveSongs batch;
    batch.cache.failingWrites = { 3, 4 };
    EXPECT_EQ(failureOf(batch.applyNew()),
        u"The shared artwork update failed ("_s + diskFull(batch.tracks[2])
            + u"), and automatic recovery also failed ("_s + diskFull(batch.tracks[0]) + u")."_s);
}

TEST(ArtworkBatchSnapshot, ChangedSongSetWritesNothing)
{
    FiveSongs batch;
    ArtworkBatchSnapshot target = ArtworkBatchSnapshot::replacing(batch.tracks, "new");
    target.entries[4] = target.entries[0]; // one song twice, one missing
    EXPECT_EQ(failureOf(ArtworkBatchSnapshot::apply(target, batch.prior, &batch.cache)),
        u"The shared artwork operation was cancelled because its song set changed."_s);
    EXPECT_EQ(batch.cache.writes, 0);

    std::reverse(target.entries.begin(), target.entries.end());
    EXPECT_FALSE(ArtworkBatchSnapshot::matches(target, batch.prior));
    const ArtworkBatchSnapshot reordered { { batch.prior.entries.rbegin(),
        batch.prior.entries.rend() } };
    EXPECT_TRUE(ArtworkBatchSnapshot::matches(reordered, batch.prior));
}

TEST(ArtworkBatchSnapshot, ArtworkThatCannotBeReadFailsTheCapture)
{
    FakeArtworkCache cache;
    const Track track = song(u"a"_s);
    cache.unreadable.insert(track.id);
    const auto outcome = QCoro::waitFor(settle(ArtworkBatchSnapshot::capture({ track }, &cache)));
    EXPECT_TRUE(outcome.errorAs<ArtworkCacheError>());

    // The real cache tells an unreadable file from a missing one only here.
    QTemporaryDir folder;
    TavrenArtworkCache real(
        CacheMetrics::standard(), std::make_shared<UnreadableDiskStore>(folder.path()), nullptr);
    EXPECT_EQ(await(real.retrieveArtwork(track)), std::nullopt);
    const auto strict = QCoro::waitFor(settle(real.retrieveArtworkForRollback(track)));
    const auto error = strict.errorAs<ArtworkCacheError>();
    ASSERT_TRUE(error);
    EXPECT_EQ(error->errorCase(), ArtworkCacheError::Case::readFailed);
}
