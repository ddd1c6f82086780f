#include "engines/playback/AudioDecoderImpl.h"

#include "support/Await.h"
#include "support/TempDir.h"
#include "support/WavWriter.h"

#include <QCoroTask>
#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace kivo {
namespace {

class AudioDecoderTest : public test::TempDirTest {
protected:
    // A stereo 8 kHz WAV whose left sample i is i / 32768 and right is its negation.
    QUrl ramp(int frames)
    {
        std::vector<qint16> samples;
        for (int i = 0; i < frames; ++i) {
            samples.push_back(qint16(i));
            samples.push_back(qint16(-i));
        }
        return QUrl::fromLocalFile(
            writeFile(u"ramp.wav"_s, test::makeWavFromSamples(samples, 8000, 2)));
    }

    static float sample(const AudioBuffer& buffer, int channel, qint64 frame)
    {
        const auto* floats = reinterpret_cast<const float*>(buffer.pcmData.constData());
        return floats[channel * buffer.frameCount + frame];
    }

    template <typename T> static AudioDecoderError failureOf(QCoro::Task<T> task)
    {
        try {
            test::await(std::move(task));
        } catch (const AudioDecoderError& error) {
            return error;
        }
        ADD_FAILURE() << "no decoder error";
        throw std::logic_error("no error");
    }

    TavrenAudioDecoder decoder;
};

TEST_F(AudioDecoderTest, DecodesAndSeeksRealSamplesInTheReportedFormat)
{
    EXPECT_FALSE(decoder.decodeNextBuffer(100)); // nothing open yet
    QCoro::waitFor(decoder.seek(1.0)); // nothing to seek in
    const AudioFormat format = QCoro::waitFor(decoder.openStream(ramp(5000)));
    EXPECT_EQ(format, (AudioFormat { 8000, 2, 32, false }));

    auto buffer = decoder.decodeNextBuffer(3000);
    ASSERT_TRUE(buffer);
    EXPECT_EQ(buffer->format, format);
    EXPECT_EQ(buffer->frameCount, 3000);
    EXPECT_EQ(buffer->pcmData.size(), 3000 * 2 * 4);
    EXPECT_FLOAT_EQ(sample(*buffer, 0, 1234), 1234.0f / 32768);
    EXPECT_FLOAT_EQ(sample(*buffer, 1, 1234), -1234.0f / 32768);

    buffer = decoder.decodeNextBuffer(3000); // only 2000 are left
    ASSERT_TRUE(buffer);
    EXPECT_EQ(buffer->frameCount, 2000);
    EXPECT_FLOAT_EQ(sample(*buffer, 0, 0), 3000.0f / 32768);
    EXPECT_FALSE(decoder.decodeNextBuffer(3000));
    EXPECT_FALSE(decoder.decodeNextBuffer(3000)); // and on every further call

    // Asking for no frames gives a chunk of the default size.
    QCoro::waitFor(decoder.seek(0));
    buffer = decoder.decodeNextBuffer(0);
    ASSERT_TRUE(buffer);
    EXPECT_EQ(buffer->frameCount, TavrenAudioDecoder::defaultChunkFrames);

    QCoro::waitFor(decoder.seek(0.5));
    buffer = decoder.decodeNextBuffer(10);
    ASSERT_TRUE(buffer);
    EXPECT_FLOAT_EQ(sample(*buffer, 0, 0), 4000.0f / 32768);
    QCoro::waitFor(decoder.seek(qQNaN())); // counts as the start
    buffer = decoder.decodeNextBuffer(10);
    EXPECT_FLOAT_EQ(sample(*buffer, 0, 1), 1.0f / 32768);

    decoder.closeStream();
    EXPECT_FALSE(decoder.decodeNextBuffer(10));
    QCoro::waitFor(decoder.seek(0.5)); // closed: nothing
}

TEST_F(AudioDecoderTest, UnreadableFilesAndBrokenStreamsFail)
{
    const QUrl text = QUrl::fromLocalFile(writeFile(u"text.mp3"_s, "words, not audio"));
    auto error = failureOf(decoder.openStream(text));
    EXPECT_EQ(error.errorCase(), AudioDecoderError::Case::fileUnreadable);
    EXPECT_EQ(error.url(), text);
    EXPECT_FALSE(decoder.decodeNextBuffer(10));
    // The failed file stays the stream's until closed: seeking tries it again.
    EXPECT_EQ(failureOf(decoder.seek(0)).errorCase(), AudioDecoderError::Case::fileUnreadable);
    error = failureOf(decoder.openStream(QUrl::fromLocalFile(path(u"missing.flac"_s))));
    EXPECT_EQ(error.errorCase(), AudioDecoderError::Case::fileUnreadable);
    error = failureOf(decoder.preDecode(text, 1.0));
    EXPECT_EQ(error.errorCase(), AudioDecoderError::Case::fileUnreadable);
}

TEST_F(AudioDecoderTest, ADecodingErrorSticksUntilTheStreamIsReopened)
{
    // A WAV that claims MPEG audio but carries noise: no packet decodes.
    std::vector<qint16> noise(400000);
    quint32 seed = 7;
    for (qint16& value : noise) {
        seed = seed * 1664525u + 1013904223u;
        value = qint16(seed >> 16);
    }
    QByteArray bytes = test::makeWavFromSamples(noise, 44100, 2);
    bytes[20] = 0x55; // format tag: MPEG layer 3
    bytes[21] = 0;
    const QUrl url = QUrl::fromLocalFile(writeFile(u"broken.wav"_s, bytes));
    QCoro::waitFor(decoder.openStream(url));
    const auto decodeAll = [&] {
        try {
            while (decoder.decodeNextBuffer(4096)) { }
        } catch (const AudioDecoderError& error) {
            return error.errorCase();
        }
        return AudioDecoderError::Case::corruptedStream;
    };
    EXPECT_EQ(decodeAll(), AudioDecoderError::Case::decodingFailed);
    EXPECT_EQ(decodeAll(), AudioDecoderError::Case::decodingFailed);
    QCoro::waitFor(decoder.openStream(ramp(100)));
    EXPECT_EQ(decoder.decodeNextBuffer(1000)->frameCount, 100);
}

TEST_F(AudioDecoderTest, PreDecodeReturnsTheFirstSecondsOfTheFile)
{
    const QUrl url = QUrl::fromLocalFile(writeFile(u"tone.wav"_s,
        test::makeWav(test::WavSpec { .sampleRate = 44100, .channels = 2, .seconds = 3.0 })));
    AudioBuffer buffer = QCoro::waitFor(decoder.preDecode(url, 2.5));
    EXPECT_EQ(buffer.frameCount, 110250);
    EXPECT_EQ(buffer.format, (AudioFormat { 44100, 2, 32, false }));
    EXPECT_EQ(buffer.pcmData.size(), 110250 * 2 * 4);
    float peak = 0;
    for (qint64 i = 0; i < buffer.frameCount; ++i) {
        peak = std::max(peak, std::abs(sample(buffer, 1, i)));
    }
    EXPECT_NEAR(peak, 0.5f, 0.01f); // the tone, not silence

    EXPECT_EQ(QCoro::waitFor(decoder.preDecode(url, 60.0)).frameCount, 3 * 44100); // the whole file
    EXPECT_EQ(QCoro::waitFor(decoder.preDecode(url, qQNaN())).frameCount, 0);
    EXPECT_EQ(QCoro::waitFor(decoder.preDecode(url, -1)).frameCount, 0);
}

} // namespace
} // namespace kivo
