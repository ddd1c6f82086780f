#include "engines/artwork/TrackMetadataBatchFakes.h"
#include "engines/artwork/TrackRemovalCoordinator.h"

#include <gtest/gtest.h>

using namespace kivo;
using namespace kivo::test;
using namespace Qt::Literals::StringLiterals;

namespace {

class TrackRemovalTest : public ::testing::Test {
protected:
    TrackRemovalTest() { library.tracks = { a, b }; }

    void remove(const Track& track, bool deleteFile = false)
    {
        coordinator.requestRemoval(
            track, deleteFile, &library, &queue, &undo, [this] { ++removals; },
            [this] { ++restores; });
    }
    void finish()
    {
        runUntil([this] { return !coordinator.inFlightTrackID(); });
    }

    Track a = song(u"a"_s), b = song(u"b"_s);
    FakeLibrary library;
    ScriptedQueueEngine queue;
    UndoManager undo;
    TrackRemovalCoordinator coordinator;
    int removals = 0, restores = 0;
};

} // namespace

TEST_F(TrackRemovalTest, UndoRestoresTheLibraryNotTheQueueAndRedoRemovesAgain)
{
    remove(a);
    EXPECT_FALSE(undo.canUndo()); // nothing to undo until the removal is done
    finish();
    EXPECT_EQ(undo.undoMenuItemTitle(), u"Undo Remove Track"_s);

    undo.undo();
    EXPECT_FALSE(undo.canRedo()); // busy until restored
    finish();
    EXPECT_EQ(library.byID(a.id), a);
    EXPECT_EQ(queue.calls.size(), 1);
    EXPECT_EQ(restores, 1);
    EXPECT_FALSE(undo.canUndo());
    EXPECT_EQ(undo.redoMenuItemTitle(), u"Redo Remove Track"_s);

    undo.redo();
    finish();
    EXPECT_FALSE(library.byID(a.id));
    EXPECT_EQ(queue.calls.size(), 2);
    EXPECT_EQ(removals, 2);
    EXPECT_EQ(undo.undoMenuItemTitle(), u"Undo Remove Track"_s);
}

TEST_F(TrackRemovalTest, RefusalsDeletionsAndFailuresRegisterNothing)
{
    remove(a, true);
    EXPECT_EQ(coordinator.inFlightTrackID(), a.id);
    coordinator.setPendingPermanentDeletion(b);
    remove(b);
    EXPECT_EQ(coordinator.errorMessage(),
        u"Wait for the current library operation to finish before removing another track."_s);
    EXPECT_FALSE(coordinator.pendingPermanentDeletion());
    finish();
    EXPECT_EQ(library.tracks, QList { b });
    EXPECT_EQ(removals, 1);
    EXPECT_FALSE(undo.canUndo()); // a deleted file cannot come back

    library.failWith = u"Track not found in the local library."_s;
    remove(b);
    finish();
    EXPECT_EQ(coordinator.errorMessage(), u"Track not found in the local library."_s);
    EXPECT_EQ(queue.calls, QStringList { u"unqueue:"_s + a.id.toString(QUuid::WithoutBraces) });
    EXPECT_TRUE(library.byID(b.id));
    EXPECT_FALSE(undo.canUndo() || undo.isBlocked());
}
