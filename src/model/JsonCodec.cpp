#include "model/JsonCodec.h"

#include <QThread>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>

using namespace Qt::Literals::StringLiterals;

namespace kivo {

JsonCodingError::JsonCodingError(Kind kind, QString keyPath, QString message)
    : m_kind(kind)
    , m_keyPath(std::move(keyPath))
{
    const QString what = kind == Kind::Decoding ? QStringLiteral("The data couldn't be read")
                                                : QStringLiteral("The data couldn't be written");
    m_description = m_keyPath.isEmpty()
        ? what + u": "_s + message
        : what + u": "_s + message + u" (key \""_s + m_keyPath + u"\")"_s;
    m_what = m_description.toStdString();
}

namespace json {

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

// ---- text forms --------------------------------------------------------------

QString uuidText(const QUuid& id)
{
    return id.toString(QUuid::WithoutBraces).toUpper();
}

std::optional<QUuid> parseUuid(const QString& text)
{
    if (text.size() != 36) {
        return std::nullopt;
    }
    const QUuid id = QUuid::fromString(text);
    if (id.isNull() && text != u"00000000-0000-0000-0000-000000000000") {
        return std::nullopt;
    }
    return id;
}

bool uuidTextLess(const QUuid& a, const QUuid& b)
{
    // Hex text order equals numeric order of the fields in text order.
    if (a.data1 != b.data1) {
        return a.data1 < b.data1;
    }
    if (a.data2 != b.data2) {
        return a.data2 < b.data2;
    }
    if (a.data3 != b.data3) {
        return a.data3 < b.data3;
    }
    return std::memcmp(a.data4, b.data4, sizeof a.data4) < 0;
}

QString fileUrlText(const QUrl& url)
{
    return url.toString(QUrl::FullyEncoded);
}

QUrl fileUrlFromText(const QString& text)
{
    return QUrl(text, QUrl::StrictMode);
}

double floatToJsonDouble(float value)
{
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer - 1, value);
    *result.ptr = '\0';
    return std::strtod(buffer, nullptr);
}

std::optional<float> floatFromJsonDouble(double value)
{
    constexpr double largest = std::numeric_limits<float>::max();
    // Halfway between FLT_MAX and the next power of two: from there on a float
    // parser rounds to infinity.
    constexpr double overflow = 0x1.ffffffp+127;
    if (!std::isfinite(value) || std::abs(value) >= overflow) {
        return std::nullopt;
    }
    if (std::abs(value) > largest) {
        return float(std::copysign(largest, value));
    }
    return float(value);
}

std::string toStd(const QString& text)
{
    return text.toStdString();
}

QString fromStd(const std::string& text)
{
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

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

std::string dump(const Json& document)
{
    // Strict UTF-8: texts come from QString, so invalid sequences cannot occur.
    return document.dump();
}

void checkText(const QByteArray& bytes)
{
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.constData());
    const qsizetype size = bytes.size();
    auto refuse = [](const char* problem, qsizetype offset) {
        throw JsonCodingError(JsonCodingError::Kind::Decoding, QString(),
            QStringLiteral("The data %1 (byte %2).").arg(QString::fromUtf8(problem)).arg(offset));
    };
    int depth = 0;
    bool inString = false;
    for (qsizetype i = 0; i < size; ++i) {
        const unsigned char c = data[i];
        if (c == 0) {
            refuse("holds a NUL byte", i);
        }
        if (inString) {
            if (c == '\\') {
                // The escaped character cannot end the string, but may be a NUL.
                if (i + 1 < size && data[i + 1] == 0) {
                    refuse("holds a NUL byte", i + 1);
                }
                ++i;
            } else if (c == '"') {
                inString = false;
            }
            continue;
        }
        switch (c) {
        case '"':
            inString = true;
            break;
        case '[':
        case '{':
            if (++depth > maximumDepth) {
                refuse("is nested more than 64 levels deep", i);
            }
            break;
        case ']':
        case '}':
            // An unmatched one is the parser's syntax error to report.
            depth = std::max(0, depth - 1);
            break;
        case 0xEF:
            if (i + 2 < size && data[i + 1] == 0xBB && data[i + 2] == 0xBF) {
                refuse("holds a byte-order mark", i);
            }
            break;
        default:
            break;
        }
    }
}

Json parseChecked(const QByteArray& bytes)
{
    try {
        return Json::parse(bytes.constBegin(), bytes.constEnd());
    } catch (const nlohmann::json::exception& e) {
        throw JsonCodingError(JsonCodingError::Kind::Decoding, QString(),
            QStringLiteral("The data isn't valid JSON (%1).").arg(QString::fromUtf8(e.what())));
    }
}

Json parse(const QByteArray& bytes)
{
    checkText(bytes);
    return parseChecked(bytes);
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

bool readInteger(const Json& value, qint64& out)
{
    if (value.is_number_integer() && !value.is_number_unsigned()) {
        out = value.get<std::int64_t>();
        return true;
    }
    if (value.is_number_unsigned()) {
        const auto u = value.get<std::uint64_t>();
        if (u > std::uint64_t(std::numeric_limits<qint64>::max())) {
            return false;
        }
        out = qint64(u);
        return true;
    }
    if (value.is_number_float()) {
        // 3.0 is an integer; 2.5 and out-of-range values are not.
        const double d = value.get<double>();
        if (!std::isfinite(d) || std::trunc(d) != d || d < -9.2233720368547758e18
            || d >= 9.2233720368547758e18) {
            return false;
        }
        out = qint64(d);
        return true;
    }
    return false;
}

} // namespace

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
    qint64 result = 0;
    if (!readInteger(value, result)) {
        fail(key,
            value.is_number() ? QStringLiteral("The number is not a 64-bit integer.")
                              : expected("an integer", value));
    }
    return result;
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
    const auto decoded = QByteArray::fromBase64Encoding(
        text->toLatin1(), QByteArray::Base64Encoding | QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded) {
        fail(key, QStringLiteral("The string is not valid Base64."));
    }
    return decoded.decoded;
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

// ---- large arrays ------------------------------------------------------------

QThreadPool& codecPool()
{
    static QThreadPool* pool = [] {
        auto* p = new QThreadPool();
        p->setMaxThreadCount(std::max(1, QThread::idealThreadCount()));
        p->setExpiryTimeout(5000);
        return p;
    }();
    return *pool;
}

std::optional<std::vector<std::pair<qsizetype, qsizetype>>> splitTopLevelArray(
    const QByteArray& bytes)
{
    const char* data = bytes.constData();
    const qsizetype size = bytes.size();
    auto isSpace = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; };
    qsizetype i = 0;
    while (i < size && isSpace(data[i])) {
        ++i;
    }
    if (i >= size || data[i] != '[') {
        return std::nullopt;
    }
    ++i;
    std::vector<std::pair<qsizetype, qsizetype>> ranges;
    std::vector<char> stack; // open brackets below the top-level array
    qsizetype elementStart = i;
    bool inString = false;
    bool sawContent = false;
    for (; i < size; ++i) {
        const char c = data[i];
        if (inString) {
            if (c == '\\') {
                ++i;
            } else if (c == '"') {
                inString = false;
            }
            continue;
        }
        switch (c) {
        case '"':
            inString = true;
            sawContent = true;
            break;
        case '{':
        case '[':
            stack.push_back(c);
            sawContent = true;
            break;
        case '}':
        case ']':
            if (stack.empty()) {
                if (c != ']') {
                    return std::nullopt;
                }
                if (sawContent) {
                    ranges.emplace_back(elementStart, i);
                } else if (!ranges.empty()) {
                    return std::nullopt; // "[1,]"
                }
                for (++i; i < size; ++i) {
                    if (!isSpace(data[i])) {
                        return std::nullopt; // trailing garbage
                    }
                }
                return ranges;
            }
            if ((c == '}') != (stack.back() == '{')) {
                return std::nullopt;
            }
            stack.pop_back();
            break;
        case ',':
            if (stack.empty()) {
                if (!sawContent) {
                    return std::nullopt;
                }
                ranges.emplace_back(elementStart, i);
                elementStart = i + 1;
                sawContent = false;
            }
            break;
        default:
            if (!isSpace(c)) {
                sawContent = true;
            }
        }
    }
    return std::nullopt; // unterminated
}

Json parseRange(const QByteArray& bytes, qsizetype begin, qsizetype end, const QString& path)
{
    try {
        return Json::parse(bytes.constData() + begin, bytes.constData() + end);
    } catch (const nlohmann::json::exception& e) {
        throw JsonCodingError(JsonCodingError::Kind::Decoding, path,
            QStringLiteral("The data isn't valid JSON (%1).").arg(QString::fromUtf8(e.what())));
    }
}

} // namespace json
} // namespace kivo
