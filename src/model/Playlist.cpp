#include "model/Playlist.h"

#include "model/TextRules.h"

#include <QHash>

namespace kivo {

using ::qHash;

bool PlaylistType::operator==(const PlaylistType& other) const
{
    return m_kind == other.m_kind && (m_kind != Kind::smart || m_criteria == other.m_criteria);
}

size_t qHash(const PlaylistType& type, size_t seed)
{
    seed = qHash(int(type.kind()), seed);
    if (type.isSmart()) {
        seed = qHash(type.criteria(), seed);
    }
    return seed;
}

Json PlaylistType::toJson() const
{
    switch (m_kind) {
    case Kind::standard:
        return Json { { "standard", Json::object() } };
    case Kind::smart:
        return Json { { "smart", Json { { "criteria", m_criteria.toStdString() } } } };
    case Kind::folder:
        return Json { { "folder", Json::object() } };
    }
    return Json::object();
}

PlaylistType PlaylistType::fromJson(const Json& value, const QString& path)
{
    if (!value.is_object()) {
        throw JsonCodingError(JsonCodingError::Kind::Decoding, path,
            QStringLiteral("Expected an object but found %1.")
                .arg(QString::fromUtf8(value.type_name())));
    }
    const char* found = nullptr;
    int count = 0;
    for (const char* name : { "standard", "smart", "folder" }) {
        if (value.contains(name)) {
            found = name;
            ++count;
        }
    }
    if (count != 1) {
        throw JsonCodingError(JsonCodingError::Kind::Decoding, path,
            QStringLiteral("Invalid number of keys found, expected one."));
    }
    const QString casePath = path + u'.' + QString::fromUtf8(found);
    const json::ObjectReader payload(value.at(found), casePath);
    if (std::string_view(found) == "smart") {
        return smart(payload.requiredString("criteria"));
    }
    return std::string_view(found) == "standard" ? standard() : folder();
}

Playlist Playlist::make(const QUuid& id, const QString& name, const PlaylistType& type)
{
    Playlist p;
    p.id = id;
    p.name = name;
    p.type = type;
    return p;
}

bool Playlist::operator==(const Playlist& o) const
{
    const bool descriptionsEqual = description.has_value() == o.description.has_value()
        && (!description || text::equal(*description, *o.description));
    bool tagsEqual = tags.size() == o.tags.size();
    for (qsizetype i = 0; tagsEqual && i < tags.size(); ++i) {
        tagsEqual = text::equal(tags[i], o.tags[i]);
    }
    return id == o.id && text::equal(name, o.name) && descriptionsEqual && tagsEqual
        && isFavorite == o.isFavorite && type == o.type && trackIDs == o.trackIDs
        && childrenIDs == o.childrenIDs;
}

size_t qHash(const Playlist& p, size_t seed)
{
    seed = qHash(p.id, seed);
    seed = text::hash(p.name, seed);
    seed = qHash(p.description.has_value(), seed);
    if (p.description) {
        seed = text::hash(*p.description, seed);
    }
    seed = qHash(p.tags.size(), seed);
    for (const QString& tag : p.tags) {
        seed = text::hash(tag, seed);
    }
    seed = qHash(p.isFavorite, seed);
    seed = qHash(p.type, seed);
    seed = qHash(p.trackIDs.size(), seed);
    for (const QUuid& id : p.trackIDs) {
        seed = qHash(id, seed);
    }
    seed = qHash(p.childrenIDs.size(), seed);
    for (const QUuid& id : p.childrenIDs) {
        seed = qHash(id, seed);
    }
    return seed;
}

Json Playlist::toJson() const
{
    using namespace json;
    Json o = Json::object();
    putUuid(o, "id", id);
    putString(o, "name", name);
    putOptional(o, "description", description, putString);
    putStringList(o, "tags", tags);
    putBool(o, "isFavorite", isFavorite);
    o["type"] = type.toJson();
    putUuidList(o, "trackIDs", trackIDs);
    putUuidList(o, "childrenIDs", childrenIDs);
    return o;
}

Playlist Playlist::fromJson(const Json& object, const QString& path)
{
    const json::ObjectReader r(object, path);
    Playlist p;
    p.id = r.requiredUuid("id");
    p.name = r.requiredString("name");
    p.description = r.optionalString("description");
    p.tags = r.requiredStringList("tags");
    p.isFavorite = r.requiredBool("isFavorite");
    p.type = PlaylistType::fromJson(r.requiredMember("type"), r.keyPath("type"));
    p.trackIDs = r.requiredUuidList("trackIDs");
    p.childrenIDs = r.requiredUuidList("childrenIDs");
    return p;
}

} // namespace kivo
