// Encoding and decoding a 100,000-track library document ("tracks.json").
#include "BenchMain.h"
#include "model/JsonCodec.h"
#include "model/StoreFile.h"
#include "model/Track.h"

#include <QCoreApplication>
#include <benchmark/benchmark.h>
#include <random>

using namespace kivo;
using namespace Qt::Literals::StringLiterals;

namespace {

QList<Track> generateTracks(int count)
{
    std::mt19937 random(42);
    const QStringList artists { u"Aurora Lane"_s, u"The Night Owls"_s, u"Bj\u00f6rk Tribute"_s,
        u"\u5742\u672c\u9f8d\u4e00"_s, u"DJ Sample"_s };
    QList<Track> tracks;
    tracks.reserve(count);
    for (int i = 0; i < count; ++i) {
        const QString file = u"Track %1.mp3"_s.arg(i);
        Track t = Track::make(QUuid::createUuid(),
            QUrl::fromLocalFile(u"/home/user/Music/Album %1/"_s.arg(i / 12) + file), file,
            u"Song number %1"_s.arg(i), 120.0 + double(random() % 300) / 7.0,
            Date { 700000000.0 + i }, QByteArray(64, char('a' + i % 26)));
        t.artist = artists[i % artists.size()];
        t.album = u"Album %1"_s.arg(i / 12);
        t.genre = u"Electronic"_s;
        t.year = 1990 + i % 30;
        t.trackNumber = i % 12 + 1;
        t.rating = i % 6;
        t.bitrate = 320;
        t.sampleRate = 44100;
        tracks.push_back(std::move(t));
    }
    return tracks;
}

std::string encode(const QList<Track>& tracks)
{
    return json::encodeArray(tracks, [](const Track& t) { return t.toJson(); }).toStdString();
}

const QList<Track>& library()
{
    static const QList<Track> tracks = generateTracks(100000);
    return tracks;
}

void BM_EncodeLibrary(benchmark::State& state)
{
    size_t bytes = 0;
    for (auto _ : state) {
        const std::string text = encode(library());
        bytes = text.size();
        benchmark::DoNotOptimize(text.data());
    }
    state.counters["bytes"] = double(bytes);
}
BENCHMARK(BM_EncodeLibrary)->Unit(benchmark::kMillisecond);

// As the library store loads it: each record read straight from its text.
void BM_DecodeLibrary(benchmark::State& state)
{
    const QByteArray bytes = QByteArray::fromStdString(encode(library()));
    for (auto _ : state) {
        const QList<Track> tracks = storefile::decodeList<Track>(bytes);
        benchmark::DoNotOptimize(tracks.size());
    }
}
BENCHMARK(BM_DecodeLibrary)->Unit(benchmark::kMillisecond);

// Each record parsed into a JSON tree first: what a record the direct reader
// is unsure of costs.
void BM_DecodeLibraryParsed(benchmark::State& state)
{
    const QByteArray bytes = QByteArray::fromStdString(encode(library()));
    for (auto _ : state) {
        const QList<Track> tracks = json::decodeArray<Track>(
            bytes, [](const Json& e, const QString& path) { return Track::fromJson(e, path); });
        benchmark::DoNotOptimize(tracks.size());
    }
}
BENCHMARK(BM_DecodeLibraryParsed)->Unit(benchmark::kMillisecond);

void BM_ParseOnly(benchmark::State& state)
{
    const QByteArray bytes = QByteArray::fromStdString(encode(library()));
    for (auto _ : state) {
        benchmark::DoNotOptimize(json::parse(bytes).size());
    }
}
BENCHMARK(BM_ParseOnly)->Unit(benchmark::kMillisecond);

// The pass that refuses deep nesting, NUL bytes and byte-order marks before
// every parse: its share of the decoding time.
void BM_CheckTextOnly(benchmark::State& state)
{
    const QByteArray bytes = QByteArray::fromStdString(encode(library()));
    for (auto _ : state) {
        json::checkText(bytes);
        benchmark::ClobberMemory();
    }
    state.counters["MB_per_s"] = benchmark::Counter(
        double(bytes.size()) / 1e6, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_CheckTextOnly)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    return kivo::bench::runBenchmarks(argc, argv);
}
