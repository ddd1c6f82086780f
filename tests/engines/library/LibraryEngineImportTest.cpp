// Imports of files and folders: which files are new, bookmarks, the failure
// summary, the bound on concurrent imports, and one run on real audio files.
#include "LibraryEngineFakes.h"
#include "engines/library/MetadataEngineImpl.h"
#include "model/DatabaseManagerImpl.h"
#include "model/DatabaseTestSupport.h"
#include "support/WavWriter.h"

#include <QDir>
#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace kivo {
namespace {

using test::await;
using test::failure;
using test::titles;

QStringList sortedNames(const QList<Track>& tracks)
{
    QStringList names;
    for (const Track& track : tracks) {
        names.push_back(track.filename);
    }
    names.sort();
    return names;
}

using LibraryImportTest = test::LibraryEngineTest;

TEST_F(LibraryImportTest, FilesAlreadyListedGetNewBookmarksAndNewOnesComeOnce)
{
    const QUrl known = file(u"Known.mp3"_s);
    store->stored = { test::makeTrack(u"Known"_s, known.toLocalFile()) };
    TavrenLibraryEngine& library = engine();
    const QUrl fresh = file(u"Music/Intro.MP3"_s);
    const QUrl sameFile = QUrl::fromLocalFile(path(u"Music//Intro.MP3"_s));

    await(library.importFiles({ fresh, known, file(u"notes.txt"_s), sameFile, fresh }));
    ASSERT_EQ(library.allTracks().size(), 2);
    const Track added = library.allTracks()[1];
    EXPECT_EQ(added.fileURL, fresh); // exactly as given
    EXPECT_EQ(added.title, u"Intro.MP3"_s); // no title: the file name
    EXPECT_EQ(metadata->reads, QStringList { u"Intro.MP3"_s });
    // The renewed bookmark is saved and indexed before the new track.
    ASSERT_EQ(store->saves.size(), 2);
    EXPECT_TRUE(store->saves[0][0].securityScopedBookmark);
    EXPECT_EQ(cache->track(store->saves[0][0].id), library.allTracks()[0]);
    EXPECT_EQ(cache->track(added.id), added);

    store->saves.clear();
    await(library.importFiles({ file(u"cover.jpg"_s) }));
    EXPECT_TRUE(store->saves.isEmpty());
}

TEST_F(LibraryImportTest, FailuresAreSummedUpAfterTheOthersArePublished)
{
    TavrenLibraryEngine& library = engine();
    // A file that cannot be bookmarked is not even read.
    const QUrl ghost = QUrl::fromLocalFile(path(u"ghost.mp3"_s));
    EXPECT_EQ(failure(library.importFiles({ ghost, file(u"a.mp3"_s) })),
        u"Some files could not be imported:\nghost.mp3: "_s
            + SecurityScopedAccessError::bookmarkCreationFailed(ghost, u"The file doesn't exist."_s)
                  .errorDescription());
    EXPECT_EQ(metadata->reads, QStringList { u"a.mp3"_s });
    EXPECT_EQ(titles(library.allTracks()), QStringList { u"a.mp3"_s });
    EXPECT_EQ(store->stored, library.allTracks());

    store->saves.clear();
    metadata->failing = { u"b.mp3"_s, u"c.mp3"_s, u"d.mp3"_s, u"e.mp3"_s };
    const QString summary = failure(library.importFiles(
        { file(u"b.mp3"_s), file(u"c.mp3"_s), file(u"d.mp3"_s), file(u"e.mp3"_s) }));
    EXPECT_TRUE(summary.startsWith(u"Some files could not be imported:\n"_s));
    EXPECT_EQ(summary.count(u'\n'), 4);
    EXPECT_TRUE(summary.endsWith(u"\nAnd 1 more."_s));
    EXPECT_TRUE(store->saves.isEmpty());
}

TEST_F(LibraryImportTest, ImportsRunBoundedByTheCoreCount)
{
    TavrenLibraryEngine& library = engine();
    const int bound = TavrenLibraryEngine::importConcurrency();
    QList<QUrl> urls;
    for (int i = 0; i < 3 * bound; ++i) {
        urls.push_back(file(u"track%1.mp3"_s.arg(i)));
    }
    await(library.importFiles(urls));
    EXPECT_EQ(library.allTracks().size(), urls.size());
    EXPECT_LE(metadata->maxInFlight, bound);
}

TEST_F(LibraryImportTest, TwoImportsOfOneFileAtOnceAddItOnce)
{
    TavrenLibraryEngine& library = engine();
    QCoro::Task<> first = library.importFiles({ file(u"song.mp3"_s) });
    QCoro::Task<> second = library.addFolders({ QUrl::fromLocalFile(path()) });
    await(std::move(first));
    await(std::move(second));
    EXPECT_EQ(sortedNames(library.allTracks()), QStringList { u"song.mp3"_s });
}

TEST_F(LibraryImportTest, FoldersSkipHiddenItemsAndAreNeverImportedTwice)
{
    const QUrl known = file(u"lib/known.flac"_s);
    store->stored = { test::makeTrack(u"Known"_s, known.toLocalFile()) };
    TavrenLibraryEngine& library = engine();
    for (const QString& name :
        { u"b.wav"_s, u"Sub/a.mp3"_s, u".hidden.mp3"_s, u".cache/c.mp3"_s, u"readme.txt"_s }) {
        file(u"lib/"_s + name);
    }
    QDir().mkpath(path(u"lib/folder.mp3"_s));

    // "Sub" is inside "lib": its file is reached twice but imported once.
    await(library.addFolders(
        { QUrl::fromLocalFile(path(u"lib/"_s)), QUrl::fromLocalFile(path(u"lib/Sub"_s)) }));
    EXPECT_EQ(watcher->watched.size(), 2);
    EXPECT_EQ(sortedNames(library.allTracks()),
        (QStringList { u"a.mp3"_s, u"b.wav"_s, u"known.flac"_s }));
    for (const Track& track : library.allTracks()) {
        EXPECT_FALSE(track.fileURL.path().contains(u"//"_s)) << track.fileURL.path().toStdString();
        EXPECT_TRUE(track.securityScopedBookmark); // the known one got one too
        EXPECT_TRUE(track.filename == u"known.flac"_s || track.title == u"Unknown Title"_s);
    }

    store->saves.clear();
    metadata->reads.clear();
    await(library.addFolders({ QUrl::fromLocalFile(path(u"lib"_s)) }));
    EXPECT_EQ(library.allTracks().size(), 3);
    EXPECT_TRUE(metadata->reads.isEmpty());
    EXPECT_EQ(store->saves, QList<QList<Track>> { {} }); // the empty save still asks the store
}

TEST_F(LibraryImportTest, AFolderTreeOfRealFiles)
{
    auto realStore = std::make_shared<TavrenDatabaseManager>(
        path(u"data"_s), std::make_shared<test::MemoryUserDefaults>());
    TavrenLibraryEngine library(
        realStore, std::make_shared<TavrenMetadataEngine>(), cache, watcher);
    QDir().mkpath(path(u"music/Deep/Deeper"_s));
    ASSERT_TRUE(test::writeWav(path(u"music/One.wav"_s), { .seconds = 0.5 }));
    ASSERT_TRUE(test::writeWav(path(u"music/Deep/Deeper/Two.wav"_s), { .seconds = 0.25 }));
    ASSERT_TRUE(test::writeWav(path(u"music/.Hidden.wav"_s), {}));
    writeFile(u"music/broken.mp3"_s, "not audio at all");
    writeFile(u"music/cover.png"_s, "png");
    const QUrl folder = QUrl::fromLocalFile(path(u"music"_s));

    const QString summary = failure(library.addFolders({ folder }));
    EXPECT_TRUE(summary.startsWith(u"Some files could not be imported:\nbroken.mp3: "_s));
    EXPECT_EQ(summary.count(u'\n'), 1);
    EXPECT_EQ(sortedNames(library.allTracks()), (QStringList { u"One.wav"_s, u"Two.wav"_s }));
    EXPECT_EQ(await(realStore->loadAllTracks()), library.allTracks());
    EXPECT_EQ(cache->count(), 2);
    for (const Track& track : library.allTracks()) {
        EXPECT_EQ(track.title + u".wav"_s, track.filename);
        EXPECT_GT(track.duration, 0.2);
        EXPECT_EQ(track.sampleRate, 44100);
    }

    // Again: only the broken file is tried (and fails) once more.
    EXPECT_TRUE(failure(library.addFolders({ folder })).contains(u"broken.mp3: "_s));
    EXPECT_EQ(await(realStore->loadAllTracks()).size(), 2);
}

// A folder is read only once all of it is watched, so that what appears
// meanwhile is imported, and what appears later is reported.
TEST_F(LibraryImportTest, AFolderIsReadOnceAllOfItIsWatched)
{
    TavrenLibraryEngine& library = engine();
    const QUrl folder = QUrl::fromLocalFile(path(u"lib"_s));
    watcher->whileWatching = [&] {
        EXPECT_EQ(watcher->watched, QList<QUrl> { folder });
        file(u"lib/Deep/late.mp3"_s);
    };
    file(u"lib/early.mp3"_s);
    await(library.addFolders({ folder }));
    EXPECT_EQ(sortedNames(library.allTracks()), (QStringList { u"early.mp3"_s, u"late.mp3"_s }));
}

// Files tagged by the ffmpeg command, each container keeping the numbers its own way.
TEST_F(LibraryImportTest, TaggedFilesGiveYearTrackAndDiscNumbers)
{
    TavrenLibraryEngine library(store, std::make_shared<TavrenMetadataEngine>(), cache, watcher);
    const QString wav = path(u"source.wav"_s);
    ASSERT_TRUE(test::writeWav(wav, { .seconds = 0.3 }));
    const QStringList tags { u"-metadata"_s, u"date=2003-05-01"_s, u"-metadata"_s, u"track=3/12"_s,
        u"-metadata"_s, u"disc=1/2"_s };
    QList<QUrl> files;
    for (const auto& [extension, codec] :
        { std::pair { "mp3", "libmp3lame" }, std::pair { "flac", "flac" },
            std::pair { "ogg", "libvorbis" }, std::pair { "m4a", "aac" } }) {
        const QString name = u"tagged."_s + QString::fromLatin1(extension);
        ASSERT_TRUE(test::transcode(
            wav, path(name), QStringList { u"-c:a"_s, QString::fromLatin1(codec) } + tags));
        files.append(QUrl::fromLocalFile(path(name)));
    }
    ASSERT_TRUE(test::transcode(wav, path(u"untagged.mp3"_s)));
    files.append(QUrl::fromLocalFile(path(u"untagged.mp3"_s)));

    EXPECT_EQ(failure(library.importFiles(files)), u"none"_s);
    ASSERT_EQ(library.allTracks().size(), files.size());
    for (const Track& track : library.allTracks()) {
        SCOPED_TRACE(track.filename.toStdString());
        const bool tagged = track.filename.startsWith(u"tagged"_s);
        EXPECT_EQ(track.year, tagged ? std::optional<qint64>(2003) : std::nullopt);
        EXPECT_EQ(track.trackNumber, tagged ? std::optional<qint64>(3) : std::nullopt);
        EXPECT_EQ(track.discNumber, tagged ? std::optional<qint64>(1) : std::nullopt);
    }
}

} // namespace
} // namespace kivo
