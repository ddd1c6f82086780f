// One file to one track or one failure line, with scoped access counted.
#include "LibraryEngineFakes.h"

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace kivo {
namespace {

TEST(TrackImportProcessorTest, OneTrackOrOneFailureLineAndAccessAlwaysStopped)
{
    auto access = std::make_shared<test::FakeFileAccess>();
    FileAccessPlatform::setShared(access);
    auto metadata = std::make_shared<test::FakeMetadata>();
    const TrackImportProcessor processor(metadata);
    auto import = [&](const QString& name) {
        return test::await(processor.importTrack(QUrl::fromLocalFile(u"/m/"_s + name), u"F"_s));
    };
    access->refused = { u"locked.mp3"_s };
    metadata->failing = { u"bad.mp3"_s };
    metadata->titles.insert(u"empty.mp3"_s, QString());

    const TrackImportResult empty = import(u"empty.mp3"_s);
    ASSERT_TRUE(empty.track && !empty.failureDescription);
    EXPECT_EQ(empty.track->title, QString()); // an empty title is a title
    EXPECT_EQ(empty.track->securityScopedBookmark, "/m/empty.mp3");
    EXPECT_FALSE(empty.track->lyrics || empty.track->discNumber);

    const TrackImportResult locked = import(u"locked.mp3"_s);
    EXPECT_FALSE(locked.track);
    EXPECT_EQ(locked.failureDescription,
        u"locked.mp3: "_s
            + SecurityScopedAccessError::bookmarkCreationFailed(
                QUrl::fromLocalFile(u"/m/locked.mp3"_s), u"No bookmark."_s)
                  .errorDescription());
    EXPECT_EQ(metadata->reads, QStringList { u"empty.mp3"_s }); // no bookmark, no read

    EXPECT_EQ(import(u"bad.mp3"_s).failureDescription,
        u"bad.mp3: "_s + MediaProbeError::unreadable(u"/m/bad.mp3"_s).errorDescription());
    EXPECT_EQ(access->starts, access->stops);
    FileAccessPlatform::setShared(nullptr);
}

} // namespace
} // namespace kivo
