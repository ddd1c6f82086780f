#include "app/SingleInstance.h"

#include "model/Logging.h"
#include "model/StoreFile.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>
#include <cerrno>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

using namespace Qt::Literals::StringLiterals;

namespace kivo {

namespace {

const QString lockFileName = u".instance.lock"_s;
constexpr char activateRequest[] = "activate\n";
constexpr qint64 activateRequestSize = sizeof(activateRequest) - 1;
// How long a later start keeps trying to reach a holder that has just taken
// the lock and is not listening yet.
constexpr int connectTimeoutMs = 5000;
// The longest path a local socket can listen on.
constexpr qsizetype maxSocketPathBytes = sizeof(sockaddr_un::sun_path) - 1;

// For a socket whose path would not fit in the runtime folder, or when there
// is no runtime folder of this user's: a folder of this user's own in /tmp,
// which nobody else may enter, made when `create` is set. One that someone
// else made, or opened up, is not used: a socket there could be taken over.
QString privateSocketFolder(bool create)
{
    const uid_t user = ::getuid();
    const QByteArray path = "/tmp/kivo-vovid-" + QByteArray::number(user);
    if (create && ::mkdir(path.constData(), 0700) != 0 && errno != EEXIST) {
        return {};
    }
    struct stat info { };
    if (::lstat(path.constData(), &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != user
        || (info.st_mode & 077) != 0) {
        return {};
    }
    return QFile::decodeName(path);
}

// The session's runtime folder when it exists and is this user's alone;
// never made here. (Qt would fall back to a folder in /tmp of its own when it
// is missing, and use it once something else has made it: two starts on
// either side of that would not meet.)
QString runtimeFolder()
{
    const QByteArray path = qgetenv("XDG_RUNTIME_DIR");
    struct stat info { };
    if (!path.startsWith('/') || ::stat(path.constData(), &info) != 0 || !S_ISDIR(info.st_mode)
        || info.st_uid != ::getuid() || (info.st_mode & 077) != 0) {
        return {};
    }
    return QFile::decodeName(path);
}

// Where a holder of `folder` listens, in the order a holder chooses them: in
// the runtime folder, or else in the private folder (made when it is the only
// place). A holder chooses by what exists when it starts, so a later start
// looks in both: the runtime folder may have appeared since.
QStringList socketPlaces(const QString& folder)
{
    const QFileInfo info(folder);
    const QString path
        = info.canonicalFilePath().isEmpty() ? info.absoluteFilePath() : info.canonicalFilePath();
    const QByteArray hash
        = QCryptographicHash::hash(QFile::encodeName(path), QCryptographicHash::Sha256).toHex();
    // Short, so that the path fits wherever the runtime folder is.
    const QString name = u"kivo-vovid-"_s + QString::fromLatin1(hash.left(16));
    QStringList places;
    const QString runtime = runtimeFolder();
    const QString inRuntime = runtime + u'/' + name;
    if (!runtime.isEmpty() && QFile::encodeName(inRuntime).size() <= maxSocketPathBytes) {
        places.append(inRuntime);
    }
    if (const QString privateFolder = privateSocketFolder(places.isEmpty());
        !privateFolder.isEmpty()) {
        places.append(privateFolder + u'/' + name);
    }
    return places;
}

} // namespace

SingleInstance::SingleInstance(std::optional<QString> dataFolder, QObject* parent)
    : QObject(parent)
    , m_dataFolder(std::move(dataFolder))
{
}

SingleInstance::~SingleInstance() = default;

SingleInstance::Claim SingleInstance::claim()
{
    QString folder;
    try {
        folder = storefile::prepareFolder(m_dataFolder);
    } catch (const StoreFileError& error) {
        qCWarning(logging::app).noquote() << error.description();
        return Claim::unavailable;
    }
    auto lock = std::make_unique<QLockFile>(folder + u'/' + lockFileName);
    // Held for the life of the process, however long: only a holder that no
    // longer runs leaves a stale lock.
    lock->setStaleLockTime(0);
    if (lock->tryLock(0)) {
        m_lock = std::move(lock);
        listen(folder);
        return Claim::held;
    }
    if (lock->error() != QLockFile::LockFailedError) {
        qCWarning(logging::app).noquote()
            << u"The data folder \"%1\" could not be locked."_s.arg(folder);
        return Claim::unavailable;
    }
    if (askHolderToActivate(folder)) {
        return Claim::heldByAnother;
    }
    // Nobody answers. A lock file that no process keeps locked (one whose owner
    // cannot be read, say) is removed; a live holder's stays.
    if (lock->removeStaleLockFile() && lock->tryLock(0)) {
        m_lock = std::move(lock);
        listen(folder);
        return Claim::held;
    }
    qCWarning(logging::app).noquote()
        << u"The data folder \"%1\" is in use by another process of the program, "
           u"whose window could not be reached."_s.arg(folder);
    return Claim::heldByAnother;
}

QString SingleInstance::serverName(const QString& folder)
{
    return socketPlaces(folder).value(0);
}

void SingleInstance::listen(const QString& folder)
{
    const QString name = serverName(folder);
    if (name.isEmpty()) {
        qCWarning(logging::app).noquote()
            << u"Later starts cannot reach this window: the folder for its socket, "
               u"/tmp/kivo-vovid-%1, is not this user's alone."_s.arg(::getuid());
        return;
    }
    auto* server = new QLocalServer(this);
    server->setSocketOptions(QLocalServer::UserAccessOption);
    // A socket left by a holder that no longer runs would refuse the name;
    // holding the lock, no live process can own it.
    QLocalServer::removeServer(name);
    if (!server->listen(name)) {
        qCWarning(logging::app).noquote()
            << u"Later starts cannot reach this window: %1"_s.arg(server->errorString());
        delete server;
        return;
    }
    connect(server, &QLocalServer::newConnection, this, [this, server] {
        while (QLocalSocket* socket = server->nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            auto readRequest = [this, socket] {
                if (socket->bytesAvailable() < activateRequestSize) {
                    return;
                }
                if (socket->read(activateRequestSize) == activateRequest) {
                    Q_EMIT activationRequested();
                }
                socket->disconnectFromServer();
            };
            connect(socket, &QLocalSocket::readyRead, this, readRequest);
            readRequest();
        }
    });
}

bool SingleInstance::askHolderToActivate(const QString& folder)
{
    if (socketPlaces(folder).isEmpty()) {
        return false;
    }
    const QDeadlineTimer deadline(connectTimeoutMs);
    QLocalSocket socket;
    const auto connect = [&] {
        for (const QString& name : socketPlaces(folder)) {
            socket.connectToServer(name);
            if (socket.waitForConnected(1000)) {
                return true;
            }
            socket.abort();
        }
        return false;
    };
    while (!connect()) {
        if (deadline.hasExpired()) {
            return false;
        }
        QThread::msleep(100);
    }
    socket.write(activateRequest, activateRequestSize);
    while (socket.bytesToWrite() > 0 && socket.waitForBytesWritten(1000)) { }
    const bool sent = socket.bytesToWrite() == 0;
    socket.disconnectFromServer();
    if (socket.state() != QLocalSocket::UnconnectedState) {
        socket.waitForDisconnected(1000);
    }
    return sent;
}

} // namespace kivo
