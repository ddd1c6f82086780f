#pragma once

#include "model/Track.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <vector>

namespace kivo {

class LibraryEngine;

// The favourites screen's state: the library's songs rated 4 or more, in
// library order, replaced whole on every library change. From
// `backgroundThreshold` songs on they are picked on a worker (the newest
// library wins) and the list stays as it was meanwhile. Main thread only.
class FavoritesViewModel : public QObject {
    Q_OBJECT
public:
    explicit FavoritesViewModel(
        LibraryEngine& library, QObject* parent = nullptr, qsizetype backgroundThreshold = 10000);
    ~FavoritesViewModel() override;

    // Where the favourites stand in `libraryTracks`, and the songs there.
    static std::vector<qsizetype> favoritePositions(const QList<Track>& libraryTracks);
    static QList<Track> favorites(
        const QList<Track>& libraryTracks, const std::vector<qsizetype>& positions);

    // Published.
    const QList<Track>& tracks() const { return m_tracks; }
    // Picking the favourites of a newer library on the worker.
    bool isGathering() const { return m_gathering; }
    // Reads the library again (after the song table changed songs).
    void reload();

Q_SIGNALS:
    void tracksChanged(const QList<kivo::Track>& tracks);
    void gatheringChanged(bool gathering);

private:
    void setTracks(const QList<Track>& libraryTracks);
    void publish(QList<Track> favorites);
    void setGathering(bool gathering);

    LibraryEngine& m_library;
    qsizetype m_backgroundThreshold;
    QList<Track> m_tracks;
    QPointer<QObject> m_memo;
    quint64 m_generation = 0;
    bool m_gathering = false;
};

} // namespace kivo
