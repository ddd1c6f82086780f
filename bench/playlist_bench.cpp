// Rebuilding the playlist tree from 5,000 records (500 folders nested up to
// three deep, 4,500 playlists of 40 songs): from records already in memory,
// and from the record file as a reload at start-up reads it.
#include "BenchMain.h"
#include "engines/library/PlaylistEngineImpl.h"
#include "model/PlaylistStorageImpl.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <random>

using namespace Qt::Literals::StringLiterals;

namespace kivo {
namespace {

const QList<PlaylistRecord>& records()
{
    static const QList<PlaylistRecord> list = [] {
        std::mt19937 random(2001);
        const QStringList words { u"Road"_s, u"trip"_s, u"Évening"_s, u"chill"_s, u"Focus"_s,
            u"gym"_s, u"Party"_s, u"rain"_s, u"Sunday"_s, u"jazz"_s, u"Deep"_s, u"cuts"_s };
        auto name = [&] {
            return words[random() % words.size()] + u' ' + words[random() % words.size()] + u' '
                + QString::number(random() % 1000);
        };
        QList<PlaylistRecord> result;
        QList<QUuid> folders;
        for (int i = 0; i < 5000; ++i) {
            PlaylistRecord record { .id = QUuid::createUuid(), .name = name() };
            // A third of the entries at the top level, the rest in a folder
            // made earlier.
            if (!folders.isEmpty() && random() % 3 != 0) {
                record.parentFolderID = folders[random() % folders.size()];
            }
            if (i % 10 == 0 && folders.size() < 500) {
                record.isFolder = true;
                folders.push_back(record.id);
            } else {
                for (int j = 0; j < 40; ++j) {
                    record.trackIDs.push_back(QUuid::createUuid());
                }
            }
            result.push_back(std::move(record));
        }
        return result;
    }();
    return list;
}

class MemoryStorage final : public PlaylistStorage {
public:
    QList<PlaylistRecord> fetchAllRecords() override { return records(); }
    QList<PlaylistRecord> fetchRecords(const std::optional<QUuid>&) override { return {}; }
    void saveRecord(const PlaylistRecord&) override { }
    void saveRecords(const QList<PlaylistRecord>&) override { }
    void deleteRecord(const QUuid&) override { }
    void deleteFolderRecursively(const QUuid&) override { }
};

void BM_ReloadFromMemory(benchmark::State& state)
{
    TavrenPlaylistEngine engine(std::make_shared<MemoryStorage>(), nullptr, nullptr);
    for (auto _ : state) {
        engine.reloadPlaylists();
    }
    state.SetLabel(std::to_string(engine.rootPlaylists().size()) + " top-level entries");
}
BENCHMARK(BM_ReloadFromMemory)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ReloadFromStoreFile(benchmark::State& state)
{
    QTemporaryDir folder;
    auto storage = std::make_shared<TavrenPlaylistStorage>(folder.path());
    storage->saveRecords(records());
    TavrenPlaylistEngine engine(storage, nullptr, nullptr);
    for (auto _ : state) {
        engine.reloadPlaylists();
    }
}
BENCHMARK(BM_ReloadFromStoreFile)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
} // namespace kivo

int main(int argc, char** argv)
{
    return kivo::bench::runBenchmarks(argc, argv, [] { (void)kivo::records(); });
}
