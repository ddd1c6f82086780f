// Playback start-up latency and decoding speed.
//
//   OpenToPlaying/<format>/<output>: from opening a file to its time moving
//     (the silent output starts the clock with the first decoded frames; the
//     device output adds the sink's buffer).
//   Decode/<format>: decoding a 60 s stereo file on one thread at its native
//     rate; the counter x_realtime is audio seconds per second of work.
#include "platform/AudioPlayer.h"
#include "platform/FfmpegAudioPlayer.h"
#include "platform/FfmpegDecoder.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QMediaDevices>
#include <QProcess>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <vector>

using namespace Qt::Literals::StringLiterals;

namespace {

QTemporaryDir* fixtures = nullptr;

// A stereo 44.1 kHz sine of `seconds` in the format of `extension`.
QString fixture(const QString& extension, int seconds)
{
    const QString path = fixtures->filePath(u"tone_%1.%2"_s.arg(seconds).arg(extension));
    if (QFile::exists(path)) {
        return path;
    }
    QProcess ffmpeg;
    ffmpeg.start(u"ffmpeg"_s,
        { u"-hide_banner"_s, u"-loglevel"_s, u"error"_s, u"-y"_s, u"-f"_s, u"lavfi"_s, u"-i"_s,
            u"sine=frequency=440:sample_rate=44100:duration=%1"_s.arg(seconds), u"-ac"_s, u"2"_s,
            path });
    if (!ffmpeg.waitForFinished(120000) || ffmpeg.exitCode() != 0) {
        return {};
    }
    return path;
}

void openToPlaying(benchmark::State& state, const QString& extension, bool device)
{
    const QString path = fixture(extension, 10);
    const QAudioDevice output = device ? QMediaDevices::defaultAudioOutput() : QAudioDevice();
    if (path.isEmpty() || (device && output.isNull())) {
        state.SkipWithError(path.isEmpty() ? "ffmpeg is missing" : "no audio output device");
        return;
    }
    const QUrl url = QUrl::fromLocalFile(path);
    for (auto _ : state) {
        QElapsedTimer clock;
        clock.start();
        auto player = kivo::FfmpegAudioPlayer::open(url, output);
        player->prepareToPlay();
        player->play();
        while (player->currentTime() <= 0 && clock.elapsed() < 5000) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
        }
        state.SetIterationTime(double(clock.nsecsElapsed()) * 1e-9);
        player.reset();
    }
}

void decode(benchmark::State& state, const QString& extension)
{
    const QString path = fixture(extension, 60);
    if (path.isEmpty()) {
        state.SkipWithError("ffmpeg is missing");
        return;
    }
    std::vector<float> buffer(32768 * 2);
    double audioSeconds = 0;
    for (auto _ : state) {
        auto decoder = kivo::FfmpegDecoder::open(path);
        qint64 frames = 0;
        while (const qint64 read = decoder->read(buffer.data(), 32768)) {
            frames += read;
        }
        benchmark::DoNotOptimize(buffer.data());
        audioSeconds += double(frames) / decoder->info().sampleRate;
    }
    state.counters["x_realtime"] = benchmark::Counter(audioSeconds, benchmark::Counter::kIsRate);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    fixtures = &dir;
    for (const QString& extension : { u"mp3"_s, u"flac"_s }) {
        const std::string name = extension.toStdString();
        for (const bool device : { false, true }) {
            benchmark::RegisterBenchmark(
                ("OpenToPlaying/" + name + (device ? "/device" : "/silent")).c_str(),
                [extension, device](
                    benchmark::State& state) { openToPlaying(state, extension, device); })
                ->UseManualTime()
                ->Unit(benchmark::kMillisecond)
                ->Iterations(20);
        }
        benchmark::RegisterBenchmark(("Decode/" + name).c_str(),
            [extension](benchmark::State& state) { decode(state, extension); })
            ->Unit(benchmark::kMillisecond);
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
