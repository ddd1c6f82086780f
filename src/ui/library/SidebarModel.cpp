#include "ui/library/SidebarModel.h"

#include "engines/library/PlaylistEngine.h"

using namespace Qt::Literals::StringLiterals;

namespace kivo {

SidebarModel::SidebarModel(PlaylistEngine& playlists, QObject* parent)
    : QObject(parent)
    , m_playlistRows(playlistRows(playlists.rootPlaylists()))
{
    connect(&playlists, &PlaylistEngine::rootPlaylistsChanged, this,
        [this](const QList<Playlist>& rootPlaylists) {
            m_playlistRows = playlistRows(rootPlaylists);
            Q_EMIT playlistRowsChanged(m_playlistRows);
        });
}

const QList<SidebarRow>& SidebarModel::libraryRows()
{
    static const QList<SidebarRow> rows {
        { u"All Songs"_s, u"music.note"_s, NavigationDestination::songs(), std::nullopt },
        { u"Recently Added"_s, u"clock"_s, NavigationDestination::recentlyAdded(), std::nullopt },
        { u"Recently Played"_s, u"clock.arrow.circlepath"_s,
            NavigationDestination::recentlyPlayed(), std::nullopt },
        { u"Top Rated"_s, u"star"_s, NavigationDestination::topRated(), std::nullopt },
        { u"Favorites"_s, u"heart"_s, NavigationDestination::favorites(), std::nullopt },
    };
    return rows;
}

QList<SidebarRow> SidebarModel::playlistRows(const QList<Playlist>& rootPlaylists)
{
    QList<SidebarRow> rows;
    rows.reserve(rootPlaylists.size());
    for (const Playlist& playlist : rootPlaylists) {
        switch (playlist.type.kind()) {
        case PlaylistType::Kind::folder:
            rows.push_back({ playlist.name, u"folder"_s, NavigationDestination::folder(playlist.id),
                playlist });
            break;
        case PlaylistType::Kind::smart:
            rows.push_back({ playlist.name, u"sparkles"_s,
                NavigationDestination::playlist(playlist.id), playlist });
            break;
        case PlaylistType::Kind::standard:
            rows.push_back({ playlist.name, u"music.note.list"_s,
                NavigationDestination::playlist(playlist.id), playlist });
            break;
        }
    }
    return rows;
}

void SidebarModel::setSelection(const std::optional<NavigationDestination>& selection)
{
    if (m_selection == selection) {
        return;
    }
    m_selection = selection;
    Q_EMIT selectionChanged(m_selection);
}

} // namespace kivo
