#pragma once

#include "model/Date.h"
#include "model/SharedTexts.h"

#include <QAnyStringView>
#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QThreadPool>
#include <QUrl>
#include <QUuid>
#include <QtConcurrent/QtConcurrentMap>
#include <exception>
#include <memory>
#include <new>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kivo {

using Json = nlohmann::ordered_json;

// A stored value that cannot be encoded or decoded. Decoding errors name the
// offending key (its path from the document's root).
class JsonCodingError : public std::exception {
public:
    enum class Kind { Decoding, Encoding };

    JsonCodingError(Kind kind, QString keyPath, QString message);

    Kind kind() const { return m_kind; }
    const QString& keyPath() const { return m_keyPath; }
    // The user-facing description, naming the key.
    const QString& description() const { return m_description; }
    const char* what() const noexcept override { return m_what.c_str(); }

private:
    Kind m_kind;
    QString m_keyPath;
    QString m_description;
    std::string m_what;
};

namespace json {

// ---- text forms --------------------------------------------------------------

// Upper-case canonical 36-character form.
QString uuidText(const QUuid& id);
// Either case; nullopt for anything else.
std::optional<QUuid> parseUuid(QAnyStringView text);
// Whether a's canonical text sorts before b's (character by character).
bool uuidTextLess(const QUuid& a, const QUuid& b);

QString fileUrlText(const QUrl& url);
QUrl fileUrlFromText(const QString& text);

// The double whose shortest text is the float's shortest text, so that a
// stored 0.8f is written as 0.8 and reads back as the same float.
double floatToJsonDouble(float value);
// The float a stored number stands for, rounded as a float parser would:
// 3.4028235e38 (FLT_MAX's shortest text, slightly above it) is FLT_MAX.
// Nothing when the number is beyond every float.
std::optional<float> floatFromJsonDouble(double value);

std::string toStd(const QString& text);
QString fromStd(const std::string& text);
QString fromUtf8(std::string_view text);

// The bytes a stored Base64 text (as Latin-1) stands for; nullopt when it is
// not standard padded Base64.
std::optional<QByteArray> bytesFromBase64(const QByteArray& latin1);
// The 64-bit integer a number stands for: 3.0 is one; 2.5, values beyond the
// range and anything but a number are not.
std::optional<qint64> integerValue(const Json& value);

// ---- writing -----------------------------------------------------------------
// Each throws JsonCodingError(Encoding) for a value JSON cannot hold.

void putString(Json& object, const char* key, const QString& value);
void putDouble(Json& object, const char* key, double value);
void putFloat(Json& object, const char* key, float value);
void putInt(Json& object, const char* key, qint64 value);
void putBool(Json& object, const char* key, bool value);
void putUuid(Json& object, const char* key, const QUuid& value);
void putUuidList(Json& object, const char* key, const QList<QUuid>& value);
void putStringList(Json& object, const char* key, const QStringList& value);
void putDate(Json& object, const char* key, const Date& value);
void putBytes(Json& object, const char* key, const QByteArray& value);
void putUrl(Json& object, const char* key, const QUrl& value);

template <typename T, typename Put>
void putOptional(Json& object, const char* key, const std::optional<T>& value, Put put)
{
    if (value) {
        put(object, key, *value);
    }
}

// Compact text of a document.
std::string dump(const Json& document);

// The deepest nesting of arrays and objects a document may have; ours need 4.
inline constexpr int maximumDepth = 64;

// Refuses, before any parsing, what the parser would mishandle: nesting deeper
// than maximumDepth (parsing and copying values recurse, so a hostile file
// could overflow the stack), a NUL byte (the parser takes it for the end of the
// text and drops what follows) and a byte-order mark outside a string (the
// parser skips one at the start of every text it is given). Throws
// JsonCodingError(Decoding).
void checkText(const QByteArray& bytes);

// Parses a whole document after checkText(); syntax errors, trailing bytes
// included, become JsonCodingError(Decoding).
Json parse(const QByteArray& bytes);

// ---- reading -----------------------------------------------------------------

// Reads the members of one object. Required readers throw on a missing, null or
// wrong-typed value; optional readers treat missing and null as absent and throw
// on a wrong type. Unknown keys are ignored.
class ObjectReader {
public:
    // Throws when `value` is not an object. `path` names it in errors ("[3]").
    ObjectReader(const Json& value, QString path);

    const QString& path() const { return m_path; }
    QString keyPath(const char* key) const;

    // The member, or nullptr when it is missing or null.
    const Json* member(const char* key) const;
    const Json& requiredMember(const char* key) const;
    // The member's UTF-8 text when it is a string; nullopt otherwise.
    std::optional<std::string_view> stringBytes(const char* key) const;

    QString requiredString(const char* key) const;
    std::optional<QString> optionalString(const char* key) const;
    double requiredDouble(const char* key) const;
    std::optional<double> optionalDouble(const char* key) const;
    std::optional<float> optionalFloat(const char* key) const;
    qint64 requiredInt(const char* key) const;
    std::optional<qint64> optionalInt(const char* key) const;
    bool requiredBool(const char* key) const;
    QUuid requiredUuid(const char* key) const;
    std::optional<QUuid> optionalUuid(const char* key) const;
    QList<QUuid> requiredUuidList(const char* key) const;
    std::optional<QList<QUuid>> optionalUuidList(const char* key) const;
    QStringList requiredStringList(const char* key) const;
    Date requiredDate(const char* key) const;
    std::optional<Date> optionalDate(const char* key) const;
    std::optional<QByteArray> optionalBytes(const char* key) const;
    QUrl requiredUrl(const char* key) const;

    [[noreturn]] void fail(const char* key, const QString& problem) const;

private:
    const Json& m_object;
    QString m_path;
};

// Reads a top-level array, decoding each element with `decode(element, path)`.
template <typename T, typename Decode> QList<T> readArray(const Json& document, Decode decode)
{
    if (!document.is_array()) {
        throw JsonCodingError(JsonCodingError::Kind::Decoding, QString(),
            QStringLiteral("Expected an array of records."));
    }
    QList<T> result;
    result.reserve(qsizetype(document.size()));
    qsizetype index = 0;
    for (const Json& element : document) {
        result.push_back(decode(element, u'[' + QString::number(index++) + u']'));
    }
    return result;
}

// ---- large arrays ------------------------------------------------------------
// A library file holds up to hundreds of thousands of records; they are encoded
// and decoded in parallel chunks on a pool of their own (never the caller's).

QThreadPool& codecPool();

// Byte ranges [begin, end) of the top-level elements of a JSON array text, or
// nullopt when the text is not a well-bracketed array (a full parse then
// reports the exact error).
std::optional<std::vector<std::pair<qsizetype, qsizetype>>> splitTopLevelArray(
    const QByteArray& bytes);

// What checkText() of the whole text would throw for the first problem in
// bytes [begin, end): whole elements of an array that splitTopLevelArray()
// split. Nothing when they pass.
std::optional<JsonCodingError> elementTextProblem(
    const QByteArray& bytes, qsizetype begin, qsizetype end);

// The error parseChecked() would throw for a syntax error in the whole text,
// found without building the document; nothing when its syntax is sound.
std::optional<JsonCodingError> syntaxError(const QByteArray& bytes);

// Parse a text that has passed checkText() (as a whole).
Json parseChecked(const QByteArray& bytes);
Json parseRange(const QByteArray& bytes, qsizetype begin, qsizetype end, const QString& path);

// Decodes an array document; `decode(element, path)` builds one record. The
// first failing element (by position) is the error thrown, after any that
// checkText() finds. Both paths refuse the same texts: the text of every
// element is checked before it is parsed.
// `elementRanges`, when given, receives each decoded element's byte range
// (empty when the text could not be split). In a large document each element
// is decoded from its text by `decodeText(bytes, begin, end, index, form)`,
// which must give what `decode` gives on the parsed element or throw what it
// throws, and sets `form` when the text is exactly the record's encoding;
// `inEncoderForm`, when given, receives those flags (empty for a document
// decoded whole).
template <typename T, typename Decode, typename DecodeText>
QList<T> decodeArray(const QByteArray& bytes, Decode decode, DecodeText decodeText,
    std::vector<std::pair<qsizetype, qsizetype>>* elementRanges,
    std::vector<quint8>* inEncoderForm = nullptr)
{
    if (inEncoderForm) {
        inEncoderForm->clear();
    }
    constexpr size_t parallelThreshold = 512;
    auto ranges = splitTopLevelArray(bytes);
    if (!ranges || ranges->size() < parallelThreshold) {
        checkText(bytes);
        QList<T> result = readArray<T>(parseChecked(bytes), decode);
        if (elementRanges) {
            *elementRanges = ranges && ranges->size() == size_t(result.size())
                ? std::move(*ranges)
                : std::vector<std::pair<qsizetype, qsizetype>>();
        }
        return result;
    }
    const qsizetype count = qsizetype(ranges->size());
    const qsizetype chunkCount = std::min<qsizetype>(count, codecPool().maxThreadCount() * 4);
    if (inEncoderForm) {
        inEncoderForm->resize(size_t(count));
    }
    // Each chunk makes the list's slots it fills: 200,000 songs made on one
    // thread take as long as decoding them on all.
    const auto [header, out] = QTypedArrayData<T>::allocate(count);
    if (!header) {
        throw std::bad_alloc();
    }
    std::vector<qsizetype> made(static_cast<size_t>(chunkCount));
    std::vector<std::optional<JsonCodingError>> problems(static_cast<size_t>(chunkCount));
    std::vector<std::exception_ptr> errors(static_cast<size_t>(chunkCount));
    std::vector<qsizetype> chunks(static_cast<size_t>(chunkCount));
    for (qsizetype c = 0; c < chunkCount; ++c) {
        chunks[size_t(c)] = c;
    }
    const auto firstOf = [&](qsizetype c) { return count * c / chunkCount; };
    QtConcurrent::blockingMap(&codecPool(), chunks, [&](qsizetype c) {
        const qsizetype first = firstOf(c);
        const qsizetype last = firstOf(c + 1);
        qsizetype& next = made[size_t(c)];
        // The chunk's repeated names skip the shared pool's lock.
        sharedtexts::LocalCache names;
        try {
            for (next = first; next < last; ++next) {
                new (out + next) T();
            }
            // checkText() of the chunk's text, before any of it is parsed.
            problems[size_t(c)] = elementTextProblem(
                bytes, (*ranges)[size_t(first)].first, (*ranges)[size_t(last - 1)].second);
            if (problems[size_t(c)]) {
                return;
            }
            for (qsizetype i = first; i < last; ++i) {
                const auto [begin, end] = (*ranges)[size_t(i)];
                bool form = false;
                out[i] = decodeText(bytes, begin, end, i, form);
                if (inEncoderForm) {
                    (*inEncoderForm)[size_t(i)] = form;
                }
            }
        } catch (...) {
            errors[size_t(c)] = std::current_exception();
        }
    });
    bool complete = true;
    for (qsizetype c = 0; c < chunkCount; ++c) {
        complete = complete && made[size_t(c)] == firstOf(c + 1);
    }
    if (!complete) {
        for (qsizetype c = 0; c < chunkCount; ++c) {
            std::destroy(out + firstOf(c), out + made[size_t(c)]);
        }
        QTypedArrayData<T>::deallocate(header);
        for (const std::exception_ptr& error : errors) {
            if (error) {
                std::rethrow_exception(error);
            }
        }
        throw std::bad_alloc(); // a slot is only left unmade by a failure
    }
    QList<T> result(QArrayDataPointer<T>(header, out, count));
    for (const std::optional<JsonCodingError>& problem : problems) {
        if (problem) {
            throw *problem;
        }
    }
    for (const std::exception_ptr& error : errors) {
        if (error) {
            // A whole-document parse meets a syntax error anywhere before it
            // decodes any record: so does this, whatever the file's size.
            if (std::optional<JsonCodingError> syntax = syntaxError(bytes)) {
                throw *syntax;
            }
            std::rethrow_exception(error);
        }
    }
    if (elementRanges) {
        *elementRanges = std::move(*ranges);
    }
    return result;
}

// As above, each element parsed and given to `decode`.
template <typename T, typename Decode>
QList<T> decodeArray(const QByteArray& bytes, Decode decode,
    std::vector<std::pair<qsizetype, qsizetype>>* elementRanges = nullptr)
{
    return decodeArray<T>(
        bytes, decode,
        [&decode](const QByteArray& text, qsizetype begin, qsizetype end, qsizetype index, bool&) {
            const QString path = u'[' + QString::number(index) + u']';
            return decode(parseRange(text, begin, end, path), path);
        },
        elementRanges);
}

// A list's elements as compact texts, made in parallel: the chunks, read in
// order and each joined to the next by a comma (empty ones skipped), are the
// elements in order, comma-separated; `sizes` holds each element's length.
struct EncodedElements {
    std::vector<std::string> chunks;
    std::vector<qsizetype> sizes;
};

// Encodes each item with `encode(item)`; the first failing item (by position)
// is the error thrown.
template <typename T, typename Encode>
EncodedElements encodeElements(const QList<T>& items, Encode encode)
{
    const qsizetype count = items.size();
    const qsizetype chunkCount
        = std::clamp<qsizetype>(count / 256, 1, codecPool().maxThreadCount() * 4);
    EncodedElements encoded;
    encoded.chunks.resize(static_cast<size_t>(chunkCount));
    encoded.sizes.resize(static_cast<size_t>(count));
    std::vector<std::exception_ptr> errors(static_cast<size_t>(chunkCount));
    auto encodeChunk = [&](qsizetype c) {
        const qsizetype first = count * c / chunkCount;
        const qsizetype last = count * (c + 1) / chunkCount;
        std::string& text = encoded.chunks[size_t(c)];
        try {
            for (qsizetype i = first; i < last; ++i) {
                if (i > first) {
                    text.push_back(',');
                }
                const size_t before = text.size();
                text += encode(items[i]).dump();
                encoded.sizes[size_t(i)] = qsizetype(text.size() - before);
            }
        } catch (...) {
            errors[size_t(c)] = std::current_exception();
        }
    };
    if (chunkCount == 1) {
        encodeChunk(0);
    } else {
        std::vector<qsizetype> chunks(static_cast<size_t>(chunkCount));
        for (qsizetype c = 0; c < chunkCount; ++c) {
            chunks[size_t(c)] = c;
        }
        QtConcurrent::blockingMap(&codecPool(), chunks, [&](qsizetype c) { encodeChunk(c); });
    }
    for (const std::exception_ptr& error : errors) {
        if (error) {
            std::rethrow_exception(error);
        }
    }
    return encoded;
}

// Encodes a list as a compact array document; `encode(item)` gives one object.
// The first failing item (by position) is the error thrown.
template <typename T, typename Encode> QByteArray encodeArray(const QList<T>& items, Encode encode)
{
    const std::vector<std::string> texts = encodeElements(items, encode).chunks;
    size_t total = 2;
    for (const std::string& text : texts) {
        total += text.size() + 1;
    }
    QByteArray out;
    out.reserve(qsizetype(total));
    out.append('[');
    bool first = true;
    for (const std::string& text : texts) {
        if (text.empty()) {
            continue;
        }
        if (!first) {
            out.append(',');
        }
        out.append(text.data(), qsizetype(text.size()));
        first = false;
    }
    out.append(']');
    return out;
}

} // namespace json
} // namespace kivo
