#include "ui/songtable/TrackListController.h"
#include "SongTableTestSupport.h"
#include "TrackListFakes.h"
#include "engines/artwork/TrackMetadataBatchCoordinator.h"
#include "engines/artwork/TrackRemovalCoordinator.h"
#include "platform/FileRevealer.h"
#include "platform/UndoManager.h"
#include "platform/UserDefaults.h"
#include "support/Await.h"
#include "ui/editing/EditingFakes.h"
#include "ui/editing/ImageFileChooser.h"
#include "ui/eon/KeyModifiers.h"
#include "ui/songtable/TrackFileActions.h"
#include "ui/songtable/TrackListSelectionCommands.h"
#include "ui/songtable/TrackTableLayoutState.h"
#include "ui/songtable/TrackTableModel.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace kivo {
namespace {

using test::settleUntil;
using test::songTrack;

class FakeChooser final : public ImageFileChooser {
public:
    QUrl answer;
    void chooseImage(QWidget*, std::function<void(QUrl)> done) override { done(answer); }
};

class FakeRevealer final : public FileRevealer {
public:
    QList<QUrl> revealed;
    void reveal(const QUrl& target) override { revealed << target; }
};

// A screen over songs titled A, B, C, D (listed in the order D, B, A, C),
// wired to fake engines; the main layout's selected song and inspector flag
// are plain fields here.
class TrackListControllerTest : public ::testing::Test {
protected:
    TrackListControllerTest()
        : layout(std::make_shared<SettingsUserDefaults>(folder.filePath(u"settings.json"_s)))
    {
        for (const char* title : { "D", "B", "A", "C" }) {
            library.tracks << songTrack(QString::fromLatin1(title));
        }
        make();
    }

    // Writes still running end before the fakes go.
    ~TrackListControllerTest() override { test::processEventsFor(20); }

    void make()
    {
        chooser.answer = test::picked("cover.png");
        screen = std::make_unique<TrackListController>(TrackListDependencies { library, queue,
            audio, artwork, metadata, undo, layout, &chooser, &revealer, test::fakeLoad });
        screen->setSelectedTrackBinding(
            [this] { return shown; }, [this](std::optional<Track> track) { shown = track; });
        screen->setInspectorVisibleBinding(
            [this] { return inspector; }, [this](bool visible) { inspector = visible; });
        screen->setOnTracksChanged([this] {
            ++reloads;
            screen->setTracks(library.tracks);
        });
        screen->setTracks(library.tracks);
    }

    const Track& song(const QString& title) const
    {
        return *std::find_if(library.tracks.cbegin(), library.tracks.cend(),
            [&](const Track& track) { return track.title == title; });
    }

    static QString titles(const QList<Track>& tracks)
    {
        QStringList names;
        for (const Track& track : tracks) {
            names << track.title;
        }
        return names.join(u',');
    }

    // "selected=A,B shown=A inspector=1" (selection in display order).
    QString state() const
    {
        return u"selected=%1 shown=%2 inspector=%3"_s.arg(titles(screen->selectedTracks()),
            shown ? shown->title : u"-"_s, inspector ? u"1"_s : u"0"_s);
    }

    QTemporaryDir folder;
    test::FakeLibrary library;
    test::FakeQueue queue;
    test::FakeAudio audio;
    test::ScriptedArtworkCache artwork;
    test::FakeMetadataEngine metadata;
    UndoManager undo;
    TrackTableLayoutState layout;
    FakeChooser chooser;
    FakeRevealer revealer;
    std::unique_ptr<TrackListController> screen;
    std::optional<Track> shown;
    bool inspector = false;
    int reloads = 0;
};

TEST_F(TrackListControllerTest, SortsByTitleWithIdsBreakingTiesInBothDirections)
{
    EXPECT_EQ(titles(screen->sortedTracks()), u"A,B,C,D"_s);
    Track first = songTrack(u"Same"_s, 0, "{00000000-0000-4000-8000-000000000001}");
    Track second = songTrack(u"Same"_s, 0, "{00000000-0000-4000-8000-000000000002}");
    Track noArtist = songTrack(u"Z"_s);
    Track withArtist = songTrack(u"Y"_s);
    withArtist.artist = u"Artist"_s;
    first.artist = second.artist = u"Artist"_s;
    screen->setTracks({ second, noArtist, first, withArtist });
    QStringList ids;
    for (const Track& track : screen->sortedTracks()) {
        ids << track.title + (track.title == u"Same" ? track.id.toString().mid(36, 1) : u""_s);
    }
    EXPECT_EQ(ids.join(u','), u"Same1,Same2,Y,Z"_s);
    screen->setSortOrder({ TrackSortField::title, false });
    ids.clear();
    for (const Track& track : screen->sortedTracks()) {
        ids << track.title + (track.title == u"Same" ? track.id.toString().mid(36, 1) : u""_s);
    }
    EXPECT_EQ(ids.join(u','), u"Z,Y,Same1,Same2"_s);
    // A missing artist sorts before any artist.
    screen->setSortOrder({ TrackSortField::artist, true });
    EXPECT_EQ(titles(screen->sortedTracks()).left(1), u"Z"_s);
}

TEST_F(TrackListControllerTest, ClicksSelectAndSetTheShownSong)
{
    screen->select(song(u"B"_s), Qt::NoModifier);
    EXPECT_EQ(state(), u"selected=B shown=B inspector=1"_s);
    screen->select(song(u"D"_s), keys::shift);
    EXPECT_EQ(state(), u"selected=B,C,D shown=D inspector=1"_s);
    // Ctrl-click off one of three: the last remaining in display order shows.
    screen->select(song(u"D"_s), keys::command);
    EXPECT_EQ(state(), u"selected=B,C shown=C inspector=1"_s);
    // The design's Control and Option make a plain click.
    screen->select(song(u"A"_s), keys::control | keys::option);
    EXPECT_EQ(state(), u"selected=A shown=A inspector=1"_s);
    // Ctrl-clicking the only selected row clears it; the inspector stays.
    screen->select(song(u"A"_s), keys::command);
    EXPECT_EQ(state(), u"selected= shown=- inspector=1"_s);
}

TEST_F(TrackListControllerTest, PlaysTheDisplayedListFromTheRow)
{
    screen->select(song(u"A"_s), Qt::NoModifier);
    screen->play(song(u"C"_s)); // the context menu's Play keeps the selection
    EXPECT_EQ(queue.calls.last(), u"playNow@2"_s);
    EXPECT_EQ(titles(queue.plays.last().first), u"A,B,C,D"_s);
    EXPECT_EQ(state(), u"selected=A shown=C inspector=1"_s);
    screen->selectAndPlay(song(u"D"_s));
    EXPECT_EQ(queue.calls.last(), u"playNow@3"_s);
    EXPECT_EQ(state(), u"selected=D shown=D inspector=1"_s);
    // A song not in the list plays alone.
    screen->play(songTrack(u"Elsewhere"_s));
    EXPECT_EQ(queue.calls.last(), u"playNow@0"_s);
    EXPECT_EQ(titles(queue.plays.last().first), u"Elsewhere"_s);
}

TEST_F(TrackListControllerTest, ALargeListGoesToTheQueueByIDInTheOrderShown)
{
    TrackListController large(
        TrackListDependencies { library, queue, audio, artwork, metadata, undo, layout }, nullptr,
        1);
    queue.lookup = [this](const QUuid& id) -> const Track* {
        const auto found = std::find_if(library.tracks.cbegin(), library.tracks.cend(),
            [&](const Track& track) { return track.id == id; });
        return found != library.tracks.cend() ? &*found : nullptr;
    };
    large.setTracks(library.tracks);
    large.play(song(u"D"_s));
    EXPECT_EQ(queue.calls, QStringList { u"playNow@3"_s });
    EXPECT_EQ(titles(queue.plays.last().first), u"A,B,C,D"_s);
}

TEST_F(TrackListControllerTest, PlayButtonPausesOnlyTheSongPlayingNow)
{
    audio.current = song(u"B"_s);
    const struct {
        PlaybackState state;
        const char* title;
        int pauses;
        qsizetype plays;
    } cases[] = {
        { PlaybackState::playing, "B", 1, 0 },
        { PlaybackState::paused, "B", 1, 1 }, // restarts from the row, no resume
        { PlaybackState::playing, "C", 1, 2 },
        { PlaybackState::stopped, "B", 1, 3 },
    };
    for (const auto& c : cases) {
        audio.state = c.state;
        screen->togglePlayback(song(QString::fromLatin1(c.title)));
        EXPECT_EQ(audio.calls.count(u"pause"_s), c.pauses) << c.title;
        EXPECT_EQ(queue.calls.size(), c.plays) << c.title;
    }
    EXPECT_EQ(queue.calls.last(), u"playNow@1"_s);
}

TEST_F(TrackListControllerTest, CommandsSelectDeselectAndEdit)
{
    shown = songTrack(u"Other screen"_s);
    screen->commandTarget()->send(TrackListSelectionCommand::selectAll);
    EXPECT_EQ(state(), u"selected=A,B,C,D shown=A inspector=1"_s);
    EXPECT_EQ(screen->commandTarget()->selectionCount(), 4);
    shown = song(u"C"_s);
    screen->selectAll();
    EXPECT_EQ(state(), u"selected=A,B,C,D shown=C inspector=1"_s);
    screen->commandTarget()->send(TrackListSelectionCommand::editSelection);
    ASSERT_TRUE(screen->batchCoordinator().batch());
    EXPECT_EQ(titles(screen->batchCoordinator().batch()->tracks), u"A,B,C,D"_s);
    EXPECT_FALSE(screen->shortcutsEnabled());
    screen->cancelSharedEditing();
    screen->commandTarget()->send(TrackListSelectionCommand::deselectAll);
    EXPECT_EQ(state(), u"selected= shown=- inspector=1"_s);
    EXPECT_EQ(screen->commandTarget()->selectionCount(), 0);
    screen->editSelection(); // nothing selected: nothing opens
    EXPECT_EQ(screen->editingTrack(), std::nullopt);

    screen->setTracks({});
    screen->selectAll();
    EXPECT_EQ(state(), u"selected= shown=- inspector=1"_s);
    EXPECT_EQ(screen->commandTarget()->trackCount(), 0);
}

// A large list is gathered on a worker: the selection then changes once, and
// a selection made meanwhile or a changed list wins.
TEST_F(TrackListControllerTest, ALargeListsSelectAllArrivesAsOneChangeAndGivesWay)
{
    screen = std::make_unique<TrackListController>(
        TrackListDependencies { library, queue, audio, artwork, metadata, undo, layout }, nullptr,
        1);
    screen->setSelectedTrackBinding(
        [this] { return shown; }, [this](std::optional<Track> track) { shown = track; });
    screen->setInspectorVisibleBinding(
        [this] { return inspector; }, [this](bool visible) { inspector = visible; });
    screen->setTracks(library.tracks);
    QSignalSpy changes(screen.get(), &TrackListController::selectionChanged);
    screen->selectAll();
    ASSERT_TRUE(QTest::qWaitFor([&] { return screen->selectionCount() == 4; }));
    EXPECT_EQ(state(), u"selected=A,B,C,D shown=A inspector=1"_s);
    test::processEventsFor(20);
    EXPECT_EQ(changes.count(), 1);

    screen->deselectAll();
    screen->selectAll();
    screen->select(song(u"C"_s), Qt::NoModifier);
    test::processEventsFor(50);
    EXPECT_EQ(state(), u"selected=C shown=C inspector=1"_s);

    screen->selectAll();
    QList<Track> rest = library.tracks;
    rest.removeIf([](const Track& track) { return track.title == u"B"; });
    screen->setTracks(rest);
    ASSERT_TRUE(QTest::qWaitFor([&] { return screen->selectionCount() == 3; }));
    EXPECT_EQ(state(), u"selected=A,C,D shown=C inspector=1"_s);
}

TEST_F(TrackListControllerTest, EditOpensTheSingleOrTheSharedEditor)
{
    screen->selectAll();
    screen->select(song(u"D"_s), keys::command);
    EXPECT_EQ(screen->metadataSelectionCount(song(u"B"_s)), 3);
    EXPECT_EQ(screen->metadataSelectionCount(song(u"D"_s)), 1);
    screen->edit(song(u"B"_s));
    EXPECT_EQ(titles(screen->batchCoordinator().batch()->tracks), u"A,B,C"_s);
    screen->cancelSharedEditing();
    screen->edit(song(u"D"_s)); // not selected: single editor, only it selected
    EXPECT_EQ(screen->editingTrack()->title, u"D"_s);
    EXPECT_EQ(state(), u"selected=D shown=D inspector=1"_s);
}

TEST_F(TrackListControllerTest, PruningKeepsListedSelectionAndTheShownSong)
{
    screen->select(song(u"A"_s), Qt::NoModifier);
    screen->select(song(u"C"_s), keys::shift);
    QSignalSpy counts(
        screen->commandTarget(), &TrackListSelectionCommandTarget::selectionCountChanged);
    QList<Track> rest = library.tracks;
    rest.removeIf([](const Track& track) { return track.title == u"B"; });
    screen->setTracks(rest);
    EXPECT_EQ(state(), u"selected=A,C shown=C inspector=1"_s);
    EXPECT_EQ(screen->selection().anchorID(), song(u"A"_s).id);
    EXPECT_EQ(counts.count(), 1);
    screen->setTracks({ song(u"B"_s), song(u"D"_s) });
    EXPECT_EQ(state(), u"selected= shown=C inspector=1"_s);
    EXPECT_EQ(screen->selection().anchorID(), std::nullopt);
}

TEST_F(TrackListControllerTest, SingleSaveClosesTheEditorOrShowsTheError)
{
    screen->edit(song(u"B"_s));
    Track edited = song(u"B"_s);
    edited.artist = u"New"_s;
    library.failWith = u"Track title cannot be empty."_s;
    EXPECT_FALSE(test::await(screen->saveTrack(edited)));
    EXPECT_EQ(screen->editorError(), u"Track title cannot be empty."_s);
    EXPECT_TRUE(screen->editingTrack());
    EXPECT_EQ(reloads, 0);
    library.failWith.clear();
    EXPECT_TRUE(test::await(screen->saveTrack(edited)));
    EXPECT_EQ(screen->editingTrack(), std::nullopt);
    EXPECT_EQ(screen->editorError(), std::nullopt);
    EXPECT_EQ(shown->artist, u"New"_s);
    EXPECT_EQ(reloads, 1);
}

TEST_F(TrackListControllerTest, FavouriteWritesFiveOrZeroFromEachRating)
{
    for (const auto& [rating, written] :
        { std::pair(0, 5), std::pair(3, 5), std::pair(4, 0), std::pair(5, 0) }) {
        library.calls.clear();
        Track track = song(u"A"_s);
        track.rating = rating;
        screen->toggleFavorite(track);
        ASSERT_TRUE(settleUntil([&] { return shown && shown->rating == written; })) << rating;
        EXPECT_EQ(library.calls, QStringList { u"update:A=%1"_s.arg(written) });
        shown.reset();
    }
    library.failWith = u"<b>Store</b> failed"_s;
    screen->toggleFavorite(song(u"A"_s));
    ASSERT_TRUE(settleUntil([&] { return screen->actionAlert().has_value(); }));
    EXPECT_EQ(*screen->actionAlert(),
        (TrackListAlert { u"Favorite Could Not Be Updated"_s, u"<b>Store</b> failed"_s }));
    screen->dismissActionAlert();
    EXPECT_EQ(screen->actionAlert(), std::nullopt);
}

TEST_F(TrackListControllerTest, SharedSaveWritesThroughTheBatchWithOneUndoStep)
{
    screen->selectAll();
    screen->editSelection();
    SharedTrackMetadataPatch nothing;
    screen->saveSharedMetadata(nothing);
    EXPECT_FALSE(screen->batchCoordinator().isSaving());
    SharedTrackMetadataPatch patch;
    patch.genre = OptionalMetadataChange<QString>::set(u"Jazz"_s);
    shown = song(u"B"_s);
    screen->saveSharedMetadata(patch);
    ASSERT_TRUE(settleUntil([&] { return !screen->batchCoordinator().batch(); }));
    EXPECT_EQ(shown->genre, u"Jazz"_s);
    EXPECT_EQ(reloads, 1);
    EXPECT_EQ(undo.undoActionName(), u"Edit Shared Metadata"_s);
}

TEST_F(TrackListControllerTest, ArtworkIsLoadedCheckedAndStoredOrReported)
{
    screen->chooseArtwork(song(u"B"_s));
    ASSERT_TRUE(settleUntil([&] { return shown.has_value(); }));
    EXPECT_EQ(artwork.calls, QStringList { u"store:cover.png"_s });
    EXPECT_EQ(shown->title, u"B"_s);
    EXPECT_EQ(reloads, 0);

    chooser.answer = test::picked("big.png");
    screen->chooseArtwork(song(u"B"_s));
    ASSERT_TRUE(settleUntil([&] { return screen->actionAlert().has_value(); }));
    EXPECT_EQ(screen->actionAlert()->title, u"Artwork Could Not Be Updated"_s);
    EXPECT_EQ(artwork.calls.size(), 1);

    chooser.answer = QUrl(); // cancelled: nothing at all
    screen->dismissActionAlert();
    screen->chooseArtwork(song(u"B"_s));
    test::processEventsFor(20);
    EXPECT_EQ(screen->actionAlert(), std::nullopt);

    screen->removeArtwork(song(u"B"_s));
    EXPECT_EQ(artwork.calls.last(), u"evict"_s);
}

TEST_F(TrackListControllerTest, RevealShowsTheFileOrItsFolder)
{
    const QString path = folder.filePath(u"song.flac"_s);
    QFile(path).open(QIODevice::WriteOnly);
    Track present = song(u"A"_s);
    present.fileURL = QUrl::fromLocalFile(path);
    Track gone = present;
    gone.fileURL = QUrl::fromLocalFile(folder.filePath(u"moved.flac"_s));
    Track remote = present;
    remote.fileURL = QUrl(u"https://example.com/song.flac"_s);
    screen->revealInFileManager(present);
    screen->revealInFileManager(gone);
    screen->revealInFileManager(remote);
    EXPECT_EQ(revealer.revealed,
        (QList<QUrl> { QUrl::fromLocalFile(path), QUrl::fromLocalFile(folder.path()) }));
}

TEST_F(TrackListControllerTest, RemovingTheShownSongShowsTheLastRemainingSelected)
{
    screen->selectAll();
    screen->select(song(u"A"_s), keys::command); // B, C, D selected
    shown = song(u"C"_s);
    const QString removedID = song(u"C"_s).id.toString(QUuid::WithoutBraces);
    screen->remove(song(u"C"_s), false);
    // A second removal while one runs is refused with the wait text.
    screen->remove(song(u"D"_s), false);
    EXPECT_EQ(screen->removalAlertMessage(),
        u"Wait for the current library operation to finish before removing another track."_s);
    ASSERT_TRUE(settleUntil([&] { return !screen->removalCoordinator().inFlightTrackID(); }));
    EXPECT_EQ(library.calls, QStringList { u"remove:C"_s });
    EXPECT_EQ(state(), u"selected=B,D shown=D inspector=1"_s);
    EXPECT_EQ(reloads, 1);
    EXPECT_EQ(undo.undoActionName(), u"Remove Track"_s);
    EXPECT_EQ(queue.calls, QStringList { u"unqueue:"_s + removedID });
}

TEST_F(TrackListControllerTest, UndoingARemovalRestoresTheLibraryNotTheQueue)
{
    const Track removed = song(u"B"_s);
    screen->remove(removed, false);
    ASSERT_TRUE(settleUntil([&] { return !screen->removalCoordinator().inFlightTrackID(); }));
    queue.calls.clear();
    undo.undo();
    ASSERT_TRUE(settleUntil([&] { return library.tracks.size() == 4; }));
    EXPECT_EQ(library.calls.last(), u"restore:B"_s);
    EXPECT_TRUE(queue.calls.isEmpty());
    ASSERT_TRUE(settleUntil([&] { return shown.has_value(); }));
    EXPECT_EQ(shown->title, u"B"_s);
}

TEST_F(TrackListControllerTest, PermanentDeletionNeedsConfirmationAndOffersNoUndo)
{
    screen->requestPermanentDeletion(song(u"A"_s));
    EXPECT_EQ(screen->removalCoordinator().pendingPermanentDeletion()->title, u"A"_s);
    EXPECT_EQ(TrackListController::deletionConfirmationMessage(song(u"A"_s)),
        u"\u201CA\u201D will be removed from KIVO VOVID and its original file will be deleted "
        u"from disk. This cannot be undone."_s);
    screen->remove(song(u"A"_s), true);
    EXPECT_EQ(screen->removalCoordinator().pendingPermanentDeletion(), std::nullopt);
    ASSERT_TRUE(settleUntil([&] { return !screen->removalCoordinator().inFlightTrackID(); }));
    EXPECT_EQ(library.calls, QStringList { u"remove:A:file"_s });
    EXPECT_FALSE(undo.canUndo());
}

TEST_F(TrackListControllerTest, UndoAfterTheScreenIsGoneStillRestoresTheLibrary)
{
    screen->remove(song(u"B"_s), false);
    ASSERT_TRUE(settleUntil([&] { return !screen->removalCoordinator().inFlightTrackID(); }));
    const int reloadsBefore = reloads;
    screen.reset(); // the sidebar moved on
    undo.undo();
    ASSERT_TRUE(settleUntil([&] { return library.tracks.size() == 4; }));
    EXPECT_EQ(reloads, reloadsBefore);
    EXPECT_EQ(shown, std::nullopt);
    EXPECT_EQ(undo.redoActionName(), u"Remove Track"_s);
}

TEST_F(TrackListControllerTest, WaitsEndingAfterTheScreenWentChangeNothingOfIt)
{
    library.hold = true;
    screen->toggleFavorite(song(u"A"_s));
    screen->remove(song(u"B"_s), false);
    screen.reset();
    library.hold = false;
    ASSERT_TRUE(settleUntil([&] { return library.tracks.size() == 3; }));
    test::processEventsFor(20);
    EXPECT_EQ(reloads, 0);
    EXPECT_EQ(shown, std::nullopt);
    // The removal finished under the undo manager: it can still be undone.
    EXPECT_EQ(undo.undoActionName(), u"Remove Track"_s);
}

} // namespace
} // namespace kivo
