#include "ui/library/FavoritesScreenModel.h"

#include "engines/library/LibraryEngine.h"

#include <algorithm>

using namespace Qt::Literals::StringLiterals;

namespace kivo {

namespace {

bool sameList(const QList<Track>& a, const QList<Track>& b)
{
    return !a.isEmpty() && a.constData() == b.constData() && a.size() == b.size();
}

// The favourites of the library's current list, kept beside the library, so
// that every favourites screen of an unchanged library lists the very same
// list (whose order the song table then already has) without picking it
// again. Let go as soon as the library's list changes.
class FavoritesMemo : public QObject {
public:
    explicit FavoritesMemo(LibraryEngine& library)
        : QObject(&library)
    {
        setObjectName(name());
        connect(&library, &LibraryEngine::tracksChanged, this, [this](const QList<Track>& tracks) {
            if (!sameList(m_library, tracks)) {
                m_library.clear();
                m_favorites.clear();
            }
        });
    }

    static FavoritesMemo& of(LibraryEngine& library)
    {
        auto* memo = library.findChild<QObject*>(name(), Qt::FindDirectChildrenOnly);
        return memo ? *static_cast<FavoritesMemo*>(memo) : *new FavoritesMemo(library);
    }

    QList<Track> favorites(const QList<Track>& libraryTracks)
    {
        if (!sameList(m_library, libraryTracks)) {
            m_favorites = FavoritesScreenModel::favorites(libraryTracks);
            m_library = libraryTracks;
        }
        return m_favorites;
    }

private:
    static QString name() { return u"kivoFavoritesMemo"_s; }

    QList<Track> m_library;
    QList<Track> m_favorites;
};

} // namespace

FavoritesScreenModel::FavoritesScreenModel(LibraryEngine& library, QObject* parent)
    : QObject(parent)
    , m_library(library)
    , m_tracks(FavoritesMemo::of(library).favorites(library.allTracks()))
{
    connect(&library, &LibraryEngine::tracksChanged, this, &FavoritesScreenModel::setTracks);
}

QList<Track> FavoritesScreenModel::favorites(const QList<Track>& libraryTracks)
{
    const auto isFavorite = [](const Track& track) { return track.isFavorite(); };
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
    m_tracks = FavoritesMemo::of(m_library).favorites(libraryTracks);
    Q_EMIT tracksChanged(m_tracks);
}

} // namespace kivo
