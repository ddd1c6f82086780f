#include "ui/library/ImportRoad.h"

#include "engines/library/LibraryEngine.h"
#include "engines/library/PlaylistEngine.h"
#include "model/AudioImportSupport.h"
#include "model/ErrorText.h"

#include <QCoroFuture>
#include <QFileInfo>
#include <QFuture>
#include <QHash>
#include <QPointer>
#include <QPromise>
#include <memory>

namespace kivo {

namespace {

// The files that import-then-add calls are importing right now. The library
// leaves a file that another import is reading to that import and returns at
// once, so a second call for it waits for the first before it looks for the
// song; otherwise two quick drops on two playlists would fill only one.
class FilesInFlight {
public:
    explicit FilesInFlight(const QList<QUrl>& urls)
    {
        m_promise.start();
        for (const QUrl& url : urls) {
            const QString path = url.toLocalFile();
            if (const auto other = s_files.constFind(path); other != s_files.cend()) {
                m_waits.push_back(*other);
            } else {
                s_files.insert(path, m_promise.future());
                m_paths.push_back(path);
            }
        }
    }
    ~FilesInFlight() { finish(); }
    FilesInFlight(const FilesInFlight&) = delete;
    FilesInFlight& operator=(const FilesInFlight&) = delete;

    // This call's import is over.
    void finish()
    {
        for (const QString& path : std::as_const(m_paths)) {
            s_files.remove(path);
        }
        m_paths.clear();
        if (!m_promise.future().isFinished()) {
            m_promise.finish();
        }
    }
    // The other calls' imports of files this call also imports.
    const QList<QFuture<void>>& waits() const { return m_waits; }

private:
    static inline QHash<QString, QFuture<void>> s_files;
    QPromise<void> m_promise;
    QStringList m_paths;
    QList<QFuture<void>> m_waits;
};

} // namespace

QList<QUrl> ImportRoad::importableFiles(const QList<QUrl>& urls)
{
    QList<QUrl> kept;
    for (const QUrl& url : urls) {
        if (!url.isLocalFile() || !AudioImportSupport::isSupportedAudioURL(url)) {
            continue;
        }
        const QFileInfo file(url.toLocalFile());
        if (file.exists() && !file.isDir()) {
            kept.push_back(url);
        }
    }
    return kept;
}

QCoro::Task<ImportOutcome> ImportRoad::importFiles(LibraryEngine& library, QList<QUrl> urls)
{
    const QList<QUrl> kept = importableFiles(urls);
    if (kept.isEmpty()) {
        co_return ImportOutcome {};
    }
    try {
        QCoro::Task<> importing = library.importFiles(kept);
        co_await std::move(importing);
    } catch (...) {
        co_return ImportOutcome { ImportOutcome::Kind::failed,
            describeError(std::current_exception()) };
    }
    co_return ImportOutcome { ImportOutcome::Kind::succeeded, {} };
}

QCoro::Task<ImportOutcome> ImportRoad::importAndAdd(
    LibraryEngine& library, PlaylistEngine& playlists, QUuid playlistID, QList<QUrl> urls)
{
    // The engines outlive every screen, but a drop's import may finish while
    // the program is closing.
    const QPointer<PlaylistEngine> playlistEngine(&playlists);
    const QPointer<LibraryEngine> libraryEngine(&library);
    const QList<QUrl> kept = importableFiles(urls);
    if (kept.isEmpty()) {
        co_return ImportOutcome {};
    }
    FilesInFlight inFlight(kept);
    QCoro::Task<ImportOutcome> importing = importFiles(library, kept);
    const ImportOutcome imported = co_await std::move(importing);
    inFlight.finish();
    if (imported.kind != ImportOutcome::Kind::succeeded) {
        co_return imported;
    }
    for (const QFuture<void>& other : inFlight.waits()) {
        co_await other;
    }
    if (!libraryEngine || !playlistEngine) {
        co_return imported;
    }
    // Read after the wait: the list is the library as it is now.
    const QList<Track> tracks = libraryEngine->allTracks();
    QList<Track> songs;
    for (const QUrl& url : kept) {
        const auto found = std::find_if(tracks.cbegin(), tracks.cend(),
            [&url](const Track& track) { return track.fileURL == url; });
        if (found != tracks.cend()) {
            songs.push_back(*found);
        }
    }
    if (!songs.isEmpty()) {
        try {
            playlistEngine->addTracks(songs, playlistID);
        } catch (...) {
            co_return ImportOutcome { ImportOutcome::Kind::failed,
                describeError(std::current_exception()) };
        }
    }
    co_return ImportOutcome { ImportOutcome::Kind::succeeded, {} };
}

QString ImportRoad::firstLine(const QString& text)
{
    const qsizetype end = text.indexOf(u'\n');
    return end < 0 ? text : text.left(end);
}

} // namespace kivo
