#pragma once

#include <QByteArray>
#include <QString>
#include <exception>
#include <optional>
#include <qcoro/qcorotask.h>

namespace kivo::test {

// Tags written into generated fixtures. Date, track number and comment are
// there to show that the engine leaves those fields alone.
struct FixtureTags {
    QString title;
    QString artist;
    QString album;
    QString genre;
    QString composer;
    QString albumArtist;
    QString date = QStringLiteral("1999");
    QString trackNumber = QStringLiteral("7");
    QString comment = QStringLiteral("a comment");
};

// A small picture encoded as "PNG" or "JPEG".
QByteArray makeCoverImage(const char* format);

// Writes `tags` (and `cover`, when given, as the one embedded picture) into the
// file with TagLib, in the way its container keeps pictures.
bool tagWithTagLib(
    const QString& path, const FixtureTags& tags, const std::optional<QByteArray>& cover);

// An ID3v2 tag block for containers TagLib cannot open (raw ADTS AAC): put it
// in front of the audio data.
QByteArray renderID3v2(const FixtureTags& tags, const std::optional<QByteArray>& cover);

// A finished task's value or what it threw. QCoro::waitFor needs a default
// constructible result and never returns when the task throws; this helper
// gives it both.
template <typename T> struct Settled {
    std::optional<T> value;
    std::exception_ptr error;

    // Rethrows the stored error as `Error` and returns it; fails the test when
    // there was none or another type.
    template <typename Error> std::optional<Error> errorAs() const
    {
        if (!error) {
            return std::nullopt;
        }
        try {
            std::rethrow_exception(error);
        } catch (const Error& typed) {
            return typed;
        } catch (...) {
            return std::nullopt;
        }
    }
};

template <typename T> QCoro::Task<Settled<T>> settle(QCoro::Task<T> task)
{
    Settled<T> settled;
    try {
        settled.value.emplace(co_await std::move(task));
    } catch (...) {
        settled.error = std::current_exception();
    }
    co_return settled;
}

inline QCoro::Task<Settled<bool>> settle(QCoro::Task<> task)
{
    Settled<bool> settled;
    try {
        co_await std::move(task);
        settled.value = true;
    } catch (...) {
        settled.error = std::current_exception();
    }
    co_return settled;
}

} // namespace kivo::test
