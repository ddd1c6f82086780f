#include "AudioEngineTestSupport.h"

#include <QSignalSpy>
#include <QTest>
#include <gmock/gmock.h>

using namespace Qt::Literals::StringLiterals;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace kivo {
namespace {

using test::AudioEngineTest;
using test::FakeAudioPlayer;

class AudioEngineQueueTest : public AudioEngineTest {
protected:
    QList<Track> threeTracks() { return { track(u"A"_s), track(u"B"_s), track(u"C"_s) }; }

    // Waits until the running fade has made its last step.
    bool waitForVolume(FakeAudioPlayer* target, size_t steps)
    {
        return QTest::qWaitFor([&] { return target->volumes.size() >= steps; }, 10000);
    }
};

TEST_F(AudioEngineQueueTest, SetQueueClampsTheStartAndStartsNothing)
{
    QSignalSpy queueChanges(engine.get(), &AudioEngine::queueChanged);
    const QList<Track> tracks = threeTracks();
    engine->setQueue(tracks, 7);
    EXPECT_EQ(engine->currentIndex(), 2);
    EXPECT_EQ(engine->currentTrack(), tracks[2]);
    EXPECT_THAT(delegate.take(), ElementsAre(u"track:C"_s));
    engine->setQueue(tracks, -1);
    EXPECT_EQ(engine->currentIndex(), 0);
    EXPECT_EQ(engine->currentTrack(), tracks[0]);
    EXPECT_EQ(factory->openCalls, 0);
    EXPECT_EQ(engine->playbackState(), PlaybackState::stopped);
    EXPECT_EQ(engine->queue(), tracks);
    EXPECT_EQ(queueChanges.count(), 2);

    // A player that plays goes on with its own track.
    engine->play(track(u"Playing"_s));
    engine->setQueue(tracks, 1);
    EXPECT_EQ(engine->currentTrack(), tracks[1]);
    EXPECT_TRUE(player()->playing);
    EXPECT_EQ(engine->playbackState(), PlaybackState::playing);

    engine->appendToQueue(track(u"D"_s));
    EXPECT_EQ(engine->queue().size(), 4);
    EXPECT_EQ(engine->currentIndex(), 1);
}

TEST_F(AudioEngineQueueTest, ClearingTheQueueStopsAndReleasesThePlayer)
{
    const QList<Track> tracks = threeTracks();
    engine->setQueue(tracks, 1);
    engine->play(tracks[1]);
    const QPointer<FakeAudioPlayer> released = player();
    delegate.take();

    engine->clearQueue();
    EXPECT_THAT(delegate.take(), ElementsAre(u"time:0.00"_s, u"state:stopped"_s, u"track:none"_s));
    EXPECT_TRUE(engine->queue().isEmpty());
    EXPECT_EQ(engine->currentIndex(), 0);
    EXPECT_FALSE(engine->currentTrack());
    EXPECT_EQ(engine->duration(), 0.0);
    QTest::qWait(10);
    EXPECT_FALSE(released);

    // An empty list does the same.
    engine->setQueue(tracks, 0);
    delegate.take();
    engine->setQueue({}, 3);
    EXPECT_THAT(delegate.take(), ElementsAre(u"time:0.00"_s, u"track:none"_s));
    EXPECT_FALSE(engine->currentTrack());
}

TEST_F(AudioEngineQueueTest, NextTrackStartsTheFollowingOneAndStopsAtTheEnd)
{
    const QList<Track> tracks = threeTracks();
    engine->setQueue(tracks, 1);
    engine->nextTrack();
    EXPECT_EQ(engine->currentIndex(), 2);
    EXPECT_EQ(engine->currentTrack(), tracks[2]);
    EXPECT_TRUE(player()->playing);
    delegate.take();

    engine->nextTrack(); // at the last index
    EXPECT_THAT(delegate.take(), ElementsAre(u"time:0.00"_s, u"state:stopped"_s));
    EXPECT_EQ(engine->currentIndex(), 2);

    // A failure goes to the failure notice; the index keeps its new value.
    engine->setQueue(tracks, 0);
    factory->scripts[tracks[1].fileURL.toLocalFile()].prepareResult = false;
    EXPECT_NO_THROW(engine->nextTrack());
    EXPECT_EQ(engine->currentIndex(), 1);
    EXPECT_EQ(engine->playbackState(), PlaybackState::failed);
    EXPECT_FALSE(delegate.errors.empty());

    engine->clearQueue();
    engine->nextTrack(); // an empty list
    EXPECT_EQ(engine->playbackState(), PlaybackState::stopped);
}

TEST_F(AudioEngineQueueTest, PreviousTrackRestartsAfterThreeSecondsAndStepsBackBefore)
{
    const QList<Track> tracks = threeTracks();
    engine->setQueue(tracks, 2);
    engine->play(tracks[2]);
    player()->time = 3.5;
    engine->pause(); // publishes 3.5
    delegate.take();
    engine->previousTrack();
    EXPECT_THAT(delegate.take(), ElementsAre(u"time:0.00"_s));
    EXPECT_EQ(engine->currentIndex(), 2);

    engine->seek(3.0); // exactly three seconds counts as near the start
    delegate.take();
    engine->previousTrack();
    EXPECT_EQ(engine->currentIndex(), 1);
    EXPECT_EQ(engine->currentTrack(), tracks[1]);
    EXPECT_TRUE(player()->playing);

    engine->setQueue(tracks, 0);
    engine->seek(2.0);
    const int opened = factory->openCalls;
    delegate.take();
    engine->previousTrack();
    EXPECT_THAT(delegate.take(), ElementsAre(u"time:0.00"_s));
    EXPECT_EQ(factory->openCalls, opened);
}

TEST_F(AudioEngineQueueTest, AFadeStepsEveryFiftiethOfASecondAndEndsExactlyOnTarget)
{
    engine->play(track(u"A"_s));
    FakeAudioPlayer* target = player();
    target->volumes.clear();
    engine->fade(1.0, 0.5f);
    ASSERT_TRUE(waitForVolume(target, 50));
    QTest::qWait(100);
    ASSERT_EQ(target->volumes.size(), 50u);
    float previous = 1.0f;
    for (const float volume : target->volumes) {
        EXPECT_NEAR(previous - volume, 0.01f, 1e-5f);
        previous = volume;
    }
    EXPECT_EQ(target->volumes.back(), 0.5f);
    EXPECT_EQ(engine->volume(), 0.5f);
    EXPECT_EQ(engine->playbackState(), PlaybackState::playing); // a fade leaves the state alone

    // 0.05 s: two steps.
    target->volumes.clear();
    engine->fade(0.05, 0.7f);
    ASSERT_TRUE(waitForVolume(target, 2));
    QTest::qWait(60);
    ASSERT_EQ(target->volumes.size(), 2u);
    EXPECT_NEAR(target->volumes[0], 0.6f, 1e-6f);
    EXPECT_EQ(target->volumes[1], 0.7f);
}

TEST_F(AudioEngineQueueTest, AFadeWithoutLengthSetsTheClampedVolumeAtOnce)
{
    // Not a number fades to silence.
    for (const auto& [length, target, reached] : { std::tuple { 0.0, 2.0f, 1.0f },
             { -1.0, -3.0f, 0.0f }, { qQNaN(), 0.4f, 0.4f }, { 0.0, float(qQNaN()), 0.0f } }) {
        engine->fade(length, target);
        EXPECT_EQ(engine->volume(), reached);
    }

    // Also when stepping.
    engine->setVolume(0.6f);
    engine->fade(0.04, qQNaN());
    ASSERT_TRUE(QTest::qWaitFor([&] { return engine->volume() == 0.0f; }, 5000));
}

TEST_F(AudioEngineQueueTest, ASecondFadeTakesOverFromTheVolumeReached)
{
    engine->play(track(u"A"_s));
    FakeAudioPlayer* target = player();
    engine->fade(1.0, 0.0f);
    ASSERT_TRUE(waitForVolume(target, 11)); // the load's volume and ten steps
    engine->fade(0.1, 1.0f);
    const float reached = target->volumes.back();
    EXPECT_GT(reached, 0.0f);
    EXPECT_LT(reached, 1.0f);
    const size_t before = target->volumes.size();
    ASSERT_TRUE(QTest::qWaitFor([&] { return engine->volume() == 1.0f; }, 5000));
    QTest::qWait(100);
    ASSERT_EQ(target->volumes.size(), before + 5); // its own five steps, the old fade gone
    EXPECT_NEAR(target->volumes[before], reached + (1.0f - reached) / 5, 1e-5f);
}

TEST_F(AudioEngineQueueTest, OutputRoutingIsRefusedWithoutDisturbingPlayback)
{
    engine->play(track(u"A"_s));
    delegate.take();
    const auto error = thrown<AudioPlaybackError>([&] { engine->setOutputDevice(u"speakers"_s); });
    EXPECT_EQ(error.errorCase(), AudioPlaybackError::Case::outputDeviceRoutingUnavailable);
    EXPECT_THAT(delegate.take(), IsEmpty());
    EXPECT_EQ(engine->playbackState(), PlaybackState::playing);
}

} // namespace
} // namespace kivo
