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

TEST_F(AudioEngineTest, StartsATrackAndSwitchesToAnotherInTheNoticeOrder)
{
    const Track first = track(u"A"_s);
    const Track second = track(u"B"_s);
    QSignalSpy states(engine.get(), &AudioEngine::playbackStateChanged);

    engine->play(first);
    EXPECT_THAT(delegate.take(),
        ElementsAre(u"state:buffering"_s, u"track:A"_s, u"time:0.00"_s, u"state:playing"_s));
    FakeAudioPlayer* firstPlayer = player();
    EXPECT_TRUE(firstPlayer->playing);
    EXPECT_EQ(engine->playbackState(), PlaybackState::playing);
    EXPECT_TRUE(engine->isPlaying());
    EXPECT_EQ(engine->currentTrack(), first);
    EXPECT_EQ(states.count(), 2);

    engine->play(second);
    EXPECT_THAT(delegate.take(),
        ElementsAre(u"state:buffering"_s, u"track:B"_s, u"time:0.00"_s, u"state:playing"_s));
    EXPECT_EQ(firstPlayer->stopCalls, 1); // stopped, not paused
    EXPECT_EQ(firstPlayer->pauseCalls, 0);
    EXPECT_TRUE(player()->playing);
    EXPECT_EQ(engine->currentTrack(), second);
}

TEST_F(AudioEngineTest, ALoadFailureWhileIdleFailsAndWhilePlayingLeavesTheTrackPlaying)
{
    FileAccessPlatform::setShared(std::make_shared<test::PermissiveFileAccess>());
    Track gone = track(u"Gone"_s);
    QFile::remove(gone.fileURL.toLocalFile());

    auto error = thrown<AudioPlaybackError>([&] { engine->play(gone); });
    EXPECT_EQ(error.errorCase(), AudioPlaybackError::Case::missingFile);
    const QString message
        = u"The audio file could not be found at "_s + gone.fileURL.toLocalFile() + u"."_s;
    EXPECT_EQ(error.errorDescription(), message);
    EXPECT_THAT(delegate.take(), ElementsAre(u"state:failed"_s, u"fail:"_s + message));
    EXPECT_EQ(engine->playbackState(), PlaybackState::failed);
    EXPECT_FALSE(engine->currentTrack());

    const Track playing = track(u"A"_s);
    engine->play(playing);
    player()->time = 4.0;
    delegate.take();
    thrown<AudioPlaybackError>([&] { engine->play(gone); });
    EXPECT_THAT(delegate.take(), ElementsAre(u"fail:"_s + message)); // no state change
    EXPECT_EQ(engine->playbackState(), PlaybackState::playing);
    EXPECT_EQ(engine->currentTrack(), playing);
    EXPECT_TRUE(player()->playing);
    EXPECT_EQ(player()->stopCalls, 0);

    // A paused song stays paused: the failure is the other song's, not its.
    engine->pause();
    delegate.take();
    thrown<AudioPlaybackError>([&] { engine->play(gone); });
    EXPECT_THAT(delegate.take(), ElementsAre(u"fail:"_s + message));
    EXPECT_EQ(engine->playbackState(), PlaybackState::paused);
}

TEST_F(AudioEngineTest, APrepareOrPlayRefusalIsAnInvalidFormatOfTheTracksFile)
{
    const Track bad = track(u"Bad"_s);
    factory->scripts[bad.fileURL.toLocalFile()].prepareResult = false;
    const QString message = u"The audio file at "_s + bad.fileURL.toLocalFile()
        + u" has an unsupported playback format."_s;

    auto error = thrown<AudioPlaybackError>([&] { engine->play(bad); });
    EXPECT_EQ(error.errorCase(), AudioPlaybackError::Case::invalidFormat);
    EXPECT_EQ(error.url(), bad.fileURL);
    EXPECT_THAT(delegate.take(),
        ElementsAre(u"state:buffering"_s, u"state:failed"_s, u"fail:"_s + message));

    engine->play(track(u"A"_s));
    delegate.take();
    thrown<AudioPlaybackError>([&] { engine->play(bad); });
    EXPECT_THAT(delegate.take(),
        ElementsAre(u"state:buffering"_s, u"state:playing"_s, u"fail:"_s + message));
    EXPECT_EQ(engine->currentTrack()->title, u"A"_s);

    const Track refused = track(u"Refused"_s);
    factory->scripts[refused.fileURL.toLocalFile()].playResult = false;
    error = thrown<AudioPlaybackError>([&] { engine->play(refused); });
    EXPECT_EQ(error.errorCase(), AudioPlaybackError::Case::invalidFormat);
    // Restoring does not start the player, so a refusal to play does not matter.
    EXPECT_NO_THROW(engine->restore(refused, 0));
}

TEST_F(AudioEngineTest, LoadChecksComeInOrderWithTheirErrors)
{
    // An empty file is refused before any player is made.
    Track empty = track(u"Empty"_s);
    writeFile(u"Empty.mp3"_s, {});
    auto error = thrown<AudioPlaybackError>([&] { engine->play(empty); });
    EXPECT_EQ(error.errorCase(), AudioPlaybackError::Case::emptyFile);
    EXPECT_EQ(error.errorDescription(),
        u"The audio file at "_s + empty.fileURL.toLocalFile()
            + u" does not contain any playable frames."_s);
    EXPECT_EQ(factory->openCalls, 0);

    const Track unreadable = track(u"Unreadable"_s);
    factory->scripts[unreadable.fileURL.toLocalFile()].openError = u"Broken header."_s;
    error = thrown<AudioPlaybackError>([&] { engine->play(unreadable); });
    EXPECT_EQ(error.errorCase(), AudioPlaybackError::Case::unreadableFile);
    EXPECT_EQ(error.errorDescription(),
        u"The audio file at "_s + unreadable.fileURL.toLocalFile()
            + u" could not be opened: Broken header."_s);

    const Track silent = track(u"NoFrames"_s, 0.0);
    error = thrown<AudioPlaybackError>([&] { engine->play(silent); });
    EXPECT_EQ(error.errorCase(), AudioPlaybackError::Case::emptyFile);
    factory->scripts[silent.fileURL.toLocalFile()].duration = qQNaN();
    error = thrown<AudioPlaybackError>([&] { engine->play(silent); });
    EXPECT_EQ(error.errorCase(), AudioPlaybackError::Case::emptyFile);

    // An access error reaches the caller unchanged.
    Track unresolvable = track(u"Bookmarked"_s);
    unresolvable.securityScopedBookmark = QByteArray("not a bookmark");
    const auto accessError = thrown<SecurityScopedAccessError>([&] { engine->play(unresolvable); });
    EXPECT_EQ(accessError.errorCase(), SecurityScopedAccessError::Case::bookmarkResolutionFailed);
    EXPECT_EQ(delegate.errors.size(), 5u);
    EXPECT_EQ(delegate.events.last(), u"fail:"_s + accessError.errorDescription());
}

TEST_F(AudioEngineTest, RestoreClampsThePositionWaitsPausedAndResumeRewindsAtTheEnd)
{
    const Track restored = track(u"R"_s, 10.0);
    for (const double time : { -5.0, qQNaN(), qInf() }) {
        engine->restore(restored, time);
        EXPECT_EQ(player()->timesSet.front(), 0.0);
        EXPECT_EQ(player()->playCalls, 0);
        EXPECT_EQ(engine->playbackState(), PlaybackState::paused);
    }
    engine->stop();
    delegate.take();

    engine->restore(restored, 25.0);
    EXPECT_THAT(delegate.take(),
        ElementsAre(u"state:buffering"_s, u"track:R"_s, u"time:10.00"_s, u"state:paused"_s));
    EXPECT_EQ(engine->currentTime(), 10.0);
    QTest::qWait(200);
    EXPECT_THAT(delegate.take(), IsEmpty()); // no progress timer

    // Resuming at the end rewinds first, telling nobody of the rewind.
    QSignalSpy times(engine.get(), &AudioEngine::currentTimeChanged);
    engine->resume();
    EXPECT_THAT(delegate.take(), ElementsAre(u"state:playing"_s));
    EXPECT_EQ(player()->time, 0.0);
    EXPECT_EQ(engine->currentTime(), 0.0);
    ASSERT_EQ(times.count(), 1);
    EXPECT_EQ(times.first().first().toDouble(), 0.0);

    // Only within the last twentieth of a second.
    engine->restore(track(u"T"_s, 10.03), 10.0);
    engine->resume();
    EXPECT_EQ(player()->time, 0.0);
    engine->pause();
    engine->seek(9.9);
    delegate.take();
    engine->resume();
    EXPECT_EQ(player()->time, 9.9);
    EXPECT_EQ(engine->currentTime(), 9.9);
    EXPECT_THAT(delegate.take(), ElementsAre(u"state:playing"_s));
}

TEST_F(AudioEngineTest, PauseTicksFirstAndOnlyPausesWhatPlays)
{
    engine->pause(); // stopped
    engine->play(track(u"A"_s));
    player()->time = 4.25;
    delegate.take();
    engine->pause();
    EXPECT_THAT(delegate.take(), ElementsAre(u"time:4.25"_s, u"state:paused"_s));
    EXPECT_EQ(player()->pauseCalls, 1);
    engine->pause();
    EXPECT_THAT(delegate.take(), IsEmpty());
    QTest::qWait(150);
    EXPECT_THAT(delegate.take(), IsEmpty()); // the progress timer stopped

    const Track bad = track(u"Bad"_s);
    factory->scripts[bad.fileURL.toLocalFile()].prepareResult = false;
    engine->stop();
    thrown<AudioPlaybackError>([&] { engine->play(bad); });
    delegate.take();
    engine->pause(); // stopped: A is still loaded
    EXPECT_THAT(delegate.take(), IsEmpty());
}

TEST_F(AudioEngineTest, StopRewindsAndAResumePlaysTheSameTrackFromTheStart)
{
    engine->play(track(u"A"_s));
    player()->time = 6;
    delegate.take();
    engine->stop();
    EXPECT_THAT(delegate.take(), ElementsAre(u"time:0.00"_s, u"state:stopped"_s));
    EXPECT_EQ(player()->stopCalls, 1);
    EXPECT_EQ(player()->time, 0.0);
    engine->resume();
    EXPECT_THAT(delegate.take(), ElementsAre(u"state:playing"_s));
    EXPECT_TRUE(player()->playing);
    EXPECT_EQ(engine->currentTrack()->title, u"A"_s);
    EXPECT_EQ(factory->openCalls, 1);
}

TEST_F(AudioEngineTest, TheProgressTimerPublishesTheClampedPlayerTime)
{
    engine->play(track(u"A"_s, 10.0));
    player()->time = 1.5;
    ASSERT_TRUE(QTest::qWaitFor([&] { return delegate.events.contains(u"time:1.50"_s); }, 5000));
    EXPECT_EQ(engine->currentTime(), 1.5);
    EXPECT_DOUBLE_EQ(engine->progress(), 0.15);
    player()->time = -1;
    ASSERT_TRUE(QTest::qWaitFor([&] { return engine->currentTime() == 0.0; }, 5000));
    player()->time = 12;
    ASSERT_TRUE(QTest::qWaitFor([&] { return engine->currentTime() == 10.0; }, 5000));
    EXPECT_EQ(engine->progress(), 1.0);
}

TEST_F(AudioEngineTest, SeekClampsAndLeavesTheStateAlone)
{
    engine->seek(3); // no track
    EXPECT_THAT(delegate.take(), IsEmpty());
    engine->play(track(u"A"_s, 10.0));
    delegate.take();
    engine->seek(qQNaN());
    engine->seek(qInf());
    EXPECT_THAT(delegate.take(), IsEmpty());
    engine->seek(-1);
    engine->seek(42);
    engine->seek(2.5);
    EXPECT_THAT(delegate.take(), ElementsAre(u"time:0.00"_s, u"time:10.00"_s, u"time:2.50"_s));
    EXPECT_EQ(player()->time, 2.5);
    EXPECT_EQ(engine->playbackState(), PlaybackState::playing);

    // With a current track but no player only the published time moves, and
    // the next resume loads the track there.
    engine->clearQueue();
    engine->setQueue({ track(u"Q"_s, 8.0) }, 0);
    const int opened = factory->openCalls;
    engine->seek(5);
    EXPECT_EQ(engine->currentTime(), 5.0);
    EXPECT_EQ(factory->openCalls, opened);
    engine->resume();
    EXPECT_EQ(player()->timesSet.front(), 5.0);
    EXPECT_TRUE(player()->playing);
}

TEST_F(AudioEngineTest, TheNaturalEndStopsAndTellsTheDelegateOnce)
{
    engine->play(track(u"A"_s, 10.0));
    player()->time = 9.97;
    delegate.take();
    player()->finishLater(true);
    ASSERT_TRUE(QTest::qWaitFor([&] { return delegate.events.contains(u"finish"_s); }, 5000));
    EXPECT_THAT(delegate.take(), ElementsAre(u"state:stopped"_s, u"finish"_s));
    EXPECT_EQ(engine->currentTime(), 10.0);
    EXPECT_EQ(engine->currentTrack()->title, u"A"_s);

    // A decoding error at the end is a failure of the current track's file.
    engine->resume();
    delegate.take();
    player()->finishLater(false);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !delegate.errors.empty(); }, 5000));
    const QStringList events = delegate.take();
    ASSERT_EQ(events.size(), 2);
    EXPECT_EQ(events[0], u"state:failed"_s);
    EXPECT_TRUE(events[1].endsWith(u"has an unsupported playback format."_s));
}

TEST_F(AudioEngineTest, AReplacedPlayersEndIsIgnored)
{
    engine->play(track(u"A"_s));
    const QPointer<FakeAudioPlayer> replaced = player();
    engine->play(track(u"B"_s));
    ASSERT_TRUE(replaced); // kept until the event loop runs
    Q_EMIT replaced->finished(replaced.data(), true);
    Q_EMIT replaced->finished(replaced.data(), false);
    delegate.take();
    QTest::qWait(50);
    // The progress timer may tick meanwhile; nothing else may arrive.
    QStringList events = delegate.take();
    events.removeIf([](const QString& event) { return event.startsWith(u"time:"_s); });
    EXPECT_THAT(events, IsEmpty());
    EXPECT_EQ(engine->playbackState(), PlaybackState::playing);
    EXPECT_FALSE(replaced); // deleted by then
}

TEST_F(AudioEngineTest, TheDelegateMayStartTheNextTrackFromTheEndNotice)
{
    // What the queue engine does: play the next track inside the end notice.
    struct Advancing : test::RecordingDelegate {
        void audioEngineDidFinishPlayback(AudioEngine& engine) override
        {
            RecordingDelegate::audioEngineDidFinishPlayback(engine);
            engine.play(next);
        }
        Track next;
    } advancing;
    advancing.next = track(u"B"_s);
    engine->setDelegate(&advancing);
    engine->play(track(u"A"_s));
    player()->finishLater(true);
    ASSERT_TRUE(QTest::qWaitFor([&] { return engine->currentTrack()->title == u"B"_s; }, 5000));
    EXPECT_EQ(engine->playbackState(), PlaybackState::playing);
    engine->setDelegate(nullptr);
}

TEST_F(AudioEngineTest, VolumeIsClampedAndDurationFollowsThePlayerThenTheTrack)
{
    for (const auto& [asked, stored] :
        { std::pair { 1.5f, 1.0f }, { -0.2f, 0.0f }, { float(qQNaN()), 0.0f }, { 0.3f, 0.3f } }) {
        engine->setVolume(asked);
        EXPECT_EQ(engine->volume(), stored);
    }
    EXPECT_EQ(engine->duration(), 0.0);
    EXPECT_EQ(engine->progress(), 0.0);
    engine->setQueue({ track(u"Q"_s, 0.0) }, 0);
    EXPECT_EQ(engine->progress(), 0.0);
    engine->setQueue({ track(u"Q"_s, 8.0) }, 0);
    EXPECT_EQ(engine->duration(), 8.0);
    const Track a = track(u"A"_s, 4.0);
    factory->scripts[a.fileURL.toLocalFile()].duration = 5.0; // the file knows better
    engine->play(a);
    EXPECT_EQ(player()->volume(), 0.3f);
    EXPECT_EQ(engine->duration(), 5.0);
    engine->seek(2.5);
    EXPECT_EQ(engine->progress(), 0.5);
    engine->setVolume(0.7f);
    EXPECT_EQ(player()->volume(), 0.7f);
    EXPECT_EQ(engine->outputVolume(), 0.7f);
}

TEST_F(AudioEngineTest, WithoutADelegateEverythingWorksAndNobodyIsTold)
{
    {
        struct ObjectDelegate : QObject, test::RecordingDelegate { };
        auto gone = std::make_unique<ObjectDelegate>();
        engine->setDelegate(gone.get());
        EXPECT_EQ(engine->delegate(), gone.get());
    } // destroyed: the engine forgets it
    EXPECT_EQ(engine->delegate(), nullptr);
    engine->play(track(u"A"_s));
    engine->seek(1);
    engine->pause();
    engine->resume();
    engine->stop();
    player()->finishLater(true);
    QTest::qWait(20);
    EXPECT_EQ(engine->playbackState(), PlaybackState::stopped);
    EXPECT_THAT(delegate.events, IsEmpty());
}

TEST_F(AudioEngineTest, TheErrorsNoOperationHereRaisesHaveTheirMessages)
{
    EXPECT_EQ(AudioPlaybackError::engineStartFailed(u"No device."_s).errorDescription(),
        u"The audio engine could not start: No device."_s);
    EXPECT_EQ(AudioPlaybackError::audioEngineUnavailable().errorDescription(),
        u"Playback is unavailable because the audio engine has not been connected."_s);
    const auto routing = AudioPlaybackError::outputDeviceRoutingUnavailable();
    EXPECT_EQ(routing.errorDescription(),
        u"Output device switching is not available in this version. Use the system's sound "
        u"settings instead."_s);
    EXPECT_EQ(describeError(std::make_exception_ptr(routing)), routing.errorDescription());
}

} // namespace
} // namespace kivo
