// Artwork retrieval: from memory, and from the cache folder (a cache whose
// memory budget is 0 keeps nothing in memory). Artwork of 300 kB and 5 MB.
#include "BenchMain.h"
#include "engines/artwork/ArtworkCacheImpl.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

using namespace Qt::Literals::StringLiterals;

namespace {

QByteArray artworkBytes(qsizetype size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    quint32 seed = 7;
    for (char& byte : bytes) {
        seed = seed * 1664525u + 1013904223u;
        byte = char(seed >> 24);
    }
    return bytes;
}

kivo::Track someTrack()
{
    return kivo::Track::make(QUuid::createUuid(), QUrl::fromLocalFile(u"/nonexistent.mp3"_s),
        u"nonexistent.mp3"_s, u"Song"_s, 1, kivo::Date::now());
}

void retrieve(benchmark::State& state, kivo::CacheMetrics metrics)
{
    QTemporaryDir dir;
    kivo::TavrenArtworkCache cache(metrics, dir.filePath(u"art"_s));
    const kivo::Track track = someTrack();
    const QByteArray bytes = artworkBytes(qsizetype(state.range(0)));
    auto storing = cache.storeArtwork(bytes, track);
    QCoro::waitFor(storing);
    for (auto _ : state) {
        auto task = cache.retrieveArtwork(track);
        const std::optional<QByteArray> artwork = QCoro::waitFor(task);
        if (!artwork || artwork->size() != bytes.size()) {
            state.SkipWithError("the artwork did not come back");
            break;
        }
    }
    state.SetBytesProcessed(state.iterations() * state.range(0));
}

void BM_FromMemory(benchmark::State& state)
{
    retrieve(state, kivo::CacheMetrics::standard());
}

void BM_FromDisk(benchmark::State& state)
{
    retrieve(state, kivo::CacheMetrics { 0, 0 });
}

BENCHMARK(BM_FromMemory)->Arg(300 << 10)->Arg(5 << 20)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FromDisk)->Arg(300 << 10)->Arg(5 << 20)->Unit(benchmark::kMicrosecond)->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    return kivo::bench::runBenchmarks(argc, argv);
}
