#pragma once

#include "model/TrackSortOrder.h"
#include "ui/library/CompactLibraryListModel.h"

#include <QObject>
#include <QPointer>

namespace kivo {

class LibraryEngine;
class QueueEngine;

// The compact library list: every library song in a sortable list whose rows
// follow the library, the queue's current song, the selection and the sort
// order. Nothing here writes to an engine but the play call. Main thread only.
class CompactLibraryListPresenter : public QObject {
    Q_OBJECT
public:
    // Starts sorted by title, ascending, with nothing selected. Lists of at
    // least `backgroundThreshold` songs are ordered on a worker.
    CompactLibraryListPresenter(LibraryEngine& library, QueueEngine& queue,
        QObject* parent = nullptr, int backgroundThreshold = 5000);

    CompactLibraryListModel& model() { return m_model; }

    // A header click: a new column sorts ascending, the sorted one flips.
    void sortBy(TrackSortField field);
    // A click: the row's song becomes the whole selection.
    void select(int row);
    // A double click: queues the list as displayed and plays from the row's song.
    void play(int row);

private:
    QPointer<LibraryEngine> m_library;
    QPointer<QueueEngine> m_queue;
    CompactLibraryListModel m_model;
};

} // namespace kivo
