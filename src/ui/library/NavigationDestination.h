#pragma once

#include <QHashFunctions>
#include <QMetaType>
#include <QUuid>

namespace kivo {

// What the main window's content area shows: one of the five library
// sections, or a top-level node of the playlists tree by id. Only the id is
// kept, so a renamed playlist keeps its destination and a deleted one simply
// stops resolving.
class NavigationDestination {
public:
    enum class Kind { playlist, folder, songs, recentlyAdded, recentlyPlayed, topRated, favorites };

    static NavigationDestination songs() { return NavigationDestination(Kind::songs); }
    static NavigationDestination recentlyAdded()
    {
        return NavigationDestination(Kind::recentlyAdded);
    }
    static NavigationDestination recentlyPlayed()
    {
        return NavigationDestination(Kind::recentlyPlayed);
    }
    static NavigationDestination topRated() { return NavigationDestination(Kind::topRated); }
    static NavigationDestination favorites() { return NavigationDestination(Kind::favorites); }
    static NavigationDestination playlist(const QUuid& id)
    {
        return NavigationDestination(Kind::playlist, id);
    }
    static NavigationDestination folder(const QUuid& id)
    {
        return NavigationDestination(Kind::folder, id);
    }

    Kind kind() const { return m_kind; }
    // The playlist's or folder's id; null for the sections.
    const QUuid& id() const { return m_id; }

    // playlist(x) and folder(x) differ; the sections ignore the id.
    bool operator==(const NavigationDestination&) const = default;

private:
    explicit NavigationDestination(Kind kind, const QUuid& id = {})
        : m_kind(kind)
        , m_id(id)
    {
    }

    Kind m_kind;
    QUuid m_id;
};

inline size_t qHash(const NavigationDestination& destination, size_t seed = 0) noexcept
{
    return qHashMulti(seed, int(destination.kind()), destination.id());
}

} // namespace kivo

Q_DECLARE_METATYPE(kivo::NavigationDestination)
