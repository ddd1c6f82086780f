#include "model/PlaylistStorageImpl.h"

#include <QSet>

using namespace Qt::Literals::StringLiterals;

namespace kivo {

using ::qHash;

namespace {

void upsert(QList<PlaylistRecord>& records, const PlaylistRecord& record)
{
    const auto it = std::find_if(records.begin(), records.end(),
        [&](const PlaylistRecord& stored) { return stored.id == record.id; });
    if (it != records.end()) {
        *it = record;
    } else {
        records.push_back(record);
    }
}

} // namespace

TavrenPlaylistStorage::TavrenPlaylistStorage(const std::optional<QString>& storageDirectory)
    : m_storageFilePath(storefile::prepareFolder(storageDirectory) + u'/' + fileName())
{
    storefile::createEmptyIfMissing(m_storageFilePath);
}

QString TavrenPlaylistStorage::fileName()
{
    return u"playlist_records.json"_s;
}

QList<PlaylistRecord> TavrenPlaylistStorage::readRecords() const
{
    // An unreadable file throws: an empty list would look like no playlists,
    // and a change going on with it would replace every playlist the user has.
    const std::optional<QByteArray> bytes = storefile::read(m_storageFilePath);
    return bytes ? storefile::decodeList<PlaylistRecord>(*bytes) : QList<PlaylistRecord>();
}

void TavrenPlaylistStorage::write(const QList<PlaylistRecord>& records) const
{
    storefile::writeAtomically(m_storageFilePath, storefile::encodeList(records));
}

QList<PlaylistRecord> TavrenPlaylistStorage::fetchAllRecords()
{
    return readRecords();
}

QList<PlaylistRecord> TavrenPlaylistStorage::fetchRecords(
    const std::optional<QUuid>& parentFolderID)
{
    QList<PlaylistRecord> records = readRecords();
    records.removeIf(
        [&](const PlaylistRecord& record) { return record.parentFolderID != parentFolderID; });
    return records;
}

void TavrenPlaylistStorage::saveRecord(const PlaylistRecord& record)
{
    QList<PlaylistRecord> records = readRecords();
    upsert(records, record);
    write(records);
}

void TavrenPlaylistStorage::saveRecords(const QList<PlaylistRecord>& given)
{
    QList<PlaylistRecord> records = readRecords();
    for (const PlaylistRecord& record : given) {
        upsert(records, record);
    }
    write(records);
}

void TavrenPlaylistStorage::deleteRecord(const QUuid& id)
{
    QList<PlaylistRecord> records = readRecords();
    records.removeIf([&](const PlaylistRecord& record) { return record.id == id; });
    write(records);
}

void TavrenPlaylistStorage::deleteFolderRecursively(const QUuid& id)
{
    QList<PlaylistRecord> records = readRecords();
    QSet<QUuid> doomed { id };
    // Passes until one adds nothing. Each further pass follows an id added by
    // the one before, so a loop of parents ends as well.
    for (bool added = true; added;) {
        added = false;
        for (const PlaylistRecord& record : std::as_const(records)) {
            if (record.parentFolderID && doomed.contains(*record.parentFolderID)
                && !doomed.contains(record.id)) {
                doomed.insert(record.id);
                added = true;
            }
        }
    }
    records.removeIf([&](const PlaylistRecord& record) { return doomed.contains(record.id); });
    write(records);
}

} // namespace kivo
