#pragma once

#include "engines/library/LibraryEngine.h"
#include "engines/library/PlaylistEngine.h"
#include "engines/playback/QueueEngine.h"
#include "model/PlaylistRecord.h"
#include "model/PlaylistStorage.h"

#include <QPointer>
#include <exception>
#include <functional>
#include <memory>
#include <qcoro/qcorotask.h>

namespace kivo {

// PlaylistEngine over a PlaylistStorage. Starts empty; loadPlaylists() reads
// the tree off the main thread. The tree is read again (sorted by name in the
// user's locale) only there, in rename and in move; creates at the top level
// and duplicates are appended unsorted until the next reload.
//
// Edits of a top-level entry (tracks, favourite, metadata, move) are shown at
// once and undone again when the store refuses to save them, so the list never
// shows what is not stored.
class TavrenPlaylistEngine final : public PlaylistEngine {
    Q_OBJECT
public:
    // `libraryEngine` and `queueEngine` are not owned and may be null (no
    // songs, nothing to play); `storage` must not be null. Reads nothing.
    TavrenPlaylistEngine(std::shared_ptr<PlaylistStorage> storage, LibraryEngine* libraryEngine,
        QueueEngine* queueEngine, QObject* parent = nullptr);

    QList<Playlist> rootPlaylists() const override { return m_rootPlaylists; }

    Playlist createPlaylist(
        const QString& name, const std::optional<QUuid>& parentFolderID = std::nullopt) override;
    Playlist createSmartPlaylist(const QString& name, const QString& criteria,
        const std::optional<QUuid>& parentFolderID = std::nullopt) override;
    Playlist createFolder(
        const QString& name, const std::optional<QUuid>& parentFolderID = std::nullopt) override;
    void rename(const QUuid& playlistID, const QString& newName) override;
    Playlist duplicate(const QUuid& playlistID) override;
    void deletePlaylist(const QUuid& playlistID) override;
    void addTracks(const QList<Track>& tracks, const QUuid& playlistID) override;
    void removeTracks(const QList<qsizetype>& positions, const QUuid& playlistID) override;
    void move(
        const QUuid& playlistID, const std::optional<QUuid>& toFolderID, qint64 atIndex) override;
    void toggleFavorite(const QUuid& playlistID) override;
    void updateMetadata(const QUuid& playlistID, const std::optional<QString>& description,
        const QStringList& tags) override;
    void queuePlaylist(const QUuid& playlistID) override;

    std::optional<Playlist> getPlaylist(const QUuid& id) const override;
    QList<Track> getTracks(const QUuid& playlistID) const override;

    // Reads the store on a worker, then publishes its tree; a failed read
    // prints "Failed to load playlists: " with the error, publishes an empty
    // tree and keeps the error as loadError(). A load asked for while one runs
    // joins it; an edit published meanwhile makes it read again.
    QCoro::Task<> loadPlaylists();
    // The same, read on the calling thread.
    void reloadPlaylists();
    // Why the last read of the store failed; null after one that succeeded.
    // Until a read succeeds nothing is created in the store.
    std::exception_ptr loadError() const { return m_loadError; }

    // The top level of the tree the records describe, each entry with the ids
    // of its direct children in record order, sorted by name in locale order
    // (equal names keep record order). Records whose parent is missing show
    // nowhere.
    static QList<Playlist> buildTree(const QList<PlaylistRecord>& records);

Q_SIGNALS:
    // loadPlaylists() has ended, the tree or the error published.
    void loadFinished();

private:
    // Publishes the tree of the records read, or the failure of the read.
    void applyLoad(const QList<PlaylistRecord>& records, std::exception_ptr error);
    Playlist create(
        const QString& name, const PlaylistType& type, const std::optional<QUuid>& parentFolderID);
    void publish(QList<Playlist> playlists);
    // Position of the first top-level entry with the id; throws playlistNotFound.
    qsizetype positionOf(const QUuid& id) const;
    // Runs `edit` on a copy of the top level holding the entry at `position`
    // (it publishes its own steps), then saves the entry's record; puts the
    // old list back if the save fails.
    using Edit = std::function<void(QList<Playlist>& playlists, qsizetype position)>;
    void editAndSave(const QUuid& id, const Edit& edit);
    // Throws invalidOperation unless `folderID` names a folder record that is
    // neither `movingID` nor inside it.
    void checkTargetFolder(const QUuid& folderID, const std::optional<QUuid>& movingID) const;
    QList<Track> songsOf(const Playlist& playlist) const;

    std::shared_ptr<PlaylistStorage> m_storage;
    QPointer<LibraryEngine> m_libraryEngine;
    QPointer<QueueEngine> m_queueEngine;
    QList<Playlist> m_rootPlaylists;
    std::exception_ptr m_loadError;
    bool m_isLoading = false;
    // Counts the trees published other than by a load.
    quint64 m_revision = 0;
};

} // namespace kivo
