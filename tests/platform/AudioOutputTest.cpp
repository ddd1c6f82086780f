#include "platform/AudioOutput.h"
#include "platform/AudioPipeline.h"
#include "platform/FfmpegDecoder.h"

#include "AudioPlayerFixtures.h"

#include <QMediaDevices>
#include <QTest>
#include <atomic>
#include <chrono>
#include <gtest/gtest.h>
#include <thread>

using namespace Qt::Literals::StringLiterals;
using namespace std::chrono_literals;

namespace kivo {
namespace {

// The output on the machine's sound device. Its end handler runs on the output
// thread, so a test can keep that thread from feeding the sink, as a busy
// machine does, until the sink runs dry and goes idle.
class AudioPlayerOutputTest : public test::AudioFileTest {
protected:
    void SetUp() override
    {
        test::AudioFileTest::SetUp();
        device = QMediaDevices::defaultAudioOutput();
        if (device.isNull()) {
            GTEST_SKIP() << "no audio output device";
        }
    }

    QAudioDevice device;
};

TEST_F(AudioPlayerOutputTest, PlaysOnAfterTheSinkRanDryAtTheEndOfASong)
{
    const QString file = makeAudioFile(u"tone.wav"_s,
        test::WavSpec { .sampleRate = 44100, .channels = 2, .seconds = 0.3, .amplitude = 0.05 });
    auto decoder = FfmpegDecoder::open(file);
    const QAudioFormat format = AudioOutput::formatFor(device);
    decoder->setOutputFormat(format.sampleRate(), format.channelCount());
    AudioPipeline pipeline(std::move(decoder), 0, false, 1);
    std::atomic<int> ends = 0;
    std::atomic<int> stallMs = 0;
    AudioOutput output(pipeline, device, format, 0.5f, [&](AudioPipeline::End end) {
        EXPECT_TRUE(end.successfully);
        ++ends;
        // The pause, seek and play below queue up behind this stall; stalls
        // around the sink's buffer length end at every stage of its underrun.
        std::this_thread::sleep_for(std::chrono::milliseconds(stallMs.load()));
    });
    output.start();
    for (int round = 1; round <= 10; ++round) {
        stallMs = 40 + 20 * round;
        ASSERT_TRUE(QTest::qWaitFor([&] { return ends.load() == round; }, 10000))
            << "stuck after a stall of " << 20 + 20 * round << " ms";
        output.pause();
        pipeline.seek(0.1);
        output.start();
    }
}

} // namespace
} // namespace kivo
