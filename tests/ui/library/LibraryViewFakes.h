#pragma once

#include "engines/library/PlaylistEngineImpl.h"
#include "model/DatabaseManager.h"
#include "model/Date.h"
#include "model/PlaylistStorageImpl.h"
#include "model/StoreFile.h"
#include "support/StubLibraryEngine.h"
#include "support/StubQueueEngine.h"

#include <QFile>
#include <QTemporaryDir>
#include <optional>

namespace kivo::test {

using namespace Qt::Literals::StringLiterals;

inline Track song(const QString& title, const QString& path = {}, qint64 rating = 0)
{
    const QUrl url = QUrl::fromLocalFile(path.isEmpty() ? u"/music/"_s + title + u".mp3"_s : path);
    Track track = Track::make(QUuid::createUuid(), url, url.fileName(), title, 61, Date { 0 });
    track.rating = rating;
    return track;
}

inline QStringList titles(const QList<Track>& tracks)
{
    QStringList result;
    for (const Track& track : tracks) {
        result.push_back(track.title);
    }
    return result;
}

// A library in memory. An import records what it was handed, appends a song
// for every location it does not hold yet and then fails when `importFailure`
// is set, like the engine's summary of failed files.
class FakeLibrary final : public StubLibraryEngine {
public:
    QList<Track> allTracks() const override { return tracks; }
    QCoro::Task<> importFiles(QList<QUrl> urls) override
    {
        imports.push_back(urls);
        for (const QUrl& url : urls) {
            const bool known = std::any_of(tracks.cbegin(), tracks.cend(),
                [&url](const Track& track) { return track.fileURL == url; });
            if (!known && !failingFiles.contains(url.fileName())) {
                tracks.push_back(song(url.fileName(), url.toLocalFile()));
            }
        }
        Q_EMIT tracksChanged(tracks);
        if (importFailure) {
            throw DatabaseError::writeFailed(*importFailure);
        }
        co_return;
    }
    void publish(QList<Track> list)
    {
        tracks = std::move(list);
        Q_EMIT tracksChanged(tracks);
    }
    LibraryLoadState loadState() const override { return state; }
    std::exception_ptr loadError() const override { return error; }
    void setLoadState(LibraryLoadState newState, std::exception_ptr newError = nullptr)
    {
        state = newState;
        error = std::move(newError);
        Q_EMIT loadStateChanged(state);
    }

    QList<Track> tracks;
    LibraryLoadState state = LibraryLoadState::loaded;
    std::exception_ptr error;
    QList<QList<QUrl>> imports;
    QStringList failingFiles;
    std::optional<QString> importFailure;
};

class FakeQueue final : public StubQueueEngine {
public:
    void playNow(const QList<Track>& list) override { played.push_back(list); }
    QList<QList<Track>> played;
};

// The real record store in a temporary folder, failing writes on demand.
class FailableStorage final : public PlaylistStorage {
public:
    using Records = QList<PlaylistRecord>;
    Records fetchAllRecords() override { return inner.fetchAllRecords(); }
    Records fetchRecords(const std::optional<QUuid>& id) override { return inner.fetchRecords(id); }
    void saveRecord(const PlaylistRecord& record) override { check(), inner.saveRecord(record); }
    void saveRecords(const Records& records) override { check(), inner.saveRecords(records); }
    void deleteRecord(const QUuid& id) override { check(), inner.deleteRecord(id); }
    void deleteFolderRecursively(const QUuid& id) override
    {
        check(), inner.deleteFolderRecursively(id);
    }
    void check() const
    {
        if (failWrites) {
            throw StoreFileError(StoreFileError::Case::writeFailed, u"/x"_s, u"Disk full"_s);
        }
    }

    QTemporaryDir folder;
    TavrenPlaylistStorage inner { folder.path() };
    bool failWrites = false;
};

// The real playlist engine over a fake library and queue.
struct Engines {
    FakeLibrary library;
    FakeQueue queue;
    std::shared_ptr<FailableStorage> storage = std::make_shared<FailableStorage>();
    TavrenPlaylistEngine playlists { storage, &library, &queue };
};

// An empty file at `path`, so that it exists for the import road.
inline QUrl touch(const QString& path)
{
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    return QUrl::fromLocalFile(path);
}

} // namespace kivo::test
