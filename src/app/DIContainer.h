#pragma once

#include "model/PlaybackStateSnapshot.h"

#include <QObject>
#include <QString>
#include <exception>
#include <memory>
#include <optional>
#include <qcoro/qcorotask.h>
#include <stdexcept>

namespace kivo {

class ArtworkCache;
class AudioDecoder;
class AudioEngine;
class AudioPlayerFactory;
class DatabaseManager;
class FileWatcher;
class LibraryEngine;
class MetadataCache;
class MetadataEngine;
class PlaylistEngine;
class PlaylistStorage;
class QueueEngine;
class ReduceMotionSource;
class ThemeEngine;
class WaveformGenerator;
class TavrenArtworkCache;
class TavrenAudioDecoder;
class TavrenAudioEngine;
class TavrenDatabaseManager;
class TavrenFileWatcher;
class TavrenLibraryEngine;
class TavrenPlaylistEngine;
class TavrenPlaylistStorage;
class TavrenQueueEngine;
class TavrenThemeEngine;
class TavrenWaveformGenerator;
class UserDefaults;

// Where the engine graph keeps its data; tests point everything at a
// temporary folder and a silent player.
struct DIContainerOptions {
    // The data folder; absent: the standard "TavrenMediaStudio" folder.
    std::optional<QString> dataFolder;
    // Absent: the user's settings.
    std::shared_ptr<UserDefaults> defaults;
    // Absent: the real audio output.
    std::shared_ptr<AudioPlayerFactory> audioPlayers;
    // Where the first-run sample files are looked for; empty: the home folder.
    QString homeFolder;
    // The desktop's reduce-motion setting; absent: motion is not reduced.
    // (Initialised so that a brace list of the fields above stays complete.)
    std::shared_ptr<ReduceMotionSource> reduceMotion = {};
};

// A store or cache of the engine graph could not be built.
class BootFailure : public std::runtime_error {
public:
    explicit BootFailure(const QString& message);
    // "CRITICAL BOOT FAILURE: Failed to initialize Studio graph: " + the error.
    QString message() const { return QString::fromUtf8(what()); }
};

// The composition root: builds every engine once, in a fixed order, links the
// audio and queue engines, then, reading every store off the main thread and
// once, loads the library and the playlists, restores the last session and, on
// a first run, plays a sample file. A store that cannot be read is named in
// the recovery message, and nothing derived from it is saved: the session is
// not saved until it has been restored from a readable library. Main thread
// only.
class DIContainer : public QObject {
    Q_OBJECT
public:
    // Throws BootFailure when a store or cache cannot be built.
    explicit DIContainer(DIContainerOptions options = {}, QObject* parent = nullptr);
    ~DIContainer() override;

    // Builds the graph or ends the process with the boot failure's message.
    static std::unique_ptr<DIContainer> createOrExit(DIContainerOptions options = {});

    // The banner text for the main window; absent when there is nothing to say.
    const std::optional<QString>& recoveryMessage() const { return m_recoveryMessage; }
    void setRecoveryMessage(const std::optional<QString>& message);
    void dismissRecoveryMessage() { setRecoveryMessage(std::nullopt); }

    bool isBootstrapFinished() const { return m_bootstrapFinished; }

    // Writes the session before it returns and waits for every store write
    // already queued: the process may be ended without a quit after this.
    void saveForEnd();

    // Every engine by its interface: what is built behind them stays here.
    DatabaseManager& databaseManager() const;
    FileWatcher& fileWatcher() const;
    MetadataEngine& metadataEngine() const { return *m_metadataEngine; }
    ArtworkCache& artworkCache() const;
    WaveformGenerator& waveformGenerator() const;
    MetadataCache& metadataCache() const { return *m_metadataCache; }
    AudioDecoder& audioDecoder() const;
    PlaylistStorage& playlistStorage() const;
    LibraryEngine& libraryEngine() const;
    AudioEngine& audioEngine() const;
    QueueEngine& queueEngine() const;
    PlaylistEngine& playlistEngine() const;
    ThemeEngine& themeEngine() const;

Q_SIGNALS:
    void recoveryMessageChanged(const std::optional<QString>& message);
    // The start-up task (load, restore, first-run sample) has ended.
    void bootstrapFinished();

private:
    void build(const DIContainerOptions& options);
    QCoro::Task<> bootstrap();
    // The saved session, or the error of reading it.
    struct SavedSession {
        std::optional<PlaybackStateSnapshot> snapshot;
        std::exception_ptr error;
    };
    QCoro::Task<SavedSession> readSavedSession();
    // Puts the session back and lets the queue save again, unless the
    // library or the session could not be read.
    QCoro::Task<> restorePlaybackSession(SavedSession saved);
    QCoro::Task<> importSampleOnFirstRun();
    // Adds a sentence to the recovery message.
    void reportRecoveryProblem(const QString& text);

    QString m_homeFolder;
    std::optional<QString> m_recoveryMessage;
    bool m_bootstrapFinished = false;

    // In build order, so that they are torn down in reverse.
    std::shared_ptr<TavrenDatabaseManager> m_databaseManager;
    std::shared_ptr<TavrenFileWatcher> m_fileWatcher;
    std::shared_ptr<MetadataEngine> m_metadataEngine;
    std::unique_ptr<TavrenArtworkCache> m_artworkCache;
    std::unique_ptr<TavrenWaveformGenerator> m_waveformGenerator;
    std::shared_ptr<MetadataCache> m_metadataCache;
    std::unique_ptr<TavrenAudioDecoder> m_audioDecoder;
    std::shared_ptr<TavrenPlaylistStorage> m_playlistStorage;
    std::unique_ptr<TavrenLibraryEngine> m_libraryEngine;
    std::unique_ptr<TavrenAudioEngine> m_audioEngine;
    std::unique_ptr<TavrenQueueEngine> m_queueEngine;
    std::unique_ptr<TavrenPlaylistEngine> m_playlistEngine;
    std::shared_ptr<ReduceMotionSource> m_reduceMotion;
    std::unique_ptr<TavrenThemeEngine> m_themeEngine;
    std::optional<QCoro::Task<>> m_bootstrap;
};

} // namespace kivo
