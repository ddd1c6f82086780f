#pragma once

#include <QList>
#include <QMetaType>
#include <QObject>
#include <QUrl>
#include <qcoro/qcorotask.h>

namespace kivo {

// One change under a watched folder. `renamed` belongs to the vocabulary but
// the folder watcher reports a rename as `modified` of each path involved.
class FileSystemChange {
public:
    enum class Kind { added, modified, renamed, deleted };

    FileSystemChange() = default;
    static FileSystemChange added(const QUrl& url) { return { Kind::added, url, {} }; }
    static FileSystemChange modified(const QUrl& url) { return { Kind::modified, url, {} }; }
    static FileSystemChange renamed(const QUrl& from, const QUrl& to)
    {
        return { Kind::renamed, from, to };
    }
    static FileSystemChange deleted(const QUrl& url) { return { Kind::deleted, url, {} }; }

    Kind kind() const { return m_kind; }
    // The item's URL; for `renamed` the old one.
    const QUrl& url() const { return m_url; }
    // For `renamed` only: the new URL.
    const QUrl& to() const { return m_to; }

    // Same case and equal URLs (both, for `renamed`).
    bool operator==(const FileSystemChange&) const = default;

private:
    FileSystemChange(Kind kind, QUrl url, QUrl to)
        : m_kind(kind)
        , m_url(std::move(url))
        , m_to(std::move(to))
    {
    }

    Kind m_kind = Kind::added;
    QUrl m_url;
    QUrl m_to;
};

// Reports changes to files under the folders added to the library.
class FileWatcher : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~FileWatcher() override = default;

    // Watched folders in the order first watched, without duplicates.
    virtual QList<QUrl> monitoredFolders() const = 0;
    // Watches a folder and everything under it. Returns at once, with the
    // folder itself watched; the folders under it are walked and watched on
    // the watcher's own thread (see untilWatching()). May throw a
    // std::exception; TavrenFileWatcher never does.
    virtual void startWatching(const QUrl& folder) = 0;
    // Completes once every folder given to startWatching() before the call
    // is watched down to its last subfolder, so that nothing that happens
    // under it afterwards is missed. At once for a watcher that has no walk.
    virtual QCoro::Task<> untilWatching() { co_return; }
    virtual void stopWatching(const QUrl& folder) = 0;
    // While paused, changes are dropped for good.
    virtual void pause() = 0;
    virtual void resume() = 0;

Q_SIGNALS:
    // Emitted on the watcher's own thread: connect with a receiver as context
    // (queued onto its thread), never assume the main thread.
    void fileSystemChanged(const kivo::FileSystemChange& change);
};

} // namespace kivo

Q_DECLARE_METATYPE(kivo::FileSystemChange)
