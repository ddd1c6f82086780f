#include "engines/playback/WaveformGeneratorImpl.h"

#include "platform/FfmpegDecoder.h"
#include "support/Await.h"
#include "support/TempDir.h"
#include "support/WavWriter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <tuple>
#include <vector>

using namespace Qt::Literals::StringLiterals;

namespace kivo {
namespace {

using test::await;

// Deterministic pseudo-random 16-bit samples in ±amplitude.
std::vector<qint16> noise(qint64 count, int amplitude, quint32 seed = 1)
{
    std::vector<qint16> samples;
    samples.reserve(size_t(count));
    for (qint64 i = 0; i < count; ++i) {
        seed = seed * 1664525u + 1013904223u;
        samples.push_back(qint16(int(seed >> 16) % (2 * amplitude + 1) - amplitude));
    }
    return samples;
}

// The peaks by the plain rule: bucket = floor(frame × N ÷ length), the largest
// magnitude of each bucket, divided by the largest of all.
QList<float> referencePeaks(const std::vector<qint16>& interleaved, int channels, qint64 n)
{
    const qint64 length = qint64(interleaved.size()) / channels;
    QList<float> peaks(n, 0.0f);
    for (qint64 f = 0; f < length; ++f) {
        const qint64 bucket = std::min(n - 1, f * n / length);
        for (int c = 0; c < channels; ++c) {
            const float value = std::fabs(float(interleaved[size_t(f * channels + c)]) / 32768.0f);
            peaks[bucket] = std::max(peaks[bucket], value);
        }
    }
    const float top = *std::max_element(peaks.cbegin(), peaks.cend());
    if (top > 0) {
        for (float& p : peaks) {
            p = std::min(1.0f, p / top);
        }
    }
    return peaks;
}

class WaveformGeneratorTest : public test::TempDirTest {
protected:
    void SetUp() override
    {
        TempDirTest::SetUp();
        generator = std::make_unique<TavrenWaveformGenerator>(path(u"cache"_s));
    }

    Track trackFor(const QString& file, QUuid id = QUuid::createUuid()) const
    {
        return Track::make(
            id, QUrl::fromLocalFile(file), QFileInfo(file).fileName(), u"Song"_s, 1.0, Date::now());
    }

    Track wavTrack(const QString& name, const std::vector<qint16>& samples, int channels)
    {
        return trackFor(writeFile(name, test::makeWavFromSamples(samples, 8000, channels)));
    }

    Waveform generate(const Track& track, qint64 n)
    {
        return await(generator->generateWaveform(track, n));
    }

    QString cacheFile(const Track& track, qint64 n) const
    {
        return path(u"cache/"_s + WaveformCache::fileName(track.id, n));
    }

    QStringList cacheEntries() const
    {
        return QDir(path(u"cache"_s)).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    }

    std::unique_ptr<TavrenWaveformGenerator> generator;
};

TEST_F(WaveformGeneratorTest, RefusesResolutionsOutsideEightTo4096BeforeAnyWork)
{
    const Track track = wavTrack(u"a.wav"_s, noise(1000, 1000), 1);
    for (const qint64 n : { qint64(7), qint64(4097), qint64(0), qint64(-1) }) {
        try {
            generate(track, n);
            ADD_FAILURE() << "accepted " << n;
        } catch (const WaveformError& e) {
            EXPECT_EQ(e.errorCase(), WaveformError::Case::invalidPointCount);
            EXPECT_STREQ(e.what(), "The requested waveform resolution is invalid.");
        }
    }
    EXPECT_TRUE(cacheEntries().isEmpty());
    EXPECT_EQ(generate(track, 8).peaks.size(), 8);
    EXPECT_EQ(generate(track, 4096).peaks.size(), 4096);
}

TEST_F(WaveformGeneratorTest, PeaksFollowTheBucketRuleForEveryResolution)
{
    // 9001 frames: no resolution divides the length evenly. 100 frames for
    // 360 points leave the buckets between them at zero. Silence stays zero;
    // one negative sample may be the loudest.
    const std::vector<qint16> stereo = noise(9001 * 2, 20000);
    std::vector<qint16> ramp(100);
    for (size_t f = 0; f < ramp.size(); ++f) {
        ramp[f] = qint16(1000 + 100 * f);
    }
    std::vector<qint16> quiet = noise(1000, 3000);
    quiet[617] = -26214;
    const std::vector<qint16> silence(4000);
    const Track noisy = wavTrack(u"noise.wav"_s, stereo, 2);
    const Track shortTrack = wavTrack(u"short.wav"_s, ramp, 1);
    const std::tuple<const Track, const std::vector<qint16>&, int, qint64> cases[]
        = { { noisy, stereo, 2, 8 }, { noisy, stereo, 2, 360 }, { noisy, stereo, 2, 4096 },
              { shortTrack, ramp, 1, 360 }, { wavTrack(u"quiet.wav"_s, quiet, 1), quiet, 1, 100 },
              { wavTrack(u"silence.wav"_s, silence, 2), silence, 2, 64 } };
    for (const auto& [track, samples, channels, n] : cases) {
        SCOPED_TRACE(n);
        const Waveform waveform = generate(track, n);
        EXPECT_EQ(waveform.trackID, track.id);
        const QList<float> expected = referencePeaks(samples, channels, n);
        ASSERT_EQ(waveform.peaks.size(), n);
        for (qint64 i = 0; i < n; ++i) {
            ASSERT_FLOAT_EQ(waveform.peaks[i], expected[i]) << "bucket " << i;
        }
    }
}

TEST_F(WaveformGeneratorTest, SamplesThatAreNoFiniteNumbersCountAsSilence)
{
    // A 32-bit float WAV: such files can carry any bit pattern.
    const float inf = std::numeric_limits<float>::infinity();
    const std::vector<float> samples { 0.25f, std::nanf(""), inf, -inf, -0.5f, 0.125f, 0, 0 };
    QByteArray wav("RIFF");
    const auto put
        = [&](auto value) { wav.append(reinterpret_cast<const char*>(&value), sizeof value); };
    put(quint32(36 + samples.size() * 4));
    wav.append("WAVEfmt ");
    put(quint32(16));
    put(quint16(3)); // IEEE float
    put(quint16(1));
    put(quint32(8000));
    put(quint32(8000 * 4));
    put(quint16(4));
    put(quint16(32));
    wav.append("data");
    put(quint32(samples.size() * 4));
    for (const float sample : samples) {
        put(sample);
    }
    const Waveform waveform = generate(trackFor(writeFile(u"float.wav"_s, wav)), 8);
    EXPECT_EQ(waveform.peaks, QList<float>({ 0.5f, 0, 0, 0, 1, 0.25f, 0, 0 }));
}

TEST_F(WaveformGeneratorTest, StopsAtTheAnnouncedLengthWhenTheDecoderHasMore)
{
    // A VBR mp3 without a frame-count header that starts loud: its length is
    // estimated from the first frame's high bitrate, far shorter than the
    // audio. The loud burst at the very end lies beyond that estimate.
    std::vector<qint16> samples = noise(44100 * 2, 30000);
    samples.resize(44100 * 10, 0);
    const std::vector<qint16> burst = noise(44100 / 2, 30000, 9);
    std::copy(burst.begin(), burst.end(), samples.end() - qsizetype(burst.size()));
    const QString wav = writeFile(u"burst.wav"_s, test::makeWavFromSamples(samples, 44100, 1));
    const QString mp3 = path(u"burst.mp3"_s);
    ASSERT_TRUE(test::transcode(
        wav, mp3, { u"-c:a"_s, u"libmp3lame"_s, u"-q:a"_s, u"0"_s, u"-write_xing"_s, u"0"_s }));
    const qint64 announced = FfmpegDecoder::open(mp3)->info().frameCount;
    if (announced >= 44100 * 9) {
        GTEST_SKIP() << "the length estimate covers the burst: " << announced;
    }

    const Waveform waveform = generate(trackFor(mp3), 360);
    ASSERT_EQ(waveform.peaks.size(), 360);
    for (const float peak : waveform.peaks) {
        ASSERT_TRUE(peak >= 0.0f && peak <= 1.0f);
    }
    EXPECT_EQ(waveform.peaks.last(), 0.0f);
}

TEST_F(WaveformGeneratorTest, FailuresOfTheSourceFile)
{
    try {
        generate(wavTrack(u"empty.wav"_s, {}, 2), 64);
        ADD_FAILURE() << "a file without frames was accepted";
    } catch (const WaveformError& e) {
        EXPECT_EQ(e.errorCase(), WaveformError::Case::invalidSourceData);
        EXPECT_STREQ(e.what(), "The audio file data is corrupted or cannot be processed.");
    }
    // Not audio: the decoder's error, unchanged.
    EXPECT_THROW(generate(trackFor(writeFile(u"text.wav"_s, "hello")), 64), FfmpegDecoderError);
    // Gone: the access error (the file cannot be read) or the missing-file error.
    EXPECT_THROW(generate(trackFor(path(u"gone.wav"_s)), 64), std::exception);
    EXPECT_TRUE(cacheEntries().isEmpty());
}

TEST_F(WaveformGeneratorTest, WritesTheCacheFileAndAnswersFromIt)
{
    const Track track = wavTrack(u"a.wav"_s, noise(3000, 9000), 1);
    const Waveform first = generate(track, 16);
    QFile file(cacheFile(track, 16));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    EXPECT_TRUE(text.startsWith("{\"peaks\":["));
    EXPECT_TRUE(text.endsWith(",\"trackID\":\"" + json::uuidText(track.id).toUtf8() + "\"}"));
    EXPECT_EQ(Waveform::fromJson(json::parse(text)), first);

    // The audio file is gone: the cached result is still returned.
    ASSERT_TRUE(QFile::remove(track.fileURL.toLocalFile()));
    EXPECT_EQ(generate(track, 16), first);
    EXPECT_THROW(generate(track, 17), std::exception);
}

TEST_F(WaveformGeneratorTest, RecomputesAndOverwritesUnusableCacheFiles)
{
    const Track track = wavTrack(u"a.wav"_s, noise(3000, 9000), 1);
    const Waveform fresh = TavrenWaveformGenerator::computeWaveform(track, 10, false);
    const QString id = json::uuidText(track.id);
    const QString ten = u"[0,0,0,0,0,0,0,0,0,0]"_s;
    const QStringList bad {
        u"{\"peaks\":"_s + ten + u",\"trackID\":\""_s + json::uuidText(QUuid::createUuid())
            + u"\"}"_s, // another track
        u"{\"peaks\":[0,0,0],\"trackID\":\""_s + id + u"\"}"_s, // another count
        u"{\"peaks\":[0,0,0,0,0,0,0,0,0,1.5],\"trackID\":\""_s + id + u"\"}"_s,
        u"{\"peaks\":[0,0,0,0,0,0,0,0,0,-0.1],\"trackID\":\""_s + id + u"\"}"_s,
        u"{\"peaks\":[0,0,0,0,0,0,0,0,0,\"0\"],\"trackID\":\""_s + id + u"\"}"_s,
        u"{\"peaks\":"_s + ten + u"}"_s, // no id
        u"not json"_s,
    };
    for (const QString& content : bad) {
        SCOPED_TRACE(content.toStdString());
        writeFile(u"cache/"_s + WaveformCache::fileName(track.id, 10), content.toUtf8());
        EXPECT_EQ(generate(track, 10), fresh);
        QFile file(cacheFile(track, 10));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(Waveform::fromJson(json::parse(file.readAll())), fresh);
    }

    // A valid file is taken as it is, even when it differs from the audio.
    const QString stored
        = u"{\"peaks\":[0,0.5,1,0,0,0,0,0,0,0.25],\"trackID\":\""_s + id + u"\"}"_s;
    writeFile(u"cache/"_s + WaveformCache::fileName(track.id, 10), stored.toUtf8());
    EXPECT_EQ(generate(track, 10).peaks, QList<float>({ 0, 0.5f, 1, 0, 0, 0, 0, 0, 0, 0.25f }));
}

TEST_F(WaveformGeneratorTest, InvalidationRemovesOnlyThatTracksFilesAndClearRemovesAll)
{
    const Track a = wavTrack(u"a.wav"_s, noise(2000, 9000), 1);
    const Track b = wavTrack(u"b.wav"_s, noise(2000, 9000, 3), 1);
    generate(a, 8);
    generate(a, 360);
    generate(b, 8);
    writeFile(u"cache/notes.txt"_s, "kept");
    ASSERT_EQ(cacheEntries().size(), 4);

    generator->invalidateCache(a.id);
    // The queue is serial: a request queued after the invalidation sees it done.
    generate(b, 8);
    EXPECT_EQ(cacheEntries(), QStringList({ u"notes.txt"_s, WaveformCache::fileName(b.id, 8) }));

    await(generator->clearWaveformCache());
    EXPECT_TRUE(cacheEntries().isEmpty());
    EXPECT_TRUE(QFileInfo(path(u"cache"_s)).isDir());
}

TEST_F(WaveformGeneratorTest, CurrentPeakIndex)
{
    for (const auto& [progress, n, index] :
        { std::tuple { 0.5, qint64(360), qint64(180) }, { 1.0, 360, 359 }, { 2.0, 10, 9 },
            { -1.0, 10, 0 }, { std::nan(""), 10, 0 }, { 0.5, 0, 0 } }) {
        EXPECT_EQ(generator->currentPeakIndex(progress, n), index) << progress << " " << n;
    }
    EXPECT_EQ(generator->currentPeakIndex(0.999, std::numeric_limits<qint64>::max()),
        qint64(0.999 * double(std::numeric_limits<qint64>::max())));
}

} // namespace
} // namespace kivo
