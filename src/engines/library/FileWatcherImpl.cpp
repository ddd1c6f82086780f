#include "engines/library/FileWatcherImpl.h"

#include "model/Logging.h"

namespace kivo {

namespace {

// Several things may happen to one path within a batch; the strongest wins.
std::optional<FileSystemChange> changeFor(const FolderEvent& event)
{
    const QUrl url = QUrl::fromLocalFile(event.path);
    if (event.flags & FolderEventFlag::itemRemoved) {
        return FileSystemChange::deleted(url);
    }
    if (event.flags & FolderEventFlag::itemCreated) {
        return FileSystemChange::added(url);
    }
    if (event.flags & (FolderEventFlag::itemRenamed | FolderEventFlag::itemModified)) {
        return FileSystemChange::modified(url);
    }
    return std::nullopt; // metadata, owner and the like are not changes of the file
}

} // namespace

TavrenFileWatcher::TavrenFileWatcher(std::chrono::milliseconds latency, QObject* parent)
    : TavrenFileWatcher(
        [latency](FolderEventSource::BatchHandler handler) {
            return std::make_unique<InotifyWatcher>(std::move(handler), latency);
        },
        parent)
{
}

TavrenFileWatcher::TavrenFileWatcher(const SourceFactory& factory, QObject* parent)
    : FileWatcher(parent)
    , m_source(factory([this](const QList<FolderEvent>& batch) { publish(batch); }))
{
}

TavrenFileWatcher::~TavrenFileWatcher()
{
    {
        // Waits for a batch being published; none starts afterwards.
        std::lock_guard lock(m_publishMutex);
        m_isClosing = true;
    }
    m_source.reset(); // joins the worker
}

void TavrenFileWatcher::startWatching(const QUrl& folder)
{
    if (m_monitoredFolders.contains(folder)) {
        return;
    }
    m_monitoredFolders.append(folder);
    rebuildStream();
}

void TavrenFileWatcher::stopWatching(const QUrl& folder)
{
    m_monitoredFolders.removeAll(folder);
    rebuildStream();
}

void TavrenFileWatcher::rebuildStream()
{
    QStringList paths;
    for (const QUrl& folder : std::as_const(m_monitoredFolders)) {
        if (folder.isLocalFile()) {
            paths.append(folder.toLocalFile());
        }
    }
    if (!m_source->setFolders(paths)) {
        // Changes go unreported until the next rebuild succeeds.
        qCWarning(logging::fileWatcher, "The folder watch stream could not be created");
    }
}

void TavrenFileWatcher::publish(const QList<FolderEvent>& batch)
{
    if (m_isPaused.load()) {
        return; // dropped for good
    }
    std::lock_guard lock(m_publishMutex);
    if (m_isClosing) {
        return;
    }
    for (const FolderEvent& event : batch) {
        if (const std::optional<FileSystemChange> change = changeFor(event)) {
            Q_EMIT fileSystemChanged(*change);
        }
    }
}

} // namespace kivo
