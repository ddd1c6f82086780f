#include "app/DIContainer.h"

#include "app/ThemeEngineImpl.h"
#include "engines/artwork/ArtworkCacheImpl.h"
#include "engines/library/FileWatcherImpl.h"
#include "engines/library/LibraryEngineImpl.h"
#include "engines/library/MetadataEngineImpl.h"
#include "engines/library/PlaylistEngineImpl.h"
#include "engines/playback/AudioDecoderImpl.h"
#include "engines/playback/AudioEngineImpl.h"
#include "engines/playback/QueueEngineImpl.h"
#include "engines/playback/WaveformGeneratorImpl.h"
#include "model/DatabaseManagerImpl.h"
#include "model/ErrorText.h"
#include "model/Logging.h"
#include "model/MetadataCache.h"
#include "model/PlaylistStorageImpl.h"
#include "model/RunOnWorker.h"
#include "model/StoreFile.h"
#include "model/WorkerPriority.h"
#include "platform/AudioPlayer.h"
#include "platform/UserDefaults.h"

#include <QDir>
#include <QFileInfo>
#include <QPointer>
#include <QScopeGuard>
#include <QThreadPool>
#include <cstdio>
#include <cstdlib>
#include <utility>

using namespace Qt::Literals::StringLiterals;

namespace kivo {

namespace {

const QString bootFailurePrefix = u"CRITICAL BOOT FAILURE: Failed to initialize Studio graph: "_s;
const QString restoreFailurePrefix = u"Playback could not be restored: "_s;
const QString lastTrackGone
    = u"The last track is no longer available. Your library was left unchanged."_s;
const QStringList sampleFiles {
    u"Music/Audio Music Apps/Samples/QUICK SAMPLER/ANALOG A.wav"_s,
    u"Music/Audio Music Apps/Samples/QUICK SAMPLER/ANALOG B.wav"_s,
};

// "The library file “tracks.json” could not be read: Permission denied.
// Nothing was changed."
QString unreadableStoreText(
    const QString& store, const QString& path, const std::exception_ptr& error)
{
    return u"%1 “%2” could not be read: %3 Nothing was changed."_s.arg(
        store, QFileInfo(path).fileName(), storefile::describeReadFailure(error));
}

// A session file that cannot be read or decoded, described in plain words:
// which file, and why, never a parser's message.
class UnreadableSessionError : public std::runtime_error {
public:
    UnreadableSessionError(const QString& path, const std::exception_ptr& cause)
        : std::runtime_error(
            u"The playback session file “%1” could not be read. %2 Nothing was "
            u"changed."_s.arg(QFileInfo(path).fileName(), storefile::describeReadFailure(cause))
                .toStdString())
    {
    }
};

std::optional<QString> subfolder(const std::optional<QString>& folder, const QString& name)
{
    return folder ? std::optional(*folder + u'/' + name) : std::nullopt;
}

} // namespace

BootFailure::BootFailure(const QString& message)
    : std::runtime_error((bootFailurePrefix + message).toStdString())
{
}

DIContainer::DIContainer(DIContainerOptions options, QObject* parent)
    : QObject(parent)
    , m_homeFolder(options.homeFolder.isEmpty() ? QDir::homePath() : options.homeFolder)
{
    leaveTheWindowACore();
    try {
        build(options);
    } catch (const BootFailure&) {
        throw;
    } catch (const std::exception& e) {
        throw BootFailure(QString::fromUtf8(e.what()));
    }
    m_bootstrap.emplace(bootstrap());
}

DIContainer::~DIContainer()
{
    // The queue engine saves through the store and is the audio engine's delegate.
    if (m_audioEngine) {
        m_audioEngine->setDelegate(nullptr);
    }
}

DatabaseManager& DIContainer::databaseManager() const
{
    return *m_databaseManager;
}
FileWatcher& DIContainer::fileWatcher() const
{
    return *m_fileWatcher;
}
ArtworkCache& DIContainer::artworkCache() const
{
    return *m_artworkCache;
}
WaveformGenerator& DIContainer::waveformGenerator() const
{
    return *m_waveformGenerator;
}
AudioDecoder& DIContainer::audioDecoder() const
{
    return *m_audioDecoder;
}
PlaylistStorage& DIContainer::playlistStorage() const
{
    return *m_playlistStorage;
}
LibraryEngine& DIContainer::libraryEngine() const
{
    return *m_libraryEngine;
}
AudioEngine& DIContainer::audioEngine() const
{
    return *m_audioEngine;
}
QueueEngine& DIContainer::queueEngine() const
{
    return *m_queueEngine;
}
PlaylistEngine& DIContainer::playlistEngine() const
{
    return *m_playlistEngine;
}
ThemeEngine& DIContainer::themeEngine() const
{
    return *m_themeEngine;
}

std::unique_ptr<DIContainer> DIContainer::createOrExit(DIContainerOptions options)
{
    try {
        return std::make_unique<DIContainer>(std::move(options));
    } catch (const BootFailure& failure) {
        std::fputs(failure.what(), stderr);
        std::fputc('\n', stderr);
        std::exit(EXIT_FAILURE);
    }
}

void DIContainer::build(const DIContainerOptions& options)
{
    const std::optional<QString>& folder = options.dataFolder;
    const std::shared_ptr<UserDefaults> defaults
        = options.defaults ? options.defaults : std::make_shared<SettingsUserDefaults>();

    m_databaseManager = std::make_shared<TavrenDatabaseManager>(folder, defaults);
    m_fileWatcher = std::make_shared<TavrenFileWatcher>();
    m_metadataEngine = std::make_shared<TavrenMetadataEngine>();
    m_artworkCache = std::make_unique<TavrenArtworkCache>(
        CacheMetrics::standard(), subfolder(folder, u"ArtworkCache"_s), m_metadataEngine.get());
    m_waveformGenerator
        = std::make_unique<TavrenWaveformGenerator>(subfolder(folder, u"WaveformCache"_s));
    m_metadataCache = std::make_shared<MetadataCache>();
    m_audioDecoder = std::make_unique<TavrenAudioDecoder>();
    m_playlistStorage = std::make_shared<TavrenPlaylistStorage>(folder);
    m_libraryEngine = std::make_unique<TavrenLibraryEngine>(
        m_databaseManager, m_metadataEngine, m_metadataCache, m_fileWatcher);
    m_audioEngine = options.audioPlayers ? std::make_unique<TavrenAudioEngine>(options.audioPlayers)
                                         : std::make_unique<TavrenAudioEngine>();
    m_queueEngine = std::make_unique<TavrenQueueEngine>(m_databaseManager);
    // Until the saved session is back, any save would replace it.
    m_queueEngine->holdSessionSaves();
    m_playlistEngine = std::make_unique<TavrenPlaylistEngine>(
        m_playlistStorage, m_libraryEngine.get(), m_queueEngine.get());
    m_reduceMotion = options.reduceMotion;
    m_themeEngine = std::make_unique<TavrenThemeEngine>(m_reduceMotion.get());
    // Both links are weak: the queue holds the audio engine through a guarded
    // pointer and becomes its delegate.
    m_queueEngine->setAudioEngine(m_audioEngine.get());
    // The queue holds ids and reads its tracks from the library as they are
    // now; its views are told when the library changes them.
    m_queueEngine->setTrackLookup(
        [library = m_libraryEngine.get()](const QUuid& id) { return library->trackWithID(id); });
    connect(m_libraryEngine.get(), &LibraryEngine::tracksChanged, m_queueEngine.get(),
        &TavrenQueueEngine::announceEditedTracks);
}

void DIContainer::saveForEnd()
{
    m_queueEngine->savePlaybackState(true);
    // Otherwise the library's writes would be finished only when the stores
    // are torn down.
    m_databaseManager->finishQueuedWork();
}

void DIContainer::setRecoveryMessage(const std::optional<QString>& message)
{
    m_recoveryMessage = message;
    Q_EMIT recoveryMessageChanged(m_recoveryMessage);
}

void DIContainer::reportRecoveryProblem(const QString& text)
{
    setRecoveryMessage(m_recoveryMessage ? *m_recoveryMessage + u' ' + text : text);
}

QCoro::Task<> DIContainer::bootstrap()
{
    const QPointer<DIContainer> self(this);
    // The three stores are read side by side, each once, none on this thread.
    QCoro::Task<> playlists = m_playlistEngine->loadPlaylists();
    QCoro::Task<SavedSession> session = readSavedSession();
    QCoro::Task<> load = m_libraryEngine->loadLibraryFromDisk();
    co_await std::move(load);
    if (!self) {
        co_return;
    }
    if (m_libraryEngine->loadState() == LibraryLoadState::failed) {
        reportRecoveryProblem(unreadableStoreText(u"The library file"_s,
            m_databaseManager->tracksFilePath(), m_libraryEngine->loadError()));
    }
    const SavedSession saved = co_await std::move(session);
    if (!self) {
        co_return;
    }
    QCoro::Task<> restoring = restorePlaybackSession(saved);
    co_await std::move(restoring);
    if (!self) {
        co_return;
    }
    co_await std::move(playlists);
    if (!self) {
        co_return;
    }
    if (const std::exception_ptr error = m_playlistEngine->loadError()) {
        reportRecoveryProblem(unreadableStoreText(
            u"The playlist file"_s, m_playlistStorage->storageFilePath(), error));
    }
    QCoro::Task<> sample = importSampleOnFirstRun();
    co_await std::move(sample);
    if (!self) {
        co_return;
    }
    m_bootstrapFinished = true;
    Q_EMIT bootstrapFinished();
}

QCoro::Task<DIContainer::SavedSession> DIContainer::readSavedSession()
{
    SavedSession session;
    try {
        QCoro::Task<std::optional<PlaybackStateSnapshot>> reading
            = runOnWorker(QThreadPool::globalInstance(),
                [store = m_databaseManager] { return store->loadPlaybackState(); });
        session.snapshot = co_await std::move(reading);
    } catch (...) {
        session.error = std::current_exception();
    }
    co_return session;
}

QCoro::Task<> DIContainer::restorePlaybackSession(SavedSession saved)
{
    if (saved.error) {
        // The store keeps the file as it is; the queue saves nothing either.
        std::exception_ptr error = saved.error;
        try {
            std::rethrow_exception(saved.error);
        } catch (const StoreFileError&) {
            error = std::make_exception_ptr(
                UnreadableSessionError(m_databaseManager->playbackStateFilePath(), saved.error));
        } catch (const JsonCodingError&) {
            error = std::make_exception_ptr(
                UnreadableSessionError(m_databaseManager->playbackStateFilePath(), saved.error));
        } catch (...) {
        }
        reportRecoveryProblem(restoreFailurePrefix + describeError(error));
        m_queueEngine->reportPlaybackError(error);
        co_return;
    }
    // The session names songs of the library: without it, it cannot be put
    // back, and a queue built without it must not replace it.
    if (m_libraryEngine->loadState() != LibraryLoadState::loaded) {
        co_return;
    }
    auto release = qScopeGuard([this] { m_queueEngine->releaseSessionSaves(); });
    // Whatever the user started meanwhile wins over the old session; a
    // session that never named a song has nothing to put back.
    if (m_queueEngine->currentTrack() || !saved.snapshot || !saved.snapshot->namesASong()) {
        co_return;
    }
    const PlaybackStateSnapshot& snapshot = *saved.snapshot;
    const auto resolveIn = [&snapshot](const LibraryTrackList& list) {
        return resolvePlaybackSession(
            snapshot, [&list](const QUuid& id) { return list.trackWithID(id); });
    };
    // A saved queue may name the whole library: its ids are looked up on a
    // worker, in a copy of the list that shares the library's lookups.
    const QPointer<DIContainer> self(this);
    const LibraryTrackList listed = m_libraryEngine->trackList();
    QCoro::Task<std::optional<ResolvedPlaybackSession>> resolving = runOnWorker(
        QThreadPool::globalInstance(), [&resolveIn, listed] { return resolveIn(listed); });
    std::optional<ResolvedPlaybackSession> session = co_await std::move(resolving);
    if (!self) {
        release.dismiss();
        co_return;
    }
    if (m_queueEngine->currentTrack()) {
        co_return; // the user started something meanwhile
    }
    if (m_libraryEngine->internalTracks().constData() != listed.tracks().constData()) {
        // The library changed meanwhile: the session is read against it as it is now.
        session = resolveIn(m_libraryEngine->trackList());
    }
    if (!session) {
        reportRecoveryProblem(lastTrackGone);
        co_return;
    }
    m_queueEngine->restorePlaybackSession(session->currentTrack, session->upcoming,
        session->history, session->repeatMode, session->shuffleMode, session->playbackOrder);
    m_audioEngine->setVolume(session->volume);
    try {
        m_audioEngine->restore(session->currentTrack, snapshot.currentTime);
    } catch (...) {
        const std::exception_ptr error = std::current_exception();
        reportRecoveryProblem(restoreFailurePrefix + describeError(error));
        m_queueEngine->reportPlaybackError(error);
    }
}

QCoro::Task<> DIContainer::importSampleOnFirstRun()
{
    const QPointer<DIContainer> self(this);
    // A library that could not be read is not an empty one.
    if (m_libraryEngine->loadState() != LibraryLoadState::loaded
        || !m_libraryEngine->allTracks().isEmpty()) {
        co_return;
    }
    QString samplePath;
    for (const QString& relative : sampleFiles) {
        const QString path = m_homeFolder + u'/' + relative;
        if (QFileInfo::exists(path)) {
            samplePath = path;
            break;
        }
    }
    if (samplePath.isEmpty()) {
        co_return;
    }
    const QUrl sampleURL = QUrl::fromLocalFile(samplePath);
    try {
        QCoro::Task<> import = m_libraryEngine->importFiles({ sampleURL });
        co_await std::move(import);
    } catch (...) {
        reportFailure(logging::app,
            u"Demo playback bootstrap failed: "_s + describeError(std::current_exception()));
        co_return;
    }
    if (!self) {
        co_return;
    }
    const TrackFileURL sample(sampleURL);
    for (const Track& track : m_libraryEngine->allTracks()) {
        if (track.fileURL == sample) {
            m_queueEngine->playNow({ track }, 0);
            break;
        }
    }
}

} // namespace kivo
