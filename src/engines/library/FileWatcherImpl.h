#pragma once

#include "engines/library/FileWatcher.h"
#include "platform/InotifyWatcher.h"

#include <QFuture>
#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <mutex>

namespace kivo {

// The folder watcher: one event stream for all watched folders, rebuilt on
// every change of the folder list (on its own worker thread, which walks the
// folders and delivers the changes).
class TavrenFileWatcher final : public FileWatcher {
    Q_OBJECT
public:
    using SourceFactory
        = std::function<std::unique_ptr<FolderEventSource>(FolderEventSource::BatchHandler)>;

    // `latency`: how long events are gathered before a batch is delivered.
    explicit TavrenFileWatcher(
        std::chrono::milliseconds latency = std::chrono::seconds(1), QObject* parent = nullptr);
    // For tests: the event stream comes from `factory`, called once.
    explicit TavrenFileWatcher(const SourceFactory& factory, QObject* parent = nullptr);
    // Stops and joins the worker before anything else goes: no change is
    // emitted once destruction has begun.
    ~TavrenFileWatcher() override;

    QList<QUrl> monitoredFolders() const override { return m_monitoredFolders; }
    void startWatching(const QUrl& folder) override;
    QCoro::Task<> untilWatching() override;
    void stopWatching(const QUrl& folder) override;
    void pause() override { m_isPaused.store(true); }
    void resume() override { m_isPaused.store(false); }

private:
    void rebuildStream();
    void publish(const QList<FolderEvent>& batch);

    QList<QUrl> m_monitoredFolders;
    // Finished once the stream of the latest rebuild watches every folder;
    // cancelled when a later rebuild replaced it first. Main thread only.
    QFuture<void> m_watching;
    quint64 m_rebuilds = 0;
    std::atomic<bool> m_isPaused { false };
    std::mutex m_publishMutex;
    bool m_isClosing = false; // under m_publishMutex
    std::unique_ptr<FolderEventSource> m_source; // last: built once the rest exists
};

} // namespace kivo
