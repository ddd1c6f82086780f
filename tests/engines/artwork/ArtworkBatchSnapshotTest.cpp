#include "engines/artwork/ArtworkBatchSnapshot.h"
#include "engines/artwork/ArtworkCacheImpl.h"
#include "engines/artwork/TrackMetadataBatchFakes.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kivo;
using namespace kivo::test;
using namespace Qt::Literals::StringLiterals;

namespace {

// Five songs with artwork but the second; the third of their writes can fail.
struct FiveSongs {
    ScriptedArtworkCache cache;
    QList<Track> tracks;
    ArtworkBatchSnapshot prior;

    explicit FiveSongs(QSet<int> failingWrites)
    {
        for (int i = 0; i < 5; ++i) {
            tracks.push_back(song(QString::number(i)));
            if (i != 1) {
                cache.artwork.insert(tracks.back().id, "old" + QByteArray::number(i));
            }
        }
        prior = await(ArtworkBatchSnapshot::capture(tracks, &cache));
        cache.failingWrites = std::move(failingWrites);
    }
    QString applyNew()
    {
        return failureText(ArtworkBatchSnapshot::apply(
            ArtworkBatchSnapshot::replacing(tracks, "new"), prior, &cache));
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
    ScriptedArtworkCache cache;
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

TEST(ArtworkBatchSnapshot, FailedWriteRestoresEverySong)
{
    FiveSongs batch({ 3 });
    const auto before = batch.cache.artwork;
    EXPECT_EQ(batch.applyNew(),
        u"The shared artwork could not be applied. Existing artwork was restored. "_s
            + diskFull(batch.tracks[2]));
    EXPECT_EQ(batch.cache.writes, 3 + 5);
    EXPECT_EQ(batch.cache.artwork, before);

    FiveSongs failingTwice({ 3, 4 });
    EXPECT_EQ(failingTwice.applyNew(),
        u"The shared artwork update failed ("_s + diskFull(failingTwice.tracks[2])
            + u"), and automatic recovery also failed ("_s + diskFull(failingTwice.tracks[0])
            + u")."_s);
}

TEST(ArtworkBatchSnapshot, ChangedSongSetWritesNothing)
{
    FiveSongs batch({});
    ArtworkBatchSnapshot target = ArtworkBatchSnapshot::replacing(batch.tracks, "new");
    target.entries[4] = target.entries[0]; // one song twice, one missing
    EXPECT_EQ(failureText(ArtworkBatchSnapshot::apply(target, batch.prior, &batch.cache)),
        u"The shared artwork operation was cancelled because its song set changed."_s);
    EXPECT_EQ(batch.cache.writes, 0);
}

TEST(ArtworkBatchSnapshot, ArtworkThatCannotBeReadFailsTheCapture)
{
    ScriptedArtworkCache cache;
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
    ASSERT_TRUE(strict.errorAs<ArtworkCacheError>());
    EXPECT_EQ(
        strict.errorAs<ArtworkCacheError>()->errorCase(), ArtworkCacheError::Case::readFailed);
}
