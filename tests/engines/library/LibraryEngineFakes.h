#pragma once

#include "engines/library/LibraryEngineImpl.h"
#include "model/ErrorText.h"
#include "model/StoreFile.h"
#include "platform/MediaProbe.h"
#include "platform/SecurityScopedResource.h"
#include "support/Await.h"
#include "support/CountingFileAccess.h"
#include "support/StubDatabaseManager.h"
#include "support/StubMetadataEngine.h"
#include "support/TempDir.h"

#include <QCoroFuture>
#include <QFuture>
#include <QSet>
#include <QtConcurrent/QtConcurrentRun>
#include <atomic>
#include <functional>

namespace kivo::test {

inline Track makeTrack(const QString& title, const QString& path)
{
    return Track::make(QUuid::createUuid(), QUrl::fromLocalFile(path),
        QUrl::fromLocalFile(path).fileName(), title, 60, Date::now());
}

inline QStringList titles(const QList<Track>& tracks)
{
    QStringList result;
    for (const Track& track : tracks) {
        result.push_back(track.title);
    }
    return result;
}

inline QString describe(const std::exception_ptr& error)
{
    return describeError(error);
}

inline StoreFileError storeFailure()
{
    return { StoreFileError::Case::writeFailed, QStringLiteral("/data/tracks.json"),
        QStringLiteral("Disk full") };
}
inline const QString storeFailureText = QString::fromUtf8(storeFailure().what());

// The message of the error the task ends with when it is an `Error`; "none"
// without an error, "?" for another error.
template <typename Error = std::exception> QString failure(QCoro::Task<> task)
{
    const auto outcome = QCoro::waitFor(settle(std::move(task)));
    if (!outcome.error) {
        return QStringLiteral("none");
    }
    return outcome.template errorAs<Error>() ? describe(outcome.error) : QStringLiteral("?");
}

// The track store in memory. A load reads the list when it is called and
// hands it back once `loadGate` (if any) has finished.
class FakeStore : public StubDatabaseManager {
public:
    QList<Track> stored;
    bool failLoad = false, failSave = false, failDelete = false;
    std::function<void()> onSave, onDelete; // run as the call begins
    QList<QList<Track>> saves;
    std::optional<QFuture<void>> loadGate;

    QCoro::Task<void> saveTracks(QList<Track> tracks) override
    {
        begin(onSave, failSave);
        saves.push_back(tracks);
        for (const Track& track : tracks) {
            const auto at = std::find_if(stored.begin(), stored.end(),
                [&](const Track& kept) { return kept.id == track.id; });
            at == stored.end() ? stored.push_back(track) : void(*at = track);
        }
        co_return;
    }
    QCoro::Task<QList<Track>> loadAllTracks() override
    {
        const QList<Track> snapshot = stored;
        if (loadGate) {
            co_await *loadGate;
        }
        if (failLoad) {
            throw storeFailure();
        }
        co_return snapshot;
    }
    QCoro::Task<void> deleteTracks(QList<Track> tracks) override
    {
        begin(onDelete, failDelete);
        for (const Track& track : tracks) {
            stored.removeIf([&](const Track& kept) { return kept.id == track.id; });
        }
        co_return;
    }

private:
    static void begin(const std::function<void()>& hook, bool fail)
    {
        if (hook) {
            const auto running = hook; // the hook may replace itself
            running();
        }
        if (fail) {
            throw storeFailure();
        }
    }
};

// Tags by file name; each read waits for a worker so that reads overlap.
class FakeMetadata final : public StubMetadataEngine {
public:
    QHash<QString, std::optional<QString>> titles; // absent name: no title
    QSet<QString> failing;
    QStringList reads;
    int inFlight = 0, maxInFlight = 0;

    QCoro::Task<ExtractedMetadata> readMetadata(QUrl url) override
    {
        reads.push_back(url.fileName());
        maxInFlight = std::max(maxInFlight, ++inFlight);
        QFuture<void> elsewhere = QtConcurrent::run([] {});
        co_await elsewhere;
        --inFlight;
        if (failing.contains(url.fileName())) {
            throw MediaProbeError::unreadable(url.toLocalFile());
        }
        ExtractedMetadata metadata(2.5);
        metadata.title = titles.value(url.fileName());
        metadata.artist = QStringLiteral("Ana");
        co_return metadata;
    }
};

class FakeWatcher final : public FileWatcher {
public:
    QList<QUrl> watched;
    // Runs while the folders are being watched, before untilWatching() completes.
    std::function<void()> whileWatching;

    QList<QUrl> monitoredFolders() const override { return watched; }
    void startWatching(const QUrl& folder) override { watched.push_back(folder); }
    QCoro::Task<> untilWatching() override
    {
        if (whileWatching) {
            whileWatching();
        }
        co_return;
    }
    void stopWatching(const QUrl&) override { }
    void pause() override { }
    void resume() override { }
};

// An engine over the fakes, loaded.
class LibraryEngineTest : public TempDirTest {
protected:
    void TearDown() override { FileAccessPlatform::setShared(nullptr); }

    TavrenLibraryEngine& engine()
    {
        m_engine = std::make_unique<TavrenLibraryEngine>(store, metadata, cache, watcher);
        await(m_engine->loadLibraryFromDisk());
        return *m_engine;
    }

    // An empty file at `relative`, as a URL.
    QUrl file(const QString& relative) const
    {
        return QUrl::fromLocalFile(writeFile(relative, {}));
    }

    std::shared_ptr<FakeStore> store = std::make_shared<FakeStore>();
    std::shared_ptr<FakeMetadata> metadata = std::make_shared<FakeMetadata>();
    std::shared_ptr<MetadataCache> cache = std::make_shared<MetadataCache>();
    std::shared_ptr<FakeWatcher> watcher = std::make_shared<FakeWatcher>();
    std::unique_ptr<TavrenLibraryEngine> m_engine;
};

} // namespace kivo::test
