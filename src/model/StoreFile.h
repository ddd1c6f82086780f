#pragma once

#include "model/JsonCodec.h"

#include <QByteArray>
#include <QList>
#include <QLoggingCategory>
#include <QString>
#include <exception>
#include <functional>
#include <optional>
#include <string>

namespace kivo {

// A store file or folder that cannot be read, written, removed or created. The
// stores pass it to their callers unchanged, next to JsonCodingError for
// content that does not encode or decode.
class StoreFileError : public std::exception {
public:
    enum class Case { readFailed, writeFailed, removeFailed, folderUnavailable };

    StoreFileError(Case errorCase, QString path, QString reason);

    Case errorCase() const { return m_case; }
    // The file or folder concerned (absolute path).
    const QString& path() const { return m_path; }
    // What the system reported ("Permission denied", "Is a directory").
    const QString& reason() const { return m_reason; }
    // The user-facing description, naming the file.
    const QString& description() const { return m_description; }
    const char* what() const noexcept override { return m_what.c_str(); }

private:
    Case m_case;
    QString m_path;
    QString m_reason;
    QString m_description;
    std::string m_what;
};

// Whole-file reads and atomic writes shared by the JSON stores. A missing file
// is "no data"; a file that exists but cannot be read is an error, so that no
// store ever mistakes an unreadable library for an empty one.
namespace storefile {

// "Halvern.KIVO-VOVID.Storage": what the stores do not report to a caller.
Q_DECLARE_LOGGING_CATEGORY(log)

// The folder every store uses unless it is given one:
// GenericDataLocation + "/TavrenMediaStudio". Throws StoreFileError when the
// system has no data location.
QString defaultDataFolder();

// Makes sure `folder` (or the default folder) exists and is a folder, creating
// it with its missing parents. Returns its absolute path. Throws StoreFileError
// when it cannot be created or when something else stands in its place.
QString prepareFolder(const std::optional<QString>& folder);

// The bytes of the file; nullopt when nothing exists at `path`. Throws
// StoreFileError(readFailed) for anything that exists but cannot be read
// (a folder in its place, no permission, an I/O error).
std::optional<QByteArray> read(const QString& path);

// As read(), but a file that cannot be read is logged and counts as missing:
// for loads, which show no data rather than fail. Nothing may be written back
// on the strength of this result.
std::optional<QByteArray> readOrNothing(const QString& path);

// Replaces the file atomically (a temporary file beside it, then a rename), so
// a reader sees either the old or the new content. Throws
// StoreFileError(writeFailed) and leaves the old content on failure.
void writeAtomically(const QString& path, const QByteArray& bytes);

// Creates an empty file when nothing exists at `path`; failures are ignored
// because a missing file reads as empty anyway.
void createEmptyIfMissing(const QString& path);

// Removes the file. Throws StoreFileError(removeFailed), also when it is missing.
void remove(const QString& path);

namespace detail {

// Lists at least this long are encoded and decoded in parallel.
constexpr qsizetype parallelRecords = 2048;
constexpr qsizetype parallelBytes = 512 * 1024;

// The texts of the elements of a top-level JSON array, cut at its top-level
// commas; nothing when the text does not have that shape. A cut is only a
// guess until every element parses: together they then are the whole array.
std::optional<QList<QByteArray>> splitArray(const QByteArray& bytes);

// Runs `work(begin, end)` over consecutive ranges covering [0, count) on the
// global thread pool and the calling thread. Returns false when any range
// threw (the others still ran).
bool forRanges(qsizetype count, const std::function<void(qsizetype, qsizetype)>& work);

template <typename T> QList<T> decodeListSerially(const QByteArray& bytes)
{
    return json::readArray<T>(json::parse(bytes),
        [](const Json& element, const QString& path) { return T::fromJson(element, path); });
}

template <typename T> QByteArray encodeListSerially(const QList<T>& records)
{
    Json array = Json::array();
    array.get_ref<Json::array_t&>().reserve(size_t(records.size()));
    for (const T& record : records) {
        array.push_back(record.toJson());
    }
    return QByteArray::fromStdString(json::dump(array));
}

} // namespace detail

// A list file's content: zero bytes is an empty list, anything else must be a
// JSON array of records. Throws JsonCodingError.
template <typename T> QList<T> decodeList(const QByteArray& bytes)
{
    if (bytes.isEmpty()) {
        return {};
    }
    if (bytes.size() >= detail::parallelBytes) {
        if (const std::optional<QList<QByteArray>> elements = detail::splitArray(bytes)) {
            QList<T> records(elements->size());
            T* out = records.data();
            const bool decoded
                = detail::forRanges(records.size(), [&](qsizetype begin, qsizetype end) {
                      for (qsizetype i = begin; i < end; ++i) {
                          out[i] = T::fromJson(
                              json::parse(elements->at(i)), u'[' + QString::number(i) + u']');
                      }
                  });
            if (decoded) {
                return records;
            }
        }
    }
    // Also the way to the exact error of a list that failed above.
    return detail::decodeListSerially<T>(bytes);
}

// Compact JSON array of the records, the same bytes however it is made.
// Throws JsonCodingError.
template <typename T> QByteArray encodeList(const QList<T>& records)
{
    if (records.size() >= detail::parallelRecords) {
        const qsizetype rangeSize = detail::parallelRecords / 8;
        QList<std::string> parts((records.size() + rangeSize - 1) / rangeSize);
        std::string* out = parts.data();
        const bool encoded = detail::forRanges(parts.size(), [&](qsizetype begin, qsizetype end) {
            for (qsizetype part = begin; part < end; ++part) {
                std::string& text = out[part];
                const qsizetype last = std::min(records.size(), (part + 1) * rangeSize);
                for (qsizetype i = part * rangeSize; i < last; ++i) {
                    if (!text.empty()) {
                        text += ',';
                    }
                    text += json::dump(records[i].toJson());
                }
            }
        });
        if (encoded) {
            QByteArray bytes;
            qsizetype size = 2;
            for (const std::string& part : parts) {
                size += qsizetype(part.size()) + 1;
            }
            bytes.reserve(size);
            bytes += '[';
            for (qsizetype part = 0; part < parts.size(); ++part) {
                if (part > 0) {
                    bytes += ',';
                }
                bytes.append(parts[part].data(), qsizetype(parts[part].size()));
            }
            bytes += ']';
            return bytes;
        }
    }
    return detail::encodeListSerially(records);
}

} // namespace storefile
} // namespace kivo
