#pragma once

#include "model/Date.h"
#include "model/JsonCodec.h"

#include <QByteArray>
#include <QList>
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
// tree: a library's records and the saved session are flat objects of
// strings, numbers, booleans, nulls and (the session's) lists of strings, and
// parsing them into a tree first costs most of a large library's start-up.
// It accepts only what it fully understands: anything else (an object, or a
// list of anything but strings without escapes, under a key it reads; any
// list or object under another key; a key given twice or spelt with an escape, a number it
// cannot convert exactly as the parser would, text that is not valid JSON)
// makes it give up, and the record is then decoded by parsing it, which
// reports any error exactly. Its readers mirror ObjectReader's: where that
// would throw or this one is unsure (a value of another type among them),
// they throw Unsure.
//
// It also tells whether the text is exactly what the encoder writes for the
// values read: compact, the keys in the order given and no others, no nulls,
// strings escaped and numbers spelt as the JSON writer does it. A store may
// reuse such a record's bytes in a save; any other is encoded anew.
class FlatObjectReader {
public:
    struct Unsure { };

    // `keys` are the keys the record's decoder asks for (at most 32).
    explicit FlatObjectReader(std::span<const std::string_view> keys);

    // Reads the object in `text`, which may be surrounded by spaces; false
    // when unsure.
    bool read(std::string_view text);

    // After the readers of every key present were called: whether the text is
    // the encoder's form of what they read, as far as the keys present go (the
    // caller knows which keys its encoder always writes: see contains()).
    bool inEncoderForm() const { return m_encoderForm; }
    // Whether `key` has a value other than null.
    bool contains(const char* key) const;

    std::optional<std::string_view> stringBytes(const char* key) const;
    QString requiredString(const char* key) const;
    std::optional<QString> optionalString(const char* key) const;
    double requiredDouble(const char* key) const;
    std::optional<qint64> optionalInt(const char* key) const;
    bool requiredBool(const char* key) const;
    std::optional<float> optionalFloat(const char* key) const;
    QUuid requiredUuid(const char* key) const;
    std::optional<QUuid> optionalUuid(const char* key) const;
    QList<QUuid> requiredUuidList(const char* key) const;
    std::optional<QList<QUuid>> optionalUuidList(const char* key) const;
    std::optional<Date> optionalDate(const char* key) const;
    std::optional<QByteArray> optionalBytes(const char* key) const;
    [[noreturn]] QUrl requiredUrl(const char* key) const;
    // A value its decoder refuses: the parse reports it.
    [[noreturn]] void fail(const char*, const QString&) const { throw Unsure {}; }

private:
    static constexpr size_t maximumKeys = 32;

    struct Value {
        enum class Kind : quint8 { Absent, Null, String, Number, Boolean, StringList };
        Kind kind = Kind::Absent;
        // A string with no byte above 0x7F.
        bool ascii = false;
        bool boolean = false;
        // A string's decoded text; a list's text between its brackets, strings
        // without escapes, `count` of them.
        std::string_view text;
        qsizetype count = 0;
        Json number;
    };

    // The value under `key`; nullptr when it is absent or null.
    const Value* member(const char* key) const;
    const Value& stringMember(const char* key) const;
    int keyIndex(std::string_view key) const;
    bool readString(const char*& p, const char* end, std::string_view& text, bool& ascii);
    bool readStringList(const char*& p, const char* end, qsizetype& count);
    static bool readNumber(const char*& p, const char* end, Json& number);
    void skipSpaces(const char*& p, const char* end);

    std::span<const std::string_view> m_keys;
    std::array<Value, maximumKeys> m_values;
    // Strings with escapes, decoded; reserved once per record so that views
    // into it stay valid.
    std::string m_decoded;
    size_t m_recordSize = 0;
    // Cleared by read() and by the readers on a value the encoder would spell
    // otherwise.
    mutable bool m_encoderForm = true;
};

} // namespace kivo::json
