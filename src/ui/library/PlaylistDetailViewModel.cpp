#include "ui/library/PlaylistDetailViewModel.h"

#include "engines/library/LibraryEngine.h"
#include "engines/library/PlaylistEngine.h"
#include "model/ErrorText.h"
#include "ui/library/AddSongsSheetModel.h"
#include "ui/library/ImportRoad.h"

#include <QPointer>

namespace kivo {

PlaylistDetailViewModel::PlaylistDetailViewModel(
    LibraryEngine& library, PlaylistEngine& playlists, Playlist playlist, QObject* parent)
    : QObject(parent)
    , m_library(library)
    , m_playlists(playlists)
    , m_playlist(std::move(playlist))
    , m_tracks(playlists.getTracks(m_playlist.id))
    , m_libraryTracks(library.allTracks())
    , m_addSongs(std::make_unique<AddSongsSheetModel>(*this))
{
    connect(&library, &LibraryEngine::tracksChanged, this, [this](const QList<Track>& tracks) {
        m_libraryTracks = tracks;
        Q_EMIT libraryTracksChanged(m_libraryTracks);
        reload();
    });
    connect(
        &playlists, &PlaylistEngine::rootPlaylistsChanged, this, &PlaylistDetailViewModel::reload);
}

PlaylistDetailViewModel::~PlaylistDetailViewModel() = default;

void PlaylistDetailViewModel::setPlaylist(const Playlist& playlist)
{
    if (m_playlist == playlist) {
        return;
    }
    // The same playlist, changed, is read again by the playlists' subscription.
    const bool another = m_playlist.id != playlist.id;
    m_playlist = playlist;
    Q_EMIT playlistChanged(m_playlist);
    if (another) {
        reload();
    }
}

void PlaylistDetailViewModel::reload()
{
    m_tracks = m_playlists.getTracks(m_playlist.id);
    Q_EMIT tracksChanged(m_tracks);
}

QString PlaylistDetailViewModel::errorLine() const
{
    return m_importError ? ImportRoad::firstLine(*m_importError) : QString();
}

void PlaylistDetailViewModel::play()
{
    try {
        m_playlists.queuePlaylist(m_playlist.id);
    } catch (...) {
        setImportError(describeError(std::current_exception()));
    }
}

bool PlaylistDetailViewModel::addTracks(const QList<Track>& songs)
{
    try {
        m_playlists.addTracks(songs, m_playlist.id);
    } catch (...) {
        setImportError(describeError(std::current_exception()));
        return false;
    }
    reload();
    return true;
}

QCoro::Task<> PlaylistDetailViewModel::importAndAddSongs(QList<QUrl> urls)
{
    const QPointer<PlaylistDetailViewModel> self(this);
    const QUuid playlistID = m_playlist.id;
    QCoro::Task<ImportOutcome> importing
        = ImportRoad::importAndAdd(m_library, m_playlists, playlistID, std::move(urls));
    const ImportOutcome outcome = co_await std::move(importing);
    // The songs went to the playlist they were dropped on; a screen that now
    // shows another one leaves its own error line alone.
    if (!self || self->m_playlist.id != playlistID) {
        co_return;
    }
    setImportError(outcome.errorLine(m_importError));
    if (outcome.kind == ImportOutcome::Kind::succeeded) {
        reload();
    }
}

void PlaylistDetailViewModel::setImportError(const std::optional<QString>& error)
{
    if (m_importError != error) {
        m_importError = error;
        Q_EMIT importErrorChanged(m_importError);
    }
}

void PlaylistDetailViewModel::setDropTargeted(bool targeted)
{
    if (m_dropTargeted != targeted) {
        m_dropTargeted = targeted;
        Q_EMIT dropTargetedChanged(targeted);
    }
}

} // namespace kivo
