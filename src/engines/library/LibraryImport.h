#pragma once

#include "model/Track.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <optional>
#include <qcoro/qcorotask.h>

namespace kivo {

class TavrenLibraryEngine;

// The library engine's imports of files and folders.
//
// Files already in the library (by location, see LibraryTrackList) are not
// imported again; their bookmarks are renewed instead. New files go through
// the track import processor, at most TavrenLibraryEngine::importConcurrency()
// at a time, and are taken in the order they finish. The new tracks are saved,
// indexed and appended, and only then are the failed files reported, all in
// one DatabaseError. A file already being imported by another call is left to
// that call.
class LibraryImport {
public:
    explicit LibraryImport(TavrenLibraryEngine& engine);

    // Supported files (by extension) among `fileURLs`; new ones are imported
    // in the plain order of their paths, titled by their file name when they
    // have no title. Nothing is saved when nothing was imported.
    QCoro::Task<> importFiles(QList<QUrl> fileURLs);
    // Watches each folder, then imports the supported files under them that
    // are not hidden and not inside a hidden folder (folder links are not
    // followed), titled "Unknown Title" when they have no title. Known files
    // get a bookmark only when their track has none.
    QCoro::Task<> addFolders(QList<QUrl> folderURLs);
    // New bookmarks for the listed tracks at these locations. On a failure the
    // bookmarks made so far stay in the list, unsaved, and the error is thrown.
    QCoro::Task<> refreshBookmarks(QList<QUrl> fileURLs);

    // "Some files could not be imported:" and at most three of the failures,
    // then "And N more." for the rest, as DatabaseError::writeFailed.
    static void throwFailureSummary(const QStringList& failures);

    // A file and its location key.
    struct LocatedFile {
        QUrl url;
        QString key;
    };

private:
    struct Outcome {
        QList<Track> tracks; // in the order the imports finished
        QStringList failures; // likewise
    };

    QCoro::Task<> refreshBookmarksOf(QList<LocatedFile> files);
    QCoro::Task<Outcome> importAll(QList<QUrl> urls, std::optional<QString> fallbackTitle);
    QCoro::Task<> saveAndPublish(QList<Track> tracks);

    TavrenLibraryEngine& m_engine;
};

} // namespace kivo
