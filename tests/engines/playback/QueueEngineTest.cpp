#include "QueueEngineTestSupport.h"

#include <QCoreApplication>

using namespace Qt::Literals::StringLiterals;

namespace kivo::test {
namespace {

QString sorted(const QList<Track>& list)
{
    QStringList names = titles(list).split(u' ');
    names.sort();
    return names.join(u' ');
}

TEST_F(QueueEngineTest, PlayNowClampsThePositionAndPutsTheQueueBackWhenTheStartFails)
{
    queue.playNow({}, 0);
    queue.playNow(list("ABC"), -5);
    EXPECT_EQ(state(), u"A | B C |  | B C | A B C");
    queue.playNow(list("ABC"), 99);
    EXPECT_EQ(state(), u"C |  | A B |  | A B C");
    EXPECT_EQ(saves().size(), 2);

    audio.unplayable = { tracks[4].id };
    queue.playNow(list("DEF"), 1);
    EXPECT_EQ(state(), u"C |  | A B |  | A B C");
    EXPECT_EQ(describeError(queue.lastPlaybackError()),
        u"The audio file could not be found at /music/E.mp3.");
    EXPECT_EQ(saves().value(0).currentTrackID, tracks[2].id); // the rollback is saved
    queue.playNow(list("D"));
    EXPECT_FALSE(queue.lastPlaybackError());
    EXPECT_EQ(audio.take(), QStringList({ u"A"_s, u"C"_s, u"D"_s }));

    TavrenQueueEngine unlinked; // nothing starts without an engine
    unlinked.playNow(list("AB"));
    EXPECT_FALSE(unlinked.currentTrack());
    EXPECT_EQ(describeError(unlinked.lastPlaybackError()),
        u"Playback is unavailable because the audio engine has not been connected.");
}

TEST_F(QueueEngineTest, ShuffleKeepsTheChosenTrackAndTurningItOffRestoresTheQueuedOrder)
{
    queue.setShuffleMode(ShuffleMode::standard);
    queue.playNow(list("ABCDE"), 1);
    EXPECT_EQ(sorted(queue.upcoming()), u"C D E");
    EXPECT_EQ(titles(queue.history()) + titles(queue.playbackOrder()), u"AA B C D E");

    queue.playNext(list("F")); // plays next, unshuffled
    queue.playLast(list("A")); // the next track stays next
    EXPECT_EQ(queue.upcoming().first().title, u"F");
    EXPECT_EQ(sorted(queue.upcoming()), u"A C D E F");

    queue.advanceToNext(); // F is played and does not come back
    queue.setShuffleMode(ShuffleMode::smart);
    EXPECT_EQ(titles(queue.upcoming()), u"C D E A");
    queue.setShuffleMode(ShuffleMode::off);
    EXPECT_EQ(titles(queue.upcoming()), u"C D E A");
}

TEST_F(QueueEngineTest, EditsTellTracksApartByIdAndIgnoreBadIndices)
{
    queue.playNow(list("DABAC"));
    queue.remove(0); // one A entry, but every A of the queued order
    EXPECT_EQ(state(), u"D | B A C |  | B C | D B A C");
    queue.setShuffleMode(ShuffleMode::standard);
    queue.setShuffleMode(ShuffleMode::off);
    EXPECT_EQ(titles(queue.upcoming()), u"B C");
    saves();
    for (const qsizetype index : { -1, 2 }) {
        queue.remove(index);
        queue.move(index, 0);
    }
    queue.playLast({});
    EXPECT_EQ(saves().size(), 0);

    queue.playLast(list("AE"));
    queue.move(0, 99);
    EXPECT_EQ(state(), u"D | C A E B |  | C A E B | D C A E B");
    queue.move(3, -4);
    EXPECT_EQ(titles(queue.upcoming()), u"B C A E");
    queue.clearUpcoming();
    EXPECT_EQ(state(), u"D |  |  |  | D");

    // Removing the current track stops playback without starting another.
    queue.playNow(list("ABCA"), 1);
    audio.take();
    queue.removeTrackFromPlayback(tracks[1].id);
    EXPECT_EQ(state(), u"- | C A | A | C A | A C A");
    EXPECT_EQ(audio.take(), QStringList({ u"cleared"_s }));
    queue.advanceToNext(); // C plays; the history stays as it was
    EXPECT_EQ(state(), u"C | A | A | A | A C A");
    queue.removeTrackFromPlayback(tracks[0].id);
    EXPECT_EQ(state(), u"C |  |  |  | C");
}

TEST_F(QueueEngineTest, RepeatDecidesWhatFollowsTheLastTrack)
{
    queue.playNow(list("ABC"), 2);
    saves();
    queue.audioEngineDidFinishPlayback(audio); // repeat off: C stays, nothing plays
    queue.advanceToNext();
    EXPECT_EQ(state(), u"C |  | A B |  | A B C");
    EXPECT_EQ(saves().size(), 3);

    queue.setRepeatMode(RepeatMode::all);
    queue.audioEngineDidFinishPlayback(audio);
    EXPECT_EQ(state(), u"A | B C |  | B C | A B C");
    queue.setRepeatMode(RepeatMode::track);
    queue.audioEngineDidFinishPlayback(audio); // a natural end plays the track again
    EXPECT_EQ(state(), u"A | B C |  | B C | A B C");
    queue.advanceToNext(); // Next still moves on while tracks are upcoming
    queue.advanceToNext();
    EXPECT_EQ(state(), u"C |  | A B |  | A B C");
    queue.advanceToNext(); // and wraps at the end
    EXPECT_EQ(state(), u"A | B C |  | B C | A B C");
    EXPECT_EQ(audio.take().join(u' '), u"C A A B C A");
}

TEST_F(QueueEngineTest, PreviousRestartsPastThreeSecondsAndElseStepsBack)
{
    queue.playNow(list("ABC"), 1);
    audio.time = 3.1;
    EXPECT_EQ(queue.returnToPrevious()->title, u"B");
    audio.time = 3.0;
    EXPECT_EQ(queue.returnToPrevious()->title, u"A");
    EXPECT_EQ(state(), u"A | B C |  | B C | A B C");
    audio.time = 1; // an empty history restarts the track
    EXPECT_EQ(queue.returnToPrevious()->title, u"A");
    queue.advanceToNext();
    audio.time = 30;
    EXPECT_EQ(queue.playPreviousSong()->title, u"A");
    EXPECT_EQ(audio.take().join(u' '), u"B seek:0 A seek:0 B A");
}

TEST_F(QueueEngineTest, AFailingNextOrPreviousLeavesEveryListAsItWas)
{
    queue.setRepeatMode(RepeatMode::all);
    queue.playNow(list("ABC"), 1);
    const QString before = state();
    audio.unplayable = { tracks[0].id, tracks[1].id, tracks[2].id };
    EXPECT_FALSE(queue.advanceToNext());
    EXPECT_FALSE(queue.playPreviousSong());
    EXPECT_EQ(state(), before);
    queue.clearUpcoming();
    const QString atEnd = state();
    EXPECT_FALSE(queue.advanceToNext()); // the wrap is undone too
    EXPECT_EQ(state(), atEnd);
    EXPECT_EQ(describeError(queue.lastPlaybackError()),
        u"The audio file could not be found at /music/B.mp3.");

    const auto playing = std::make_exception_ptr(AudioPlaybackError::emptyFile({}));
    queue.audioEngineDidFail(audio, playing);
    EXPECT_EQ(queue.lastPlaybackError(), playing);
    EXPECT_EQ(state(), atEnd);
}

TEST_F(QueueEngineTest, LongListsAreOrderedOnAWorkerAndTheNextOperationSeesTheResult)
{
    queue.setBackgroundThreshold(3);
    const auto settle = [this] {
        while (queue.isReordering()) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
        }
    };
    queue.setShuffleMode(ShuffleMode::standard);
    queue.playNow(list("ABCDEF"), 1);
    EXPECT_EQ(audio.take(), QStringList { u"B"_s }); // starts before the lists are cut
    settle();
    EXPECT_EQ(sorted(queue.upcoming()), u"C D E F");
    EXPECT_EQ(titles(queue.history()) + titles(queue.playbackOrder()), u"AA B C D E F");
    queue.setShuffleMode(ShuffleMode::off);
    settle();
    EXPECT_EQ(state(), u"B | C D E F | A | C D E F | A B C D E F");
    // A save asked for meanwhile is made once, of the published lists.
    saves();
    queue.setShuffleMode(ShuffleMode::standard);
    queue.audioEngineDidChangeTrack(audio, std::nullopt);
    const QList<PlaybackStateSnapshot> saved = saves();
    ASSERT_EQ(saved.size(), 1);
    EXPECT_EQ(titlesOf(saved[0].upcomingTrackIDs), titles(queue.upcoming()));
    // A move waits for the shuffle it follows.
    queue.setShuffleMode(ShuffleMode::off);
    queue.setShuffleMode(ShuffleMode::standard);
    queue.move(0, 99);
    EXPECT_FALSE(queue.isReordering());
    const QString upcoming = titles(queue.upcoming());
    EXPECT_EQ(sorted(queue.upcoming()), u"C D E F");
    EXPECT_EQ(state(), u"B | %1 | A | %1 | A B %1"_s.arg(upcoming));

    // A start that fails drops the worker's lists with the rest.
    const QString before = state();
    audio.unplayable = { tracks[3].id };
    queue.playNow(list("CDEF"), 1);
    EXPECT_FALSE(queue.isReordering());
    EXPECT_EQ(state(), before);
}

} // namespace
TEST_F(QueueEngineTest, MovedQueuesSaveTheirIdsAndKeepTheirPlayOrderUnderShuffle)
{
    const auto settle = [this] {
        while (queue.isReordering()) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
        }
    };
    for (const qsizetype threshold : { 100, 3 }) { // on this thread, then on a worker
        queue.setBackgroundThreshold(threshold);
        queue.playNow(list("ABCDE"), 1);
        settle();
        saves();
        queue.move(0, 2);
        queue.move(1, 0);
        EXPECT_EQ(state(), u"B | E D C | A | E D C | A B E D C");
        const QList<PlaybackStateSnapshot> saved = saves();
        ASSERT_EQ(saved.size(), 2);
        EXPECT_EQ(titlesOf(saved[1].upcomingTrackIDs), u"E D C");
        EXPECT_EQ(titlesOf(saved[1].playbackOrderTrackIDs.value()), u"A B E D C");

        queue.setShuffleMode(ShuffleMode::standard);
        settle();
        EXPECT_EQ(sorted(queue.upcoming()), u"C D E");
        EXPECT_EQ(titles(queue.playbackOrder()), u"A B E D C");
        queue.setShuffleMode(ShuffleMode::off);
        settle();
        EXPECT_EQ(state(), u"B | E D C | A | E D C | A B E D C");
        // The kept order is the queue as it was: a song leaves every part of it.
        saves();
        queue.removeTrackFromPlayback(tracks[0].id);
        queue.removeTrackFromPlayback(tracks[3].id);
        EXPECT_EQ(titles(queue.playbackOrder()), u"B E C");
        EXPECT_EQ(titlesOf(saves().last().playbackOrderTrackIDs.value()), u"B E C");
    }
}

// The queue reads its songs from the library as they are now; a song the
// library does not know is kept by the queue; an entry whose song left the
// library keeps its place and is passed over when the queue moves on.
TEST_F(QueueEngineTest, SongsAreReadFromTheLibraryAndOnesItLacksAreKept)
{
    QList<Track> library = list("ABCD");
    queue.setTrackLookup([&](const QUuid& id) -> const Track* {
        const auto found = std::find_if(
            library.cbegin(), library.cend(), [&](const Track& t) { return t.id == id; });
        return found != library.cend() ? &*found : nullptr;
    });
    queue.playNow(list("ABCE"), 0);
    library[1].title = u"B2"_s;
    library.removeAt(2); // C leaves without being taken out of the queue
    EXPECT_EQ(titles(queue.upcoming()), u"B2  E"_s);
    EXPECT_EQ(queue.upcomingTrack(1)->id, tracks[2].id);
    queue.advanceToNext();
    EXPECT_EQ(queue.currentTrack()->title, u"B2"_s);
    queue.advanceToNext();
    EXPECT_EQ(state(), u"E |  | A B2 |  | A B2 E"_s);
    EXPECT_EQ(audio.take(), QStringList({ u"A"_s, u"B2"_s, u"E"_s }));
}

} // namespace kivo::test
