#pragma once

#include "model/Track.h"
#include "ui/songtable/TrackListEmptyState.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QUrl>
#include <functional>
#include <optional>
#include <qcoro/qcorotask.h>

namespace kivo {

class LibraryEngine;

// The songs screen's state: a filtered copy of the library's songs (replaced
// whole on every library change), the import error of its header and the
// drop zone's visibility. Picked and dropped files take the import road.
// Main thread only.
class SongsViewModel : public QObject {
    Q_OBJECT
public:
    // Picks the listed songs from the library's list (all, or the rated ones).
    using Filter = std::function<QList<Track>(const QList<Track>&)>;

    SongsViewModel(LibraryEngine& library, QString title, Filter filter, QObject* parent = nullptr);

    const QString& title() const { return m_title; }
    // Published: the filter over the library's current list.
    const QList<Track>& tracks() const { return m_tracks; }
    // Reads the library again (after the song table changed songs).
    void reload();

    // Published: what the list shows while it has no songs. While the library
    // loads: "arrow.triangle.2.circlepath", "Loading library…"; when it could
    // not be read: "exclamationmark.triangle.fill", "The library could not be
    // read", the reason; else `emptyLibrary` (an empty library is not claimed
    // before it is known to be one).
    const TrackListEmptyState& emptyState() const { return m_emptyState; }
    void setEmptyLibraryState(TrackListEmptyState emptyLibrary);

    // Published: the last import's failure, until an import succeeds.
    const std::optional<QString>& importError() const { return m_importError; }
    // What the header shows of it: the first line only.
    QString errorLine() const;

    // Published: a drag that may carry files is over the screen.
    bool isDropTargeted() const { return m_dropTargeted; }
    void setDropTargeted(bool targeted);

    // Imports the importable files among `urls`. With none nothing happens
    // (the error stays); a success clears the error and reloads; a failure
    // shows its text. The import finishes even if the screen goes meanwhile.
    QCoro::Task<> importAudioURLs(QList<QUrl> urls);

Q_SIGNALS:
    void tracksChanged(const QList<kivo::Track>& tracks);
    void importErrorChanged(const std::optional<QString>& error);
    void dropTargetedChanged(bool targeted);
    void emptyStateChanged(const kivo::TrackListEmptyState& emptyState);

private:
    void setTracks(const QList<Track>& libraryTracks);
    void setImportError(const std::optional<QString>& error);
    void refreshEmptyState();

    LibraryEngine& m_library;
    QString m_title;
    Filter m_filter;
    QList<Track> m_tracks;
    std::optional<QString> m_importError;
    bool m_dropTargeted = false;
    TrackListEmptyState m_emptyLibrary;
    TrackListEmptyState m_emptyState;
};

} // namespace kivo
