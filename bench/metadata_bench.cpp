// Tags, technical data and artwork of 1,000 generated files of every supported
// type but raw AAC, read one after another and through the engine on its worker
// pool. Reports files per second ("items_per_second").
#include "BenchMain.h"
#include "engines/library/MetadataEngineImpl.h"
#include "platform/MediaProbeImpl.h"
#include "support/WavWriter.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QThreadPool>
#include <QtEndian>
#include <benchmark/benchmark.h>
#include <cmath>
#include <numbers>
#include <vector>

#include <taglib/fileref.h>
#include <taglib/tpropertymap.h>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr int fileCount = 1000;

QByteArray toneWav(double seconds)
{
    return kivo::test::makeWav({ 44100, 2, seconds, 440.0, 8000.0 / 32767 });
}

QByteArray coverJpeg()
{
    QImage image(300, 300, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            image.setPixel(x, y, qRgb(x % 256, y % 256, (x * y) % 256));
        }
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG", 80);
    return bytes;
}

// One seed file per type, copied and tagged into `fileCount` files. The types
// whose muxer can embed a picture carry a 300x300 JPEG cover.
class Library {
public:
    Library()
    {
        const QString wav = dir.filePath(u"seed.wav"_s);
        writeFile(wav, toneWav(5.0));
        const QString cover = dir.filePath(u"cover.jpg"_s);
        writeFile(cover, coverJpeg());
        struct Type {
            QString extension;
            QStringList arguments;
            bool withCover;
        };
        const QList<Type> types {
            { u"mp3"_s, { u"-c:a"_s, u"libmp3lame"_s }, true },
            { u"m4a"_s, { u"-c:a"_s, u"aac"_s }, true },
            { u"flac"_s, {}, true },
            { u"ogg"_s, { u"-c:a"_s, u"libvorbis"_s }, false },
            { u"wma"_s, { u"-c:a"_s, u"wmav2"_s }, false },
            { u"aiff"_s, {}, false },
            { u"wav"_s, {}, false },
        };
        for (const Type& type : types) {
            const QString seed = dir.filePath(u"seed."_s + type.extension);
            QStringList arguments { u"-loglevel"_s, u"error"_s, u"-y"_s, u"-i"_s, wav };
            if (type.withCover) {
                arguments << u"-i"_s << cover << u"-map"_s << u"0:a"_s << u"-map"_s << u"1:v"_s
                          << u"-c:v"_s << u"copy"_s << u"-disposition:v:0"_s << u"attached_pic"_s;
            }
            QProcess ffmpeg;
            ffmpeg.start(u"ffmpeg"_s, arguments + type.arguments + QStringList { seed });
            ffmpeg.waitForFinished(60000);
            seeds.append(seed);
        }
        for (int i = 0; i < fileCount; ++i) {
            const QString seed = seeds[i % seeds.size()];
            const QString copy = dir.filePath(u"track-%1.%2"_s.arg(i).arg(seed.section(u'.', -1)));
            QFile::copy(seed, copy);
            TagLib::FileRef ref(QFile::encodeName(copy).constData());
            if (!ref.isNull()) {
                TagLib::PropertyMap properties;
                properties.replace("TITLE", TagLib::String("Track " + std::to_string(i)));
                properties.replace("ARTIST", TagLib::String("Bench Artist"));
                properties.replace("ALBUM", TagLib::String("Bench Album"));
                properties.replace("GENRE", TagLib::String("Electronic"));
                ref.file()->setProperties(properties);
                ref.save();
            }
            urls.append(QUrl::fromLocalFile(copy));
        }
    }

    static void writeFile(const QString& path, const QByteArray& bytes)
    {
        QFile out(path);
        out.open(QIODevice::WriteOnly);
        out.write(bytes);
    }

    QTemporaryDir dir;
    QStringList seeds;
    QList<QUrl> urls;
};

Library& library()
{
    static Library instance;
    return instance;
}

void readOne(const kivo::MediaProbe& probe, const QUrl& url)
{
    benchmark::DoNotOptimize(kivo::TavrenMetadataEngine::readMetadataNow(probe, url));
    benchmark::DoNotOptimize(kivo::TavrenMetadataEngine::extractArtworkNow(probe, url));
}

void BM_SingleThreaded(benchmark::State& state)
{
    const QList<QUrl>& urls = library().urls;
    const kivo::LocalMediaProbe probe;
    for (auto _ : state) {
        for (const QUrl& url : urls) {
            readOne(probe, url);
        }
    }
    state.SetItemsProcessed(state.iterations() * urls.size());
}

// The same per type, to see which container costs what.
void BM_SingleThreadedByType(benchmark::State& state)
{
    const QList<QUrl>& urls = library().urls;
    const qsizetype typeCount = library().seeds.size();
    const kivo::LocalMediaProbe probe;
    const qsizetype type = state.range(0);
    qsizetype files = 0;
    for (auto _ : state) {
        for (qsizetype i = type; i < urls.size(); i += typeCount) {
            readOne(probe, urls[i]);
            ++files;
        }
    }
    state.SetLabel(urls[type].fileName().section(u'.', -1).toStdString());
    state.SetItemsProcessed(files);
}

QCoro::Task<int> readAll(kivo::MetadataEngine& engine, const QList<QUrl>& urls)
{
    std::vector<QCoro::Task<kivo::ExtractedMetadata>> reads;
    std::vector<QCoro::Task<std::optional<QByteArray>>> artworks;
    for (const QUrl& url : urls) {
        reads.push_back(engine.readMetadata(url));
        artworks.push_back(engine.extractArtwork(url));
    }
    int done = 0;
    for (auto& read : reads) {
        kivo::ExtractedMetadata metadata = co_await std::move(read);
        done += metadata.duration > 0 ? 1 : 0;
    }
    for (auto& artwork : artworks) {
        std::optional<QByteArray> bytes = co_await std::move(artwork);
        benchmark::DoNotOptimize(bytes);
    }
    co_return done;
}

void BM_EnginePool(benchmark::State& state)
{
    const QList<QUrl>& urls = library().urls;
    QThreadPool pool;
    pool.setMaxThreadCount(QThread::idealThreadCount());
    kivo::TavrenMetadataEngine engine(std::make_shared<kivo::LocalMediaProbe>(), &pool);
    for (auto _ : state) {
        const int read = QCoro::waitFor(readAll(engine, urls));
        if (read != urls.size()) {
            state.SkipWithError("a generated file could not be read");
            break;
        }
    }
    state.SetItemsProcessed(state.iterations() * urls.size());
    state.counters["threads"] = pool.maxThreadCount();
}

BENCHMARK(BM_SingleThreaded)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SingleThreadedByType)->DenseRange(0, 6)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_EnginePool)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    return kivo::bench::runBenchmarks(argc, argv, [] { library(); });
}
