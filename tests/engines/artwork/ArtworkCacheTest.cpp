#include "engines/artwork/ArtworkCacheImpl.h"

#include "engines/library/MetadataEngineImpl.h"
#include "platform/MediaProbe.h"
#include "support/Await.h"
#include "support/TempDir.h"
#include "support/WavWriter.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPromise>
#include <QSignalSpy>
#include <atomic>
#include <gtest/gtest.h>
#include <qcoro/qcorofuture.h>

using namespace Qt::Literals::StringLiterals;

namespace kivo {
namespace {

using test::await;

// Answers extraction with what a test sets; can hold every answer back until
// released, and fail on request.
class FakeMetadataEngine final : public MetadataEngine {
public:
    QCoro::Task<ExtractedMetadata> readMetadata(QUrl) override
    {
        throw MediaProbeError::unreadable(u"unused"_s);
        co_return ExtractedMetadata(0);
    }
    QCoro::Task<> writeMetadata(Track, std::optional<QByteArray>) override
    {
        throw MetadataError::tagWriteFailed(u"unused"_s);
        co_return;
    }
    QCoro::Task<std::optional<QByteArray>> extractArtwork(QUrl url) override
    {
        ++calls;
        lastUrl = url;
        if (gate) {
            QFuture<void> opened = gate->future();
            co_await opened;
        }
        if (fails) {
            throw MediaProbeError::unreadable(url.toLocalFile());
        }
        // A copy, spelled out: GCC 12 moves from a member named in co_return.
        const std::optional<QByteArray> answer = artwork;
        co_return answer;
    }

    void holdBack()
    {
        gate.emplace();
        gate->start();
    }
    void release() { gate->finish(); }

    int calls = 0;
    QUrl lastUrl;
    std::optional<QByteArray> artwork;
    bool fails = false;
    std::optional<QPromise<void>> gate;
};

// The real folder, with reads counted and deletions that fail on request.
class FlakyDiskStore final : public ArtworkDiskStore {
public:
    using ArtworkDiskStore::ArtworkDiskStore;

    std::optional<QByteArray> read(const QString& fileName) const override
    {
        ++reads;
        return ArtworkDiskStore::read(fileName);
    }
    void removeArtworkFiles(const QUuid& trackID) const override
    {
        if (failRemoval) {
            throw ArtworkCacheError(
                ArtworkCacheError::Case::removeFailed, folder(), u"Device busy"_s);
        }
        ArtworkDiskStore::removeArtworkFiles(trackID);
    }

    mutable std::atomic<int> reads { 0 };
    std::atomic<bool> failRemoval { false };
};

class ArtworkCacheTest : public test::TempDirTest {
protected:
    void SetUp() override
    {
        TempDirTest::SetUp();
        ASSERT_TRUE(QDir().mkpath(path(u"art"_s)));
        store = std::make_shared<FlakyDiskStore>(path(u"art"_s));
        cache = std::make_unique<TavrenArtworkCache>(CacheMetrics::standard(), store, &engine);
    }

    Track track(const QString& title = u"Song"_s)
    {
        const QString file = writeFile(title + u".mp3"_s, "audio");
        return Track::make(QUuid::createUuid(), QUrl::fromLocalFile(file), title + u".mp3"_s, title,
            1.0, Date::now());
    }

    std::optional<QByteArray> retrieve(const Track& t) { return await(cache->retrieveArtwork(t)); }

    QByteArray fileBytes(const QString& name) const
    {
        QFile file(path(u"art/"_s + name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }

    static QString rawName(const Track& t)
    {
        return TavrenArtworkCache::artworkKey(t.id) + u".raw"_s;
    }

    // Runs the events already posted, delivering a pending change notice.
    static void settle() { QCoreApplication::processEvents(); }

    FakeMetadataEngine engine;
    std::shared_ptr<FlakyDiskStore> store;
    std::unique_ptr<TavrenArtworkCache> cache;
};

TEST_F(ArtworkCacheTest, StoredBytesComeBackExactlyFromMemoryAndFromDisk)
{
    const Track song = track();
    QByteArray bytes("\x89PNG\0\r\n\x1a\0binary", 15);
    await(cache->storeArtwork(bytes, song));
    EXPECT_EQ(fileBytes(u"original_"_s + json::uuidText(song.id) + u".raw"_s), bytes);

    const int readsBefore = store->reads;
    EXPECT_EQ(retrieve(song), bytes);
    EXPECT_EQ(store->reads, readsBefore); // from memory

    // A new cache on the same folder: memory is empty, the file answers.
    TavrenArtworkCache reopened(CacheMetrics::standard(), store, &engine);
    EXPECT_EQ(await(reopened.retrieveArtwork(song)), bytes);
    EXPECT_EQ(engine.calls, 0);

    // Empty bytes are artwork too: an empty file, returned present.
    const Track blank = track(u"Blank"_s);
    await(cache->storeArtwork(QByteArray(), blank));
    EXPECT_EQ(fileBytes(rawName(blank)), QByteArray());
    EXPECT_EQ(await(reopened.retrieveArtwork(blank)), std::optional<QByteArray>(QByteArray()));
    EXPECT_EQ(engine.calls, 0);
}

TEST_F(ArtworkCacheTest, ExtractsOnceAndRemembersATrackWithoutArtwork)
{
    const Track song = track();
    EXPECT_EQ(retrieve(song), std::nullopt);
    EXPECT_EQ(retrieve(song), std::nullopt);
    EXPECT_EQ(engine.calls, 1);
    EXPECT_EQ(engine.lastUrl, song.fileURL);

    // Storing, evicting and removing each forget the mark.
    await(cache->storeArtwork("chosen", song));
    cache->evictArtwork(song);
    EXPECT_EQ(retrieve(song), std::nullopt);
    EXPECT_EQ(engine.calls, 2);
    await(cache->removeArtwork(song));
    EXPECT_EQ(retrieve(song), std::nullopt);
    EXPECT_EQ(engine.calls, 3);

    // Embedded artwork is extracted once, then kept in memory and on disk.
    const Track covered = track(u"Covered"_s);
    engine.artwork = QByteArray("embedded");
    EXPECT_EQ(retrieve(covered), QByteArray("embedded"));
    EXPECT_EQ(retrieve(covered), QByteArray("embedded"));
    EXPECT_EQ(engine.calls, 4);
    EXPECT_EQ(fileBytes(rawName(covered)), QByteArray("embedded"));
}

TEST_F(ArtworkCacheTest, FailedAccessOrExtractionRecordsNothing)
{
    const Track song = track();
    engine.fails = true;
    EXPECT_EQ(retrieve(song), std::nullopt);
    engine.fails = false;
    engine.artwork = QByteArray("embedded");
    EXPECT_EQ(retrieve(song), QByteArray("embedded"));
    EXPECT_EQ(engine.calls, 2);

    // A file that is gone: no access, no extraction, no mark.
    const Track gone = track(u"Gone"_s);
    ASSERT_TRUE(QFile::remove(gone.fileURL.toLocalFile()));
    EXPECT_EQ(retrieve(gone), std::nullopt);
    EXPECT_EQ(engine.calls, 2);
    writeFile(u"Gone.mp3"_s, "back");
    EXPECT_EQ(retrieve(gone), QByteArray("embedded"));

    // Without a metadata engine there is nothing to extract with.
    TavrenArtworkCache bare(CacheMetrics::standard(), store, nullptr);
    EXPECT_EQ(await(bare.retrieveArtwork(track(u"Bare"_s))), std::nullopt);
}

TEST_F(ArtworkCacheTest, ArtworkChosenDuringExtractionIsNotReplacedByTheEmbeddedPicture)
{
    const Track song = track();
    engine.artwork = QByteArray("embedded");
    engine.holdBack();
    QCoro::Task<std::optional<QByteArray>> retrieval = cache->retrieveArtwork(song);
    while (engine.calls == 0) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    await(cache->storeArtwork("chosen", song));
    engine.release();

    EXPECT_EQ(await(std::move(retrieval)), QByteArray("chosen"));
    EXPECT_EQ(fileBytes(rawName(song)), QByteArray("chosen"));
    EXPECT_EQ(retrieve(song), QByteArray("chosen"));

    // The same when the artwork is cleared while the extraction runs: the
    // cleared state wins and the embedded picture comes from a new extraction.
    const Track other = track(u"Other"_s);
    engine.holdBack();
    const int callsBefore = engine.calls;
    QCoro::Task<std::optional<QByteArray>> second = cache->retrieveArtwork(other);
    while (engine.calls == callsBefore) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    await(cache->storeArtwork("mine", other));
    await(cache->clearCache());
    engine.release();
    EXPECT_EQ(await(std::move(second)), QByteArray("embedded"));
    EXPECT_EQ(engine.calls, callsBefore + 2);
}

TEST_F(ArtworkCacheTest, ChangeNoticesAreCoalescedPerBurst)
{
    QSignalSpy spy(cache.get(), &TavrenArtworkCache::cacheVersionChanged);
    const QUuid first = cache->cacheVersion();
    const Track song = track();
    cache->evictArtwork(song);
    cache->evictArtwork(song);
    cache->evictArtwork(song);
    EXPECT_EQ(cache->cacheVersion(), first); // delivered on a later turn
    settle();
    ASSERT_EQ(spy.count(), 1);
    EXPECT_NE(cache->cacheVersion(), first);
    EXPECT_EQ(spy.at(0).at(0).value<QUuid>(), cache->cacheVersion());

    cache->evictArtwork(song);
    settle();
    EXPECT_EQ(spy.count(), 2);

    // A failed store sends none; a successful one does.
    await(cache->storeArtwork("x", song));
    settle();
    EXPECT_EQ(spy.count(), 3);
}

TEST_F(ArtworkCacheTest, AFailedEvictionKeepsShowingTheArtworkThatStayedOnDisk)
{
    const Track song = track();
    await(cache->storeArtwork("chosen", song));
    store->failRemoval = true;
    QSignalSpy spy(cache.get(), &TavrenArtworkCache::cacheVersionChanged);
    cache->evictArtwork(song);
    // A later request on the serial worker finishes after the deletion.
    await(cache->retrieveThumbnail(song, QSizeF(1, 1)));
    settle();

    const int readsBefore = store->reads;
    EXPECT_EQ(retrieve(song), QByteArray("chosen"));
    EXPECT_EQ(store->reads, readsBefore); // back in memory
    EXPECT_EQ(fileBytes(rawName(song)), QByteArray("chosen"));
    EXPECT_GE(spy.count(), 1);

    // Removal reports the failure and sends no notice.
    const int notices = spy.count();
    try {
        await(cache->removeArtwork(song));
        ADD_FAILURE() << "removal reported success";
    } catch (const ArtworkCacheError& e) {
        EXPECT_EQ(e.errorCase(), ArtworkCacheError::Case::removeFailed);
    }
    settle();
    EXPECT_EQ(spy.count(), notices);
    EXPECT_EQ(retrieve(song), QByteArray("chosen"));
}

TEST_F(ArtworkCacheTest, RemovalDeletesEveryFileNamedWithTheTrackIdAndNothingElse)
{
    const Track song = track();
    const Track other = track(u"Other"_s);
    const QString id = json::uuidText(song.id);
    for (const QString& name : { u"original_"_s + id + u".raw"_s,
             u"thumb_10x10_"_s + id + u".thumb"_s, u"x"_s + id + u"y.png"_s, u"."_s + id,
             u"original_"_s + json::uuidText(other.id) + u".raw"_s,
             u"original_"_s + id.toLower() + u".raw"_s, u"notes.txt"_s }) {
        writeFile(u"art/"_s + name, "bytes");
    }
    await(cache->removeArtwork(song));
    QStringList left = QDir(path(u"art"_s)).entryList(QDir::Files | QDir::Hidden);
    left.sort();
    QStringList expected { u"original_"_s + json::uuidText(other.id) + u".raw"_s,
        u"original_"_s + id.toLower() + u".raw"_s, u"notes.txt"_s };
    expected.sort();
    EXPECT_EQ(left, expected);

    await(cache->clearCache());
    EXPECT_TRUE(
        QDir(path(u"art"_s)).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
}

TEST_F(ArtworkCacheTest, ThumbnailsAreOnlyReadFromTheFolder)
{
    const Track song = track();
    const QString key = u"thumb_100x100_"_s + json::uuidText(song.id);
    EXPECT_EQ(TavrenArtworkCache::thumbnailKey(song.id, QSizeF(100.9, 100.2)), key);
    EXPECT_EQ(TavrenArtworkCache::thumbnailKey(song.id, QSizeF(qQNaN(), 1)), std::nullopt);
    EXPECT_EQ(await(cache->retrieveThumbnail(song, QSizeF(100.9, 100.2))), std::nullopt);

    writeFile(u"art/"_s + key + u".thumb"_s, "small");
    EXPECT_EQ(await(cache->retrieveThumbnail(song, QSizeF(100.9, 100.2))), QByteArray("small"));
    EXPECT_EQ(await(cache->retrieveThumbnail(song, QSizeF(1e300, 1))), std::nullopt);

    // Eviction deletes the file but leaves the thumbnail in memory.
    cache->evictArtwork(song);
    await(cache->retrieveThumbnail(song, QSizeF(1, 1)));
    EXPECT_FALSE(QFile::exists(path(u"art/"_s + key + u".thumb"_s)));
    EXPECT_EQ(await(cache->retrieveThumbnail(song, QSizeF(100, 100))), QByteArray("small"));
    EXPECT_EQ(engine.calls, 0);
}

TEST_F(ArtworkCacheTest, AFileInPlaceOfTheFolderMakesStoresFail)
{
    const QString blocked = writeFile(u"blocked"_s, "file");
    TavrenArtworkCache blockedCache(CacheMetrics::standard(), blocked, &engine);
    EXPECT_EQ(fileBytes(u"../blocked"_s), QByteArray("file"));
    QSignalSpy spy(&blockedCache, &TavrenArtworkCache::cacheVersionChanged);
    const Track song = track();
    EXPECT_THROW(await(blockedCache.storeArtwork("x", song)), ArtworkCacheError);
    settle();
    EXPECT_EQ(spy.count(), 0);
    EXPECT_EQ(await(blockedCache.retrieveArtwork(song)), std::nullopt);

    // A missing folder is made, with its parents.
    TavrenArtworkCache fresh(CacheMetrics::standard(), path(u"a/b/ArtworkCache"_s), &engine);
    EXPECT_TRUE(QFileInfo(path(u"a/b/ArtworkCache"_s)).isDir());
    EXPECT_EQ(fresh.metrics(), CacheMetrics::standard());
}

TEST_F(ArtworkCacheTest, ExtractsEmbeddedArtworkOfARealFileThroughTheMetadataEngine)
{
    QImage image(4, 3, QImage::Format_RGB32);
    image.fill(Qt::red);
    const QString cover = path(u"cover.png"_s);
    ASSERT_TRUE(image.save(cover));
    QFile coverFile(cover);
    ASSERT_TRUE(coverFile.open(QIODevice::ReadOnly));
    const QByteArray coverBytes = coverFile.readAll();

    const QString wav = path(u"tone.wav"_s);
    ASSERT_TRUE(test::writeWav(wav, test::WavSpec { .seconds = 0.5 }));
    const QString mp3 = path(u"tagged.mp3"_s);
    ASSERT_TRUE(test::transcode(wav, mp3,
        { u"-i"_s, cover, u"-map"_s, u"0:a"_s, u"-map"_s, u"1"_s, u"-c:v"_s, u"copy"_s,
            u"-id3v2_version"_s, u"3"_s, u"-disposition:v"_s, u"attached_pic"_s }));

    TavrenMetadataEngine metadata;
    TavrenArtworkCache real(CacheMetrics::standard(), path(u"real"_s), &metadata);
    const Track song = Track::make(QUuid::createUuid(), QUrl::fromLocalFile(mp3), u"tagged.mp3"_s,
        u"Tagged"_s, 0.5, Date::now());
    EXPECT_EQ(await(real.retrieveArtwork(song)), coverBytes);
    QFile raw(path(u"real/"_s + rawName(song)));
    ASSERT_TRUE(raw.open(QIODevice::ReadOnly));
    EXPECT_EQ(raw.readAll(), coverBytes);
}

} // namespace
} // namespace kivo
