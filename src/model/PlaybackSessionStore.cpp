#include "model/PlaybackSessionStore.h"

#include <QMetaObject>
#include <future>

using namespace Qt::Literals::StringLiterals;

namespace kivo {

namespace {

// The store whose save is running on this thread, so that a blocking save
// submitted from inside one (a completion never runs there, but a database
// could call back) runs directly instead of waiting for itself.
thread_local const PlaybackSessionStore* runningStore = nullptr;

} // namespace

PlaybackSessionStore::PlaybackSessionStore(
    std::shared_ptr<DatabaseManager> database, QObject* parent)
    : QObject(parent)
    , m_database(std::move(database))
{
    m_queue.setObjectName(u"com.halvern.playback-session"_s);
    m_queue.setMaxThreadCount(1);
    m_queue.setThreadPriority(QThread::LowPriority);
}

PlaybackSessionStore::~PlaybackSessionStore()
{
    m_queue.waitForDone();
}

std::exception_ptr PlaybackSessionStore::write(const PlaybackStateSnapshot& snapshot)
{
    const PlaybackSessionStore* outer = runningStore;
    runningStore = this;
    std::exception_ptr error;
    try {
        m_database->savePlaybackState(snapshot);
    } catch (...) {
        error = std::current_exception();
    }
    runningStore = outer;
    return error;
}

void PlaybackSessionStore::save(const PlaybackStateSnapshot& snapshot, Completion completion)
{
    saveMade([snapshot] { return snapshot; }, std::move(completion));
}

void PlaybackSessionStore::saveMade(Maker make, Completion completion)
{
    // A one-thread pool runs its jobs in submission order.
    m_queue.start([this, make = std::move(make), completion = std::move(completion)]() mutable {
        std::exception_ptr error;
        try {
            error = write(make());
        } catch (...) {
            error = std::current_exception(); // out of memory making it
        }
        // What `make` shares with the caller is let go before the next job.
        make = {};
        if (!completion) {
            return;
        }
        // `this` outlives the job (the destructor waits for the queue); a call
        // still pending when the store is destroyed is dropped with it.
        QMetaObject::invokeMethod(
            this,
            [completion = std::move(completion), error = std::move(error)] { completion(error); },
            Qt::QueuedConnection);
    });
}

std::exception_ptr PlaybackSessionStore::saveSynchronously(const PlaybackStateSnapshot& snapshot)
{
    if (runningStore == this) {
        return write(snapshot);
    }
    // A promise rather than QFuture::waitForFinished(), which may take the job
    // off the queue and run it here ahead of the saves before it.
    std::promise<std::exception_ptr> done;
    std::future<std::exception_ptr> result = done.get_future();
    m_queue.start([this, &snapshot, &done] { done.set_value(write(snapshot)); });
    return result.get();
}

} // namespace kivo
