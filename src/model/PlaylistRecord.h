#pragma once

#include "model/JsonCodec.h"

#include <QList>
#include <QMetaType>
#include <QString>
#include <QStringList>
#include <QUuid>
#include <optional>

namespace kivo {

// The stored form of one playlist, smart playlist or folder: an element of
// "playlist_records.json". The tree exists only through `parentFolderID`.
// A plain value that checks nothing; `id` is fixed once the record exists.
// Every field has a default, so designated initialisers may name any subset:
//     PlaylistRecord { .id = id, .name = u"Road trip"_s, .displayOrderIndex = 3 }
struct PlaylistRecord {
    QUuid id {};
    QString name {};
    std::optional<QUuid> parentFolderID {};
    bool isFolder = false;
    bool isSmart = false;
    std::optional<QString> smartCriteria {};
    bool isFavorite = false;
    std::optional<QString> description {};
    QStringList tags {};
    QList<QUuid> trackIDs {};
    qint64 displayOrderIndex = 0;

    // All fields equal (texts by canonical equivalence).
    bool operator==(const PlaylistRecord& other) const;

    Json toJson() const;
    // Throws JsonCodingError(Decoding) naming the first bad key.
    static PlaylistRecord fromJson(const Json& object, const QString& path = {});
};

size_t qHash(const PlaylistRecord& record, size_t seed = 0);

} // namespace kivo

Q_DECLARE_METATYPE(kivo::PlaylistRecord)
