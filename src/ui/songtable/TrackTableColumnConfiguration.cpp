#include "ui/songtable/TrackTableColumnConfiguration.h"

#include "model/JsonCodec.h"

#include <cmath>

using namespace Qt::Literals::StringLiterals;

namespace kivo {

namespace {

// 220 is written "220", not "220.0", as the layout has always been stored.
void putWidth(Json& object, const char* key, double value)
{
    constexpr double exactIntegerLimit = 9007199254740992.0; // 2^53
    if (std::isfinite(value) && std::trunc(value) == value && std::abs(value) < exactIntegerLimit) {
        json::putInt(object, key, qint64(value));
    } else {
        json::putDouble(object, key, value); // throws for a non-finite width
    }
}

} // namespace

QByteArray encodeColumnLayout(const TrackTableColumnLayout& columns)
{
    Json document = Json::array();
    for (const TrackTableColumnConfiguration& column : columns) {
        Json object = Json::object();
        json::putString(object, "id", rawValue(column.id));
        putWidth(object, "width", column.width);
        putWidth(object, "expandedWidth", column.expandedWidth);
        json::putBool(object, "isCollapsed", column.isCollapsed);
        document.push_back(std::move(object));
    }
    return QByteArray::fromStdString(json::dump(document));
}

TrackTableColumnLayout decodeColumnLayout(const QByteArray& bytes)
{
    return json::readArray<TrackTableColumnConfiguration>(
        json::parse(bytes), [](const Json& element, const QString& path) {
            const json::ObjectReader reader(element, path);
            const QString raw = reader.requiredString("id");
            const std::optional<TrackTableColumnID> id = trackTableColumnIDFromRawValue(raw);
            if (!id) {
                reader.fail("id", u"\"%1\" is not a song-table column."_s.arg(raw));
            }
            return TrackTableColumnConfiguration { *id, reader.requiredDouble("width"),
                reader.requiredDouble("expandedWidth"), reader.requiredBool("isCollapsed") };
        });
}

} // namespace kivo
