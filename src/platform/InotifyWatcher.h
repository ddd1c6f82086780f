#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <chrono>
#include <functional>
#include <memory>

namespace kivo {

// What happened to one path within one batch; several may be set.
namespace FolderEventFlag {
inline constexpr quint32 itemCreated = 0x100;
inline constexpr quint32 itemRemoved = 0x200;
inline constexpr quint32 itemMetadataChanged = 0x400;
inline constexpr quint32 itemRenamed = 0x800;
inline constexpr quint32 itemModified = 0x1000;
inline constexpr quint32 itemIsDirectory = 0x20000;
} // namespace FolderEventFlag

// All that happened to one path since the batch began.
struct FolderEvent {
    QString path;
    quint32 flags = 0;
};

// One stream of file-system events covering a set of folders and everything
// under them. Batches are delivered on the source's own thread, one at a time.
class FolderEventSource {
public:
    using BatchHandler = std::function<void(const QList<FolderEvent>&)>;

    // Stops delivering: once the destructor returns the handler never runs again.
    virtual ~FolderEventSource() = default;

    // Replaces the watched folders. The given folders themselves are watched
    // when it returns; the folders under them are watched on the source's
    // thread, then `whenWatching` runs there (unless a later call replaced the
    // folders first). Events of the old set not yet delivered are dropped,
    // and only what happens once the new watches exist is reported. An empty
    // list watches nothing. Returns false when the stream cannot be made.
    virtual bool setFolders(const QStringList& folders, std::function<void()> whenWatching = {})
        = 0;
};

// inotify on one worker thread, which also walks the folders under the
// watched ones: a tree of thousands of folders takes a while. Folders are watched
// recursively, also those created later; events are gathered per path for
// `latency` after the first one of a batch, then delivered in the order
// their paths first appeared.
class InotifyWatcher final : public FolderEventSource {
public:
    InotifyWatcher(BatchHandler handler, std::chrono::milliseconds latency);
    // Stops the worker and joins it. Must not be called from the handler.
    ~InotifyWatcher() override;

    InotifyWatcher(const InotifyWatcher&) = delete;
    InotifyWatcher& operator=(const InotifyWatcher&) = delete;

    bool setFolders(const QStringList& folders, std::function<void()> whenWatching = {}) override;

private:
    struct Worker;
    std::unique_ptr<Worker> m_worker;
};

} // namespace kivo
