// Waveform peaks of generated songs: a 3-minute mp3 and flac and a 4-minute
// WAV, all stereo at 44.1 kHz. "Cold" decodes the whole file (each iteration
// asks for a track id the cache has never seen); "Cached" reads the JSON file
// the first request wrote.
#include "support/WavWriter.h"

#include "engines/playback/WaveformGeneratorImpl.h"
#include "platform/FfmpegDecoder.h"
#include <cstring>

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtEndian>
#include <benchmark/benchmark.h>
#include <cmath>
#include <numbers>
#include <vector>

using namespace Qt::Literals::StringLiterals;

namespace {

// A few partials with a slow swell and some noise, so that encoders work as
// they would on music.
QByteArray musicWav(double seconds)
{
    constexpr int rate = 44100;
    const qint64 frames = qint64(seconds * rate);
    QByteArray data(frames * 4, Qt::Uninitialized);
    quint32 seed = 1;
    for (qint64 i = 0; i < frames; ++i) {
        const double t = double(i) / rate;
        const double swell = 0.5 + 0.5 * std::sin(2 * std::numbers::pi * 0.1 * t);
        seed = seed * 1664525u + 1013904223u;
        const double noise = (double(seed >> 16) / 65535.0 - 0.5) * 0.1;
        const double left = swell
                * (0.4 * std::sin(2 * std::numbers::pi * 220 * t)
                    + 0.2 * std::sin(2 * std::numbers::pi * 331 * t))
            + noise;
        const double right = swell * 0.5 * std::sin(2 * std::numbers::pi * 440 * t) - noise;
        qToLittleEndian(qint16(std::lround(left * 32767)), data.data() + i * 4);
        qToLittleEndian(qint16(std::lround(right * 32767)), data.data() + i * 4 + 2);
    }
    std::vector<qint16> samples(size_t(data.size() / 2));
    std::memcpy(samples.data(), data.constData(), size_t(data.size()));
    return kivo::test::makeWavFromSamples(samples, rate, 2);
}

struct Fixture {
    Fixture()
    {
        const auto write = [&](const QString& name, const QByteArray& bytes) {
            QFile file(dir.filePath(name));
            file.open(QIODevice::WriteOnly);
            file.write(bytes);
            return file.fileName();
        };
        const QString threeMinutes = write(u"three.wav"_s, musicWav(180));
        wav = write(u"four.wav"_s, musicWav(240));
        mp3 = transcode(
            threeMinutes, u"three.mp3"_s, { u"-c:a"_s, u"libmp3lame"_s, u"-b:a"_s, u"192k"_s });
        flac = transcode(threeMinutes, u"three.flac"_s, {});
        generator = std::make_unique<kivo::TavrenWaveformGenerator>(dir.filePath(u"cache"_s));
    }

    QString transcode(const QString& source, const QString& name, const QStringList& codec)
    {
        const QString target = dir.filePath(name);
        QProcess ffmpeg;
        ffmpeg.start(u"ffmpeg"_s,
            QStringList { u"-loglevel"_s, u"error"_s, u"-y"_s, u"-i"_s, source } + codec
                + QStringList { target });
        ffmpeg.waitForFinished(120000);
        return target;
    }

    QTemporaryDir dir;
    QString wav;
    QString mp3;
    QString flac;
    std::unique_ptr<kivo::TavrenWaveformGenerator> generator;
};

Fixture& fixture()
{
    static Fixture instance;
    return instance;
}

kivo::Track trackFor(const QString& path)
{
    return kivo::Track::make(QUuid::createUuid(), QUrl::fromLocalFile(path), u"song"_s, u"Song"_s,
        180, kivo::Date::now());
}

const QString& fileOf(int which)
{
    switch (which) {
    case 0:
        return fixture().mp3;
    case 1:
        return fixture().flac;
    default:
        return fixture().wav;
    }
}

const char* labelOf(int which)
{
    return which == 0 ? "mp3 3 min" : (which == 1 ? "flac 3 min" : "wav 4 min");
}

// Arguments: file (0 mp3, 1 flac, 2 wav), point count.
void BM_Cold(benchmark::State& state)
{
    const QString& file = fileOf(int(state.range(0)));
    const qint64 points = state.range(1);
    for (auto _ : state) {
        const kivo::Track track = trackFor(file); // never cached
        auto task = fixture().generator->generateWaveform(track, points);
        benchmark::DoNotOptimize(QCoro::waitFor(task));
    }
    state.SetLabel(labelOf(int(state.range(0))));
}

void BM_Cached(benchmark::State& state)
{
    const QString& file = fileOf(int(state.range(0)));
    const qint64 points = state.range(1);
    const kivo::Track track = trackFor(file);
    auto first = fixture().generator->generateWaveform(track, points);
    QCoro::waitFor(first);
    for (auto _ : state) {
        auto task = fixture().generator->generateWaveform(track, points);
        benchmark::DoNotOptimize(QCoro::waitFor(task));
    }
    state.SetLabel(labelOf(int(state.range(0))));
}

// Decoding alone, for comparison: what the peaks add is the difference.
void BM_DecodeOnly(benchmark::State& state)
{
    const QString& file = fileOf(int(state.range(0)));
    std::vector<float> buffer(size_t(kivo::TavrenWaveformGenerator::bufferFrameCount * 2));
    for (auto _ : state) {
        const auto decoder = kivo::FfmpegDecoder::open(file);
        qint64 frames = 0;
        while (const qint64 read
            = decoder->read(buffer.data(), kivo::TavrenWaveformGenerator::bufferFrameCount)) {
            frames += read;
        }
        benchmark::DoNotOptimize(frames);
    }
    state.SetLabel(labelOf(int(state.range(0))));
}

BENCHMARK(BM_DecodeOnly)->DenseRange(0, 2)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Cold)
    ->Args({ 0, 360 })
    ->Args({ 1, 360 })
    ->Args({ 2, 360 })
    ->Args({ 2, 1024 })
    ->Args({ 2, 4096 })
    ->Args({ 0, 4096 })
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_Cached)
    ->Args({ 0, 360 })
    ->Args({ 1, 360 })
    ->Args({ 2, 4096 })
    ->Unit(benchmark::kMicrosecond)
    ->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    fixture(); // generated before timing starts
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
