#include "app/MainContentScreen.h"

#include "ui/library/FavoritesView.h"
#include "ui/library/PlaylistDetailView.h"
#include "ui/library/SongsView.h"
#include "ui/songtable/TrackListView.h"

namespace kivo {

MainContentScreen makeMainContentScreen(const MainContent& content,
    const TrackListDependencies& dependencies, PlaylistEngine& playlists,
    ImportFileChooser* importChooser, QWidget* parent)
{
    const auto elsewhere = [](const MainContent&) { return false; };
    switch (content.kind) {
    case MainContent::Kind::songs: {
        auto* songs = new SongsView(
            dependencies, content.title,
            [content](const QList<Track>& tracks) { return content.apply(tracks); }, importChooser,
            parent);
        return { songs, &songs->trackList(), elsewhere,
            [songs](ImportFileChooser* chooser) { songs->setChooser(chooser); } };
    }
    case MainContent::Kind::favorites: {
        auto* favorites = new FavoritesView(dependencies, parent);
        return { favorites, &favorites->trackList(), elsewhere, [](ImportFileChooser*) {} };
    }
    case MainContent::Kind::playlistDetail:
        break;
    }
    auto* detail
        = new PlaylistDetailView(dependencies, playlists, *content.playlist, importChooser, parent);
    return { detail, &detail->trackList(),
        [detail](const MainContent& next) {
            if (next.kind != MainContent::Kind::playlistDetail) {
                return false;
            }
            detail->setPlaylist(*next.playlist);
            return true;
        },
        [detail](ImportFileChooser* chooser) { detail->setChooser(chooser); } };
}

} // namespace kivo
