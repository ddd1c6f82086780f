#include "model/JsonCodec.h"

#include <cmath>
#include <limits>

using namespace Qt::Literals::StringLiterals;

namespace kivo::json {

namespace {

[[noreturn]] void encodingFailure(const char* key, const QString& problem)
{
    throw JsonCodingError(JsonCodingError::Kind::Encoding, QString::fromUtf8(key), problem);
}

QString typeName(const Json& value)
{
    return QString::fromUtf8(value.type_name());
}

} // namespace

// ---- writing -----------------------------------------------------------------

void putString(Json& object, const char* key, const QString& value)
{
    object[key] = value.toStdString();
}

void putDouble(Json& object, const char* key, double value)
{
    if (!std::isfinite(value)) {
        encodingFailure(key, QStringLiteral("The number is not finite."));
    }
    object[key] = value;
}

void putFloat(Json& object, const char* key, float value)
{
    if (!std::isfinite(value)) {
        encodingFailure(key, QStringLiteral("The number is not finite."));
    }
    object[key] = floatToJsonDouble(value);
}

void putInt(Json& object, const char* key, qint64 value)
{
    object[key] = static_cast<std::int64_t>(value);
}

void putBool(Json& object, const char* key, bool value)
{
    object[key] = value;
}

void putUuid(Json& object, const char* key, const QUuid& value)
{
    object[key] = uuidText(value).toStdString();
}

void putUuidList(Json& object, const char* key, const QList<QUuid>& value)
{
    Json array = Json::array();
    for (const QUuid& id : value) {
        array.push_back(uuidText(id).toStdString());
    }
    object[key] = std::move(array);
}

void putStringList(Json& object, const char* key, const QStringList& value)
{
    Json array = Json::array();
    for (const QString& text : value) {
        array.push_back(text.toStdString());
    }
    object[key] = std::move(array);
}

void putDate(Json& object, const char* key, const Date& value)
{
    putDouble(object, key, value.secondsSinceReferenceDate);
}

void putBytes(Json& object, const char* key, const QByteArray& value)
{
    object[key] = value.toBase64().toStdString();
}

void putUrl(Json& object, const char* key, const QUrl& value)
{
    object[key] = fileUrlText(value).toStdString();
}
// ---- reading -----------------------------------------------------------------

ObjectReader::ObjectReader(const Json& value, QString path)
    : m_object(value)
    , m_path(std::move(path))
{
    if (!value.is_object()) {
        throw JsonCodingError(JsonCodingError::Kind::Decoding, m_path,
            QStringLiteral("Expected an object but found %1.").arg(typeName(value)));
    }
}

QString ObjectReader::keyPath(const char* key) const
{
    const QString name = QString::fromUtf8(key);
    return m_path.isEmpty() ? name : m_path + u'.' + name;
}

void ObjectReader::fail(const char* key, const QString& problem) const
{
    throw JsonCodingError(JsonCodingError::Kind::Decoding, keyPath(key), problem);
}

const Json* ObjectReader::member(const char* key) const
{
    const auto it = m_object.find(key);
    if (it == m_object.end() || it->is_null()) {
        return nullptr;
    }
    return &*it;
}

const Json& ObjectReader::requiredMember(const char* key) const
{
    const Json* value = member(key);
    if (!value) {
        fail(key, QStringLiteral("No value was found for the required key."));
    }
    return *value;
}

namespace {

QString expected(const char* what, const Json& found)
{
    return QStringLiteral("Expected %1 but found %2.")
        .arg(QString::fromUtf8(what), QString::fromUtf8(found.type_name()));
}

} // namespace

std::optional<qint64> integerValue(const Json& value)
{
    if (value.is_number_integer() && !value.is_number_unsigned()) {
        return value.get<std::int64_t>();
    }
    if (value.is_number_unsigned()) {
        const auto u = value.get<std::uint64_t>();
        if (u > std::uint64_t(std::numeric_limits<qint64>::max())) {
            return std::nullopt;
        }
        return qint64(u);
    }
    if (value.is_number_float()) {
        // 3.0 is an integer; 2.5 and out-of-range values are not.
        const double d = value.get<double>();
        if (!std::isfinite(d) || std::trunc(d) != d || d < -9.2233720368547758e18
            || d >= 9.2233720368547758e18) {
            return std::nullopt;
        }
        return qint64(d);
    }
    return std::nullopt;
}

std::optional<QByteArray> bytesFromBase64(const QByteArray& latin1)
{
    const auto decoded = QByteArray::fromBase64Encoding(
        latin1, QByteArray::Base64Encoding | QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded) {
        return std::nullopt;
    }
    return decoded.decoded;
}

std::optional<std::string_view> ObjectReader::stringBytes(const char* key) const
{
    const Json* value = member(key);
    if (!value || !value->is_string()) {
        return std::nullopt;
    }
    return std::string_view(value->get_ref<const std::string&>());
}

QString ObjectReader::requiredString(const char* key) const
{
    const Json& value = requiredMember(key);
    if (!value.is_string()) {
        fail(key, expected("a string", value));
    }
    return fromStd(value.get_ref<const std::string&>());
}

std::optional<QString> ObjectReader::optionalString(const char* key) const
{
    return member(key) ? std::optional(requiredString(key)) : std::nullopt;
}

double ObjectReader::requiredDouble(const char* key) const
{
    const Json& value = requiredMember(key);
    if (!value.is_number()) {
        fail(key, expected("a number", value));
    }
    return value.get<double>();
}

std::optional<double> ObjectReader::optionalDouble(const char* key) const
{
    return member(key) ? std::optional(requiredDouble(key)) : std::nullopt;
}

std::optional<float> ObjectReader::optionalFloat(const char* key) const
{
    const std::optional<double> value = optionalDouble(key);
    if (!value) {
        return std::nullopt;
    }
    const std::optional<float> number = floatFromJsonDouble(*value);
    if (!number) {
        fail(key, QStringLiteral("The number does not fit a 32-bit float."));
    }
    return number;
}

qint64 ObjectReader::requiredInt(const char* key) const
{
    const Json& value = requiredMember(key);
    const std::optional<qint64> result = integerValue(value);
    if (!result) {
        fail(key,
            value.is_number() ? QStringLiteral("The number is not a 64-bit integer.")
                              : expected("an integer", value));
    }
    return *result;
}

std::optional<qint64> ObjectReader::optionalInt(const char* key) const
{
    return member(key) ? std::optional(requiredInt(key)) : std::nullopt;
}

bool ObjectReader::requiredBool(const char* key) const
{
    const Json& value = requiredMember(key);
    if (!value.is_boolean()) {
        fail(key, expected("a boolean", value));
    }
    return value.get<bool>();
}

QUuid ObjectReader::requiredUuid(const char* key) const
{
    const QString text = requiredString(key);
    const std::optional<QUuid> id = parseUuid(text);
    if (!id) {
        fail(key, QStringLiteral("Attempted to decode UUID from invalid UUID string."));
    }
    return *id;
}

std::optional<QUuid> ObjectReader::optionalUuid(const char* key) const
{
    return member(key) ? std::optional(requiredUuid(key)) : std::nullopt;
}

QList<QUuid> ObjectReader::requiredUuidList(const char* key) const
{
    const Json& value = requiredMember(key);
    if (!value.is_array()) {
        fail(key, expected("an array", value));
    }
    QList<QUuid> result;
    result.reserve(qsizetype(value.size()));
    for (const Json& element : value) {
        std::optional<QUuid> id;
        if (element.is_string()) {
            id = parseUuid(fromStd(element.get_ref<const std::string&>()));
        }
        if (!id) {
            fail(key, QStringLiteral("Expected an array of UUID strings."));
        }
        result.push_back(*id);
    }
    return result;
}

std::optional<QList<QUuid>> ObjectReader::optionalUuidList(const char* key) const
{
    return member(key) ? std::optional(requiredUuidList(key)) : std::nullopt;
}

QStringList ObjectReader::requiredStringList(const char* key) const
{
    const Json& value = requiredMember(key);
    if (!value.is_array()) {
        fail(key, expected("an array", value));
    }
    QStringList result;
    result.reserve(qsizetype(value.size()));
    for (const Json& element : value) {
        if (!element.is_string()) {
            fail(key, QStringLiteral("Expected an array of strings."));
        }
        result.push_back(fromStd(element.get_ref<const std::string&>()));
    }
    return result;
}

Date ObjectReader::requiredDate(const char* key) const
{
    return Date { requiredDouble(key) };
}

std::optional<Date> ObjectReader::optionalDate(const char* key) const
{
    return member(key) ? std::optional(requiredDate(key)) : std::nullopt;
}

std::optional<QByteArray> ObjectReader::optionalBytes(const char* key) const
{
    const std::optional<QString> text = optionalString(key);
    if (!text) {
        return std::nullopt;
    }
    std::optional<QByteArray> decoded = bytesFromBase64(text->toLatin1());
    if (!decoded) {
        fail(key, QStringLiteral("The string is not valid Base64."));
    }
    return decoded;
}

QUrl ObjectReader::requiredUrl(const char* key) const
{
    const QString text = requiredString(key);
    const QUrl url = fileUrlFromText(text);
    if (!url.isValid() || url.isRelative()) {
        fail(key, QStringLiteral("Invalid URL string."));
    }
    return url;
}

} // namespace kivo::json
