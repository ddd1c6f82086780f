#include "platform/AudioPlayer.h"
#include "platform/FfmpegAudioPlayer.h"

#include "AudioPlayerFixtures.h"

#include <QMediaDevices>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>
#include <QtEndian>
#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <numbers>

using namespace Qt::Literals::StringLiterals;

namespace kivo {
namespace {

constexpr int rate = 44100;
constexpr double probeFrequency = 1000; // other tests play quiet 440 Hz tones
constexpr int window = rate / 10; // 100 whole cycles of the probe

// Plays through the real QAudioSink into the sound server and records what
// came out of the default sink's monitor. Tests running at the same time may
// play into the same sink, so only the probe's own frequency is measured.
// Needs a PulseAudio server (the test script starts one); skipped without one.
// (Loading a sink of its own would announce sink changes to every test process
// at once, and Qt's sound server connection can abort when one arrives while
// the process exits.)
class AudioPlayerSinkTest : public test::AudioFileTest {
protected:
    void SetUp() override
    {
        test::AudioFileTest::SetUp();
        if (QMediaDevices::audioOutputs().isEmpty()) {
            GTEST_SKIP() << "no audio output device";
        }
        if (QStandardPaths::findExecutable(u"parec"_s).isEmpty()) {
            GTEST_SKIP() << "parec is not installed";
        }
    }

    void TearDown() override
    {
        recorder.kill();
        recorder.waitForFinished(5000);
    }

    // Starts recording; false when the server does not answer.
    bool startRecording()
    {
        recorder.start(u"parec"_s,
            { u"--device=@DEFAULT_MONITOR@"_s, u"--raw"_s, u"--format=s16le"_s, u"--rate=44100"_s,
                u"--channels=2"_s, u"--latency-msec=20"_s });
        return recorder.waitForStarted(5000)
            && QTest::qWaitFor([&] { return recorder.bytesAvailable() > 0; }, 5000);
    }

    // The left channel of what was recorded.
    std::vector<float> stopRecording()
    {
        recorder.terminate();
        recorder.waitForFinished(5000);
        const QByteArray bytes = recorder.readAllStandardOutput();
        std::vector<float> left(size_t(bytes.size() / 4));
        for (size_t i = 0; i < left.size(); ++i) {
            left[i] = float(qFromLittleEndian<qint16>(bytes.constData() + 4 * i)) / 32768.0f;
        }
        return left;
    }

    // The amplitude of the probe frequency in `count` samples from `start`.
    static double probeAmplitude(const std::vector<float>& samples, size_t start, size_t count)
    {
        double re = 0;
        double im = 0;
        for (size_t n = 0; n < count; ++n) {
            const double phase = 2 * std::numbers::pi * probeFrequency * double(n) / rate;
            re += samples[start + n] * std::cos(phase);
            im -= samples[start + n] * std::sin(phase);
        }
        return 2 * std::hypot(re, im) / double(count);
    }

    QProcess recorder;
};

TEST_F(AudioPlayerSinkTest, SoundComesOutOfTheDeviceAtTheSetVolume)
{
    const QString file = makeAudioFile(u"probe.wav"_s,
        test::WavSpec { .sampleRate = rate,
            .channels = 2,
            .seconds = 1.0,
            .frequency = probeFrequency,
            .amplitude = 0.8 });
    const auto player
        = FfmpegAudioPlayer::open(QUrl::fromLocalFile(file), QMediaDevices::defaultAudioOutput());
    ASSERT_FALSE(player->isSilent());
    if (!startRecording()) {
        GTEST_SKIP() << "the sound server's monitor cannot be recorded";
    }
    int ends = 0;
    QObject::connect(player.get(), &AudioPlayer::finished, player.get(), [&] { ++ends; });
    player->setVolume(0.5f);
    ASSERT_TRUE(player->play());
    ASSERT_TRUE(QTest::qWaitFor([&] { return ends == 1; }, 15000));
    QTest::qWait(300);
    const auto samples = stopRecording();

    double loudest = 0;
    int loudWindows = 0;
    for (size_t start = 0; start + window <= samples.size(); start += window) {
        const double amplitude = probeAmplitude(samples, start, window);
        loudest = std::max(loudest, amplitude);
        loudWindows += amplitude > 0.2 ? 1 : 0;
    }
    EXPECT_NEAR(loudest, 0.4, 0.02); // 0.8 of full scale at half volume
    EXPECT_NEAR(loudWindows, 9.5, 1.5); // about a second of it, windows cut at its ends
}

} // namespace
} // namespace kivo
