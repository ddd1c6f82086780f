#include "platform/AudioPlayer.h"
#include "platform/FfmpegAudioPlayer.h"

#include "AudioPlayerFixtures.h"

#include <QCoreApplication>
#include <QMediaDevices>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>
#include <QtEndian>
#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace kivo {
namespace {

// Plays through the real QAudioSink into the sound server and records what
// came out from the monitor of a null sink of its own (tests running at the
// same time play into the default one). Needs a PulseAudio server (the test
// script starts one); skipped without one.
class AudioPlayerSinkTest : public test::AudioFileTest {
protected:
    void SetUp() override
    {
        test::AudioFileTest::SetUp();
        if (QMediaDevices::audioOutputs().isEmpty()) {
            GTEST_SKIP() << "no audio output device";
        }
        if (QStandardPaths::findExecutable(u"parec"_s).isEmpty()
            || QStandardPaths::findExecutable(u"pactl"_s).isEmpty()) {
            GTEST_SKIP() << "the PulseAudio tools are not installed";
        }
        sinkName = u"kivo_probe_%1"_s.arg(QCoreApplication::applicationPid());
        QProcess load;
        load.start(
            u"pactl"_s, { u"load-module"_s, u"module-null-sink"_s, u"sink_name="_s + sinkName });
        if (!load.waitForFinished(5000) || load.exitCode() != 0) {
            GTEST_SKIP() << "the sound server does not accept a probe sink";
        }
        module = QString::fromUtf8(load.readAllStandardOutput()).trimmed();
        if (!QTest::qWaitFor([&] { return !probeDevice().isNull(); }, 5000)) {
            GTEST_SKIP() << "the probe sink did not appear among the devices";
        }
    }

    void TearDown() override
    {
        recorder.kill();
        recorder.waitForFinished(5000);
        if (!module.isEmpty()) {
            QProcess::execute(u"pactl"_s, { u"unload-module"_s, module });
        }
    }

    QAudioDevice probeDevice() const
    {
        for (const QAudioDevice& device : QMediaDevices::audioOutputs()) {
            if (device.id() == sinkName.toUtf8()) {
                return device;
            }
        }
        return {};
    }

    // Starts recording the probe sink; false when the server does not answer.
    bool startRecording()
    {
        recorder.start(u"parec"_s,
            { u"--device="_s + sinkName + u".monitor"_s, u"--raw"_s, u"--format=s16le"_s,
                u"--rate=44100"_s, u"--channels=2"_s, u"--latency-msec=20"_s });
        return recorder.waitForStarted(5000)
            && QTest::qWaitFor([&] { return recorder.bytesAvailable() > 0; }, 5000);
    }

    std::vector<float> stopRecording()
    {
        recorder.terminate();
        recorder.waitForFinished(5000);
        const QByteArray bytes = recorder.readAllStandardOutput();
        std::vector<float> samples(size_t(bytes.size() / 2));
        for (size_t i = 0; i < samples.size(); ++i) {
            samples[i] = float(qFromLittleEndian<qint16>(bytes.constData() + 2 * i)) / 32768.0f;
        }
        return samples;
    }

    QString sinkName;
    QString module;
    QProcess recorder;
};

TEST_F(AudioPlayerSinkTest, SoundComesOutOfTheDeviceAtTheSetVolume)
{
    const QString file = makeAudioFile(u"tone.wav"_s,
        test::WavSpec { .sampleRate = 44100, .channels = 2, .seconds = 1.0, .amplitude = 0.8 });
    const QAudioDevice device = probeDevice();
    ASSERT_FALSE(device.isNull());
    const auto player = FfmpegAudioPlayer::open(QUrl::fromLocalFile(file), device);
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

    float peak = 0;
    size_t loud = 0;
    for (const float sample : samples) {
        peak = std::max(peak, std::abs(sample));
        loud += std::abs(sample) > 0.05f ? 1 : 0;
    }
    EXPECT_NEAR(peak, 0.4f, 0.02f); // 0.8 of full scale at half volume
    // About one second of tone on two channels (a sine spends 92% of its time
    // above an eighth of its peak).
    EXPECT_NEAR(double(loud) / 2 / 44100, 0.92, 0.12);
}

TEST_F(AudioPlayerSinkTest, PlaybackGoesOnWhenTheDeviceDisappears)
{
    const auto player = FfmpegAudioPlayer::open(
        QUrl::fromLocalFile(makeAudioFile(u"tone.wav"_s, test::WavSpec { .seconds = 1.0 })),
        probeDevice());
    int ends = 0;
    QObject::connect(player.get(), &AudioPlayer::finished, player.get(), [&] { ++ends; });
    ASSERT_TRUE(player->play());
    ASSERT_TRUE(QTest::qWaitFor([&] { return player->currentTime() > 0.2; }, 10000));
    QProcess::execute(u"pactl"_s, { u"unload-module"_s, module });
    module.clear();
    ASSERT_TRUE(QTest::qWaitFor([&] { return ends == 1; }, 15000));
    EXPECT_NEAR(player->currentTime(), 1.0, 0.05);
}

} // namespace
} // namespace kivo
