#pragma once

#include "model/Playlist.h"
#include "model/Track.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QUrl>
#include <memory>
#include <optional>
#include <qcoro/qcorotask.h>

namespace kivo {

class AddSongsSheetModel;
class LibraryEngine;
class PlaylistEngine;

// The playlist screen's state: the shown playlist's songs as the playlist
// engine resolves them (ids the library lacks skipped, repeats kept), the
// library's songs for the add-songs sheet, one error line for play, add and
// import, and the drop zone. The songs are read again on every library or
// playlists change and whenever the screen is given another playlist. Main
// thread only.
class PlaylistDetailViewModel : public QObject {
    Q_OBJECT
public:
    PlaylistDetailViewModel(LibraryEngine& library, PlaylistEngine& playlists, Playlist playlist,
        QObject* parent = nullptr);
    ~PlaylistDetailViewModel() override;

    // The playlist (or folder) shown: its id and its name as given.
    const Playlist& playlist() const { return m_playlist; }
    // Shows another playlist and reads its songs at once. The error line and
    // the sheet's ticks stay, as they belong to the screen.
    void setPlaylist(const Playlist& playlist);

    // Published.
    const QList<Track>& tracks() const { return m_tracks; }
    const QList<Track>& libraryTracks() const { return m_libraryTracks; }
    void reload();

    // Published: the last failure of play, add or import. Only a whole
    // successful import clears it.
    const std::optional<QString>& importError() const { return m_importError; }
    QString errorLine() const;

    // Play needs songs; a folder with songs reports "Cannot play a folder".
    bool canPlay() const { return !m_tracks.isEmpty(); }
    void play();

    // Adds library songs (the sheet's ticks); true on success, which reloads.
    // A failure shows its text.
    bool addTracks(const QList<Track>& songs);

    // Imports the importable files among `urls` and adds their library songs
    // to the playlist shown when the import started. Nothing importable:
    // nothing changes. Success clears the error and reloads.
    QCoro::Task<> importAndAddSongs(QList<QUrl> urls);

    AddSongsSheetModel& addSongs() const { return *m_addSongs; }

    bool isDropTargeted() const { return m_dropTargeted; }
    void setDropTargeted(bool targeted);

Q_SIGNALS:
    void playlistChanged(const kivo::Playlist& playlist);
    void tracksChanged(const QList<kivo::Track>& tracks);
    void libraryTracksChanged(const QList<kivo::Track>& tracks);
    void importErrorChanged(const std::optional<QString>& error);
    void dropTargetedChanged(bool targeted);

private:
    void setImportError(const std::optional<QString>& error);

    LibraryEngine& m_library;
    PlaylistEngine& m_playlists;
    Playlist m_playlist;
    QList<Track> m_tracks;
    QList<Track> m_libraryTracks;
    std::optional<QString> m_importError;
    bool m_dropTargeted = false;
    std::unique_ptr<AddSongsSheetModel> m_addSongs;
};

} // namespace kivo
