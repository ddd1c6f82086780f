#pragma once

#include "model/Playlist.h"
#include "model/Track.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QUuid>
#include <exception>
#include <optional>
#include <string>

namespace kivo {

// The playlist engine's own failures. The record store's errors
// (StoreFileError, JsonCodingError) reach callers unchanged next to these.
class PlaylistError : public std::exception {
public:
    enum class Case {
        playlistNotFound,
        cannotPlayFolder,
        invalidName,
        nameTooLong,
        invalidOperation
    };

    static PlaylistError playlistNotFound() { return PlaylistError(Case::playlistNotFound); }
    static PlaylistError cannotPlayFolder() { return PlaylistError(Case::cannotPlayFolder); }
    static PlaylistError invalidName() { return PlaylistError(Case::invalidName); }
    static PlaylistError nameTooLong() { return PlaylistError(Case::nameTooLong); }
    static PlaylistError invalidOperation() { return PlaylistError(Case::invalidOperation); }

    Case errorCase() const { return m_case; }
    // "Playlist not found", "Cannot play a folder", "Playlist names cannot be
    // empty.", "Playlist names must be 120 characters or fewer.", "Invalid operation".
    QString errorDescription() const;
    const char* what() const noexcept override { return m_what.c_str(); }

    bool operator==(const PlaylistError& other) const { return m_case == other.m_case; }

private:
    explicit PlaylistError(Case errorCase);
    Case m_case;
    std::string m_what;
};

// Playlists, smart playlists and folders: the tree built from the flat record
// store, with its top level published as `rootPlaylists`. Main thread only;
// every operation is synchronous and throws PlaylistError or the store's error.
//
// Only the top level is held as `Playlist` values: the operations that take an
// entry from `rootPlaylists` (all but rename and the creates) do not find
// nested entries and throw playlistNotFound for them.
class PlaylistEngine : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~PlaylistEngine() override = default;

    // The published top level; `rootPlaylistsChanged` carries every new value.
    virtual QList<Playlist> rootPlaylists() const = 0;

    // The name is taken as given (callers trim it and send no empty name).
    // A `parentFolderID` that names no folder throws invalidOperation. An entry
    // made inside a folder shows in its `childrenIDs` after the next reload;
    // one made at the top level is appended to `rootPlaylists` unsorted.
    virtual Playlist createPlaylist(
        const QString& name, const std::optional<QUuid>& parentFolderID = std::nullopt)
        = 0;
    virtual Playlist createSmartPlaylist(const QString& name, const QString& criteria,
        const std::optional<QUuid>& parentFolderID = std::nullopt)
        = 0;
    virtual Playlist createFolder(
        const QString& name, const std::optional<QUuid>& parentFolderID = std::nullopt)
        = 0;
    // Trims the name; empty throws invalidName, over 120 characters nameTooLong.
    // Reaches nested entries too. Reloads the tree.
    virtual void rename(const QUuid& playlistID, const QString& newName) = 0;
    // A top-level copy named "<name> (Copy)", appended to `rootPlaylists`; a
    // folder's copy is empty.
    virtual Playlist duplicate(const QUuid& playlistID) = 0;
    // A folder goes with everything below it.
    virtual void deletePlaylist(const QUuid& playlistID) = 0;
    // Appends the tracks the playlist did not hold before the call.
    virtual void addTracks(const QList<Track>& tracks, const QUuid& playlistID) = 0;
    // Removes the songs at these positions of `trackIDs` (a set: order and
    // repeats do not matter). Any position outside the list throws
    // invalidOperation and removes nothing.
    virtual void removeTracks(const QList<qsizetype>& positions, const QUuid& playlistID) = 0;
    // Moves a top-level entry into the folder `toFolderID` (nullopt: the top
    // level) and reloads. `atIndex` is stored as the display order index.
    // A target that is no folder, the entry itself or a folder inside it
    // throws invalidOperation and changes nothing.
    virtual void move(
        const QUuid& playlistID, const std::optional<QUuid>& toFolderID, qint64 atIndex)
        = 0;
    virtual void toggleFavorite(const QUuid& playlistID) = 0;
    virtual void updateMetadata(
        const QUuid& playlistID, const std::optional<QString>& description, const QStringList& tags)
        = 0;
    // Hands the playlist's songs to the play queue (nothing when it has none
    // in the library); a folder throws cannotPlayFolder.
    virtual void queuePlaylist(const QUuid& playlistID) = 0;

    // The top-level entry with this id.
    virtual std::optional<Playlist> getPlaylist(const QUuid& id) const = 0;
    // The playlist's songs found in the library, in playlist order; empty for
    // an id that names no top-level entry.
    virtual QList<Track> getTracks(const QUuid& playlistID) const = 0;

Q_SIGNALS:
    void rootPlaylistsChanged(const QList<kivo::Playlist>& playlists);
};

} // namespace kivo
