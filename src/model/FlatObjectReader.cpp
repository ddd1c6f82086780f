#include "model/FlatObjectReader.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>

namespace kivo::json {

namespace {

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Bytes a string holds as they are: printable ASCII other than the quote and
// the backslash.
constexpr std::array<bool, 256> plainBytes = [] {
    std::array<bool, 256> plain {};
    for (int c = 0x20; c < 0x80; ++c) {
        plain[size_t(c)] = c != '"' && c != '\\';
    }
    return plain;
}();

// The length of the well-formed UTF-8 sequence at `p` (its first byte 0x80 or
// above); 0 when it is not one. The parser refuses the same sequences.
int utf8SequenceLength(const char* p, const char* end)
{
    const auto byte = [&](int i) { return static_cast<unsigned char>(p[i]); };
    const auto within = [&](int i, unsigned lo, unsigned hi) {
        return p + i < end && byte(i) >= lo && byte(i) <= hi;
    };
    const unsigned c = byte(0);
    if (c >= 0xC2 && c <= 0xDF) {
        return within(1, 0x80, 0xBF) ? 2 : 0;
    }
    if (c >= 0xE0 && c <= 0xEF) {
        const unsigned lo = c == 0xE0 ? 0xA0 : 0x80;
        const unsigned hi = c == 0xED ? 0x9F : 0xBF;
        return within(1, lo, hi) && within(2, 0x80, 0xBF) ? 3 : 0;
    }
    if (c >= 0xF0 && c <= 0xF4) {
        const unsigned lo = c == 0xF0 ? 0x90 : 0x80;
        const unsigned hi = c == 0xF4 ? 0x8F : 0xBF;
        return within(1, lo, hi) && within(2, 0x80, 0xBF) && within(3, 0x80, 0xBF) ? 4 : 0;
    }
    return 0;
}

// The four hex digits after "\u"; -1 when they are not.
int hexCodeUnit(const char*& p, const char* end)
{
    if (end - p < 4) {
        return -1;
    }
    int unit = 0;
    for (int i = 0; i < 4; ++i) {
        const char c = *p++;
        int digit = -1;
        if (isDigit(c)) {
            digit = c - '0';
        } else if (c >= 'a' && c <= 'f') {
            digit = c - 'a' + 10;
        } else if (c >= 'A' && c <= 'F') {
            digit = c - 'A' + 10;
        }
        if (digit < 0) {
            return -1;
        }
        unit = unit * 16 + digit;
    }
    return unit;
}

void appendUtf8(std::string& out, char32_t cp)
{
    if (cp < 0x80) {
        out.push_back(char(cp));
    } else if (cp < 0x800) {
        out.push_back(char(0xC0 | (cp >> 6)));
        out.push_back(char(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(char(0xE0 | (cp >> 12)));
        out.push_back(char(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(char(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(char(0xF0 | (cp >> 18)));
        out.push_back(char(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(char(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(char(0x80 | (cp & 0x3F)));
    }
}

// Whether `text` is the JSON writer's text of `value`.
bool writtenAs(std::string_view text, qint64 value)
{
    char buffer[24];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string_view(buffer, size_t(result.ptr - buffer)) == text;
}

bool writtenAs(std::string_view text, double value)
{
    char buffer[64];
    const char* end = nlohmann::detail::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string_view(buffer, size_t(end - buffer)) == text;
}

// Whether `text`, which decodes to `size` bytes, is the standard padded
// Base64 the writer makes of them: the exact length, and the bits of the last
// character that stand for no byte zero (a decoder ignores them).
bool isWrittenBase64(std::string_view text, qsizetype size)
{
    if (qsizetype(text.size()) != (size + 2) / 3 * 4) {
        return false;
    }
    const qsizetype rest = size % 3;
    if (rest == 0) {
        return true;
    }
    const std::string_view padding = rest == 1 ? "==" : "=";
    if (!text.ends_with(padding) || text[text.size() - padding.size() - 1] == '=') {
        return false;
    }
    const char last = text[text.size() - padding.size() - 1];
    int value = 0;
    if (last >= 'A' && last <= 'Z') {
        value = last - 'A';
    } else if (last >= 'a' && last <= 'z') {
        value = last - 'a' + 26;
    } else if (isDigit(last)) {
        value = last - '0' + 52;
    } else {
        value = last == '+' ? 62 : 63;
    }
    return (value & (rest == 1 ? 0x0F : 0x03)) == 0;
}

bool isLowerHex(char c)
{
    return isDigit(c) || (c >= 'a' && c <= 'f');
}

bool readLiteral(const char*& p, const char* end, std::string_view literal)
{
    if (size_t(end - p) < literal.size() || std::memcmp(p, literal.data(), literal.size()) != 0) {
        return false;
    }
    p += literal.size();
    return true;
}

} // namespace

FlatObjectReader::FlatObjectReader(std::span<const std::string_view> keys)
    : m_keys(keys.first(std::min(keys.size(), maximumKeys)))
{
}

void FlatObjectReader::skipSpaces(const char*& p, const char* end)
{
    const char* const from = p;
    while (p < end && isSpace(*p)) {
        ++p;
    }
    if (p != from) {
        m_encoderForm = false;
    }
}

int FlatObjectReader::keyIndex(std::string_view key) const
{
    for (size_t i = 0; i < m_keys.size(); ++i) {
        if (m_keys[i] == key) {
            return int(i);
        }
    }
    return -1;
}

bool FlatObjectReader::read(std::string_view text)
{
    for (size_t i = 0; i < m_keys.size(); ++i) {
        m_values[i].kind = Value::Kind::Absent;
    }
    m_decoded.clear();
    m_recordSize = text.size();
    m_encoderForm = true;
    int previousIndex = -1;
    const char* p = text.data();
    const char* const end = p + text.size();
    skipSpaces(p, end);
    if (p == end || *p != '{') {
        return false;
    }
    ++p;
    skipSpaces(p, end);
    if (p < end && *p == '}') {
        ++p;
    } else {
        while (true) {
            if (p == end || *p != '"') {
                return false;
            }
            ++p;
            std::string_view key;
            bool ascii = true;
            if (!readString(p, end, key, ascii)) {
                return false;
            }
            // An escaped key might spell one that is read.
            if (key.data() < text.data() || key.data() >= end) {
                return false;
            }
            skipSpaces(p, end);
            if (p == end || *p != ':') {
                return false;
            }
            ++p;
            skipSpaces(p, end);
            const int index = keyIndex(key);
            // Which of two equal keys wins is the parser's to say.
            if (index >= 0 && m_values[size_t(index)].kind != Value::Kind::Absent) {
                return false;
            }
            // The encoder writes the keys it knows in their order, no others.
            if (index <= previousIndex) {
                m_encoderForm = false;
            }
            previousIndex = std::max(previousIndex, index);
            Value ignored;
            Value& value = index >= 0 ? m_values[size_t(index)] : ignored;
            if (p == end) {
                return false;
            }
            if (*p == '"') {
                ++p;
                if (!readString(p, end, value.text, value.ascii)) {
                    return false;
                }
                value.kind = Value::Kind::String;
            } else if (*p == '-' || isDigit(*p)) {
                const char* const number = p;
                if (!readNumber(p, end, value.number)) {
                    return false;
                }
                value.text = std::string_view(number, size_t(p - number));
                value.kind = Value::Kind::Number;
            } else if (readLiteral(p, end, "null")) {
                value.kind = Value::Kind::Null;
                m_encoderForm = false;
            } else if (readLiteral(p, end, "true")) {
                value.kind = Value::Kind::Boolean;
                value.boolean = true;
            } else if (readLiteral(p, end, "false")) {
                value.kind = Value::Kind::Boolean;
                value.boolean = false;
            } else if (*p == '[' && index >= 0) {
                ++p;
                const char* const list = p;
                if (!readStringList(p, end, value.count)) {
                    return false;
                }
                value.text = std::string_view(list, size_t(p - 1 - list));
                value.kind = Value::Kind::StringList;
            } else {
                return false;
            }
            skipSpaces(p, end);
            if (p < end && *p == ',') {
                ++p;
                skipSpaces(p, end);
                continue;
            }
            if (p < end && *p == '}') {
                ++p;
                break;
            }
            return false;
        }
    }
    skipSpaces(p, end);
    return p == end;
}

bool FlatObjectReader::readString(
    const char*& p, const char* end, std::string_view& text, bool& ascii)
{
    const char* const start = p;
    ascii = true;
    while (true) {
        while (p < end && plainBytes[static_cast<unsigned char>(*p)]) {
            ++p;
        }
        if (p == end) {
            return false;
        }
        const auto c = static_cast<unsigned char>(*p);
        if (c == '"') {
            text = std::string_view(start, size_t(p - start));
            ++p;
            return true;
        }
        if (c == '\\') {
            break;
        }
        if (c < 0x20) {
            return false;
        }
        const int length = utf8SequenceLength(p, end);
        if (length == 0) {
            return false;
        }
        ascii = false;
        p += length;
    }
    // Escapes: the text is decoded into m_decoded, never longer than the
    // record, so reserving that once keeps earlier views valid.
    if (m_decoded.empty()) {
        m_decoded.reserve(m_recordSize);
    }
    const size_t from = m_decoded.size();
    m_decoded.append(start, p);
    while (true) {
        if (p == end) {
            return false;
        }
        const auto c = static_cast<unsigned char>(*p);
        if (c == '"') {
            text = std::string_view(m_decoded.data() + from, m_decoded.size() - from);
            ++p;
            return true;
        }
        if (c == '\\') {
            ++p;
            if (p == end) {
                return false;
            }
            switch (*p++) {
            case '"':
                m_decoded.push_back('"');
                break;
            case '\\':
                m_decoded.push_back('\\');
                break;
            case '/':
                m_decoded.push_back('/');
                m_encoderForm = false;
                break;
            case 'b':
                m_decoded.push_back('\b');
                break;
            case 'f':
                m_decoded.push_back('\f');
                break;
            case 'n':
                m_decoded.push_back('\n');
                break;
            case 'r':
                m_decoded.push_back('\r');
                break;
            case 't':
                m_decoded.push_back('\t');
                break;
            case 'u': {
                // The writer spells only control characters this way, in
                // lower-case hex, and those with a short escape short.
                m_encoderForm = m_encoderForm && end - p >= 4 && isLowerHex(p[0])
                    && isLowerHex(p[1]) && isLowerHex(p[2]) && isLowerHex(p[3]);
                const int unit = hexCodeUnit(p, end);
                if (unit >= 0x20 || unit == '\b' || unit == '\f' || unit == '\n' || unit == '\r'
                    || unit == '\t') {
                    m_encoderForm = false;
                }
                if (unit < 0 || (unit >= 0xDC00 && unit <= 0xDFFF)) {
                    return false;
                }
                char32_t cp = char32_t(unit);
                if (unit >= 0xD800 && unit <= 0xDBFF) {
                    if (end - p < 2 || p[0] != '\\' || p[1] != 'u') {
                        return false;
                    }
                    p += 2;
                    const int low = hexCodeUnit(p, end);
                    if (low < 0xDC00 || low > 0xDFFF) {
                        return false;
                    }
                    cp = 0x10000 + ((char32_t(unit) - 0xD800) << 10) + (char32_t(low) - 0xDC00);
                }
                if (cp >= 0x80) {
                    ascii = false;
                }
                appendUtf8(m_decoded, cp);
                break;
            }
            default:
                return false;
            }
            continue;
        }
        if (c < 0x20) {
            return false;
        }
        if (c < 0x80) {
            m_decoded.push_back(char(c));
            ++p;
            continue;
        }
        const int length = utf8SequenceLength(p, end);
        if (length == 0) {
            return false;
        }
        ascii = false;
        m_decoded.append(p, size_t(length));
        p += length;
    }
}

bool FlatObjectReader::readStringList(const char*& p, const char* end, qsizetype& count)
{
    count = 0;
    skipSpaces(p, end);
    if (p < end && *p == ']') {
        ++p;
        return true;
    }
    while (true) {
        if (p == end || *p != '"') {
            return false;
        }
        ++p;
        std::string_view text;
        bool ascii = true;
        // One with escapes is decoded elsewhere: its readers would have to
        // find it again.
        const char* const from = p;
        if (!readString(p, end, text, ascii) || text.data() != from) {
            return false;
        }
        ++count;
        skipSpaces(p, end);
        if (p < end && *p == ',') {
            ++p;
            skipSpaces(p, end);
            continue;
        }
        if (p < end && *p == ']') {
            ++p;
            return true;
        }
        return false;
    }
}

bool FlatObjectReader::readNumber(const char*& p, const char* end, Json& number)
{
    const char* const start = p;
    const bool negative = *p == '-';
    if (negative) {
        ++p;
    }
    const auto digits = [&] {
        const char* const from = p;
        while (p < end && isDigit(*p)) {
            ++p;
        }
        return p > from;
    };
    if (p < end && *p == '0') {
        ++p;
    } else if (!digits()) {
        return false;
    }
    bool integer = true;
    if (p < end && *p == '.') {
        ++p;
        if (!digits()) {
            return false;
        }
        integer = false;
    }
    if (p < end && (*p == 'e' || *p == 'E')) {
        ++p;
        if (p < end && (*p == '+' || *p == '-')) {
            ++p;
        }
        if (!digits()) {
            return false;
        }
        integer = false;
    }
    // As the parser: an integer that fits 64 bits keeps its sign's type; any
    // other number is a double.
    if (integer) {
        if (negative) {
            std::int64_t value = 0;
            const auto result = std::from_chars(start, p, value);
            if (result.ec == std::errc() && result.ptr == p) {
                number = value;
                return true;
            }
        } else {
            std::uint64_t value = 0;
            const auto result = std::from_chars(start, p, value);
            if (result.ec == std::errc() && result.ptr == p) {
                number = value;
                return true;
            }
        }
    }
    double value = 0;
    const auto result = std::from_chars(start, p, value);
    if (result.ec != std::errc() || result.ptr != p || !std::isfinite(value)) {
        return false;
    }
    number = value;
    return true;
}

const FlatObjectReader::Value* FlatObjectReader::member(const char* key) const
{
    const int index = keyIndex(key);
    if (index < 0) {
        throw Unsure {};
    }
    const Value& value = m_values[size_t(index)];
    return value.kind == Value::Kind::Absent || value.kind == Value::Kind::Null ? nullptr : &value;
}

const FlatObjectReader::Value& FlatObjectReader::stringMember(const char* key) const
{
    const Value* value = member(key);
    if (!value || value->kind != Value::Kind::String) {
        throw Unsure {};
    }
    return *value;
}

bool FlatObjectReader::contains(const char* key) const
{
    const int index = keyIndex(key);
    return index >= 0 && m_values[size_t(index)].kind != Value::Kind::Absent
        && m_values[size_t(index)].kind != Value::Kind::Null;
}

std::optional<std::string_view> FlatObjectReader::stringBytes(const char* key) const
{
    const Value* value = member(key);
    if (!value || value->kind != Value::Kind::String) {
        return std::nullopt;
    }
    return value->text;
}

QString FlatObjectReader::requiredString(const char* key) const
{
    return fromUtf8(stringMember(key).text);
}

std::optional<QString> FlatObjectReader::optionalString(const char* key) const
{
    return member(key) ? std::optional(requiredString(key)) : std::nullopt;
}

double FlatObjectReader::requiredDouble(const char* key) const
{
    const Value* value = member(key);
    if (!value || value->kind != Value::Kind::Number) {
        throw Unsure {};
    }
    const double number = value->number.get<double>();
    // An integer's text ("180") is written as a double's ("180.0").
    if (!value->number.is_number_float() || !writtenAs(value->text, number)) {
        m_encoderForm = false;
    }
    return number;
}

std::optional<qint64> FlatObjectReader::optionalInt(const char* key) const
{
    const Value* value = member(key);
    if (!value) {
        return std::nullopt;
    }
    const std::optional<qint64> integer
        = value->kind == Value::Kind::Number ? integerValue(value->number) : std::nullopt;
    if (!integer) {
        throw Unsure {};
    }
    if (!writtenAs(value->text, *integer)) {
        m_encoderForm = false;
    }
    return integer;
}

QUuid FlatObjectReader::requiredUuid(const char* key) const
{
    const Value& value = stringMember(key);
    const std::optional<QUuid> id = value.ascii
        ? parseUuid(QLatin1StringView(value.text.data(), qsizetype(value.text.size())))
        : std::nullopt;
    if (!id) {
        throw Unsure {};
    }
    if (std::any_of(value.text.begin(), value.text.end(), [](char c) { return c >= 'a'; })) {
        m_encoderForm = false; // written in upper case
    }
    return *id;
}

bool FlatObjectReader::requiredBool(const char* key) const
{
    const Value* value = member(key);
    if (!value || value->kind != Value::Kind::Boolean) {
        throw Unsure {};
    }
    return value->boolean;
}

std::optional<float> FlatObjectReader::optionalFloat(const char* key) const
{
    if (!member(key)) {
        return std::nullopt;
    }
    const std::optional<float> number = floatFromJsonDouble(requiredDouble(key));
    if (!number) {
        throw Unsure {};
    }
    return number;
}

std::optional<QUuid> FlatObjectReader::optionalUuid(const char* key) const
{
    return member(key) ? std::optional(requiredUuid(key)) : std::nullopt;
}

QList<QUuid> FlatObjectReader::requiredUuidList(const char* key) const
{
    const Value* value = member(key);
    if (!value || value->kind != Value::Kind::StringList) {
        throw Unsure {};
    }
    QList<QUuid> ids;
    ids.reserve(value->count);
    // Quoted strings without escapes, commas and spaces between them.
    const char* p = value->text.data();
    const char* const end = p + value->text.size();
    for (qsizetype i = 0; i < value->count; ++i) {
        const char* const open = static_cast<const char*>(std::memchr(p, '"', size_t(end - p)));
        const char* const close
            = static_cast<const char*>(std::memchr(open + 1, '"', size_t(end - open - 1)));
        // Any byte above 0x7F fails the parse as Latin-1 as it does as UTF-8.
        const std::optional<QUuid> id
            = parseUuid(QLatin1StringView(open + 1, qsizetype(close - open - 1)));
        if (!id) {
            throw Unsure {};
        }
        ids.push_back(*id);
        p = close + 1;
    }
    return ids;
}

std::optional<QList<QUuid>> FlatObjectReader::optionalUuidList(const char* key) const
{
    return member(key) ? std::optional(requiredUuidList(key)) : std::nullopt;
}

std::optional<Date> FlatObjectReader::optionalDate(const char* key) const
{
    return member(key) ? std::optional(Date { requiredDouble(key) }) : std::nullopt;
}

std::optional<QByteArray> FlatObjectReader::optionalBytes(const char* key) const
{
    if (!member(key)) {
        return std::nullopt;
    }
    // ASCII text is its own Latin-1.
    const Value& value = stringMember(key);
    std::optional<QByteArray> bytes = value.ascii
        ? bytesFromBase64(QByteArray::fromRawData(value.text.data(), qsizetype(value.text.size())))
        : std::nullopt;
    if (!bytes) {
        throw Unsure {};
    }
    if (!isWrittenBase64(value.text, bytes->size())) {
        m_encoderForm = false;
    }
    return bytes;
}

QUrl FlatObjectReader::requiredUrl(const char*) const
{
    throw Unsure {};
}

} // namespace kivo::json
