// The library engine at scale: loading a 100,000-track store into the engine
// (decode, index, publish) and importing a folder of 2,000 generated WAV files,
// into an empty library and into one of 100,000 tracks. Each run also reports
// the longest the main thread went without serving a 10 ms timer.
#include "BenchFakes.h"
#include "SyntheticLibrary.h"
#include "support/WavWriter.h"

#include "engines/library/LibraryEngineImpl.h"
#include "engines/library/MetadataEngineImpl.h"
#include "model/DatabaseManagerImpl.h"
#include "model/StoreFile.h"
#include "platform/UserDefaults.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <benchmark/benchmark.h>
#include <cmath>
#include <numbers>

using namespace Qt::Literals::StringLiterals;

namespace kivo {
namespace {

constexpr int libraryTracks = 100000;
constexpr int folderFiles = 2000;

const QList<Track>& library()
{
    static const QList<Track> tracks = bench::makeSyntheticLibrary(libraryTracks);
    return tracks;
}

// A quarter second of a mono 8 kHz tone: a small but real file.
QByteArray smallWav()
{
    return kivo::test::makeWav({ 8000, 1, 0.25, 440.0, 8000.0 / 32767 });
}

// The folder of generated files, made once.
const QString& importFolder()
{
    static QTemporaryDir folder;
    static const bool made = [] {
        const QByteArray wav = smallWav();
        for (int i = 0; i < folderFiles; ++i) {
            const QString path = folder.filePath(u"Artist %1/Track %2.wav"_s.arg(i / 20).arg(i));
            QDir().mkpath(QFileInfo(path).path());
            QFile file(path);
            if (!file.open(QIODevice::WriteOnly) || file.write(wav) != wav.size()) {
                return false;
            }
        }
        return true;
    }();
    static const QString path = made ? folder.path() : QString();
    return path;
}

// Times every event the main thread handles (outermost only): the longest
// one is the longest the engine itself held the thread, whatever else the
// machine was busy with.
class TimingApplication final : public QCoreApplication {
public:
    using QCoreApplication::QCoreApplication;
    bool notify(QObject* receiver, QEvent* event) override
    {
        if (m_depth++ > 0) {
            const bool handled = QCoreApplication::notify(receiver, event);
            --m_depth;
            return handled;
        }
        QElapsedTimer timer;
        timer.start();
        const bool handled = QCoreApplication::notify(receiver, event);
        longestEventMs = std::max(longestEventMs, timer.nsecsElapsed() / 1e6);
        --m_depth;
        return handled;
    }
    static inline double longestEventMs = 0;

private:
    int m_depth = 0;
};

// Records the longest the main thread left a 10 ms timer waiting past its
// time, and the longest single event handled meanwhile.
class StallMeter {
public:
    StallMeter()
    {
        TimingApplication::longestEventMs = 0;
        m_ticker.setTimerType(Qt::PreciseTimer);
        m_ticker.setInterval(10);
        QObject::connect(&m_ticker, &QTimer::timeout, [this] {
            m_longestMs = std::max(m_longestMs, m_sinceTick.nsecsElapsed() / 1e6 - 10);
            m_sinceTick.restart();
        });
        m_sinceTick.start();
        m_ticker.start();
    }
    double longestMs() const { return m_longestMs; }
    static double longestEventMs() { return TimingApplication::longestEventMs; }

private:
    QTimer m_ticker;
    QElapsedTimer m_sinceTick;
    double m_longestMs = 0;
};

// A store in a temporary folder, holding the synthetic library when asked.
struct BenchLibrary {
    explicit BenchLibrary(bool filled)
    {
        store = std::make_shared<TavrenDatabaseManager>(
            folder.path(), std::make_shared<SettingsUserDefaults>(folder.filePath(u"s.json"_s)));
        if (filled) {
            storefile::writeAtomically(store->tracksFilePath(), storefile::encodeList(library()));
        }
    }

    // Builds the engine and runs the event loop until its start-up load has
    // published `expected` tracks.
    void startEngine(qsizetype expected)
    {
        engine
            = std::make_unique<TavrenLibraryEngine>(store, std::make_shared<TavrenMetadataEngine>(),
                std::make_shared<MetadataCache>(), std::make_shared<bench::IdleWatcher>());
        bool loaded = false;
        QObject::connect(engine.get(), &LibraryEngine::tracksChanged,
            [&](const QList<Track>& tracks) { loaded = loaded || tracks.size() == expected; });
        while (!loaded) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        }
        QObject::disconnect(engine.get(), &LibraryEngine::tracksChanged, nullptr, nullptr);
    }

    QTemporaryDir folder;
    std::shared_ptr<TavrenDatabaseManager> store;
    std::unique_ptr<TavrenLibraryEngine> engine;
};

void BM_LoadIntoEngine(benchmark::State& state)
{
    double longestStallMs = 0;
    double longestEventMs = 0;
    for (auto _ : state) {
        state.PauseTiming();
        BenchLibrary bench(true);
        state.ResumeTiming();
        const StallMeter stalls;
        bench.startEngine(libraryTracks);
        longestStallMs = std::max(longestStallMs, stalls.longestMs());
        longestEventMs = std::max(longestEventMs, stalls.longestEventMs());
        state.PauseTiming(); // tearing 100,000 tracks down is not loading them
        bench.engine.reset();
        state.ResumeTiming();
    }
    state.counters["longest_stall_ms"] = longestStallMs;
    state.counters["longest_event_ms"] = longestEventMs;
}
BENCHMARK(BM_LoadIntoEngine)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

// range(0): tracks already in the library.
void BM_ImportFolder(benchmark::State& state)
{
    const QUrl folder = QUrl::fromLocalFile(importFolder());
    const bool filled = state.range(0) > 0;
    double longestStallMs = 0;
    double longestEventMs = 0;
    for (auto _ : state) {
        state.PauseTiming();
        BenchLibrary bench(filled);
        bench.startEngine(filled ? libraryTracks : 0);
        state.ResumeTiming();
        const StallMeter stalls;
        QCoro::waitFor(bench.engine->addFolders({ folder }));
        longestStallMs = std::max(longestStallMs, stalls.longestMs());
        longestEventMs = std::max(longestEventMs, stalls.longestEventMs());
        state.PauseTiming();
        if (bench.engine->allTracks().size() != (filled ? libraryTracks : 0) + folderFiles) {
            state.SkipWithError("not every file was imported");
        }
        bench.engine.reset();
        state.ResumeTiming();
    }
    state.counters["files_per_s"]
        = benchmark::Counter(double(folderFiles) * state.iterations(), benchmark::Counter::kIsRate);
    state.counters["longest_stall_ms"] = longestStallMs;
    state.counters["longest_event_ms"] = longestEventMs;
}
BENCHMARK(BM_ImportFolder)
    ->Arg(0)
    ->Arg(libraryTracks)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);

} // namespace
} // namespace kivo

int main(int argc, char** argv)
{
    kivo::TimingApplication app(argc, argv);
    // Made once, outside every measurement.
    (void)kivo::library();
    if (kivo::importFolder().isEmpty()) {
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
