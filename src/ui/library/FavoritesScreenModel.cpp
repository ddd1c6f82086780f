#include "ui/library/FavoritesScreenModel.h"

#include "engines/library/LibraryEngine.h"

#include <algorithm>

namespace kivo {

FavoritesScreenModel::FavoritesScreenModel(LibraryEngine& library, QObject* parent)
    : QObject(parent)
    , m_library(library)
    , m_tracks(favorites(library.allTracks()))
{
    connect(&library, &LibraryEngine::tracksChanged, this, &FavoritesScreenModel::setTracks);
}

QList<Track> FavoritesScreenModel::favorites(const QList<Track>& libraryTracks)
{
    const auto isFavorite = [](const Track& track) { return track.rating >= 4; };
    // Sized once: a third of a large library may be favourites.
    QList<Track> kept;
    kept.reserve(std::count_if(libraryTracks.cbegin(), libraryTracks.cend(), isFavorite));
    for (const Track& track : libraryTracks) {
        if (isFavorite(track)) {
            kept.push_back(track);
        }
    }
    return kept;
}

void FavoritesScreenModel::reload()
{
    setTracks(m_library.allTracks());
}

void FavoritesScreenModel::setTracks(const QList<Track>& libraryTracks)
{
    m_tracks = favorites(libraryTracks);
    Q_EMIT tracksChanged(m_tracks);
}

} // namespace kivo
