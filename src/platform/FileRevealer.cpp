#include "platform/FileRevealer.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDesktopServices>
#include <QFileInfo>

using namespace Qt::Literals::StringLiterals;

namespace kivo {

namespace {

void openFolder(const QUrl& target)
{
    const QFileInfo info(target.toLocalFile());
    const QString folder = info.isDir() ? info.absoluteFilePath() : info.absolutePath();
    QDesktopServices::openUrl(QUrl::fromLocalFile(folder));
}

} // namespace

void DesktopFileRevealer::reveal(const QUrl& target)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        openFolder(target);
        return;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(u"org.freedesktop.FileManager1"_s,
        u"/org/freedesktop/FileManager1"_s, u"org.freedesktop.FileManager1"_s, u"ShowItems"_s);
    call << QStringList { target.toString(QUrl::FullyEncoded) } << QString();
    // Never blocks the window: a desktop without the service answers with an
    // error, and the folder opens then.
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call, 5000));
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, [watcher, target] {
        if (watcher->isError()) {
            openFolder(target);
        }
        watcher->deleteLater();
    });
}

} // namespace kivo
