#include "ui/library/ImportRoad.h"

#include "engines/library/LibraryEngine.h"
#include "engines/library/PlaylistEngine.h"
#include "model/AudioImportSupport.h"
#include "model/ErrorText.h"

#include <QFileInfo>
#include <QPointer>

namespace kivo {

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
    QCoro::Task<ImportOutcome> importing = importFiles(library, kept);
    const ImportOutcome imported = co_await std::move(importing);
    if (imported.kind != ImportOutcome::Kind::succeeded || !libraryEngine || !playlistEngine) {
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
