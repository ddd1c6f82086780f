#pragma once

#include "model/Date.h"
#include "model/JsonCodec.h"

#include <QByteArray>
#include <QString>
#include <QUrl>
#include <QUuid>
#include <array>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace kivo::json {

// Reads one stored record straight from its text, without building a JSON
// tree: a library's records are flat objects of strings, numbers and nulls,
// and parsing each into a tree first costs most of a large library's start-up.
// It accepts only what it fully understands: anything else (a nested or
// boolean value under a key it reads, a key given twice or spelt with an
// escape, a number it cannot convert exactly as the parser would, text that
// is not valid JSON) makes it give up, and the record is then decoded by
// parsing it, which reports any error exactly. Its readers mirror
// ObjectReader's: where that would throw or this one is unsure, they throw
// Unsure.
class FlatObjectReader {
public:
    struct Unsure { };

    // `keys` are the keys the record's decoder asks for (at most 32).
    explicit FlatObjectReader(std::span<const std::string_view> keys);

    // Reads the object in `text`, which may be surrounded by spaces; false
    // when unsure.
    bool read(std::string_view text);

    std::optional<std::string_view> stringBytes(const char* key) const;
    QString requiredString(const char* key) const;
    std::optional<QString> optionalString(const char* key) const;
    double requiredDouble(const char* key) const;
    std::optional<qint64> optionalInt(const char* key) const;
    QUuid requiredUuid(const char* key) const;
    std::optional<Date> optionalDate(const char* key) const;
    std::optional<QByteArray> optionalBytes(const char* key) const;
    [[noreturn]] QUrl requiredUrl(const char* key) const;

private:
    static constexpr size_t maximumKeys = 32;

    struct Value {
        enum class Kind : quint8 { Absent, Null, String, Number };
        Kind kind = Kind::Absent;
        bool ascii = false;
        std::string_view text;
        Json number;
    };

    // The value under `key`; nullptr when it is absent or null.
    const Value* member(const char* key) const;
    const Value& stringMember(const char* key) const;
    int keyIndex(std::string_view key) const;
    bool readString(const char*& p, const char* end, std::string_view& text, bool& ascii);
    static bool readNumber(const char*& p, const char* end, Json& number);

    std::span<const std::string_view> m_keys;
    std::array<Value, maximumKeys> m_values;
    // Strings with escapes, decoded; reserved once per record so that views
    // into it stay valid.
    std::string m_decoded;
    size_t m_recordSize = 0;
};

} // namespace kivo::json
