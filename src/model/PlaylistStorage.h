#pragma once

#include "model/JsonCodec.h"
#include "model/PlaylistRecord.h"
#include "model/StoreFile.h"

#include <QList>
#include <QUuid>
#include <optional>

namespace kivo {

// The playlist engine's store of playlist records: one flat list, handed back
// in stored order (the store neither builds the tree nor sorts).
//
// Every operation reads the whole list; the changing ones write it back
// whole and atomically, also when nothing changed. Errors are passed on as
// they come, both derived from std::exception with a description():
// StoreFileError when the file cannot be read or written, JsonCodingError when
// the list does not decode or encode. A missing file is an empty list. A file
// that exists but cannot be read or decoded fails every operation and is never
// overwritten.
class PlaylistStorage {
public:
    virtual ~PlaylistStorage() = default;

    virtual QList<PlaylistRecord> fetchAllRecords() = 0;
    // The records whose parent is `parentFolderID` (top level for nullopt):
    // direct children only.
    virtual QList<PlaylistRecord> fetchRecords(const std::optional<QUuid>& parentFolderID) = 0;
    // Inserts or replaces by id; a replaced record keeps its position.
    virtual void saveRecord(const PlaylistRecord& record) = 0;
    // saveRecord() for each, in order, with one read and one write.
    virtual void saveRecords(const QList<PlaylistRecord>& records) = 0;
    // Removes every record with this id; children of a folder stay.
    virtual void deleteRecord(const QUuid& id) = 0;
    // Removes the record and every record whose chain of parents leads to it
    // (also when no record has `id`); loops of parents end.
    virtual void deleteFolderRecursively(const QUuid& id) = 0;
};

} // namespace kivo
