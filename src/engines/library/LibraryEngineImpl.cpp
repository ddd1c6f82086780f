#include "engines/library/LibraryEngineImpl.h"

#include "engines/library/LibraryImport.h"
#include "engines/library/LibraryTrackRemoval.h"
#include "model/ErrorText.h"
#include "model/RunOnWorker.h"
#include "model/SharedTexts.h"
#include "model/WorkerPriority.h"

#include "model/Logging.h"
#include "model/TextRules.h"
#include <qcoro/qcorosignal.h>

#include <QPointer>
#include <QThread>
#include <stdexcept>

using namespace Qt::Literals::StringLiterals;

namespace kivo {

using ::qHash;

TavrenLibraryEngine::TavrenLibraryEngine(std::shared_ptr<DatabaseManager> database,
    std::shared_ptr<MetadataEngine> metadataEngine, std::shared_ptr<MetadataCache> metadataCache,
    std::shared_ptr<FileWatcher> fileWatcher, QObject* parent)
    : LibraryEngine(parent)
    , m_database(std::move(database))
    , m_metadataCache(std::move(metadataCache))
    , m_fileWatcher(std::move(fileWatcher))
    , m_import(std::make_unique<LibraryImport>(*this))
    , m_removal(std::make_unique<LibraryTrackRemoval>(*this))
    , m_importProcessor(metadataEngine, &m_fileWorkers)
{
    if (!m_database || !metadataEngine || !m_metadataCache || !m_fileWatcher) {
        throw std::invalid_argument("TavrenLibraryEngine needs all four collaborators");
    }
    m_fileWorkers.setMaxThreadCount(importConcurrency());
    m_fileWorkers.setObjectName(u"LibraryFileWorkers"_s);
    m_indexWorker.setMaxThreadCount(1);
    m_indexWorker.setObjectName(u"LibraryIndexWorker"_s);
    observeFileWatcher();
    // Detached: the task lives on by itself and stops if the engine goes first.
    loadLibraryFromDisk();
}

TavrenLibraryEngine::~TavrenLibraryEngine() = default;

int TavrenLibraryEngine::importConcurrency()
{
    return workerThreadCount();
}

const Track* TavrenLibraryEngine::trackWithID(const QUuid& id) const
{
    return m_tracks.trackWithID(id);
}

void TavrenLibraryEngine::observeFileWatcher()
{
    qRegisterMetaType<FileSystemChange>();
    // The watcher emits on its own thread; with the engine as context the
    // change is queued to the main thread, and dropped once the engine is
    // gone. Changes do not touch the library: it changes only on request.
    connect(m_fileWatcher.get(), &FileWatcher::fileSystemChanged, this,
        [](const FileSystemChange& change) {
            qCDebug(logging::library) << "Ignoring file-system change at" << change.url();
        });
}

void TavrenLibraryEngine::publishChange()
{
    ++m_revision;
    Q_EMIT tracksChanged(m_tracks.tracks());
    // The index holds the new list in place of the old, which is then freed;
    // it runs after the index's changes queued before.
    m_indexWorker.start(
        [cache = m_metadataCache, tracks = m_tracks.tracks()] { cache->follow(tracks); });
}

QCoro::Task<bool> TavrenLibraryEngine::changeList(std::function<bool(LibraryTrackList&)> edit)
{
    const QPointer<TavrenLibraryEngine> self(this);
    // Held until the swap, so that any change made here meanwhile detaches
    // the list and shows as a new address.
    LibraryTrackList snapshot = m_tracks;
    struct Edited {
        LibraryTrackList list;
        bool changed = false;
    };
    auto work = [snapshot, edit]() mutable {
        Edited edited { std::move(snapshot) };
        edited.changed = edit(edited.list);
        return edited;
    };
    QCoro::Task<Edited> editing = runOnWorker(QThreadPool::globalInstance(), std::move(work));
    Edited edited = co_await std::move(editing);
    if (!self) {
        co_return false;
    }
    if (m_tracks.tracks().constData() != snapshot.tracks().constData()
        || m_tracks.size() != snapshot.size()) {
        releaseOnWorker(std::make_pair(std::move(edited.list), std::move(snapshot)));
        const bool changed = edit(m_tracks);
        if (changed) {
            publishChange();
        }
        co_return changed;
    }
    if (!edited.changed) {
        co_return false;
    }
    LibraryTrackList replaced = std::exchange(m_tracks, std::move(edited.list));
    publishChange();
    // Freeing a library of songs takes a while: not on this thread.
    releaseOnWorker(std::make_pair(std::move(replaced), std::move(snapshot)));
    co_return true;
}

QCoro::Task<> TavrenLibraryEngine::insertIntoIndex(QList<Track> tracks)
{
    auto insert = [cache = m_metadataCache, tracks = std::move(tracks)] { cache->insert(tracks); };
    QCoro::Task<> inserting = runOnWorker(&m_indexWorker, std::move(insert));
    co_await std::move(inserting);
}

QCoro::Task<> TavrenLibraryEngine::shareWithIndex(QList<Track> tracks)
{
    auto share = [cache = m_metadataCache, tracks = std::move(tracks)] { cache->share(tracks); };
    QCoro::Task<> sharing = runOnWorker(&m_indexWorker, std::move(share));
    co_await std::move(sharing);
}

QCoro::Task<> TavrenLibraryEngine::evictFromIndex(Track track)
{
    auto evict = [cache = m_metadataCache, track = std::move(track)] { cache->evict(track); };
    QCoro::Task<> evicting = runOnWorker(&m_indexWorker, std::move(evict));
    co_await std::move(evicting);
}

// ---- loading -------------------------------------------------------------------

QCoro::Task<> TavrenLibraryEngine::rescanLibrary()
{
    co_return;
}

QCoro::Task<> TavrenLibraryEngine::loadLibraryFromDisk()
{
    // A load asked for while one runs joins it: both read the same store, and
    // two loads side by side would only make each other read again.
    if (m_isLoading) {
        co_await qCoro(this, &TavrenLibraryEngine::loadFinished);
        co_return;
    }
    const QPointer<TavrenLibraryEngine> self(this);
    m_isLoading = true;
    setLoadState(LibraryLoadState::loading, nullptr);
    QCoro::Task<LoadOutcome> loading = loadFromStore();
    const std::exception_ptr error = (co_await std::move(loading)).error;
    if (self) {
        m_isLoading = false;
        setLoadState(error ? LibraryLoadState::failed : LibraryLoadState::loaded, error);
        Q_EMIT loadFinished();
    }
}

void TavrenLibraryEngine::setLoadState(LibraryLoadState state, std::exception_ptr error)
{
    m_loadError = std::move(error);
    if (state != m_loadState) {
        m_loadState = state;
        Q_EMIT loadStateChanged(m_loadState);
    }
}

QCoro::Task<TavrenLibraryEngine::LoadOutcome> TavrenLibraryEngine::loadFromStore()
{
    // The start-up load runs detached: it holds what it needs and stops once
    // the engine is gone.
    const QPointer<TavrenLibraryEngine> self(this);
    const std::shared_ptr<DatabaseManager> database = m_database;
    // A change published while the store was read is missing from what was
    // read (or, for a removal, still in it): read again, so that a load never
    // hides an import that finished meanwhile. Should changes keep coming,
    // the last try keeps the tracks added meanwhile.
    constexpr int tries = 3;
    for (int attempt = 1;; ++attempt) {
        const bool lastTry = attempt == tries;
        const quint64 revision = m_revision;
        QList<Track> stored;
        try {
            QCoro::Task<QList<Track>> loading = database->loadAllTracks();
            stored = co_await std::move(loading);
        } catch (...) {
            const std::exception_ptr error = std::current_exception();
            reportFailure(logging::library,
                u"LibraryEngine failed to load tracks: "_s + describeError(error));
            co_return LoadOutcome { error };
        }
        if (!self) {
            co_return LoadOutcome {};
        }
        if (m_revision != revision && !lastTry) {
            continue;
        }
        // Names decoded for this load are shared by the tracks now; the pool
        // need not keep them alive.
        sharedtexts::clear();
        // The list's lookups and the track index are built side by side, over
        // one list: the index keeps later changes beside it rather than
        // writing into it, so neither copies it.
        QCoro::Task<> indexing = shareWithIndex(stored);
        auto build = [stored = std::move(stored)]() mutable {
            return LibraryTrackList(std::move(stored));
        };
        QCoro::Task<LibraryTrackList> building
            = runOnWorker(QThreadPool::globalInstance(), std::move(build));
        LibraryTrackList loaded = co_await std::move(building);
        if (self && loaded.droppedDuplicates() == 0 && m_revision == revision) {
            // Shown as soon as it is listed: nothing on screen reads the
            // index, whose later changes queue behind its filling, and the
            // load is done only once it is filled.
            m_tracks = std::move(loaded);
            Q_EMIT tracksChanged(m_tracks.tracks());
            co_await std::move(indexing);
            co_return LoadOutcome {};
        }
        co_await std::move(indexing);
        if (!self) {
            co_return LoadOutcome {};
        }
        if (loaded.droppedDuplicates() > 0) {
            // The index took the last track of a repeated id; the list keeps the first.
            QCoro::Task<> reindexing = insertIntoIndex(loaded.tracks());
            co_await std::move(reindexing);
            if (!self) {
                co_return LoadOutcome {};
            }
        }
        if (m_revision != revision) {
            if (!lastTry) {
                continue;
            }
            loaded.append(m_tracks.tracks());
        }
        if (loaded.droppedDuplicates() > 0) {
            qCWarning(logging::library)
                << "The stored library repeats" << loaded.droppedDuplicates()
                << "track ids; the first of each is kept.";
        }
        m_tracks = std::move(loaded);
        Q_EMIT tracksChanged(m_tracks.tracks());
        co_return LoadOutcome {};
    }
}

// ---- queries -------------------------------------------------------------------

QList<Track> TavrenLibraryEngine::search(const QString& query) const
{
    QList<Track> found;
    if (query.isEmpty()) {
        return found;
    }
    for (const Track& track : m_tracks.tracks()) {
        if (text::containsCaseInsensitive(track.title, query)) {
            found.push_back(track);
        }
    }
    return found;
}

QList<Track> TavrenLibraryEngine::getMostPlayed(qsizetype limit) const
{
    const QList<Track>& tracks = m_tracks.tracks();
    return tracks.first(std::clamp(limit, qsizetype(0), tracks.size()));
}

QList<Track> TavrenLibraryEngine::getRecentlyAdded(qsizetype limit) const
{
    return getMostPlayed(limit);
}

QList<Track> TavrenLibraryEngine::getFavorites() const
{
    QList<Track> favorites;
    for (const Track& track : m_tracks.tracks()) {
        if (track.isFavorite()) {
            favorites.push_back(track);
        }
    }
    return favorites;
}

// ---- edits ---------------------------------------------------------------------

QCoro::Task<> TavrenLibraryEngine::updateTrack(Track track)
{
    QCoro::Task<> updating = updateTracks({ std::move(track) });
    co_await std::move(updating);
}

QCoro::Task<> TavrenLibraryEngine::updateTracks(QList<Track> tracks)
{
    if (tracks.isEmpty()) {
        co_return;
    }
    QSet<QUuid> ids;
    for (const Track& track : tracks) {
        ids.insert(track.id);
    }
    if (ids.size() < tracks.size()) {
        throw DatabaseError::writeFailed(u"The metadata update contains duplicate tracks."_s);
    }
    for (const Track& track : tracks) {
        if (text::trimmed(track.title).isEmpty()) {
            throw DatabaseError::writeFailed(u"Track title cannot be empty."_s);
        }
        if (!(track.duration >= 0)) {
            throw DatabaseError::writeFailed(u"Track duration cannot be negative."_s);
        }
    }
    for (const Track& track : tracks) {
        if (!m_tracks.positionOf(track.id)) {
            throw DatabaseError::entityNotFound(
                u"One or more tracks are no longer in the local library."_s);
        }
    }
    QCoro::Task<> saving = m_database->saveTracks(tracks);
    co_await std::move(saving);
    QCoro::Task<> indexing = insertIntoIndex(tracks);
    co_await std::move(indexing);
    // Written over by id: a removal may have run during the awaits. A track
    // gone meanwhile stays gone; the rest are written over, one change.
    auto write = [tracks](LibraryTrackList& list) {
        bool changed = false;
        for (const Track& track : tracks) {
            changed = list.replace(track) || changed;
        }
        return changed;
    };
    QCoro::Task<bool> writing = changeList(std::move(write));
    co_await std::move(writing);
    const auto isGone = [this](const Track& track) {
        return !m_tracks.positionOf(track.id) || m_removing.contains(track.id);
    };
    if (std::any_of(tracks.cbegin(), tracks.cend(), isGone)) {
        // The removal's eviction may have run before this insert.
        for (const Track& track : tracks) {
            if (isGone(track)) {
                QCoro::Task<> evicting = evictFromIndex(track);
                co_await std::move(evicting);
            }
        }
    }
}

// ---- imports and removal -------------------------------------------------------

QCoro::Task<> TavrenLibraryEngine::addFolders(QList<QUrl> folderURLs)
{
    return m_import->addFolders(std::move(folderURLs));
}

QCoro::Task<> TavrenLibraryEngine::importFiles(QList<QUrl> fileURLs)
{
    return m_import->importFiles(std::move(fileURLs));
}

QCoro::Task<> TavrenLibraryEngine::refreshBookmarks(QList<QUrl> fileURLs)
{
    return m_import->refreshBookmarks(std::move(fileURLs));
}

void TavrenLibraryEngine::importFailureSummary(const QStringList& failures)
{
    LibraryImport::throwFailureSummary(failures);
}

QCoro::Task<> TavrenLibraryEngine::removeTrack(Track track, bool deleteFile)
{
    return m_removal->removeTrack(std::move(track), deleteFile);
}

QCoro::Task<> TavrenLibraryEngine::restoreTrack(Track track)
{
    return m_removal->restoreTrack(std::move(track));
}

} // namespace kivo
