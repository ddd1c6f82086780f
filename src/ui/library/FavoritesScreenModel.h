#pragma once

#include "model/Track.h"

#include <QList>
#include <QObject>

namespace kivo {

class LibraryEngine;

// The favourites screen's state: the library's songs rated 4 or more, in
// library order, replaced whole on every library change. Main thread only.
class FavoritesScreenModel : public QObject {
    Q_OBJECT
public:
    explicit FavoritesScreenModel(LibraryEngine& library, QObject* parent = nullptr);

    static QList<Track> favorites(const QList<Track>& libraryTracks);

    // Published.
    const QList<Track>& tracks() const { return m_tracks; }
    // Reads the library again (after the song table changed songs).
    void reload();

Q_SIGNALS:
    void tracksChanged(const QList<kivo::Track>& tracks);

private:
    void setTracks(const QList<Track>& libraryTracks);

    LibraryEngine& m_library;
    QList<Track> m_tracks;
};

} // namespace kivo
