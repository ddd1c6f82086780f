#pragma once

#include "engines/playback/WaveformGenerator.h"

#include <QString>
#include <QUuid>
#include <optional>

namespace kivo {

// The waveform cache folder: one JSON file per track and point count. Holds no
// state; every call works on the folder directly and is meant for the
// generator's worker thread.
class WaveformCache {
public:
    explicit WaveformCache(QString folder);

    const QString& folder() const { return m_folder; }

    // "waveform_<UUID>_<N>.json" with the id in upper case.
    static QString fileName(const QUuid& trackID, qint64 numberOfPoints);
    // Whether `name` is one fileName() gives.
    static bool isCacheFileName(const QString& name);
    QString filePath(const QUuid& trackID, qint64 numberOfPoints) const;

    // The cached waveform, or nullopt when there is no usable file: missing,
    // unreadable, not decodable, made for another track or point count, or
    // holding a peak outside 0...1. Never fails.
    std::optional<Waveform> load(const QUuid& trackID, qint64 numberOfPoints) const;

    // Encodes and writes atomically. Throws JsonCodingError or WaveformCacheWriteError.
    void store(const Waveform& waveform) const;

    // Removes every entry whose name holds the id's upper-case text; failures
    // are logged and the other entries still tried.
    void removeTrack(const QUuid& trackID) const;

    // Removes every entry of the folder; failures are logged.
    void clear() const;

private:
    QString m_folder;
};

// A cache file that could not be written; only logged.
class WaveformCacheWriteError : public std::exception {
public:
    explicit WaveformCacheWriteError(QString description)
        : m_description(std::move(description))
        , m_what(m_description.toStdString())
    {
    }
    const QString& description() const { return m_description; }
    const char* what() const noexcept override { return m_what.c_str(); }

private:
    QString m_description;
    std::string m_what;
};

} // namespace kivo
