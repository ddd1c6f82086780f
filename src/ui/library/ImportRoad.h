#pragma once

#include <QList>
#include <QString>
#include <QUrl>
#include <QUuid>
#include <optional>
#include <qcoro/qcorotask.h>

namespace kivo {

class LibraryEngine;
class PlaylistEngine;

// The one road by which picked and dropped files reach the library, shared by
// the songs screen and the playlist screen.
struct ImportOutcome {
    enum class Kind {
        nothingKept, // no importable file: no engine call, nothing to show
        succeeded,
        failed,
    };
    Kind kind = Kind::nothingKept;
    QString error; // the failure's text (failed)

    // The error line a screen shows after this import, given the one it shows
    // now: nothing kept leaves it, a success clears it, a failure shows its text.
    std::optional<QString> errorLine(const std::optional<QString>& shown) const;

    bool operator==(const ImportOutcome&) const = default;
};

class ImportRoad {
public:
    // The local files among `urls` that exist, are no folders and have a
    // supported extension, in the given order. Web URLs, folders, vanished
    // files and other types never reach the library.
    static QList<QUrl> importableFiles(const QList<QUrl>& urls);

    // Imports the importable files of `urls`.
    static QCoro::Task<ImportOutcome> importFiles(LibraryEngine& library, QList<QUrl> urls);

    // Imports the importable files of `urls`, then adds the library songs at
    // those locations (in the order given, the first song per location) to
    // the playlist. Files the library already holds are added without a new
    // import. A failed import adds nothing.
    static QCoro::Task<ImportOutcome> importAndAdd(
        LibraryEngine& library, PlaylistEngine& playlists, QUuid playlistID, QList<QUrl> urls);

    // Why the library takes no files now, if it refuses them: one that could
    // not be read would fail every import (its store is never overwritten).
    static std::optional<QString> refusal(const LibraryEngine& library);

    // The first line of an error text: what a one-line error label shows.
    static QString firstLine(const QString& text);
};

} // namespace kivo
