#include "platform/SecurityScopedResource.h"
#include "support/TempDir.h"

#include <QDataStream>
#include <QDir>
#include <QFile>
#include <gtest/gtest.h>
#include <stdexcept>
#include <unistd.h>

using namespace Qt::Literals::StringLiterals;

namespace kivo {
namespace {

Track trackFor(const QString& path, std::optional<QByteArray> bookmark = std::nullopt)
{
    const QUrl url = QUrl::fromLocalFile(path);
    return Track::make(
        QUuid::createUuid(), url, url.fileName(), u"Song"_s, 1, Date { 0 }, std::move(bookmark));
}

template <typename Body> SecurityScopedAccessError errorOf(Body body)
{
    try {
        body();
    } catch (const SecurityScopedAccessError& error) {
        return error;
    }
    ADD_FAILURE() << "no SecurityScopedAccessError";
    return SecurityScopedAccessError::permissionDenied(QUrl());
}

// ---- the Linux platform -------------------------------------------------------

class SecurityScopedResourceTest : public test::TempDirTest { };

// The layout the platform writes: magic, version, device, inode, path.
QByteArray craftedBookmark(const QByteArray& path)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setVersion(QDataStream::Qt_6_0);
    out << quint32(0x4B56424D) << quint8(1) << quint64(0) << quint64(0) << path;
    return bytes;
}

// Access is refused only for a file that is there and may not be read: a
// deleted file or a folder in a song's place is left to the callers' checks.
TEST_F(SecurityScopedResourceTest, OnlyAnUnreadableFileIsRefused)
{
    const QString song = writeFile(u"Real Song.wav"_s, "audio");
    const QByteArray bookmark = SecurityScopedResource::makeBookmark(QUrl::fromLocalFile(song));
    const QString folder = path(u"Folder.mp3"_s);
    QDir().mkpath(folder);
    const QString locked = writeFile(u"Locked.mp3"_s, "audio");
    QFile::setPermissions(locked, {});
    QFile::remove(song);

    for (const Track& track :
        { trackFor(song, bookmark), trackFor(song), trackFor(folder),
            trackFor(folder, SecurityScopedResource::makeBookmark(QUrl::fromLocalFile(folder))) }) {
        EXPECT_EQ(SecurityScopedResource::beginAccess(track)->url(), track.fileURL);
    }
    if (::geteuid() != 0) { // root reads everything
        const SecurityScopedAccessError error
            = errorOf([&] { SecurityScopedResource::beginAccess(trackFor(locked)); });
        EXPECT_EQ(error.errorCase(), SecurityScopedAccessError::Case::permissionDenied);
        EXPECT_EQ(error.url(), QUrl::fromLocalFile(locked));
    }

    SecurityScopedAccessError error
        = errorOf([&] { SecurityScopedResource::makeBookmark(QUrl::fromLocalFile(song)); });
    EXPECT_EQ(error.errorCase(), SecurityScopedAccessError::Case::bookmarkCreationFailed);
    EXPECT_EQ(error.errorDescription(),
        u"Access to Real Song.wav could not be saved: The file doesn't exist."_s);
    EXPECT_THROW(SecurityScopedResource::makeBookmark(QUrl(u"https://example.com/a.mp3"_s)),
        SecurityScopedAccessError);

    // Resolution failures name the file of the track's stored URL.
    error = errorOf([&] {
        SecurityScopedResource::beginAccess(trackFor(path(u"Stored Name.mp3"_s), "garbage"));
    });
    EXPECT_EQ(error.errorDescription(),
        u"Saved access to Stored Name.mp3 could not be restored: The bookmark data is corrupted."_s);
    EXPECT_STREQ(error.what(), error.errorDescription().toStdString().c_str());
}

TEST_F(SecurityScopedResourceTest, BookmarksLeadBackToTheirFileAndMalformedOnesFailToResolve)
{
    const QString song = writeFile(u"Music/Song.mp3"_s, "audio");
    const QByteArray good = SecurityScopedResource::makeBookmark(QUrl::fromLocalFile(song));
    const auto handle = SecurityScopedResource::beginAccess(trackFor(song, good));
    EXPECT_EQ(handle->url(), QUrl::fromLocalFile(song));
    EXPECT_FALSE(handle->didStartAccess());
    EXPECT_EQ(SecurityScopedResource::beginAccess(
                  trackFor(song, craftedBookmark(QFile::encodeName(song))))
                  ->url(),
        QUrl::fromLocalFile(song));

    QByteArray otherVersion = good;
    otherVersion[4] = char(99);
    const QByteArray withNul = QFile::encodeName(song) + QByteArray("\0/../other", 10);
    for (const QByteArray& bad : { QByteArray(), QByteArray("garbage"), good.left(good.size() - 3),
             otherVersion, craftedBookmark("Song.mp3"), craftedBookmark(withNul) }) {
        const SecurityScopedAccessError error
            = errorOf([&] { SecurityScopedResource::beginAccess(trackFor(song, bad)); });
        EXPECT_EQ(error.errorCase(), SecurityScopedAccessError::Case::bookmarkResolutionFailed);
    }

    // A file replaced at the same path is still found (the bookmark is stale,
    // which is not renewed here).
    QFile::remove(song);
    writeFile(u"Music/Song.mp3"_s, "new audio");
    EXPECT_EQ(SecurityScopedResource::beginAccess(trackFor(song, good))->url(),
        QUrl::fromLocalFile(song));
}

// ---- scope balance, with a counting platform -----------------------------------

class CountingFileAccess final : public FileAccessPlatform {
public:
    bool startAccessing(const QUrl& url) override
    {
        started.push_back(url);
        return canStart;
    }
    void stopAccessing(const QUrl& url) override { stopped.push_back(url); }
    QByteArray bookmarkData(const QUrl& url) override
    {
        if (bookmarkFailure) {
            std::rethrow_exception(bookmarkFailure);
        }
        return url.toEncoded();
    }
    QUrl resolveBookmark(const QByteArray& bookmark, bool& isStale) override
    {
        if (resolveFailure) {
            std::rethrow_exception(resolveFailure);
        }
        isStale = true;
        return resolvedTo.isEmpty() ? QUrl::fromEncoded(bookmark) : resolvedTo;
    }
    bool refusesReading(const QString&) override { return !readable; }

    bool canStart = true;
    bool readable = true;
    QUrl resolvedTo;
    std::exception_ptr bookmarkFailure;
    std::exception_ptr resolveFailure;
    QList<QUrl> started;
    QList<QUrl> stopped;
};

class ScopeBalanceTest : public ::testing::Test {
protected:
    void SetUp() override { FileAccessPlatform::setShared(platform); }
    void TearDown() override { FileAccessPlatform::setShared(nullptr); }

    std::shared_ptr<CountingFileAccess> platform = std::make_shared<CountingFileAccess>();
    const QUrl song = QUrl::fromLocalFile(u"/music/Song.mp3"_s);
};

TEST_F(ScopeBalanceTest, TheLastHolderStopsAStartedScopeOnce)
{
    auto handle = SecurityScopedResource::beginAccess(trackFor(song.toLocalFile()));
    EXPECT_TRUE(handle->didStartAccess());
    auto sharedHolder = handle;
    handle.reset();
    EXPECT_TRUE(platform->stopped.isEmpty());
    sharedHolder.reset();
    EXPECT_EQ(platform->stopped, QList<QUrl> { song });

    // Started on the resolved location of a moved file, not the stored one.
    const QUrl moved = QUrl::fromLocalFile(u"/elsewhere/Song.mp3"_s);
    platform->resolvedTo = moved;
    handle = SecurityScopedResource::beginAccess(trackFor(song.toLocalFile(), "bookmark"));
    EXPECT_EQ(handle->url(), moved);
    handle.reset();
    EXPECT_EQ(platform->stopped.last(), moved);
    EXPECT_EQ(platform->started.size(), platform->stopped.size());

    // A scope that did not start is never stopped.
    platform->stopped.clear();
    platform->canStart = false;
    SecurityScopedResource::beginAccess(trackFor(song.toLocalFile())).reset();
    EXPECT_TRUE(platform->stopped.isEmpty());

    platform->readable = false;
    platform->resolvedTo = QUrl::fromLocalFile(u"/moved/Song.mp3"_s);
    const SecurityScopedAccessError error = errorOf(
        [&] { SecurityScopedResource::beginAccess(trackFor(song.toLocalFile(), "bookmark")); });
    EXPECT_EQ(error.errorCase(), SecurityScopedAccessError::Case::permissionDenied);
    EXPECT_EQ(error.url(), platform->resolvedTo);
    EXPECT_EQ(error.errorDescription(),
        u"The system no longer permits access to Song.mp3. Add the file again to reconnect it."_s);
    EXPECT_TRUE(platform->stopped.isEmpty());

    EXPECT_EQ(SecurityScopedResource::makeBookmark(song), song.toEncoded());
    EXPECT_TRUE(platform->stopped.isEmpty());
}

TEST_F(ScopeBalanceTest, PlatformFailuresAreWrappedAndBookmarkingStopsWhatItStarted)
{
    EXPECT_EQ(SecurityScopedResource::makeBookmark(song), song.toEncoded());
    EXPECT_EQ(platform->stopped.size(), 1);

    platform->bookmarkFailure
        = std::make_exception_ptr(FileAccessPlatform::Failure(u"Disk on fire."_s));
    EXPECT_EQ(errorOf([&] { SecurityScopedResource::makeBookmark(song); }).errorDescription(),
        u"Access to Song.mp3 could not be saved: Disk on fire."_s);
    platform->bookmarkFailure = std::make_exception_ptr(std::runtime_error("unexpected"));
    EXPECT_EQ(errorOf([&] { SecurityScopedResource::makeBookmark(song); }).errorCase(),
        SecurityScopedAccessError::Case::bookmarkCreationFailed);
    EXPECT_EQ(platform->started.size(), 3);
    EXPECT_EQ(platform->stopped.size(), 3);

    // Resolution errors are wrapped unless already access errors.
    platform->started.clear();
    const Track track = trackFor(song.toLocalFile(), "bookmark");
    platform->resolveFailure = std::make_exception_ptr(std::runtime_error("odd"));
    EXPECT_EQ(errorOf([&] { SecurityScopedResource::beginAccess(track); }).errorDescription(),
        u"Saved access to Song.mp3 could not be restored: odd"_s);

    const QUrl other = QUrl::fromLocalFile(u"/x/Other.mp3"_s);
    platform->resolveFailure
        = std::make_exception_ptr(SecurityScopedAccessError::permissionDenied(other));
    const SecurityScopedAccessError error
        = errorOf([&] { SecurityScopedResource::beginAccess(track); });
    EXPECT_EQ(error.errorCase(), SecurityScopedAccessError::Case::permissionDenied);
    EXPECT_EQ(error.url(), other);
    EXPECT_TRUE(platform->started.isEmpty());
}

} // namespace
} // namespace kivo
