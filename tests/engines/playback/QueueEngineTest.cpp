#include "QueueEngineTestSupport.h"

#include <QHash>
#include <algorithm>

using namespace Qt::Literals::StringLiterals;

namespace kivo::test {
namespace {

AudioPlaybackError::Case errorCase(const std::exception_ptr& error)
{
    try {
        std::rethrow_exception(error);
    } catch (const AudioPlaybackError& e) {
        return e.errorCase();
    }
}

QString sorted(const QList<Track>& list)
{
    QStringList names = titles(list).split(u' ');
    names.sort();
    return names.join(u' ');
}

TEST_F(QueueEngineTest, PlayNowClampsThePositionAndPutsTheQueueBackWhenTheStartFails)
{
    queue.playNow({}, 0);
    EXPECT_EQ(saves().size(), 0);

    queue.playNow(list("ABC"), -5);
    EXPECT_EQ(state(), u"A | B C |  | B C | A B C");
    queue.playNow(list("ABC"), 99);
    EXPECT_EQ(state(), u"C |  | A B |  | A B C");
    EXPECT_EQ(audio.take(), QStringList({ u"A"_s, u"C"_s }));
    EXPECT_EQ(saves().size(), 2);

    audio.unplayable = { tracks[4].id };
    queue.playNow(list("DEF"), 1);
    EXPECT_EQ(state(), u"C |  | A B |  | A B C");
    EXPECT_EQ(errorCase(queue.lastPlaybackError()), AudioPlaybackError::Case::missingFile);
    const auto saved = saves(); // the rollback is saved too
    ASSERT_EQ(saved.size(), 1);
    EXPECT_EQ(saved[0].currentTrackID, tracks[2].id);
    EXPECT_EQ(saved[0].historyTrackIDs, QList({ tracks[0].id, tracks[1].id }));

    queue.playNow(list("D"));
    EXPECT_FALSE(queue.lastPlaybackError());

    // Without an engine nothing starts, and the queue stays as it was.
    TavrenQueueEngine unlinked;
    unlinked.playNow(list("AB"));
    EXPECT_FALSE(unlinked.currentTrack());
    EXPECT_EQ(
        errorCase(unlinked.lastPlaybackError()), AudioPlaybackError::Case::audioEngineUnavailable);
}

TEST_F(QueueEngineTest, ShuffleKeepsTheChosenTrackAndTurningItOffRestoresTheQueuedOrder)
{
    queue.setShuffleMode(ShuffleMode::standard);
    queue.playNow(list("ABCDE"), 1);
    EXPECT_EQ(queue.currentTrack()->title, u"B");
    EXPECT_EQ(titles(queue.history()), u"A");
    EXPECT_EQ(sorted(queue.upcoming()), u"C D E");
    EXPECT_EQ(titles(queue.playbackOrder()), u"A B C D E");

    queue.playNext(list("F"));
    const QString next = queue.upcoming().first().title;
    EXPECT_EQ(next, u"F");
    queue.playLast(list("A")); // the next track stays next
    EXPECT_EQ(queue.upcoming().first().title, next);
    EXPECT_EQ(sorted(queue.upcoming()), u"A C D E F");

    queue.advanceToNext(); // F is played and does not come back
    queue.setShuffleMode(ShuffleMode::smart);
    EXPECT_EQ(titles(queue.upcoming()), u"C D E A");
    queue.setShuffleMode(ShuffleMode::off);
    EXPECT_EQ(titles(queue.upcoming()), u"C D E A");
}

TEST_F(QueueEngineTest, StandardShuffleDrawsEveryOrderEquallyOften)
{
    TavrenQueueEngine unsaved; // no store: 120,000 saves would only slow this down
    unsaved.setAudioEngine(&audio);
    unsaved.playNow(list("ABCD"));
    QHash<QString, int> counts;
    const int rounds = 60000;
    for (int i = 0; i < rounds; ++i) {
        unsaved.setShuffleMode(ShuffleMode::standard);
        ++counts[titles(unsaved.upcoming())];
        unsaved.setShuffleMode(ShuffleMode::off);
    }
    // A biased draw (a swap partner taken from the whole list) is ~11% off.
    ASSERT_EQ(counts.size(), 6);
    for (auto it = counts.cbegin(); it != counts.cend(); ++it) {
        EXPECT_NEAR(it.value(), rounds / 6, 600) << it.key().toStdString();
    }
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

    queue.remove(2);
    queue.remove(-1);
    queue.move(2, 0);
    queue.playNext({});
    queue.playLast({});
    EXPECT_EQ(saves().size(), 0);

    queue.playLast(list("AE"));
    queue.move(0, 99);
    EXPECT_EQ(state(), u"D | C A E B |  | C A E B | D C A E B");
    queue.move(3, -4);
    EXPECT_EQ(titles(queue.upcoming()), u"B C A E");

    queue.clearUpcoming();
    EXPECT_EQ(state(), u"D |  |  |  | D");
    EXPECT_EQ(audio.take(), QStringList({ u"D"_s }));

    // Removing the current track stops playback without starting another.
    queue.playNow(list("ABCA"), 1);
    audio.take();
    saves();
    queue.removeTrackFromPlayback(tracks[1].id);
    queue.removeTrackFromPlayback(QUuid::createUuid());
    EXPECT_EQ(state(), u"- | C A | A | C A | A C A");
    EXPECT_EQ(audio.take(), QStringList({ u"cleared"_s }));
    EXPECT_EQ(saves().size(), 2);

    queue.advanceToNext(); // C plays; the history stays as it was
    EXPECT_EQ(state(), u"C | A | A | A | A C A");
    queue.removeTrackFromPlayback(tracks[0].id);
    EXPECT_EQ(state(), u"C |  |  |  | C");
}

TEST_F(QueueEngineTest, RepeatDecidesWhatFollowsTheLastTrack)
{
    queue.playNow(list("ABC"), 2);
    audio.take();
    saves();
    queue.audioEngineDidFinishPlayback(audio); // repeat off: C stays, nothing plays
    queue.advanceToNext();
    EXPECT_EQ(state(), u"C |  | A B |  | A B C");
    EXPECT_TRUE(audio.take().isEmpty());
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
    EXPECT_EQ(audio.take(), QStringList({ u"A"_s, u"A"_s, u"B"_s, u"C"_s, u"A"_s }));
}

TEST_F(QueueEngineTest, PreviousRestartsPastThreeSecondsAndElseStepsBack)
{
    queue.playNow(list("ABC"), 1);
    audio.take();
    audio.time = 3.1;
    EXPECT_EQ(queue.returnToPrevious()->title, u"B");
    EXPECT_EQ(audio.take(), QStringList({ u"seek:0"_s }));

    audio.time = 3.0;
    EXPECT_EQ(queue.returnToPrevious()->title, u"A");
    EXPECT_EQ(state(), u"A | B C |  | B C | A B C");
    audio.time = 1; // an empty history restarts the track
    EXPECT_EQ(queue.returnToPrevious()->title, u"A");
    queue.advanceToNext();
    EXPECT_EQ(state(), u"B | C | A | C | A B C");
    audio.time = 30;
    EXPECT_EQ(queue.playPreviousSong()->title, u"A");
    EXPECT_EQ(audio.take(), QStringList({ u"A"_s, u"seek:0"_s, u"B"_s, u"A"_s }));
}

TEST_F(QueueEngineTest, AFailingNextOrPreviousLeavesEveryListAsItWas)
{
    queue.setRepeatMode(RepeatMode::all);
    queue.playNow(list("ABC"), 1);
    const QString before = state();
    audio.unplayable = { tracks[0].id, tracks[1].id, tracks[2].id };
    saves();

    EXPECT_FALSE(queue.advanceToNext());
    EXPECT_EQ(state(), before);
    EXPECT_FALSE(queue.playPreviousSong());
    EXPECT_EQ(state(), before);
    EXPECT_EQ(saves().size(), 2);

    queue.clearUpcoming();
    const QString atEnd = state();
    EXPECT_FALSE(queue.advanceToNext()); // the wrap is rolled back too
    EXPECT_EQ(state(), atEnd);
    EXPECT_EQ(errorCase(queue.lastPlaybackError()), AudioPlaybackError::Case::missingFile);

    // A failure while playing is published; the queue stays.
    queue.clearReportedErrors();
    queue.audioEngineDidFail(audio, std::make_exception_ptr(AudioPlaybackError::emptyFile({})));
    EXPECT_EQ(errorCase(queue.lastPlaybackError()), AudioPlaybackError::Case::emptyFile);
    EXPECT_EQ(state(), atEnd);
}

} // namespace
} // namespace kivo::test
