#pragma once

#include "model/Date.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <QUuid>
#include <exception>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>

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
std::optional<QUuid> parseUuid(const QString& text);
// Whether a's canonical text sorts before b's (character by character).
bool uuidTextLess(const QUuid& a, const QUuid& b);

QString fileUrlText(const QUrl& url);
QUrl fileUrlFromText(const QString& text);

// The double whose shortest text is the float's shortest text, so that a
// stored 0.8f is written as 0.8 and reads back as the same float.
double floatToJsonDouble(float value);

std::string toStd(const QString& text);
QString fromStd(const std::string& text);

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
// Parses a document; syntax errors become JsonCodingError(Decoding).
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
template <typename T, typename Decode>
QList<T> readArray(const Json& document, Decode decode)
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

} // namespace json
} // namespace kivo
