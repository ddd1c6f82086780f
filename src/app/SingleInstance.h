#pragma once

#include <QLockFile>
#include <QObject>
#include <QString>
#include <memory>
#include <optional>

namespace kivo {

// Keeps the program to one process per data folder: two on one library would
// each write back their own copy over the other's. The first start holds a
// lock file in the folder and listens on a local socket named after the
// folder; a later start finds the lock held, asks the holder to bring its
// window forward and then must end without touching any store. A lock left by
// a process that no longer runs is taken over, with its socket.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    enum class Claim {
        // This process holds the folder.
        held,
        // Another process holds it and was asked to show its window.
        heldByAnother,
        // The folder cannot be locked (it cannot be created, or is not
        // writable); the stores report their own errors.
        unavailable,
    };

    // `dataFolder` absent: the standard data folder.
    explicit SingleInstance(std::optional<QString> dataFolder = {}, QObject* parent = nullptr);
    ~SingleInstance() override;

    // Tries to take the folder; asks the holder to show its window when
    // another process has it. Creates the folder when it is missing, nothing
    // else, unless the folder is this process's.
    Claim claim();

    // The local socket a holder of `folder` starting now listens on, named
    // after a short hash of the folder's canonical path: in the user's runtime
    // folder (XDG_RUNTIME_DIR) when it exists and is the user's alone, or
    // else, or where that path would be too long for a socket, in a folder of
    // the user's own in /tmp (made when missing). Empty when that folder is
    // not the user's alone. A later start asks at both places, so that a
    // runtime folder made after the holder started does not hide it.
    static QString serverName(const QString& folder);

Q_SIGNALS:
    // A later start asked for this process's window.
    void activationRequested();

private:
    void listen(const QString& folder);
    static bool askHolderToActivate(const QString& folder);

    std::optional<QString> m_dataFolder;
    std::unique_ptr<QLockFile> m_lock;
};

} // namespace kivo
