#include "model/PlaylistRecord.h"

#include "model/TextRules.h"

#include <QHash>

namespace kivo {

using ::qHash;

namespace {

bool textEqual(const std::optional<QString>& a, const std::optional<QString>& b)
{
    return a.has_value() == b.has_value() && (!a || text::equal(*a, *b));
}

bool textsEqual(const QStringList& a, const QStringList& b)
{
    if (a.size() != b.size()) {
        return false;
    }
    for (qsizetype i = 0; i < a.size(); ++i) {
        if (!text::equal(a[i], b[i])) {
            return false;
        }
    }
    return true;
}

size_t hashText(const std::optional<QString>& value, size_t seed)
{
    seed = qHash(value.has_value(), seed);
    return value ? text::hash(*value, seed) : seed;
}

} // namespace

bool PlaylistRecord::operator==(const PlaylistRecord& o) const
{
    return id == o.id && text::equal(name, o.name) && parentFolderID == o.parentFolderID
        && isFolder == o.isFolder && isSmart == o.isSmart
        && textEqual(smartCriteria, o.smartCriteria) && isFavorite == o.isFavorite
        && textEqual(description, o.description) && textsEqual(tags, o.tags)
        && trackIDs == o.trackIDs && displayOrderIndex == o.displayOrderIndex;
}

size_t qHash(const PlaylistRecord& r, size_t seed)
{
    seed = qHash(r.id, seed);
    seed = text::hash(r.name, seed);
    seed = qHash(r.parentFolderID.has_value(), seed);
    if (r.parentFolderID) {
        seed = qHash(*r.parentFolderID, seed);
    }
    seed = qHash(r.isFolder, seed);
    seed = qHash(r.isSmart, seed);
    seed = hashText(r.smartCriteria, seed);
    seed = qHash(r.isFavorite, seed);
    seed = hashText(r.description, seed);
    seed = qHash(r.tags.size(), seed);
    for (const QString& tag : r.tags) {
        seed = text::hash(tag, seed);
    }
    seed = qHash(r.trackIDs.size(), seed);
    for (const QUuid& id : r.trackIDs) {
        seed = qHash(id, seed);
    }
    return qHash(r.displayOrderIndex, seed);
}

Json PlaylistRecord::toJson() const
{
    using namespace json;
    Json o = Json::object();
    putUuid(o, "id", id);
    putString(o, "name", name);
    putOptional(o, "parentFolderID", parentFolderID, putUuid);
    putBool(o, "isFolder", isFolder);
    putBool(o, "isSmart", isSmart);
    putOptional(o, "smartCriteria", smartCriteria, putString);
    putBool(o, "isFavorite", isFavorite);
    putOptional(o, "description", description, putString);
    putStringList(o, "tags", tags);
    putUuidList(o, "trackIDs", trackIDs);
    putInt(o, "displayOrderIndex", displayOrderIndex);
    return o;
}

PlaylistRecord PlaylistRecord::fromJson(const Json& object, const QString& path)
{
    const json::ObjectReader r(object, path);
    PlaylistRecord record;
    record.id = r.requiredUuid("id");
    record.name = r.requiredString("name");
    record.parentFolderID = r.optionalUuid("parentFolderID");
    record.isFolder = r.requiredBool("isFolder");
    record.isSmart = r.requiredBool("isSmart");
    record.smartCriteria = r.optionalString("smartCriteria");
    record.isFavorite = r.requiredBool("isFavorite");
    record.description = r.optionalString("description");
    record.tags = r.requiredStringList("tags");
    record.trackIDs = r.requiredUuidList("trackIDs");
    record.displayOrderIndex = r.requiredInt("displayOrderIndex");
    return record;
}

} // namespace kivo
