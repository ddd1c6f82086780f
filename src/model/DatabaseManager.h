#pragma once

#include "model/Date.h"
#include "model/JsonCodec.h"
#include "model/PlaybackStateSnapshot.h"
#include "model/Playlist.h"
#include "model/StoreFile.h"
#include "model/Track.h"

#include <QCoroTask>
#include <QList>
#include <QString>
#include <QUrl>
#include <QUuid>
#include <cmath>
#include <concepts>
#include <exception>
#include <optional>
#include <string>
#include <utility>

namespace kivo {

// The library engine's error: each case carries the message shown to the user.
// The store itself never throws it (see DatabaseManager).
class DatabaseError : public std::exception {
public:
    enum class Case { initializationFailed, readFailed, writeFailed, entityNotFound };

    static DatabaseError initializationFailed(const QString& message);
    static DatabaseError readFailed(const QString& message);
    static DatabaseError writeFailed(const QString& message);
    static DatabaseError entityNotFound(const QString& message);

    Case errorCase() const { return m_case; }
    const QString& message() const { return m_message; }
    // The message itself, for every case.
    const QString& errorDescription() const { return m_message; }
    const char* what() const noexcept override { return m_what.c_str(); }

private:
    DatabaseError(Case errorCase, QString message);
    Case m_case;
    QString m_message;
    std::string m_what;
};

// How often and when a track was last played, from the playback history.
struct PlaybackStatistics {
    qint64 playCount = 0;
    std::optional<Date> lastPlayed;

    bool operator==(const PlaybackStatistics&) const = default;
};

// Preference values are stored as JSON text. These convert the value types
// getPreference() can be asked for; a stored value of another JSON type reads
// as nothing.
template <typename T>
concept PreferenceRecord = requires(const T& value, const Json& json)
{
    {
        value.toJson()
        } -> std::same_as<Json>;
    {
        T::fromJson(json, QString())
        } -> std::same_as<T>;
};

template <typename T> Json encodePreference(const T& value)
{
    if constexpr (std::is_same_v<T, Json>) {
        return value;
    } else if constexpr (std::is_same_v<T, QString>) {
        return json::toStd(value);
    } else if constexpr (std::is_same_v<T, QStringList>) {
        Json array = Json::array();
        for (const QString& text : value) {
            array.push_back(json::toStd(text));
        }
        return array;
    } else if constexpr (std::is_same_v<T, bool>) {
        return value;
    } else if constexpr (std::is_integral_v<T>) {
        return static_cast<std::int64_t>(value);
    } else if constexpr (std::is_floating_point_v<T>) {
        return static_cast<double>(value);
    } else {
        static_assert(PreferenceRecord<T>, "no JSON form for this preference type");
        return value.toJson();
    }
}

template <typename T> std::optional<T> decodePreference(const Json& value)
{
    if constexpr (std::is_same_v<T, Json>) {
        return value;
    } else if constexpr (std::is_same_v<T, QString>) {
        if (value.is_string()) {
            return json::fromStd(value.get_ref<const std::string&>());
        }
    } else if constexpr (std::is_same_v<T, QStringList>) {
        if (value.is_array()) {
            QStringList list;
            for (const Json& element : value) {
                if (!element.is_string()) {
                    return std::nullopt;
                }
                list.push_back(json::fromStd(element.get_ref<const std::string&>()));
            }
            return list;
        }
    } else if constexpr (std::is_same_v<T, bool>) {
        if (value.is_boolean()) {
            return value.get<bool>();
        }
    } else if constexpr (std::is_integral_v<T>) {
        if (value.is_number_integer()) {
            if (value.is_number_unsigned()) {
                const auto number = value.get<std::uint64_t>();
                if (std::in_range<T>(number)) {
                    return static_cast<T>(number);
                }
            } else {
                const auto number = value.get<std::int64_t>();
                if (std::in_range<T>(number)) {
                    return static_cast<T>(number);
                }
            }
        }
    } else if constexpr (std::is_floating_point_v<T>) {
        if (value.is_number()) {
            return static_cast<T>(value.get<double>());
        }
    } else {
        static_assert(PreferenceRecord<T>, "no JSON form for this preference type");
        try {
            return T::fromJson(value, QString());
        } catch (const JsonCodingError&) {
        }
    }
    return std::nullopt;
}

// The library's JSON store: "tracks.json", "playlists.json",
// "playback_history.json" and "playback_state.json" in one data folder, each
// read and rewritten whole (atomically) on every call; preferences live in the
// user defaults.
//
// Errors are passed through as they come: StoreFileError when a file cannot
// be read, written or removed, JsonCodingError when content does not encode or
// decode. A missing file is no data, and so is one of zero bytes (the store
// makes each missing file so), except a "tracks.json" of zero bytes that the
// store did not make itself while the saved session or a playlist names a
// song: that one was cut short and cannot be read. A file that exists but
// cannot be read or decoded is never replaced: an operation that would rewrite
// it throws instead and leaves it untouched. The loads of the library and of
// the session throw for such a file too, so that neither looks empty; the
// other loads read an unreadable file as no data (an undecodable one throws).
//
// The asynchronous operations run one at a time, in the order they were
// called, off the main thread; call them from the main thread. The
// synchronous operations run on the caller's thread.
class DatabaseManager {
public:
    virtual ~DatabaseManager() = default;

    // "library.sqlite" in the data folder: a name only, never created.
    virtual QUrl databaseURL() const = 0;

    // Removes the four files in order; the first removal that fails (a
    // missing file fails too) is thrown and stops it, leaving the files
    // removed before it removed. Once all four are gone, each is made empty.
    virtual QCoro::Task<void> eraseAllData() = 0;
    // Inserts or updates by id: a stored track keeps its position, a new one
    // is appended; a list holding one id twice stores the later value.
    virtual QCoro::Task<void> saveTracks(QList<Track> tracks) = 0;
    virtual QCoro::Task<QList<Track>> loadAllTracks() = 0;
    virtual QCoro::Task<std::optional<Track>> fetchTrack(QUuid id) = 0;
    // Removes every stored track whose id is among the given tracks' ids.
    virtual QCoro::Task<void> deleteTracks(QList<Track> tracks) = 0;

    virtual void savePlaylists(const QList<Playlist>& playlists) = 0;
    virtual QList<Playlist> loadAllPlaylists() = 0;
    virtual void deletePlaylist(const QUuid& id) = 0;

    // Appends one entry to the playback history. Never throws: a failure
    // drops the entry (an unreadable or undecodable history is kept as it is).
    virtual void recordPlayback(const QUuid& trackID, const Date& timestamp) = 0;
    // Never throws: an unreadable or undecodable history counts as no entries.
    virtual PlaybackStatistics fetchStatistics(const QUuid& trackID) = 0;

    // The JSON text of `value` under `key` in the user defaults. Throws
    // JsonCodingError for a value that JSON cannot hold (a non-finite number).
    virtual void setPreferenceJson(const Json& value, const QString& key) = 0;
    // The JSON stored under `key`; nothing when absent or not valid JSON.
    virtual std::optional<Json> preferenceJson(const QString& key) const = 0;

    // Typed forms: bool, integers, floating point, QString, QStringList, Json,
    // or a record with toJson()/fromJson(). Asking for another type than the
    // one stored gives nothing.
    template <typename T> void setPreference(const T& value, const QString& key)
    {
        setPreferenceJson(encodePreference(value), key);
    }
    template <typename T> std::optional<T> getPreference(const QString& key) const
    {
        const std::optional<Json> stored = preferenceJson(key);
        return stored ? decodePreference<T>(*stored) : std::nullopt;
    }

    // Safe from any thread (the playback session store calls it on its own).
    virtual void savePlaybackState(const PlaybackStateSnapshot& snapshot) = 0;
    // Nothing for a missing or empty file; throws StoreFileError for one that
    // cannot be read, JsonCodingError for one that does not decode.
    virtual std::optional<PlaybackStateSnapshot> loadPlaybackState() = 0;
};

} // namespace kivo
