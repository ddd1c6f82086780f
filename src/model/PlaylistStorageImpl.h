#pragma once

#include "model/PlaylistStorage.h"

#include <QString>
#include <optional>

namespace kivo {

// PlaylistStorage on "playlist_records.json" in the data folder. It takes no
// lock and must be the file's only writer: changes belong to the main thread;
// a fetch may run on another (every write replaces the file atomically).
class TavrenPlaylistStorage final : public PlaylistStorage {
public:
    // `storageDirectory`: the data folder, created with its parents when
    // missing (default: storefile::defaultDataFolder()). A missing file is
    // made empty (a failure is ignored: a missing file reads as no playlists
    // too). Throws StoreFileError when the folder cannot be had or
    // something other than a folder stands in its place.
    explicit TavrenPlaylistStorage(const std::optional<QString>& storageDirectory = std::nullopt);

    // The name of the file the store writes in its folder.
    static QString fileName();

    const QString& storageFilePath() const { return m_storageFilePath; }

    QList<PlaylistRecord> fetchAllRecords() override;
    QList<PlaylistRecord> fetchRecords(const std::optional<QUuid>& parentFolderID) override;
    void saveRecord(const PlaylistRecord& record) override;
    void saveRecords(const QList<PlaylistRecord>& records) override;
    void deleteRecord(const QUuid& id) override;
    void deleteFolderRecursively(const QUuid& id) override;

private:
    QList<PlaylistRecord> readRecords() const;
    void write(const QList<PlaylistRecord>& records) const;

    QString m_storageFilePath;
};

} // namespace kivo
