#pragma once

#include "ui/library/LibraryGridModel.h"

#include <QObject>

namespace kivo {

// The library grid: square tiles of songs under a "Library" header whose
// slider sets the tile width, filtered by the host's search text. It fills
// itself with five sample songs each time it comes on screen and calls no
// engine. Main thread only.
class LibraryGridPresenter : public QObject {
    Q_OBJECT
public:
    explicit LibraryGridPresenter(QObject* parent = nullptr);

    LibraryGridModel& model() { return m_model; }

    // The host's search text; the grid only reads it.
    void setSearchQuery(const QString& query) { m_model.setSearchText(query); }

    // The tiles' minimum width, 120 to 240 (160 at first); `gridItemWidthChanged`.
    double gridItemWidth() const { return m_gridItemWidth; }
    void setGridItemWidth(double width);

    // Replaces the songs with five new sample songs (new ids each time), all
    // by one mock artist on one mock album. A sample the track rules refuse
    // is printed and the songs stay as they were.
    void loadSampleTracks();
    // Shows these songs instead of the samples.
    void setLibraryTracks(QList<Track> tracks) { m_model.setTracks(std::move(tracks)); }

Q_SIGNALS:
    void gridItemWidthChanged(double width);

private:
    LibraryGridModel m_model;
    double m_gridItemWidth;
};

} // namespace kivo
