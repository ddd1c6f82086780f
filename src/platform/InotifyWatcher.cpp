#include "platform/InotifyWatcher.h"

#include "model/Logging.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <atomic>
#include <cerrno>
#include <mutex>
#include <optional>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/inotify.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace kivo {

namespace {

using Clock = std::chrono::steady_clock;

constexpr uint32_t watchMask = IN_CREATE | IN_DELETE | IN_MODIFY | IN_ATTRIB | IN_MOVED_FROM
    | IN_MOVED_TO | IN_DELETE_SELF | IN_MOVE_SELF | IN_EXCL_UNLINK | IN_ONLYDIR;

// One inotify instance with the folder each of its watches stands for.
struct WatchSet {
    int fd = -1;
    QHash<int, QString> folders;
};

// Watches `folder` itself; false when it cannot be watched. Only the top of a
// tree follows a symbolic link, so that a link below cannot make a walk loop.
bool watchFolder(WatchSet& set, const QString& folder, bool followLink)
{
    const uint32_t mask = watchMask | (followLink ? 0 : IN_DONT_FOLLOW);
    const int wd = inotify_add_watch(set.fd, QFile::encodeName(folder).constData(), mask);
    if (wd < 0) {
        qCWarning(
            logging::fileWatcher, "Cannot watch %s: %s", qUtf8Printable(folder), strerror(errno));
        return false;
    }
    set.folders.insert(wd, folder);
    return true;
}

void watchTree(WatchSet& set, const QString& folder, bool followLink, QList<FolderEvent>* created,
    const std::atomic<bool>* abandoned = nullptr);

// Watches every folder under `folder`, which is watched already. When
// `created` is given, every entry found is reported there as created: it
// appeared before its folder was watched. The walk stops early once
// `abandoned` (if given) is set.
void watchBelow(WatchSet& set, const QString& folder, QList<FolderEvent>* created,
    const std::atomic<bool>* abandoned = nullptr)
{
    QDir::Filters filter = QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System;
    if (created != nullptr) {
        filter |= QDir::Files;
    }
    const QFileInfoList entries = QDir(folder).entryInfoList(filter, QDir::Unsorted);
    for (const QFileInfo& entry : entries) {
        const bool isFolder = entry.isDir() && !entry.isSymLink();
        if (created != nullptr) {
            created->append({ entry.absoluteFilePath(),
                FolderEventFlag::itemCreated | (isFolder ? FolderEventFlag::itemIsDirectory : 0) });
        }
        if (isFolder) {
            watchTree(set, entry.absoluteFilePath(), false, created, abandoned);
        }
    }
}

// Watches `folder` and every folder under it.
void watchTree(WatchSet& set, const QString& folder, bool followLink, QList<FolderEvent>* created,
    const std::atomic<bool>* abandoned)
{
    if (abandoned != nullptr && abandoned->load(std::memory_order_relaxed)) {
        return;
    }
    if (watchFolder(set, folder, followLink)) {
        watchBelow(set, folder, created, abandoned);
    }
}

quint32 flagsOf(uint32_t mask)
{
    quint32 flags = 0;
    if (mask & IN_CREATE) {
        flags |= FolderEventFlag::itemCreated;
    }
    if (mask & (IN_DELETE | IN_DELETE_SELF)) {
        flags |= FolderEventFlag::itemRemoved;
    }
    if (mask & (IN_MOVED_FROM | IN_MOVED_TO | IN_MOVE_SELF)) {
        flags |= FolderEventFlag::itemRenamed;
    }
    if (mask & IN_MODIFY) {
        flags |= FolderEventFlag::itemModified;
    }
    if (mask & IN_ATTRIB) {
        flags |= FolderEventFlag::itemMetadataChanged;
    }
    if (mask & IN_ISDIR) {
        flags |= FolderEventFlag::itemIsDirectory;
    }
    return flags;
}

} // namespace

struct InotifyWatcher::Worker {
    // The new stream, with the folders the caller gave watched; the worker
    // watches the folders under them.
    struct Request {
        WatchSet set;
        QStringList tops;
        std::function<void()> whenWatching;
    };

    Worker(BatchHandler batchHandler, std::chrono::milliseconds batchLatency)
        : handler(std::move(batchHandler))
        , latency(batchLatency)
        , wakeFd(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK))
    {
        if (wakeFd < 0) {
            qCWarning(logging::fileWatcher, "Cannot start the folder watcher: %s", strerror(errno));
            return;
        }
        thread = std::thread([this] { run(); });
    }

    ~Worker()
    {
        {
            std::lock_guard lock(mutex);
            stopRequested = true;
            superseded = true;
        }
        wake();
        if (thread.joinable()) {
            thread.join();
        }
        if (next && next->set.fd >= 0) {
            ::close(next->set.fd);
        }
        if (wakeFd >= 0) {
            ::close(wakeFd);
        }
    }

    void wake() const
    {
        if (wakeFd >= 0) {
            const uint64_t one = 1;
            [[maybe_unused]] const ssize_t written = ::write(wakeFd, &one, sizeof one);
        }
    }

    // The stream and a watch of each given folder are made here, one call
    // each, so that nothing made in them once this returns is missed; the
    // worker walks the folders under them.
    bool replaceFolders(const QStringList& paths, std::function<void()> whenWatching)
    {
        if (wakeFd < 0) {
            return false;
        }
        Request request { {}, {}, std::move(whenWatching) };
        if (!paths.isEmpty()) {
            request.set.fd = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
            if (request.set.fd < 0) {
                qCWarning(
                    logging::fileWatcher, "Cannot create a watch stream: %s", strerror(errno));
                return false;
            }
        }
        for (const QString& path : paths) {
            if (path.isEmpty()) {
                continue;
            }
            const QString top = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
            if (watchFolder(request.set, top, true)) {
                request.tops.append(top);
            }
        }
        {
            std::lock_guard lock(mutex);
            if (failed) {
                if (request.set.fd >= 0) {
                    ::close(request.set.fd);
                }
                return false;
            }
            if (next && next->set.fd >= 0) {
                ::close(next->set.fd); // never taken up by the worker
            }
            next = std::move(request);
            superseded = true; // a walk under way is of no use any more
        }
        wake();
        return true;
    }

    void run()
    {
        buffer.resize(64 * 1024);
        for (;;) {
            int timeout = -1;
            if (!pending.isEmpty()) {
                const auto left
                    = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
                timeout = int(std::max<qint64>(0, left.count()));
            }
            pollfd fds[2] = { { wakeFd, POLLIN, 0 }, { current.fd, POLLIN, 0 } };
            const int ready = ::poll(fds, current.fd >= 0 ? 2 : 1, timeout);
            if (ready < 0 && errno != EINTR) {
                qCWarning(logging::fileWatcher, "Watching stopped: %s", strerror(errno));
                // No request will be taken up any more: its caller hears of it.
                std::optional<Request> dropped;
                std::lock_guard lock(mutex);
                failed = true;
                dropped = std::exchange(next, std::nullopt);
                if (dropped && dropped->set.fd >= 0) {
                    ::close(dropped->set.fd);
                }
                break;
            }
            bool replaced = false;
            if (ready > 0 && (fds[0].revents & POLLIN)) {
                uint64_t count = 0;
                [[maybe_unused]] const ssize_t got = ::read(wakeFd, &count, sizeof count);
                std::optional<Request> request;
                {
                    std::lock_guard lock(mutex);
                    if (stopRequested) {
                        break;
                    }
                    request = std::exchange(next, std::nullopt);
                    superseded = false;
                }
                if (request) {
                    replaced = true;
                    take(std::move(*request));
                }
            }
            if (!replaced && ready > 0 && current.fd >= 0 && (fds[1].revents & POLLIN)) {
                readEvents();
            }
            if (!pending.isEmpty() && Clock::now() >= deadline) {
                deliver();
            }
        }
        if (current.fd >= 0) {
            ::close(current.fd);
        }
    }

    // Walks the request's folders; a walk overtaken by a newer request (or
    // by the destructor) is thrown away, and the newer one taken next.
    void take(Request request)
    {
        WatchSet set = std::move(request.set);
        for (const QString& top : std::as_const(request.tops)) {
            watchBelow(set, top, nullptr, &superseded);
        }
        if (superseded.load()) {
            if (set.fd >= 0) {
                ::close(set.fd);
            }
            return;
        }
        adopt(std::move(set));
        if (request.whenWatching) {
            request.whenWatching();
        }
    }

    void adopt(WatchSet set)
    {
        if (current.fd >= 0) {
            ::close(current.fd);
        }
        current = std::move(set);
        // What the old stream gathered but did not deliver is lost.
        pending.clear();
        pendingIndex.clear();
    }

    void readEvents()
    {
        for (;;) {
            const ssize_t length = ::read(current.fd, buffer.data(), buffer.size());
            if (length <= 0) {
                return; // drained (EAGAIN) or failed
            }
            for (ssize_t offset = 0; offset + ssize_t(sizeof(inotify_event)) <= length;) {
                const auto* event = reinterpret_cast<const inotify_event*>(buffer.data() + offset);
                handle(*event);
                offset += ssize_t(sizeof(inotify_event) + event->len);
            }
        }
    }

    void handle(const inotify_event& event)
    {
        if (event.mask & IN_Q_OVERFLOW) {
            qCWarning(logging::fileWatcher, "Too many changes at once; some were not reported");
            return;
        }
        if (event.mask & IN_IGNORED) {
            current.folders.remove(event.wd);
            return;
        }
        const auto folder = current.folders.constFind(event.wd);
        if (folder == current.folders.cend()) {
            return;
        }
        const QString path
            = event.len > 0 ? *folder + QLatin1Char('/') + QFile::decodeName(event.name) : *folder;
        const bool isFolder = (event.mask & IN_ISDIR) != 0;
        if (isFolder && (event.mask & IN_MOVED_FROM)) {
            unwatchTree(path); // its watches would report under the old name
        }
        add(path, flagsOf(event.mask));
        if (isFolder && (event.mask & (IN_CREATE | IN_MOVED_TO))) {
            QList<FolderEvent> created;
            watchTree(current, path, false, (event.mask & IN_CREATE) ? &created : nullptr);
            for (const FolderEvent& entry : std::as_const(created)) {
                add(entry.path, entry.flags);
            }
        }
    }

    void unwatchTree(const QString& path)
    {
        const QString prefix = path + QLatin1Char('/');
        for (auto it = current.folders.begin(); it != current.folders.end();) {
            if (*it == path || it->startsWith(prefix)) {
                inotify_rm_watch(current.fd, it.key());
                it = current.folders.erase(it);
            } else {
                ++it;
            }
        }
    }

    void add(const QString& path, quint32 flags)
    {
        if (pending.isEmpty()) {
            deadline = Clock::now() + latency;
        }
        const auto known = pendingIndex.constFind(path);
        if (known != pendingIndex.cend()) {
            pending[*known].flags |= flags;
        } else {
            pendingIndex.insert(path, pending.size());
            pending.append({ path, flags });
        }
    }

    void deliver()
    {
        const QList<FolderEvent> batch = std::move(pending);
        pending.clear();
        pendingIndex.clear();
        try {
            handler(batch);
        } catch (const std::exception& error) {
            qCWarning(logging::fileWatcher, "A folder change handler failed: %s", error.what());
        } catch (...) {
            qCWarning(logging::fileWatcher, "A folder change handler failed");
        }
    }

    const BatchHandler handler;
    const std::chrono::milliseconds latency;
    const int wakeFd;
    std::thread thread;

    // Shared with the callers, under `mutex`.
    std::mutex mutex;
    bool stopRequested = false;
    bool failed = false; // the worker ended on an error
    std::optional<Request> next;
    // Set with `next` or the stop; read by the walk without the lock.
    std::atomic<bool> superseded { false };

    // The worker's own.
    WatchSet current;
    QList<FolderEvent> pending;
    QHash<QString, qsizetype> pendingIndex;
    Clock::time_point deadline;
    std::vector<char> buffer;
};

InotifyWatcher::InotifyWatcher(BatchHandler handler, std::chrono::milliseconds latency)
    : m_worker(std::make_unique<Worker>(std::move(handler), latency))
{
}

InotifyWatcher::~InotifyWatcher() = default;

bool InotifyWatcher::setFolders(const QStringList& folders, std::function<void()> whenWatching)
{
    return m_worker->replaceFolders(folders, std::move(whenWatching));
}

} // namespace kivo
