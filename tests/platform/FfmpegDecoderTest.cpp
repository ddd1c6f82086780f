#include "platform/FfmpegDecoder.h"

#include "AudioPlayerFixtures.h"

#include <QDir>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <vector>

using namespace Qt::Literals::StringLiterals;

namespace kivo {
namespace {

using test::WavSpec;

class FfmpegDecoderTest : public test::AudioFileTest {
protected:
    // Reads everything left, in chunks of `chunk` frames.
    static std::vector<float> readAll(FfmpegDecoder& decoder, qint64 chunk = 1000)
    {
        std::vector<float> all;
        std::vector<float> buffer(size_t(chunk * decoder.outputChannelCount()));
        while (const qint64 frames = decoder.read(buffer.data(), chunk)) {
            all.insert(
                all.end(), buffer.begin(), buffer.begin() + frames * decoder.outputChannelCount());
        }
        return all;
    }

    // A stereo WAV whose left sample i is i / 32768 and right is its negation.
    QString writeRamp(const QString& name, int frames)
    {
        std::vector<qint16> samples;
        for (int i = 0; i < frames; ++i) {
            samples.push_back(qint16(i % 32768));
            samples.push_back(qint16(-(i % 32768)));
        }
        return writeFile(name, test::makeWavFromSamples(samples, 8000, 2));
    }
};

TEST_F(FfmpegDecoderTest, OpensEverySupportedFormatWithItsStreamInfo)
{
    for (const QString& extension :
        { u"wav"_s, u"mp3"_s, u"m4a"_s, u"flac"_s, u"aac"_s, u"ogg"_s, u"wma"_s, u"aiff"_s }) {
        SCOPED_TRACE(extension.toStdString());
        const QString file = makeAudioFile(
            u"tone."_s + extension, WavSpec { .sampleRate = 44100, .channels = 2, .seconds = 1.0 });
        ASSERT_FALSE(file.isEmpty()) << "ffmpeg could not make the fixture";
        const auto decoder = FfmpegDecoder::open(file);
        EXPECT_EQ(decoder->info().sampleRate, 44100);
        EXPECT_EQ(decoder->info().channelCount, 2);
        EXPECT_NEAR(decoder->info().duration, 1.0, 0.1);
        const auto samples = readAll(*decoder);
        EXPECT_NEAR(double(samples.size()) / 2 / 44100, 1.0, 0.1);
    }
}

TEST_F(FfmpegDecoderTest, LosslessFormatsHaveExactLengthsAndSamples)
{
    const QString wav = writeRamp(u"ramp.wav"_s, 8000);
    const QString flac = path(u"ramp.flac"_s);
    ASSERT_TRUE(test::transcode(wav, flac));
    for (const QString& file : { wav, flac }) {
        SCOPED_TRACE(file.toStdString());
        const auto decoder = FfmpegDecoder::open(file);
        EXPECT_EQ(decoder->info().frameCount, 8000);
        EXPECT_DOUBLE_EQ(decoder->info().duration, 1.0);
        const auto samples = readAll(*decoder, 333);
        ASSERT_EQ(samples.size(), 16000u);
        for (int i = 0; i < 8000; i += 997) {
            EXPECT_FLOAT_EQ(samples[size_t(2 * i)], float(i) / 32768.0f);
            EXPECT_FLOAT_EQ(samples[size_t(2 * i + 1)], -float(i) / 32768.0f);
        }
        EXPECT_TRUE(decoder->atEnd());
        float rest[2];
        EXPECT_EQ(decoder->read(rest, 1), 0);
    }
}

TEST_F(FfmpegDecoderTest, SeeksToTheExactFrameAndBack)
{
    const QString wav = writeRamp(u"ramp.wav"_s, 8000);
    const QString flac = path(u"ramp.flac"_s);
    ASSERT_TRUE(test::transcode(wav, flac));
    for (const QString& file : { wav, flac }) {
        SCOPED_TRACE(file.toStdString());
        const auto decoder = FfmpegDecoder::open(file);
        readAll(*decoder);
        decoder->seek(0.5);
        auto samples = readAll(*decoder);
        ASSERT_EQ(samples.size(), 8000u);
        EXPECT_FLOAT_EQ(samples[0], 4000.0f / 32768.0f);
        decoder->seek(-3); // counts as the start
        samples = readAll(*decoder);
        ASSERT_EQ(samples.size(), 16000u);
        EXPECT_FLOAT_EQ(samples[2], 1.0f / 32768.0f);
        decoder->seek(5.0); // beyond the end
        EXPECT_TRUE(readAll(*decoder).empty());
    }
}

TEST_F(FfmpegDecoderTest, ResamplesAndRemixesToTheOutputFormat)
{
    const QString file = makeAudioFile(
        u"mono.wav"_s, WavSpec { .sampleRate = 22050, .channels = 1, .seconds = 1.0 });
    const auto decoder = FfmpegDecoder::open(file);
    decoder->setOutputFormat(48000, 2);
    EXPECT_EQ(decoder->outputSampleRate(), 48000);
    EXPECT_EQ(decoder->outputChannelCount(), 2);
    const auto samples = readAll(*decoder);
    EXPECT_NEAR(double(samples.size()) / 2, 48000.0, 48.0);
    // Both channels carry the mono signal.
    for (size_t frame = 0; 2 * frame + 1 < samples.size(); frame += 4001) {
        EXPECT_FLOAT_EQ(samples[2 * frame], samples[2 * frame + 1]);
    }
}

TEST_F(FfmpegDecoderTest, AFileWithoutFramesHasNoDuration)
{
    const QString file = writeFile(u"empty.wav"_s, test::makeWavFromSamples({}, 44100, 2));
    const auto decoder = FfmpegDecoder::open(file);
    EXPECT_EQ(decoder->info().frameCount, 0);
    EXPECT_EQ(decoder->info().duration, 0.0);
    EXPECT_TRUE(readAll(*decoder).empty());
}

TEST_F(FfmpegDecoderTest, RefusesWhatIsNotALocalAudioFile)
{
    const auto openError = [](const QString& file) {
        try {
            FfmpegDecoder::open(file);
        } catch (const FfmpegDecoderError& error) {
            EXPECT_FALSE(error.description().isEmpty());
            return error.errorCase();
        }
        ADD_FAILURE() << "opened " << file.toStdString();
        return FfmpegDecoderError::Case::decodeFailed;
    };
    EXPECT_EQ(openError(path(u"missing.mp3"_s)), FfmpegDecoderError::Case::openFailed);
    EXPECT_EQ(openError(writeFile(u"zero.mp3"_s, {})), FfmpegDecoderError::Case::openFailed);
    EXPECT_EQ(openError(writeFile(u"text.mp3"_s, "this is not audio at all\n")),
        FfmpegDecoderError::Case::openFailed);
    QDir().mkpath(path(u"folder.mp3"_s));
    EXPECT_EQ(openError(path(u"folder.mp3"_s)), FfmpegDecoderError::Case::openFailed);
    ASSERT_EQ(::mkfifo(QFile::encodeName(path(u"pipe.mp3"_s)).constData(), 0600), 0);
    EXPECT_EQ(openError(path(u"pipe.mp3"_s)), FfmpegDecoderError::Case::openFailed);
    // A playlist in disguise must not make the decoder open other files.
    const QString target = makeAudioFile(u"target.wav"_s);
    EXPECT_EQ(openError(writeFile(u"list.mp3"_s,
                  "#EXTM3U\n#EXT-X-TARGETDURATION:1\n#EXTINF:1,\n" + target.toUtf8()
                      + "\n#EXT-X-ENDLIST\n")),
        FfmpegDecoderError::Case::openFailed);
    // A ':' in the name is part of the file name, not a protocol.
    const QString colon = makeAudioFile(u"http:tone.wav"_s);
    EXPECT_NO_THROW(FfmpegDecoder::open(colon));
}

TEST_F(FfmpegDecoderTest, AStreamThatCannotBeDecodedFailsInsteadOfEndingQuietly)
{
    const QString file = writeFile(u"broken.wav"_s, test::makeUndecodableWav(400000));
    const auto decoder = FfmpegDecoder::open(file);
    std::vector<float> buffer(size_t(4096 * decoder->outputChannelCount()));
    try {
        while (decoder->read(buffer.data(), 4096) > 0) { }
        FAIL() << "decoding ended without an error";
    } catch (const FfmpegDecoderError& error) {
        EXPECT_EQ(error.errorCase(), FfmpegDecoderError::Case::decodeFailed);
    }
}

} // namespace
} // namespace kivo
