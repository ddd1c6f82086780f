#include "engines/library/FileWatcherImpl.h"

#include "model/Logging.h"

#include <QCoroFuture>
#include <QPointer>
#include <QPromise>

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
    // Finished by the worker once the walk is done; cancelled when the
    // request is dropped unwalked.
    auto watching = std::make_shared<QPromise<void>>();
    watching->start();
    m_watching = watching->future();
    ++m_rebuilds;
    if (!m_source->setFolders(paths, [watching] { watching->finish(); })) {
        // Changes go unreported until the next rebuild succeeds.
        qCWarning(logging::fileWatcher, "The folder watch stream could not be created");
        watching->finish();
    }
}

QCoro::Task<> TavrenFileWatcher::untilWatching()
{
    const QPointer<TavrenFileWatcher> self(this);
    for (;;) {
        const quint64 rebuild = m_rebuilds;
        const QFuture<void> watching = m_watching;
        co_await watching;
        // A rebuild replaced before its walk ended: the one that replaced it
        // watches its folders too, unless they were stopped.
        if (!self || m_rebuilds == rebuild) {
            co_return;
        }
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
