#pragma once

#include "model/JsonCodec.h"

#include <QByteArray>
#include <QList>
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

// The folder every store uses unless it is given one:
// GenericDataLocation + "/TavrenMediaStudio". Throws StoreFileError when the
// system has no data location.
QString defaultDataFolder();

// Makes sure `folder` (or the default folder) exists and is a folder, creating
// it with its missing parents. Returns its absolute path. Throws StoreFileError
// when it cannot be created or when something else stands in its place.
QString prepareFolder(const std::optional<QString>& folder);

// Why a store could not be read, as one sentence for the user: the system's
// reason ("Permission denied."), "It is 2 GiB or larger." or "Its content is
// damaged." for a file that does not decode.
QString describeReadFailure(const std::exception_ptr& error);

// The size from which read() refuses a file by default, before reading any of
// it, rather than exhaust memory.
inline constexpr qint64 maximumFileSize = qint64(2) << 30;

// Tells one state of a file from another without reading it: another file put
// in its place (even with the same bytes) has another inode, a change in place
// another size or modification time.
struct FileVersion {
    quint64 device = 0;
    quint64 inode = 0;
    qint64 size = 0;
    qint64 modifiedNs = 0;

    friend bool operator==(const FileVersion&, const FileVersion&) = default;
};

// The bytes of the file (a link is followed); nullopt when nothing exists at
// `path`. Throws StoreFileError(readFailed) for anything that exists but cannot
// be read: a folder, FIFO, device or link loop in its place (checked before
// opening, so nothing blocks), no permission, an I/O error, or `maximumSize`
// bytes or more (refused by the size alone, before any reading).
std::optional<QByteArray> read(const QString& path, qint64 maximumSize = maximumFileSize);

// What read() gives, with the version of the file the bytes were read from;
// no version when the file changed while it was read.
struct VersionedBytes {
    QByteArray bytes;
    std::optional<FileVersion> version;
};
std::optional<VersionedBytes> readVersioned(
    const QString& path, qint64 maximumSize = maximumFileSize);

// The version of the regular file open as `fd`; nullopt when it cannot be had.
std::optional<FileVersion> versionOf(int fd);
// The version of the regular file at `path` (a link is followed); nullopt
// when there is none or it cannot be had.
std::optional<FileVersion> versionAt(const QString& path);

// As read(), but a file that cannot be read is logged and counts as missing:
// for loads, which show no data rather than fail. Nothing may be written back
// on the strength of this result.
std::optional<QByteArray> readOrNothing(const QString& path);

// Replaces the file atomically, so that a reader or a crash sees either the
// old or the new content: the bytes go to a temporary file in the same folder,
// every write is checked and the file flushed to disk before it is renamed over
// the old one; then the folder is flushed. A link to a regular file stays and
// its target is replaced. Anything else in the file's place (a folder, FIFO,
// device, a link loop or a link to nothing) is refused. Every failure throws
// StoreFileError(writeFailed) with the system's reason ("No space left on
// device") and leaves the previous file byte for byte as it was. Every file
// the program writes goes through here. Returns the version of the new file.
FileVersion writeAtomically(const QString& path, const QByteArray& bytes);

// Where writeAtomically() takes the new content from a producer: each part is
// written in order (buffered) and every write checked, failures thrown as
// StoreFileError(writeFailed).
class ContentSink {
public:
    void append(const char* data, qsizetype size);
    void append(char c) { append(&c, 1); }
    // `size` bytes from `offset` in the open file `source`, copied by the
    // system where it can. A source shorter than that is a failure.
    void copy(int source, qint64 offset, qint64 size);
    // Bytes taken so far.
    qint64 size() const { return m_size; }

    ContentSink(const ContentSink&) = delete;
    ContentSink& operator=(const ContentSink&) = delete;

private:
    friend FileVersion writeAtomically(
        const QString& path, const std::function<void(ContentSink&)>& produce);
    ContentSink(int fd, const QString& path);
    void flush();
    void writeAll(const char* data, qsizetype size);
    [[noreturn]] void fail(int code) const;

    int m_fd;
    const QString& m_path;
    QByteArray m_buffer;
    qint64 m_size = 0;
    bool m_systemCopy = true;
};

// As writeAtomically(path, bytes), with the content given part by part to the
// sink by `produce`, so that a large file need not be whole in memory. An
// exception from `produce` leaves the previous file as it was.
FileVersion writeAtomically(const QString& path, const std::function<void(ContentSink&)>& produce);

// The name of the file that `fileName` (a name, not a path) would be the
// temporary file of, as writeAtomically() names them: "." + the file's name
// (cut short when long) + "." + hex digits + ".tmp". Nothing for other names.
std::optional<QString> temporaryFileTarget(const QString& fileName);

// Removes the temporary files that interrupted writes left in `folder` (not
// below it): regular files that writeAtomically() named for a file for which
// `writesHere(name)` holds, the files the caller writes there; nothing else,
// as a user's ".notes.txt.cafe.tmp" looks the same. Only safe while no other
// process of ours writes there. Failures are logged. Returns how many were
// removed.
int removeInterruptedWrites(
    const QString& folder, const std::function<bool(const QString& name)>& writesHere);

// Removes the file. Throws StoreFileError(removeFailed), also when it is missing.
void remove(const QString& path);

// Writes an empty file where nothing exists at `path` (not even a link),
// never truncating one that appeared meanwhile. Returns the version of the
// file made; nothing when something was there or it could not be made (a
// missing file reads as empty all the same).
std::optional<FileVersion> createEmptyIfMissing(const QString& path);

// A list file's content: zero bytes (what earlier versions created at first
// start) is an empty list, anything else must be a JSON array of records.
// Throws JsonCodingError naming the first bad record.
// `elementRanges` and `inEncoderForm`, when given, receive each record's byte
// range and whether it is the record's encoding (see json::decodeArray).
template <typename T>
QList<T> decodeList(const QByteArray& bytes,
    std::vector<std::pair<qsizetype, qsizetype>>* elementRanges = nullptr,
    std::vector<quint8>* inEncoderForm = nullptr)
{
    if (bytes.isEmpty()) {
        if (elementRanges) {
            elementRanges->clear();
        }
        if (inEncoderForm) {
            inEncoderForm->clear();
        }
        return {};
    }
    const auto decode
        = [](const Json& element, const QString& path) { return T::fromJson(element, path); };
    if constexpr (requires(bool& form) {
                      T::fromJsonText(bytes, qsizetype(), qsizetype(), qsizetype(), form);
                  }) {
        return json::decodeArray<T>(bytes, decode, &T::fromJsonText, elementRanges, inEncoderForm);
    } else {
        return json::decodeArray<T>(bytes, decode, elementRanges);
    }
}

// Compact JSON array of the records. Throws JsonCodingError.
template <typename T> QByteArray encodeList(const QList<T>& records)
{
    return json::encodeArray(records, [](const T& record) { return record.toJson(); });
}

// Each record's compact text (see json::encodeElements). Throws JsonCodingError.
template <typename T> json::EncodedElements encodeRecords(const QList<T>& records)
{
    return json::encodeElements(records, [](const T& record) { return record.toJson(); });
}

} // namespace storefile
} // namespace kivo
