// The player bar on the main thread: the work of one progress tick (the audio
// engine publishes its time every 0.05 s) and one paint of the seek bar.
#include "BenchFakes.h"
#include "GuiBenchMain.h"
#include "support/StubAudioEngine.h"
#include "support/StubLibraryEngine.h"
#include "support/StubQueueEngine.h"
#include "ui/eon/EonAppearance.h"
#include "ui/player/BottomPlayerView.h"
#include "ui/player/CompactWaveformSeekView.h"

#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>
#include <cmath>

using namespace kivo;
using namespace Qt::Literals::StringLiterals;

namespace {

QList<float> peaks()
{
    QList<float> values;
    for (int i = 0; i < 360; ++i) {
        values.append(float(0.2 + 0.7 * std::abs(std::sin(i * 0.07))));
    }
    return values;
}

class TickingAudio : public test::StubAudioEngine {
public:
    Track track;
    double time = 0;
    std::optional<Track> currentTrack() const override { return track; }
    double currentTime() const override { return time; }
    double duration() const override { return 245; }
    double progress() const override { return time / 245; }
    void tick()
    {
        time = std::fmod(time + 0.05, 245);
        Q_EMIT currentTimeChanged(time);
    }
};

class ReadyWaveforms : public WaveformGenerator {
public:
    QCoro::Task<Waveform> generateWaveform(Track track, qint64) override
    {
        co_return Waveform { peaks(), track.id };
    }
    qint64 currentPeakIndex(double, qint64) const override { return 0; }
    void invalidateCache(const QUuid&) override { }
    QCoro::Task<> clearWaveformCache() override { co_return; }
};

struct Bar {
    TickingAudio audio;
    test::StubQueueEngine queue;
    test::StubLibraryEngine library;
    bench::NoArtwork artwork;
    ReadyWaveforms waveforms;
    std::unique_ptr<BottomPlayerView> view;

    Bar()
    {
        audio.track.id = QUuid::createUuid();
        audio.track.title = u"Midnight Signal"_s;
        audio.track.duration = 245;
        view = std::make_unique<BottomPlayerView>(
            PlayerBarEngines { audio, queue, library, artwork, waveforms }, nullptr);
        view->resize(1320, BottomPlayerView::barHeight);
        view->show();
        QApplication::processEvents();
    }
};

// The slot work of one tick: time labels and the seek bar's position.
void BM_ProgressTick(benchmark::State& state)
{
    Bar bar;
    for (auto _ : state) {
        bar.audio.tick();
    }
}
BENCHMARK(BM_ProgressTick)->Unit(benchmark::kMicrosecond);

// One tick and the repaint it causes (the whole bar, drawn into an image).
void BM_ProgressTickWithRepaint(benchmark::State& state)
{
    Bar bar;
    QImage image(bar.view->size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        bar.audio.tick();
        bar.view->render(&image);
    }
}
BENCHMARK(BM_ProgressTickWithRepaint)->Unit(benchmark::kMicrosecond);

// One paint of the seek bar at the given width, 360 peaks.
void BM_SeekBarPaint(benchmark::State& state)
{
    CompactWaveformSeekView seekBar;
    seekBar.resize(int(state.range(0)), 28);
    seekBar.setPeaks(peaks());
    seekBar.setDuration(245);
    seekBar.setProgress(0.3);
    QImage image(seekBar.size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        QPainter painter(&image);
        seekBar.paintBar(painter);
    }
}
BENCHMARK(BM_SeekBarPaint)->Arg(600)->Arg(1200)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    return kivo::bench::runGuiBenchmarks(argc, argv, [] { kivo::applyEonAppearance(); });
}
