#include "platform/AudioPlayer.h"
#include "platform/FfmpegAudioPlayer.h"

#include "AudioPlayerFixtures.h"

#include <QElapsedTimer>
#include <QFile>
#include <QMediaDevices>
#include <QPointer>
#include <QTest>
#include <chrono>
#include <gtest/gtest.h>
#include <thread>
#include <vector>

using namespace Qt::Literals::StringLiterals;

namespace kivo {
namespace {

using test::WavSpec;

enum class Output { silent, systemDefault };

struct End {
    AudioPlayer* player;
    bool successfully;
};

// Every test runs once with the silent output and once with whatever the
// machine offers (the sound server's null sink under the test script, the
// silent output again where there is no server).
class AudioPlayerTest : public test::AudioFileTest, public ::testing::WithParamInterface<Output> {
protected:
    std::unique_ptr<AudioPlayer> open(const QString& file)
    {
        const QUrl url = QUrl::fromLocalFile(file);
        std::unique_ptr<AudioPlayer> player = GetParam() == Output::silent
            ? FfmpegAudioPlayer::open(url, QAudioDevice())
            : AudioPlayerFactory::createDefault()->open(url);
        QObject::connect(
            player.get(), &AudioPlayer::finished, &context, [this](AudioPlayer* from, bool ok) {
                ends.push_back({ from, ok });
            });
        return player;
    }

    QString tone(double seconds, const QString& name = u"tone.wav"_s)
    {
        return makeAudioFile(name,
            WavSpec { .sampleRate = 44100, .channels = 2, .seconds = seconds, .amplitude = 0.05 });
    }

    bool waitForEnds(size_t count, int timeoutMs = 15000)
    {
        return QTest::qWaitFor([&] { return ends.size() >= count; }, timeoutMs);
    }

    QObject context; // receives the end notices; outlives every player of a test
    std::vector<End> ends;
};

INSTANTIATE_TEST_SUITE_P(Outputs, AudioPlayerTest,
    ::testing::Values(Output::silent, Output::systemDefault), [](const auto& instance) {
        return instance.param == Output::silent ? "Silent" : "SystemDefault";
    });

TEST_P(AudioPlayerTest, PlaysToTheEndInRealTimeAndReportsItOnce)
{
    const auto player = open(tone(1.0));
    EXPECT_DOUBLE_EQ(player->duration(), 1.0);
    EXPECT_EQ(player->currentTime(), 0.0);
    ASSERT_TRUE(player->prepareToPlay());
    QElapsedTimer clock;
    clock.start();
    ASSERT_TRUE(player->play());
    EXPECT_TRUE(player->isPlaying());

    double last = 0;
    bool sawMiddle = false;
    while (ends.empty() && clock.elapsed() < 15000) {
        QTest::qWait(20);
        const double now = player->currentTime();
        EXPECT_GE(now, last); // never steps back
        EXPECT_LE(now, double(clock.elapsed()) / 1000 + 0.05); // never runs ahead of real time
        sawMiddle = sawMiddle || (now > 0.2 && now < 0.8);
        last = now;
    }
    ASSERT_EQ(ends.size(), 1u);
    EXPECT_GE(clock.elapsed(), 900);
    EXPECT_TRUE(sawMiddle);
    EXPECT_EQ(ends[0].player, player.get());
    EXPECT_TRUE(ends[0].successfully);
    EXPECT_FALSE(player->isPlaying());
    EXPECT_NEAR(player->currentTime(), 1.0, 0.05);

    QTest::qWait(300);
    EXPECT_EQ(ends.size(), 1u);
}

TEST_P(AudioPlayerTest, TimeAdvancesOnlyWhilePlayingAndPauseKeepsThePosition)
{
    const auto player = open(tone(3.0));
    ASSERT_TRUE(player->prepareToPlay());
    QTest::qWait(150);
    EXPECT_EQ(player->currentTime(), 0.0);

    ASSERT_TRUE(player->play());
    ASSERT_TRUE(QTest::qWaitFor([&] { return player->currentTime() > 0.3; }, 10000));
    player->pause();
    EXPECT_FALSE(player->isPlaying());
    const double paused = player->currentTime();
    QTest::qWait(250);
    EXPECT_EQ(player->currentTime(), paused);

    ASSERT_TRUE(player->play());
    EXPECT_GE(player->currentTime(), paused);
    ASSERT_TRUE(QTest::qWaitFor([&] { return player->currentTime() > paused + 0.1; }, 10000));
    player->stop();
    const double stopped = player->currentTime();
    EXPECT_GT(stopped, paused);
    QTest::qWait(100);
    EXPECT_EQ(player->currentTime(), stopped);
    EXPECT_TRUE(ends.empty());
}

TEST_P(AudioPlayerTest, SettingTheTimeReadsBackAtOnceInEveryState)
{
    const auto player = open(tone(3.0));
    player->setCurrentTime(1.5); // before preparing
    EXPECT_EQ(player->currentTime(), 1.5);
    ASSERT_TRUE(player->prepareToPlay());
    EXPECT_EQ(player->currentTime(), 1.5);
    ASSERT_TRUE(player->play());
    ASSERT_TRUE(QTest::qWaitFor([&] { return player->currentTime() > 1.6; }, 10000));

    player->setCurrentTime(0.25); // while playing, backwards
    // It plays on from there: what a busy machine lets be heard in between
    // counts, but it is far from the old position.
    EXPECT_NEAR(player->currentTime(), 0.25, 0.05);
    ASSERT_TRUE(QTest::qWaitFor([&] { return player->currentTime() > 0.35; }, 10000));
    EXPECT_LT(player->currentTime(), 1.5);

    player->pause();
    player->setCurrentTime(2.5);
    EXPECT_EQ(player->currentTime(), 2.5);
    player->setCurrentTime(qQNaN());
    EXPECT_EQ(player->currentTime(), 0.0);
    player->setCurrentTime(-1);
    EXPECT_EQ(player->currentTime(), 0.0);
    player->setCurrentTime(99);
    EXPECT_EQ(player->currentTime(), 3.0);

    player->setCurrentTime(2.6);
    ASSERT_TRUE(player->play());
    ASSERT_TRUE(waitForEnds(1));
    EXPECT_TRUE(ends[0].successfully);
    EXPECT_NEAR(player->currentTime(), 3.0, 0.05);
}

TEST_P(AudioPlayerTest, PlayingAgainAfterTheEndEndsAgain)
{
    const auto player = open(tone(0.2));
    ASSERT_TRUE(player->play());
    ASSERT_TRUE(waitForEnds(1));
    ASSERT_TRUE(player->play()); // at the end: ends at once, and says so again
    ASSERT_TRUE(waitForEnds(2));
    player->setCurrentTime(0);
    ASSERT_TRUE(player->play());
    ASSERT_TRUE(waitForEnds(3));
    QTest::qWait(200);
    EXPECT_EQ(ends.size(), 3u);
}

TEST_P(AudioPlayerTest, StopNeverReportsAnEndAndPlayResumesFromThePosition)
{
    const auto player = open(tone(1.0));
    ASSERT_TRUE(player->play());
    ASSERT_TRUE(QTest::qWaitFor([&] { return player->currentTime() > 0.05; }, 10000));
    player->stop();
    EXPECT_FALSE(player->isPlaying());
    const double stopped = player->currentTime();
    QTest::qWait(700);
    EXPECT_TRUE(ends.empty());

    ASSERT_TRUE(player->play());
    EXPECT_GE(player->currentTime(), stopped);
    ASSERT_TRUE(waitForEnds(1));
    QTest::qWait(200);
    EXPECT_EQ(ends.size(), 1u);
}

TEST_P(AudioPlayerTest, VolumeIsClampedAndKeptInEveryState)
{
    const auto player = open(tone(0.5));
    EXPECT_EQ(player->volume(), 1.0f);
    player->setVolume(0.25f);
    EXPECT_EQ(player->volume(), 0.25f);
    player->setVolume(1.5f);
    EXPECT_EQ(player->volume(), 1.0f);
    player->setVolume(-0.2f);
    EXPECT_EQ(player->volume(), 0.0f);
    player->setVolume(qQNaN());
    EXPECT_EQ(player->volume(), 0.0f);
    ASSERT_TRUE(player->play());
    for (int step = 0; step <= 10; ++step) { // as a fade writes it
        player->setVolume(float(step) / 10);
        QTest::qWait(20);
    }
    EXPECT_EQ(player->volume(), 1.0f);
    ASSERT_TRUE(waitForEnds(1));
}

TEST_P(AudioPlayerTest, TwoPlayersLiveAtOnceDuringASwitch)
{
    auto first = open(tone(0.6, u"first.wav"_s));
    const auto second = open(tone(0.3, u"second.wav"_s));
    ASSERT_TRUE(first->play());
    ASSERT_TRUE(QTest::qWaitFor([&] { return first->currentTime() > 0.05; }, 10000));
    ASSERT_TRUE(second->prepareToPlay());
    ASSERT_TRUE(second->play());
    first->stop();
    first.reset();
    ASSERT_TRUE(waitForEnds(1));
    EXPECT_EQ(ends[0].player, second.get());

    // Both playing to their ends: each reports once, as itself.
    const auto third = open(tone(0.3, u"third.wav"_s));
    ASSERT_TRUE(second->play() && third->play());
    ASSERT_TRUE(waitForEnds(3));
    QTest::qWait(200);
    ASSERT_EQ(ends.size(), 3u);
    EXPECT_NE(ends[1].player, ends[2].player);
    for (const End& end : ends) {
        EXPECT_TRUE(end.player == second.get() || end.player == third.get());
    }
}

TEST_P(AudioPlayerTest, ADestroyedPlayerReportsNothingEvenWhenItsEndWasUnderWay)
{
    const QString file = tone(0.05);
    for (int round = 0; round < 10; ++round) {
        auto player = open(file);
        ASSERT_TRUE(player->play());
        // Let the end be detected and queued without delivering it.
        std::this_thread::sleep_for(std::chrono::milliseconds(60 + 10 * round));
        player.reset();
        QTest::qWait(20);
    }
    QTest::qWait(200);
    EXPECT_TRUE(ends.empty());
}

// Starts and pauses still queued for the output thread when the player goes:
// the sink's teardown runs them, and they must not bring a new sink to life
// inside a dying output.
TEST_P(AudioPlayerTest, ControlsStillQueuedAtDestructionAreDropped)
{
    const QString file = tone(0.5);
    for (int round = 0; round < 10; ++round) {
        auto player = open(file);
        ASSERT_TRUE(player->play());
        QTest::qWait(30); // the sink is up
        for (int toggle = 0; toggle < 5; ++toggle) {
            player->pause();
            ASSERT_TRUE(player->play());
        }
        player.reset();
    }
    QTest::qWait(100);
    EXPECT_TRUE(ends.empty());
}

TEST_P(AudioPlayerTest, RenamingOrDeletingThePlayingFileDoesNoHarm)
{
    const QString file = tone(0.8);
    const auto player = open(file);
    ASSERT_TRUE(player->play());
    QTest::qWait(100);
    ASSERT_TRUE(QFile::rename(file, path(u"renamed.wav"_s)));
    QTest::qWait(100);
    ASSERT_TRUE(QFile::remove(path(u"renamed.wav"_s)));
    ASSERT_TRUE(waitForEnds(1));
    EXPECT_TRUE(ends[0].successfully);
    // The open stream still seeks and plays.
    player->setCurrentTime(0.5);
    ASSERT_TRUE(player->play());
    ASSERT_TRUE(waitForEnds(2));
}

TEST_P(AudioPlayerTest, ADecodeErrorEndsPlaybackUnsuccessfully)
{
    const auto player = open(writeFile(u"broken.wav"_s, test::makeUndecodableWav(400000)));
    EXPECT_GT(player->duration(), 0.0);
    ASSERT_TRUE(player->play());
    ASSERT_TRUE(waitForEnds(1));
    EXPECT_EQ(ends[0].player, player.get());
    EXPECT_FALSE(ends[0].successfully);
    EXPECT_FALSE(player->isPlaying());
}

TEST_P(AudioPlayerTest, FilesThatCannotBePlayedAreRefusedWithAReason)
{
    const auto refusal = [&](const QUrl& url) {
        try {
            GetParam() == Output::silent ? FfmpegAudioPlayer::open(url, QAudioDevice())
                                         : AudioPlayerFactory::createDefault()->open(url);
        } catch (const AudioPlayerError& error) {
            return error.description();
        }
        return u"opened"_s;
    };
    EXPECT_EQ(
        refusal(QUrl::fromLocalFile(path(u"missing.mp3"_s))), u"The file could not be found."_s);
    EXPECT_EQ(refusal(QUrl::fromLocalFile(writeFile(u"text.mp3"_s, "not audio\n"))),
        u"The file is not in a recognized audio format."_s);
    EXPECT_NE(refusal(QUrl::fromLocalFile(writeFile(u"zero.mp3"_s, {}))), u"opened"_s);
    EXPECT_NE(refusal(QUrl(u"https://example.com/a.mp3"_s)), u"opened"_s);
}

} // namespace
} // namespace kivo
