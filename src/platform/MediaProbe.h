#pragma once

#include <QByteArray>
#include <QLatin1StringView>
#include <QList>
#include <QString>
#include <exception>
#include <memory>
#include <optional>
#include <string>

namespace kivo {

// What the media layer reports when a file cannot be read as audio.
class MediaProbeError : public std::exception {
public:
    enum class Case { fileNotFound, unreadable, unsupportedFormat, notLocalFile };

    static MediaProbeError fileNotFound(const QString& path);
    static MediaProbeError unreadable(const QString& path);
    static MediaProbeError unsupportedFormat(const QString& path);
    static MediaProbeError notLocalFile(const QString& location);

    Case errorCase() const { return m_case; }
    const QString& path() const { return m_path; }
    QString errorDescription() const;
    const char* what() const noexcept override { return m_what.c_str(); }

private:
    MediaProbeError(Case errorCase, QString path);
    Case m_case;
    QString m_path;
    std::string m_what;
};

// Common key texts that the media layer gives the tags it understands.
namespace MediaCommonKey {
inline constexpr QLatin1StringView title { "title" };
inline constexpr QLatin1StringView artist { "artist" };
inline constexpr QLatin1StringView albumName { "albumName" };
inline constexpr QLatin1StringView genre { "genre" };
inline constexpr QLatin1StringView type { "type" };
inline constexpr QLatin1StringView composer { "composer" };
inline constexpr QLatin1StringView albumArtist { "albumArtist" };
inline constexpr QLatin1StringView creationDate { "creationDate" };
// Texts as the tag holds them, often with the total: "3/12".
inline constexpr QLatin1StringView trackNumber { "trackNumber" };
inline constexpr QLatin1StringView discNumber { "discNumber" };
inline constexpr QLatin1StringView copyrights { "copyrights" };
inline constexpr QLatin1StringView publisher { "publisher" };
inline constexpr QLatin1StringView language { "language" };
inline constexpr QLatin1StringView artwork { "artwork" };
} // namespace MediaCommonKey

// One tag of a file. Tags the layer has no common key for carry none.
struct MediaMetadataItem {
    std::optional<QString> commonKey;
    std::optional<QString> textValue;
    std::optional<QByteArray> dataValue;
};

// One audio stream. The sample rate is absent when the stream does not say.
struct MediaAudioTrack {
    std::optional<double> sampleRate;
};

// One opened file. Each load reads what it needs on first use; a file that is
// not audio fails every load with the same MediaProbeError. Loads block: call
// them off the main thread. One asset is used by one thread at a time.
class MediaAsset {
public:
    virtual ~MediaAsset() = default;

    // The tags in the file's order, artwork last. Throws MediaProbeError.
    virtual QList<MediaMetadataItem> loadMetadata() = 0;
    // Seconds, finite and never negative (unknown gives 0). Throws MediaProbeError.
    virtual double loadDuration() = 0;
    // The audio streams in file order. Throws MediaProbeError.
    virtual QList<MediaAudioTrack> loadAudioTracks() = 0;
};

// Opens local audio files. Implementations are stateless and may be shared by
// any number of threads.
class MediaProbe {
public:
    virtual ~MediaProbe() = default;

    // Opening never fails; the loads of the asset do. `path` is a local file path.
    virtual std::unique_ptr<MediaAsset> openAsset(const QString& path) const = 0;
};

} // namespace kivo
