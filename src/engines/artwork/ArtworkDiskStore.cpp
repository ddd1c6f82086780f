#include "engines/artwork/ArtworkDiskStore.h"

#include "engines/artwork/ArtworkCache.h"
#include "model/JsonCodec.h"
#include "model/StoreFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstring>
#include <dirent.h>

using namespace Qt::Literals::StringLiterals;

namespace kivo {

namespace {

// Why the folder cannot be listed, or nothing when it can.
std::optional<QString> listingFailure(const QString& folder)
{
    DIR* handle = ::opendir(QFile::encodeName(folder).constData());
    if (handle == nullptr) {
        return QString::fromLocal8Bit(std::strerror(errno));
    }
    ::closedir(handle);
    return std::nullopt;
}

QFileInfoList entries(const QString& folder)
{
    return QDir(folder).entryInfoList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::NoSort);
}

// A folder entry goes with its content; a link goes itself, never its target.
bool removeEntry(const QFileInfo& entry, QString& reason)
{
    if (entry.isDir() && !entry.isSymLink()) {
        if (QDir(entry.absoluteFilePath()).removeRecursively()) {
            return true;
        }
        reason = u"The folder could not be removed completely."_s;
        return false;
    }
    QFile file(entry.absoluteFilePath());
    if (file.remove()) {
        return true;
    }
    reason = file.errorString();
    return false;
}

} // namespace

ArtworkDiskStore::ArtworkDiskStore(QString folder)
    : m_folder(std::move(folder))
{
}

QString ArtworkDiskStore::filePath(const QString& fileName) const
{
    return m_folder + u'/' + fileName;
}

std::optional<QByteArray> ArtworkDiskStore::read(const QString& fileName) const
{
    // Through the store reader: a FIFO or device in the entry's place must not
    // block the worker, and a huge file must not exhaust memory.
    try {
        return storefile::read(filePath(fileName));
    } catch (const StoreFileError&) {
        return std::nullopt;
    }
}

void ArtworkDiskStore::write(const QString& fileName, const QByteArray& bytes) const
{
    try {
        storefile::writeAtomically(filePath(fileName), bytes);
    } catch (const StoreFileError& error) {
        throw ArtworkCacheError(ArtworkCacheError::Case::writeFailed, error.path(), error.reason());
    }
}

bool ArtworkDiskStore::exists(const QString& fileName) const
{
    return QFileInfo::exists(filePath(fileName));
}

void ArtworkDiskStore::removeArtworkFiles(const QUuid& trackID) const
{
    if (const auto failure = listingFailure(m_folder)) {
        throw ArtworkCacheError(ArtworkCacheError::Case::removeFailed, m_folder, *failure);
    }
    const QString idText = json::uuidText(trackID);
    for (const QFileInfo& entry : entries(m_folder)) {
        if (!entry.fileName().contains(idText)) {
            continue;
        }
        QString reason;
        if (!removeEntry(entry, reason)) {
            throw ArtworkCacheError(
                ArtworkCacheError::Case::removeFailed, entry.absoluteFilePath(), reason);
        }
    }
}

void ArtworkDiskStore::removeAll() const
{
    for (const QFileInfo& entry : entries(m_folder)) {
        QString reason;
        removeEntry(entry, reason);
    }
}

} // namespace kivo
