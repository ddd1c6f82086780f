// Search over a library of 10,000, 100,000 or 200,000 tracks and 1,000
// playlists: one query as the caller waits for it (worker hop included), the
// blocking search itself, and preparing a new track list for searching
// (distinct artist, album and genre names, folded titles). Target: 20 ms per query, one letter
// included, growing no faster than n log n.
#include "BenchMain.h"
#include "SyntheticLibrary.h"
#include "engines/library/SearchEngineImpl.h"

#include <QCoreApplication>
#include <benchmark/benchmark.h>
#include <map>
#include <qcoro/qcorotask.h>

using namespace Qt::Literals::StringLiterals;

namespace kivo {
namespace {

const QList<Track>& library(qsizetype count = 100000)
{
    static std::map<qsizetype, QList<Track>> made;
    auto found = made.find(count);
    if (found == made.end()) {
        found = made.emplace(count, bench::makeSyntheticLibrary(int(count), 2001)).first;
    }
    return found->second;
}

const QList<Playlist>& playlists()
{
    static const QList<Playlist> lists = [] {
        QList<Playlist> result;
        const QList<Track>& tracks = library();
        for (int i = 0; i < 1000; ++i) {
            Playlist playlist = Playlist::make(QUuid::createUuid(),
                (tracks[i * 37].artist.value_or(QString()) + u" mix "_s + QString::number(i)),
                i % 10 == 0 ? PlaylistType::folder() : PlaylistType::standard());
            for (int j = 0; j < 50; ++j) {
                playlist.trackIDs.push_back(tracks[(i * 50 + j) % tracks.size()].id);
            }
            result.push_back(std::move(playlist));
        }
        return result;
    }();
    return lists;
}

// Queries: a common word, an accented word, a rare number, nothing at all,
// one letter (nearly every song).
const QStringList& queries()
{
    static const QStringList texts { u"night"_s, u"CAFÉ"_s, u"4711"_s, u"zqx"_s, u"e"_s };
    return texts;
}

// range(0): the query; range(1): songs in the library.
void queriesAtSizes(benchmark::internal::Benchmark* family)
{
    family->ArgsProduct({ { 0, 1, 2, 3, 4 }, { 10000, 100000, 200000 } })
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
}

void BM_SearchImmediately(benchmark::State& state)
{
    TavrenSearchEngine engine;
    engine.updateTracks(library(state.range(1)));
    engine.updatePlaylists(playlists());
    const QString query = queries()[state.range(0)];
    (void)QCoro::waitFor(engine.searchImmediately(query)); // names gathered once
    qsizetype songs = 0;
    for (auto _ : state) {
        songs = QCoro::waitFor(engine.searchImmediately(query)).songs.size();
    }
    state.SetLabel(query.toStdString() + ": " + std::to_string(songs) + " songs");
}
BENCHMARK(BM_SearchImmediately)->Apply(queriesAtSizes);

void BM_SearchBlocking(benchmark::State& state)
{
    const SearchCatalogue catalogue(library(state.range(1)));
    catalogue.prepare();
    const QString query = queries()[state.range(0)];
    for (auto _ : state) {
        benchmark::DoNotOptimize(TavrenSearchEngine::search(catalogue, playlists(), query));
    }
}
BENCHMARK(BM_SearchBlocking)->Apply(queriesAtSizes);

// After the track list changed, the names are gathered and the titles folded
// once, on a worker, before the next search.
void BM_GatherNames(benchmark::State& state)
{
    const QList<Track>& tracks = library(state.range(0)); // made outside the timing
    for (auto _ : state) {
        const SearchCatalogue catalogue(tracks);
        catalogue.prepare();
    }
}
BENCHMARK(BM_GatherNames)
    ->Arg(10000)
    ->Arg(100000)
    ->Arg(200000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace
} // namespace kivo

int main(int argc, char** argv)
{
    return kivo::bench::runBenchmarks(argc, argv, [] { (void)kivo::playlists(); });
}
