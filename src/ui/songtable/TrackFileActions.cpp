#include "ui/songtable/TrackFileActions.h"

#include "model/Track.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QImageReader>

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

void TrackArtworkChooser::chooseImage(QWidget* parent, std::function<void(QUrl)> done)
{
    auto* dialog = new QFileDialog(parent, u"Choose Artwork"_s);
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    dialog->setFileMode(QFileDialog::ExistingFile);
    dialog->setAcceptMode(QFileDialog::AcceptOpen);
    dialog->setLabelText(QFileDialog::Accept, u"Choose"_s);
    dialog->setWindowModality(Qt::WindowModal);
    QStringList patterns;
    for (const QByteArray& suffix : QImageReader::supportedImageFormats()) {
        patterns << u"*."_s + QString::fromLatin1(suffix);
    }
    dialog->setNameFilter(u"Images (%1)"_s.arg(patterns.join(u' ')));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(dialog, &QFileDialog::finished, dialog, [dialog, done](int result) {
        const QList<QUrl> urls = dialog->selectedUrls();
        done(result == QDialog::Accepted && !urls.isEmpty() ? urls.first() : QUrl());
    });
    dialog->open();
}

QUrl TrackFileActions::revealTarget(const Track& track)
{
    const QString path = track.fileURL.toLocalFile();
    if (QFileInfo::exists(path)) {
        return track.fileURL;
    }
    return QUrl::fromLocalFile(QFileInfo(path).absolutePath());
}

} // namespace kivo
