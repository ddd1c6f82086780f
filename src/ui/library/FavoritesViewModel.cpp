#include "ui/library/FavoritesViewModel.h"

#include "engines/library/LibraryEngine.h"
#include "model/RunOnWorker.h"

#include <QCoreApplication>
#include <QPointer>
#include <QtConcurrent/QtConcurrentRun>
#include <optional>
#include <vector>

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
// again. While no favourites screen is open only where they stand is kept: a
// third of a large library may be favourites, and their copy would stay for
// the session. Let go as soon as the library's list changes.
class FavoritesMemo : public QObject {
public:
    explicit FavoritesMemo(LibraryEngine& library)
        : QObject(&library)
    {
        setObjectName(name());
        connect(&library, &LibraryEngine::tracksChanged, this, [this](const QList<Track>& tracks) {
            if (!sameList(m_library, tracks)) {
                m_library.clear();
                m_positions = {};
                m_favorites.clear();
            }
        });
    }

    static FavoritesMemo& of(LibraryEngine& library)
    {
        auto* memo = library.findChild<QObject*>(name(), Qt::FindDirectChildrenOnly);
        return memo ? *static_cast<FavoritesMemo*>(memo) : *new FavoritesMemo(library);
    }

    // The favourites picked for exactly this list, if any.
    std::optional<QList<Track>> find(const QList<Track>& libraryTracks)
    {
        if (!sameList(m_library, libraryTracks)) {
            return std::nullopt;
        }
        if (m_favorites.isEmpty()) {
            m_favorites = FavoritesViewModel::favorites(libraryTracks, m_positions);
        }
        return m_favorites;
    }
    void remember(const QList<Track>& libraryTracks, std::vector<qsizetype> positions,
        const QList<Track>& favorites)
    {
        m_library = libraryTracks;
        m_positions = std::move(positions);
        m_favorites = m_views > 0 ? favorites : QList<Track>();
    }

    // Counts the favourites screens open.
    void opened() { ++m_views; }
    void closed()
    {
        if (--m_views == 0) {
            releaseOnWorker(std::exchange(m_favorites, {}));
        }
    }

private:
    static QString name() { return u"kivoFavoritesMemo"_s; }

    QList<Track> m_library;
    std::vector<qsizetype> m_positions;
    QList<Track> m_favorites;
    int m_views = 0;
};

} // namespace

FavoritesViewModel::FavoritesViewModel(
    LibraryEngine& library, QObject* parent, qsizetype backgroundThreshold)
    : QObject(parent)
    , m_library(library)
    , m_backgroundThreshold(backgroundThreshold)
{
    FavoritesMemo& memo = FavoritesMemo::of(library);
    memo.opened();
    m_memo = &memo;
    connect(&library, &LibraryEngine::tracksChanged, this, &FavoritesViewModel::setTracks);
    setTracks(library.allTracks());
}

FavoritesViewModel::~FavoritesViewModel()
{
    // The library (and its memo) may already be gone at the program's end.
    if (m_memo) {
        static_cast<FavoritesMemo*>(m_memo.data())->closed();
    }
}

std::vector<qsizetype> FavoritesViewModel::favoritePositions(const QList<Track>& libraryTracks)
{
    std::vector<qsizetype> positions;
    for (qsizetype i = 0; i < libraryTracks.size(); ++i) {
        if (libraryTracks.at(i).isFavorite()) {
            positions.push_back(i);
        }
    }
    return positions;
}

QList<Track> FavoritesViewModel::favorites(
    const QList<Track>& libraryTracks, const std::vector<qsizetype>& positions)
{
    // Sized once: a third of a large library may be favourites.
    QList<Track> kept;
    kept.reserve(qsizetype(positions.size()));
    for (const qsizetype position : positions) {
        kept.push_back(libraryTracks.at(position));
    }
    return kept;
}

void FavoritesViewModel::reload()
{
    setTracks(m_library.allTracks());
}

void FavoritesViewModel::setTracks(const QList<Track>& libraryTracks)
{
    const quint64 generation = ++m_generation;
    FavoritesMemo& memo = FavoritesMemo::of(m_library);
    if (std::optional<QList<Track>> known = memo.find(libraryTracks)) {
        setGathering(false);
        publish(std::move(*known));
        return;
    }
    if (libraryTracks.size() < m_backgroundThreshold) {
        std::vector<qsizetype> positions = favoritePositions(libraryTracks);
        QList<Track> picked = favorites(libraryTracks, positions);
        memo.remember(libraryTracks, std::move(positions), picked);
        setGathering(false);
        publish(std::move(picked));
        return;
    }
    setGathering(true);
    // Handed back through the application object with a guard, not a future's
    // continuation on this model: Qt 6.4 runs such a continuation on a model
    // destroyed meanwhile.
    (void)QtConcurrent::run([self = QPointer(this), generation, libraryTracks] {
        std::vector<qsizetype> positions = favoritePositions(libraryTracks);
        QList<Track> picked = favorites(libraryTracks, positions);
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [self, generation, libraryTracks, positions = std::move(positions),
                picked = std::move(picked)]() mutable {
                if (!self || generation != self->m_generation) {
                    return; // gone, or a newer library came
                }
                FavoritesMemo::of(self->m_library)
                    .remember(libraryTracks, std::move(positions), picked);
                self->setGathering(false);
                self->publish(std::move(picked));
            },
            Qt::QueuedConnection);
    });
}

void FavoritesViewModel::publish(QList<Track> favorites)
{
    // This model may hold the last copy of the favourites it showed.
    releaseOnWorker(std::exchange(m_tracks, std::move(favorites)));
    Q_EMIT tracksChanged(m_tracks);
}

void FavoritesViewModel::setGathering(bool gathering)
{
    if (m_gathering != gathering) {
        m_gathering = gathering;
        Q_EMIT gatheringChanged(gathering);
    }
}

} // namespace kivo
