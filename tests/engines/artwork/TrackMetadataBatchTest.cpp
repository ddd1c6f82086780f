#include "engines/artwork/TrackMetadataBatchCoordinator.h"
#include "engines/artwork/TrackMetadataBatchFakes.h"

#include <gtest/gtest.h>

using namespace kivo;
using namespace kivo::test;
using namespace Qt::Literals::StringLiterals;

namespace {

class TrackMetadataBatchTest : public ::testing::Test {
protected:
    TrackMetadataBatchTest()
    {
        library.tracks = { song(u"a"_s), song(u"b"_s), song(u"c"_s) };
        original = library.tracks;
        cache.artwork.insert(original[0].id, "old");
    }

    void commit(const SharedTrackMetadataPatch& patch, const std::function<void()>& meanwhile = {})
    {
        coordinator.beginEditing(original);
        if (meanwhile) {
            meanwhile();
        }
        coordinator.commit(patch, &library, &cache, &undo,
            [this](const QList<Track>& tracks) { completions.push_back(tracks); });
    }
    void finish()
    {
        runUntil([this] { return !coordinator.isSaving(); });
    }
    Track& stored(int index) { return library.tracks[index]; }

    static SharedTrackMetadataPatch artistPatch()
    {
        SharedTrackMetadataPatch patch;
        patch.artist = OptionalMetadataChange<QString>::set(u"Ana"_s);
        return patch;
    }

    FakeLibrary library;
    ScriptedArtworkCache cache;
    UndoManager undo;
    TrackMetadataBatchCoordinator coordinator;
    QList<Track> original;
    QList<QList<Track>> completions;
};

} // namespace

TEST_F(TrackMetadataBatchTest, EditsTheCurrentRecordsAndUndoRedoOnlyItsFields)
{
    commit(artistPatch(), [this] { stored(0).rating = 5; }); // changed while the editor was open
    EXPECT_TRUE(coordinator.isSaving());
    SharedTrackMetadataPatch composer; // a second save while the first runs is refused
    composer.composer = OptionalMetadataChange<QString>::set(u"Bo"_s);
    coordinator.commit(composer, &library, &cache, &undo,
        [this](const QList<Track>& tracks) { completions.push_back(tracks); });
    finish();
    EXPECT_FALSE(coordinator.batch());
    EXPECT_EQ(stored(0).artist, u"Ana"_s);
    EXPECT_EQ(stored(0).composer(), std::nullopt);
    EXPECT_EQ(stored(0).rating, 5);
    EXPECT_EQ(completions, QList<QList<Track>> { library.tracks });
    EXPECT_EQ(undo.undoMenuItemTitle(), u"Undo Edit Shared Metadata"_s);

    SharedTrackMetadataPatch genre;
    genre.genre = OptionalMetadataChange<QString>::set(u"Jazz"_s);
    commit(genre);
    EXPECT_FALSE(undo.canUndo());
    undo.undo(); // refused while saving; the step stays
    finish();
    undo.undo();
    finish();
    EXPECT_EQ(stored(1).genre, std::nullopt);
    stored(1).genre = u"Pop"_s; // changed after the edit: undo and redo keep it

    undo.undo();
    EXPECT_FALSE(undo.canRedo()); // busy until the write ends
    finish();
    EXPECT_EQ(stored(0).artist, std::nullopt);
    EXPECT_EQ(stored(0).rating, 5);
    EXPECT_EQ(stored(1).genre, u"Pop"_s);
    EXPECT_FALSE(undo.canUndo());
    EXPECT_EQ(undo.redoMenuItemTitle(), u"Redo Edit Shared Metadata"_s);

    undo.redo();
    finish();
    EXPECT_EQ(stored(1).artist, u"Ana"_s);
    EXPECT_EQ(stored(1).genre, u"Pop"_s);
    EXPECT_EQ(undo.undoMenuItemTitle(), u"Undo Edit Shared Metadata"_s);
    EXPECT_EQ(completions.size(), 5);
}

TEST_F(TrackMetadataBatchTest, FailuresBeforeTheArtworkWriteChangeNothing)
{
    commit({}); // a patch that changes nothing
    EXPECT_FALSE(coordinator.isSaving());

    SharedTrackMetadataPatch patch = artistPatch();
    patch.artwork = SharedArtworkChange::replace("new");
    cache.unreadable.insert(original[0].id);
    commit(patch);
    finish();
    EXPECT_TRUE(coordinator.errorMessage()->contains(u"could not be read"_s));

    cache.unreadable.clear();
    library.failingUpdates = { 1 };
    coordinator.commit(patch, &library, &cache, &undo, {});
    finish();
    EXPECT_EQ(coordinator.errorMessage(), u"Disk is read-only."_s);
    EXPECT_TRUE(coordinator.batch());
    EXPECT_EQ(library.tracks, original);
    EXPECT_EQ(cache.writes, 0);
    EXPECT_FALSE(undo.canUndo());
}

TEST_F(TrackMetadataBatchTest, ArtworkFailureRollsTheTracksBack)
{
    SharedTrackMetadataPatch patch;
    patch.rating = 4;
    patch.artwork = SharedArtworkChange::replace("new");
    cache.failingWrites = { 2 };
    commit(patch);
    finish();
    const QString artworkError
        = u"The shared artwork could not be applied. Existing artwork was restored. "_s
        + diskFull(original[1]);
    EXPECT_EQ(coordinator.errorMessage(), artworkError);
    EXPECT_EQ(library.tracks, original);
    EXPECT_EQ(cache.artwork.value(original[0].id), "old");
    EXPECT_FALSE(cache.artwork.contains(original[1].id));

    cache.writes = 0;
    library.failingUpdates = { library.updates + 2 }; // the rollback
    coordinator.commit(patch, &library, &cache, &undo, {});
    finish();
    EXPECT_EQ(coordinator.errorMessage(),
        u"The metadata update failed ("_s + artworkError
            + u"), and automatic recovery also failed (Disk is read-only.)."_s);
    EXPECT_FALSE(undo.canUndo());
}

TEST_F(TrackMetadataBatchTest, ArtworkOnlyEditUndoesToTheCapturedBytes)
{
    SharedTrackMetadataPatch patch;
    patch.artwork = SharedArtworkChange::replace("new");
    commit(patch);
    finish();
    EXPECT_EQ(library.updates, 0);
    EXPECT_EQ(cache.artwork.value(original[1].id), "new");
    EXPECT_EQ(undo.undoMenuItemTitle(), u"Undo Change Shared Artwork"_s);

    undo.undo();
    finish();
    EXPECT_EQ(cache.artwork.value(original[0].id), "old");
    EXPECT_FALSE(cache.artwork.contains(original[1].id));
    EXPECT_EQ(undo.redoMenuItemTitle(), u"Redo Change Shared Artwork"_s);
}
