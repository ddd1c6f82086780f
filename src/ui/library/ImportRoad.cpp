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

using namespace Qt::Literals::StringLiterals;

namespace kivo {

namespace {

// The files that import-then-add calls are importing right now. The library
// leaves a file that another import is reading to that import and returns at
// once, and which of two calls claims it first depends on their worker steps;
// so each call, once its own import is over, waits for every other call still
// importing one of its files before it looks for the songs. Otherwise two
// quick drops on two playlists would fill only one.
class FilesInFlight {
public:
    explicit FilesInFlight(const QList<QUrl>& urls)
        : m_id(++s_nextID)
    {
        m_promise.start();
        for (const QUrl& url : urls) {
            const QString path = url.toLocalFile();
            s_files[path].insert(m_id, m_promise.future());
            m_paths.push_back(path);
        }
    }
    ~FilesInFlight() { finish(); }
    FilesInFlight(const FilesInFlight&) = delete;
    FilesInFlight& operator=(const FilesInFlight&) = delete;

    // This call's import is over; returns the other calls' imports of its
    // files that are still running. Finishing first means two calls that wait
    // for each other never deadlock.
    QList<QFuture<void>> finish()
    {
        QList<QFuture<void>> others;
        for (const QString& path : std::as_const(m_paths)) {
            auto calls = s_files.find(path);
            if (calls == s_files.end()) {
                continue;
            }
            calls->remove(m_id);
            for (const QFuture<void>& other : std::as_const(*calls)) {
                others.push_back(other);
            }
            if (calls->isEmpty()) {
                s_files.erase(calls);
            }
        }
        m_paths.clear();
        if (!m_promise.future().isFinished()) {
            m_promise.finish();
        }
        return others;
    }

private:
    static inline QHash<QString, QHash<quint64, QFuture<void>>> s_files;
    static inline quint64 s_nextID = 0;
    quint64 m_id;
    QPromise<void> m_promise;
    QStringList m_paths;
};

} // namespace

std::optional<QString> ImportOutcome::errorLine(const std::optional<QString>& shown) const
{
    switch (kind) {
    case Kind::nothingKept:
        return shown;
    case Kind::succeeded:
        return std::nullopt;
    case Kind::failed:
        return error;
    }
    return shown;
}

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
    const QList<QFuture<void>> others = inFlight.finish();
    if (imported.kind != ImportOutcome::Kind::succeeded) {
        co_return imported;
    }
    for (const QFuture<void>& other : others) {
        co_await other;
    }
    if (!libraryEngine || !playlistEngine) {
        co_return imported;
    }
    // Read after the wait: the list is the library as it is now.
    const QList<Track> tracks = libraryEngine->allTracks();
    QList<Track> songs;
    for (const QUrl& url : kept) {
        const TrackFileURL location(url);
        const auto found = std::find_if(tracks.cbegin(), tracks.cend(),
            [&location](const Track& track) { return track.fileURL == location; });
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

std::optional<QString> ImportRoad::refusal(const LibraryEngine& library)
{
    if (library.loadState() == LibraryLoadState::failed) {
        return u"The library could not be read, so no songs can be added to it."_s;
    }
    return std::nullopt;
}

QString ImportRoad::firstLine(const QString& text)
{
    const qsizetype end = text.indexOf(u'\n');
    return end < 0 ? text : text.left(end);
}

} // namespace kivo
