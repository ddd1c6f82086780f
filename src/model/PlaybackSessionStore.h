#pragma once

#include "model/DatabaseManager.h"
#include "model/PlaybackStateSnapshot.h"

#include <QObject>
#include <QString>
#include <QThreadPool>
#include <exception>
#include <functional>
#include <memory>

namespace kivo {

// Writes the playback session ("playback_state.json") through a
// DatabaseManager on a low-priority worker thread of its own, so routine
// saves never make the main thread wait for the disk.
//
// Saves run one at a time in the order they were submitted, so the file ends
// with the last one. Create, use and destroy the store on the main thread.
//
//     store.save(snapshot, [this](std::exception_ptr error) {
//         if (error) {
//             publishPersistenceError(describeError(error));
//         }
//     });
//     ...
//     // The application is leaving: make sure the session is on disk.
//     if (auto error = store.saveSynchronously(snapshot)) { ... }
//
// Errors are the store's own (StoreFileError, JsonCodingError for a
// non-finite time or volume), passed on unchanged; after a failure the file
// keeps its previous session.
class PlaybackSessionStore : public QObject {
    Q_OBJECT
public:
    // Receives nullptr on success, else the error of the write.
    using Completion = std::function<void(std::exception_ptr error)>;
    // Makes the snapshot to write; called on the worker.
    using Maker = std::function<PlaybackStateSnapshot()>;

    explicit PlaybackSessionStore(
        std::shared_ptr<DatabaseManager> database, QObject* parent = nullptr);
    // Finishes the saves already submitted; completions not yet delivered are
    // dropped.
    ~PlaybackSessionStore() override;

    // Returns at once. The write runs on the worker after every earlier save;
    // then `completion`, if given, is called on the thread that owns the store
    // (the main thread) through its event loop, never before the write has
    // ended. Without a completion a failure is not reported.
    void save(const PlaybackStateSnapshot& snapshot, Completion completion = {});
    // As save(), but the snapshot is made on the worker just before its write,
    // so a caller can hand over lists it shares (a library-sized queue) and
    // leave reading and joining them to the worker.
    void saveMade(Maker make, Completion completion = {});

    // Waits for every save submitted before it, then writes `snapshot` and
    // returns the error of that write (nullptr on success). Blocks the caller;
    // meant for the moment the application stops being active.
    std::exception_ptr saveSynchronously(const PlaybackStateSnapshot& snapshot);

private:
    std::exception_ptr write(const PlaybackStateSnapshot& snapshot);

    std::shared_ptr<DatabaseManager> m_database;
    // Last, so it is torn down (finishing its queue) before the database goes.
    QThreadPool m_queue;
};

} // namespace kivo
