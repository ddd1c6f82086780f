#pragma once

#include "model/PlaylistStorageImpl.h"
#include "model/StoreFile.h"

#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <atomic>
#include <optional>

namespace kivo::test {

// The real store in a temporary folder, counting writes and failing them on demand.
class SpyPlaylistStorage final : public PlaylistStorage {
public:
    using Records = QList<PlaylistRecord>;
    Records fetchAllRecords() override
    {
        fetchedOn = QThread::currentThread();
        return inner.fetchAllRecords();
    }
    Records fetchRecords(const std::optional<QUuid>& id) override { return inner.fetchRecords(id); }
    void saveRecord(const PlaylistRecord& record) override { write(), inner.saveRecord(record); }
    void saveRecords(const Records& records) override { write(), inner.saveRecords(records); }
    void deleteRecord(const QUuid& id) override { write(), inner.deleteRecord(id); }
    void deleteFolderRecursively(const QUuid& id) override
    {
        write(), inner.deleteFolderRecursively(id);
    }
    std::optional<PlaylistRecord> find(const QUuid& id)
    {
        const Records all = inner.fetchAllRecords();
        const auto found
            = std::find_if(all.cbegin(), all.cend(), [&](auto& r) { return r.id == id; });
        return found == all.cend() ? std::nullopt : std::optional(*found);
    }
    void write()
    {
        if (failWrites) {
            throw StoreFileError(StoreFileError::Case::writeFailed, QStringLiteral("/x"),
                QStringLiteral("Disk full"));
        }
        ++writes;
    }

    QTemporaryDir folder;
    TavrenPlaylistStorage inner { folder.path() };
    int writes = 0;
    bool failWrites = false;
    std::atomic<QThread*> fetchedOn = nullptr;
};

} // namespace kivo::test
