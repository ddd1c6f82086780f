#include "engines/library/LibraryImport.h"

#include "engines/library/LibraryEngineImpl.h"
#include "model/AudioImportSupport.h"
#include "model/ErrorText.h"
#include "model/RunOnWorker.h"
#include "model/TextRules.h"
#include "platform/FreedMemory.h"
#include "platform/SecurityScopedResource.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <algorithm>
#include <vector>

using namespace Qt::Literals::StringLiterals;

namespace kivo {

using ::qHash;
using LocatedFile = LibraryImport::LocatedFile;

namespace {

LocatedFile locate(const QUrl& url)
{
    return { url, LibraryTrackList::locationKey(url) };
}

// Plain order of the paths (code points of the composed forms).
void sortByPath(QList<LocatedFile>& files)
{
    std::vector<std::pair<QString, qsizetype>> keys;
    keys.reserve(files.size());
    for (qsizetype i = 0; i < files.size(); ++i) {
        keys.emplace_back(text::nfc(files[i].url.path()), i);
    }
    std::stable_sort(keys.begin(), keys.end(),
        [](const auto& a, const auto& b) { return text::compareCodePoints(a.first, b.first) < 0; });
    QList<LocatedFile> sorted;
    sorted.reserve(files.size());
    for (const auto& key : keys) {
        sorted.push_back(std::move(files[key.second]));
    }
    files = std::move(sorted);
}

struct PreparedFiles {
    QList<LocatedFile> supported; // in the order given, repeats kept
    QList<LocatedFile> unique; // one per location, sorted by path
};

PreparedFiles prepareFiles(const QList<QUrl>& urls)
{
    PreparedFiles prepared;
    QSet<QString> seen;
    for (const QUrl& url : urls) {
        if (!AudioImportSupport::isSupportedAudioURL(url)) {
            continue;
        }
        LocatedFile file = locate(url);
        prepared.supported.push_back(file);
        if (!seen.contains(file.key)) {
            seen.insert(file.key);
            prepared.unique.push_back(std::move(file));
        }
    }
    sortByPath(prepared.unique);
    return prepared;
}

// The supported files under each folder, folder by folder, each folder's in
// path order. Hidden files and folders are left out; links to folders are
// not followed, so a link loop cannot make the walk endless. A folder that is
// not a local folder yields nothing.
QList<LocatedFile> enumerateFolders(const QList<QUrl>& folders)
{
    QList<LocatedFile> found;
    for (const QUrl& folder : folders) {
        if (!folder.isLocalFile() || !QFileInfo(folder.toLocalFile()).isDir()) {
            continue;
        }
        QList<LocatedFile> files;
        QStringList pending { QDir::cleanPath(folder.toLocalFile()) };
        while (!pending.isEmpty()) {
            const QString path = pending.takeLast();
            // Without QDir::Hidden, names starting with "." are skipped. One
            // entry at a time: a folder of 20,000 files listed whole holds
            // 20 MB of file details that its thread's heap keeps afterwards.
            QDirIterator entries(path, QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot);
            while (entries.hasNext()) {
                entries.next();
                const QFileInfo entry = entries.fileInfo();
                if (entry.isDir()) {
                    if (!entry.isSymLink()) {
                        pending.push_back(entry.filePath());
                    }
                    continue;
                }
                const QUrl url = QUrl::fromLocalFile(entry.filePath());
                if (AudioImportSupport::isSupportedAudioURL(url)) {
                    files.push_back(locate(url));
                }
            }
        }
        sortByPath(files);
        found.append(std::move(files));
    }
    return found;
}

// Marks locations as being imported by one call until it ends.
class ImportClaim {
public:
    explicit ImportClaim(QSet<QString>& importing)
        : m_importing(importing)
    {
    }
    ~ImportClaim()
    {
        for (const QString& key : m_keys) {
            m_importing.remove(key);
        }
    }
    ImportClaim(const ImportClaim&) = delete;
    ImportClaim& operator=(const ImportClaim&) = delete;

    // False when another import (or this one) has it already.
    bool claim(const QString& key)
    {
        if (m_importing.contains(key)) {
            return false;
        }
        m_importing.insert(key);
        m_keys.push_back(key);
        return true;
    }

private:
    QSet<QString>& m_importing;
    QStringList m_keys;
};

// The files of one import call, shared by its lanes.
struct ImportBatch {
    QList<QUrl> urls;
    qsizetype next = 0;
    std::optional<QString> fallbackTitle; // none: the file's name
    QList<Track> tracks;
    QStringList failures;
};

// One of the call's concurrent lanes: takes the next file until none is
// left, so no more files are open at once than there are lanes.
QCoro::Task<> runLane(std::shared_ptr<ImportBatch> batch, TrackImportProcessor processor)
{
    while (batch->next < batch->urls.size()) {
        const QUrl url = batch->urls.at(batch->next++);
        QCoro::Task<TrackImportResult> importing
            = processor.importTrack(url, batch->fallbackTitle.value_or(url.fileName()));
        TrackImportResult result = co_await std::move(importing);
        if (result.track) {
            batch->tracks.push_back(std::move(*result.track));
        } else {
            batch->failures.push_back(result.failureDescription.value_or(url.fileName()));
        }
    }
}

// Bookmarks for files, in order, until the first failure.
struct MadeBookmarks {
    QList<QByteArray> bookmarks;
    std::exception_ptr error;
};

// Reading many files on several threads leaves each thread's heap holding
// pages it freed; the allocator keeps them until asked. Handing them back
// before the library list is copied to take the new songs keeps the import's
// peak down. Slow on a large heap, so not on the calling thread.
QCoro::Task<> releaseFreedMemory()
{
    QCoro::Task<> trimming
        = runOnWorker(QThreadPool::globalInstance(), [] { returnFreedMemoryToTheSystem(); });
    co_await std::move(trimming);
}

} // namespace

LibraryImport::LibraryImport(TavrenLibraryEngine& engine)
    : m_engine(engine)
{
}

void LibraryImport::throwFailureSummary(const QStringList& failures)
{
    if (failures.isEmpty()) {
        return;
    }
    QString message = u"Some files could not be imported:\n"_s
        + failures.first(std::min<qsizetype>(failures.size(), 3)).join(u'\n');
    if (failures.size() >= 4) {
        message += u"\nAnd "_s + QString::number(failures.size() - 3) + u" more."_s;
    }
    throw DatabaseError::writeFailed(message);
}

QCoro::Task<> LibraryImport::importFiles(QList<QUrl> fileURLs)
{
    // Off the main thread: a drop of 20,000 files is a lot of text work.
    auto prepare = [urls = std::move(fileURLs)] { return prepareFiles(urls); };
    QCoro::Task<PreparedFiles> preparing
        = runOnWorker(QThreadPool::globalInstance(), std::move(prepare));
    PreparedFiles prepared = co_await std::move(preparing);
    if (prepared.supported.isEmpty()) {
        co_return;
    }
    QCoro::Task<> refreshing = refreshBookmarksOf(prepared.supported);
    co_await std::move(refreshing);

    ImportClaim claim(m_engine.m_importing);
    QList<QUrl> candidates;
    for (const LocatedFile& file : prepared.unique) {
        if (!m_engine.m_tracks.containsLocation(file.key) && claim.claim(file.key)) {
            candidates.push_back(file.url);
        }
    }
    // Two lists of every file given, with their keys: let go before the files
    // are read, so that the memory goes back with the readers' (see importAll).
    prepared = {};
    QCoro::Task<Outcome> importing = importAll(std::move(candidates), std::nullopt);
    const Outcome outcome = co_await std::move(importing);
    if (outcome.tracks.isEmpty()) {
        throwFailureSummary(outcome.failures);
        co_return;
    }
    QCoro::Task<> publishing = saveAndPublish(outcome.tracks);
    co_await std::move(publishing);
    throwFailureSummary(outcome.failures);
}

QCoro::Task<> LibraryImport::addFolders(QList<QUrl> folderURLs)
{
    for (const QUrl& folder : folderURLs) {
        m_engine.m_fileWatcher->startWatching(folder);
    }
    // Read only once watched: what appears after the read is then reported.
    QCoro::Task<> watching = m_engine.m_fileWatcher->untilWatching();
    co_await std::move(watching);
    auto enumerate = [folders = folderURLs] { return enumerateFolders(folders); };
    QCoro::Task<QList<LocatedFile>> enumerating
        = runOnWorker(&m_engine.m_fileWorkers, std::move(enumerate));
    QList<LocatedFile> found = co_await std::move(enumerating);

    // New files are claimed before the bookmark refresh awaits, so that an
    // import starting meanwhile leaves them to this one.
    ImportClaim claim(m_engine.m_importing);
    QList<LocatedFile> needBookmarks;
    QList<QUrl> newFiles;
    for (const LocatedFile& file : found) {
        if (const Track* known = m_engine.m_tracks.firstAtLocation(file.key)) {
            if (!known->securityScopedBookmark) {
                needBookmarks.push_back(file);
            }
        } else if (claim.claim(file.key)) {
            newFiles.push_back(file.url);
        }
    }
    // Not kept through the import, the save and the append: a file list of a
    // large folder would add to the peak of the library's copy.
    found = {};
    QCoro::Task<> refreshing = refreshBookmarksOf(std::move(needBookmarks));
    co_await std::move(refreshing);
    QCoro::Task<Outcome> importing = importAll(std::move(newFiles), u"Unknown Title"_s);
    const Outcome outcome = co_await std::move(importing);
    // Saved even when empty, so that an unwritable store is reported.
    QCoro::Task<> publishing = saveAndPublish(outcome.tracks);
    co_await std::move(publishing);
    throwFailureSummary(outcome.failures);
}

QCoro::Task<> LibraryImport::refreshBookmarks(QList<QUrl> fileURLs)
{
    QList<LocatedFile> files;
    files.reserve(fileURLs.size());
    for (const QUrl& url : fileURLs) {
        files.push_back(locate(url));
    }
    QCoro::Task<> refreshing = refreshBookmarksOf(std::move(files));
    co_await std::move(refreshing);
}

QCoro::Task<> LibraryImport::refreshBookmarksOf(QList<LocatedFile> files)
{
    struct Target {
        QUrl url;
        QUuid id;
    };
    QList<Target> targets;
    QSet<QString> seen;
    for (const LocatedFile& file : files) {
        if (seen.contains(file.key)) {
            continue;
        }
        seen.insert(file.key);
        if (const Track* known = m_engine.m_tracks.firstAtLocation(file.key)) {
            targets.push_back({ file.url, known->id });
        }
    }
    if (targets.isEmpty()) {
        co_return;
    }
    auto make = [targets] {
        MadeBookmarks made;
        for (const Target& target : targets) {
            try {
                made.bookmarks.push_back(SecurityScopedResource::makeBookmark(target.url));
            } catch (...) {
                made.error = std::current_exception();
                break;
            }
        }
        return made;
    };
    QCoro::Task<MadeBookmarks> making = runOnWorker(&m_engine.m_fileWorkers, std::move(make));
    const MadeBookmarks made = co_await std::move(making);

    // By id: the list may have changed while the bookmarks were made. The
    // edit may run twice (see changeList): each run starts the list afresh.
    auto updated = std::make_shared<QList<Track>>();
    auto renew = [targets, bookmarks = made.bookmarks, updated](LibraryTrackList& list) {
        updated->clear();
        for (qsizetype i = 0; i < bookmarks.size(); ++i) {
            const std::optional<qsizetype> position = list.positionOf(targets[i].id);
            if (!position) {
                continue;
            }
            Track track = list.tracks().at(*position);
            track.securityScopedBookmark = bookmarks[i];
            list.replace(track);
            updated->push_back(std::move(track));
        }
        return !updated->isEmpty();
    };
    if (!made.bookmarks.isEmpty()) {
        QCoro::Task<bool> renewing = m_engine.changeList(std::move(renew));
        co_await std::move(renewing);
    }
    if (made.error) {
        std::rethrow_exception(made.error);
    }
    if (updated->isEmpty()) {
        co_return;
    }
    QCoro::Task<> saving = m_engine.m_database->saveTracks(*updated);
    co_await std::move(saving);
    QCoro::Task<> indexing = m_engine.insertIntoIndex(*updated);
    co_await std::move(indexing);
}

QCoro::Task<LibraryImport::Outcome> LibraryImport::importAll(
    QList<QUrl> urls, std::optional<QString> fallbackTitle)
{
    auto batch = std::make_shared<ImportBatch>();
    batch->urls = std::move(urls);
    batch->fallbackTitle = std::move(fallbackTitle);
    const qsizetype laneCount
        = std::min<qsizetype>(TavrenLibraryEngine::importConcurrency(), batch->urls.size());
    // Tasks start at once: every lane is running before the first is awaited.
    std::vector<QCoro::Task<>> lanes;
    for (qsizetype i = 0; i < laneCount; ++i) {
        lanes.push_back(runLane(batch, m_engine.m_importProcessor));
    }
    for (const QCoro::Task<>& lane : lanes) {
        co_await lane;
    }
    if (!batch->urls.isEmpty()) {
        QCoro::Task<> releasing = releaseFreedMemory();
        co_await std::move(releasing);
    }
    co_return Outcome { std::move(batch->tracks), std::move(batch->failures) };
}

QCoro::Task<> LibraryImport::saveAndPublish(QList<Track> tracks)
{
    QCoro::Task<> saving = m_engine.m_database->saveTracks(tracks);
    co_await std::move(saving);
    QCoro::Task<> indexing = m_engine.insertIntoIndex(tracks);
    co_await std::move(indexing);
    // An id that a load brought in meanwhile is not added twice.
    QCoro::Task<bool> appending = m_engine.changeList(
        [tracks = std::move(tracks)](LibraryTrackList& list) { return list.append(tracks) > 0; });
    co_await std::move(appending);
}

} // namespace kivo
