// Picked and dropped files on their way into the library and a playlist.
#include "ui/library/ImportRoad.h"
#include "LibraryViewFakes.h"
#include "support/Await.h"
#include "support/TempDir.h"
#include "ui/library/DropExtraction.h"
#include "ui/library/PlaylistDetailViewModel.h"
#include "ui/library/SongsView.h"
#include "ui/library/SongsViewModel.h"

#include <QDir>
#include <QMimeData>
#include <gtest/gtest.h>

using namespace kivo;
using namespace Qt::Literals::StringLiterals;

namespace {

class ImportRoadTest : public test::TempDirTest {
protected:
    void SetUp() override
    {
        TempDirTest::SetUp();
        QDir().mkpath(path(u"Album.mp3"_s)); // a folder named like a song
        song = test::touch(path(u"Song.MP3"_s));
        other = test::touch(path(u"b.wav"_s));
        notes = test::touch(path(u"notes.txt"_s));
    }

    QStringList names(const QList<QUrl>& urls) const
    {
        QStringList result;
        for (const QUrl& url : urls) {
            result << (url.isLocalFile() ? QDir(path()).relativeFilePath(url.toLocalFile())
                                         : url.toString());
        }
        return result;
    }

    QUrl song, other, notes;
    test::Engines engines;
};

TEST_F(ImportRoadTest, DropsKeepExistingLocalFilesAndTheRoadKeepsAudioOnly)
{
    const QList<QUrl> dragged { song, notes, QUrl::fromLocalFile(path(u"Album.mp3"_s)),
        QUrl(u"https://example.com/a.mp3"_s), QUrl::fromLocalFile(path(u"gone.mp3"_s)), other };
    QMimeData byURL;
    byURL.setUrls(dragged);
    QMimeData byText;
    byText.setText(song.toLocalFile() + u"\n"_s + notes.toString() + u"\nrelative/x.mp3\n"_s);
    QMimeData empty;

    EXPECT_EQ(names(DropExtraction::fileURLs(byURL)),
        (QStringList { u"Song.MP3"_s, u"notes.txt"_s, u"b.wav"_s }));
    EXPECT_EQ(
        names(DropExtraction::fileURLs(byText)), (QStringList { u"Song.MP3"_s, u"notes.txt"_s }));
    EXPECT_TRUE(DropExtraction::fileURLs(empty).isEmpty());
    EXPECT_EQ(
        names(ImportRoad::importableFiles(dragged)), (QStringList { u"Song.MP3"_s, u"b.wav"_s }));
}

TEST_F(ImportRoadTest, SongsViewClaimsNoEmptyLibraryBeforeItHasLoaded)
{
    engines.library.state = LibraryLoadState::loading;
    SongsViewModel screen(engines.library, u"All Songs"_s, {});
    screen.setEmptyLibraryState(SongsView::emptyState());
    auto shown = [&] {
        const TrackListEmptyState& empty = screen.emptyState();
        return QStringList { empty.systemImage, empty.title, empty.subtitle }.join(u'|');
    };
    EXPECT_EQ(shown(), u"arrow.triangle.2.circlepath|Loading library…|"_s);
    engines.library.setLoadState(LibraryLoadState::failed,
        std::make_exception_ptr(StoreFileError(
            StoreFileError::Case::readFailed, u"/d/tracks.json"_s, u"Permission denied"_s)));
    EXPECT_EQ(shown(),
        u"exclamationmark.triangle.fill|The library could not be read|Permission denied."_s);
    engines.library.setLoadState(LibraryLoadState::loaded);
    EXPECT_EQ(shown(), u"music.note|No songs in library|Import songs to get started"_s);
}

TEST_F(ImportRoadTest, SongsViewShowsTheFirstLineOfAFailureUntilAnImportSucceeds)
{
    SongsViewModel screen(engines.library, u"All Songs"_s, {});
    const QString summary = u"Some files could not be imported:\nb.wav: unreadable"_s;
    engines.library.importFailure = summary;
    engines.library.failingFiles = QStringList { u"b.wav"_s };
    test::await(screen.importAudioURLs({ song, other }));
    EXPECT_EQ(screen.importError(), summary);
    EXPECT_EQ(screen.errorLine(), u"Some files could not be imported:"_s);
    EXPECT_EQ(test::titles(screen.tracks()), QStringList { u"Song.MP3"_s });

    // Nothing importable: no engine call, the error stays.
    engines.library.importFailure.reset();
    test::await(screen.importAudioURLs({ notes, QUrl::fromLocalFile(path(u"Album.mp3"_s)) }));
    EXPECT_EQ(engines.library.imports.size(), 1);
    EXPECT_EQ(screen.importError(), summary);

    // Files already held still go to the engine (it renews their bookmarks).
    test::await(screen.importAudioURLs({ song }));
    EXPECT_EQ(screen.importError(), std::nullopt);
    EXPECT_EQ(screen.tracks().size(), 1);
}

TEST_F(ImportRoadTest, PlaylistImportAddsKnownAndNewFilesAndAPartialFailureAddsNothing)
{
    engines.library.publish({ test::song(u"Known"_s, song.toLocalFile()) });
    const Playlist mix = engines.playlists.createPlaylist(u"Mix"_s);
    PlaylistDetailViewModel screen(engines.library, engines.playlists, mix);

    engines.library.importFailure = u"Some files could not be imported:\nx.wav: bad"_s;
    test::await(screen.importAndAddSongs({ other }));
    EXPECT_EQ(screen.errorLine(), u"Some files could not be imported:"_s);
    EXPECT_TRUE(screen.tracks().isEmpty());
    EXPECT_EQ(engines.library.tracks.size(), 2); // the file is in the library all the same

    engines.library.importFailure.reset();
    const QUrl third = test::touch(path(u"c.flac"_s));
    test::await(screen.importAndAddSongs({ third, notes, song }));
    EXPECT_EQ(test::titles(screen.tracks()), (QStringList { u"c.flac"_s, u"Known"_s }));
    EXPECT_EQ(screen.importError(), std::nullopt);
    EXPECT_EQ(engines.library.imports.last(), (QList<QUrl> { third, song }));
}

} // namespace
