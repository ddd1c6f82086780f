#pragma once

#include "model/JsonCodec.h"

#include <QList>
#include <QMetaType>
#include <QString>
#include <QStringList>
#include <QUuid>
#include <optional>

namespace kivo {

// Standard, smart (with its criteria text, kept verbatim) or folder.
class PlaylistType {
public:
    enum class Kind { standard = 0, smart = 1, folder = 2 };

    static PlaylistType standard() { return PlaylistType(Kind::standard, {}); }
    static PlaylistType smart(const QString& criteria)
    {
        return PlaylistType(Kind::smart, criteria);
    }
    static PlaylistType folder() { return PlaylistType(Kind::folder, {}); }

    Kind kind() const { return m_kind; }
    bool isStandard() const { return m_kind == Kind::standard; }
    bool isSmart() const { return m_kind == Kind::smart; }
    bool isFolder() const { return m_kind == Kind::folder; }
    // The smart criteria; empty for the other kinds.
    const QString& criteria() const { return m_criteria; }

    bool operator==(const PlaylistType& other) const;

    Json toJson() const;
    // {"standard":{}}, {"smart":{"criteria":"…"}} or {"folder":{}}; exactly one case key.
    static PlaylistType fromJson(const Json& value, const QString& path);

private:
    PlaylistType(Kind kind, QString criteria)
        : m_kind(kind)
        , m_criteria(std::move(criteria))
    {
    }
    Kind m_kind;
    QString m_criteria;
};

size_t qHash(const PlaylistType& type, size_t seed = 0);

// One entry of the playlists tree. A plain value; `id` and `type` are fixed.
struct Playlist {
    QUuid id;
    QString name;
    std::optional<QString> description;
    QStringList tags;
    bool isFavorite = false;
    PlaylistType type = PlaylistType::standard();
    QList<QUuid> trackIDs;
    QList<QUuid> childrenIDs;

    static Playlist make(const QUuid& id, const QString& name, const PlaylistType& type);

    bool operator==(const Playlist& other) const;

    Json toJson() const;
    static Playlist fromJson(const Json& object, const QString& path = {});
};

size_t qHash(const Playlist& playlist, size_t seed = 0);

} // namespace kivo

Q_DECLARE_METATYPE(kivo::Playlist)
