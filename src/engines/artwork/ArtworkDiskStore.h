#pragma once

#include <QByteArray>
#include <QString>
#include <QUuid>
#include <optional>

namespace kivo {

// The artwork cache's folder: flat, one file per entry, holding exactly the
// bytes stored. Keeps no state, so its calls may run on any thread; all of
// them block. Virtual so that tests can make the file system fail.
class ArtworkDiskStore {
public:
    explicit ArtworkDiskStore(QString folder);
    virtual ~ArtworkDiskStore() = default;

    const QString& folder() const { return m_folder; }
    QString filePath(const QString& fileName) const;

    // The whole file; nullopt when it is missing or cannot be read.
    virtual std::optional<QByteArray> read(const QString& fileName) const;

    // Replaces the file atomically. Throws ArtworkCacheError(writeFailed).
    virtual void write(const QString& fileName, const QByteArray& bytes) const;

    virtual bool exists(const QString& fileName) const;

    // Deletes every entry whose name contains the id's upper-case text, in
    // listing order. An unreadable folder or the first failed deletion stops
    // it with ArtworkCacheError(removeFailed); entries of other tracks are
    // never touched.
    virtual void removeArtworkFiles(const QUuid& trackID) const;

    // Deletes every entry; failures are passed over.
    virtual void removeAll() const;

private:
    QString m_folder;
};

} // namespace kivo
