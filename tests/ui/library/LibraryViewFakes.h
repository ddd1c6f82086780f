#pragma once

#include "engines/library/PlaylistEngineImpl.h"
#include "model/DatabaseManager.h"
#include "model/Date.h"
#include "model/PlaylistStorageImpl.h"
#include "model/StoreFile.h"
#include "support/ScriptedLibraryEngine.h"
#include "support/ScriptedQueueEngine.h"
#include "support/SpyPlaylistStorage.h"

#include <QFile>
#include <QTemporaryDir>
#include <optional>

namespace kivo::test {

using namespace Qt::Literals::StringLiterals;

inline Track song(const QString& title, const QString& path = {}, qint64 rating = 0)
{
    const QUrl url = QUrl::fromLocalFile(path.isEmpty() ? u"/music/"_s + title + u".mp3"_s : path);
    Track track = Track::make(QUuid::createUuid(), url, url.fileName(), title, 61, Date { 0 });
    track.rating = rating;
    return track;
}

inline QStringList titles(const QList<Track>& tracks)
{
    QStringList result;
    for (const Track& track : tracks) {
        result.push_back(track.title);
    }
    return result;
}

using FakeLibrary = ScriptedLibraryEngine;
using FakeQueue = ScriptedQueueEngine;

using FailableStorage = SpyPlaylistStorage;

// The real playlist engine over a fake library and queue.
struct Engines {
    FakeLibrary library;
    FakeQueue queue;
    std::shared_ptr<FailableStorage> storage = std::make_shared<FailableStorage>();
    TavrenPlaylistEngine playlists { storage, &library, &queue };
};

// An empty file at `path`, so that it exists for the import road.
inline QUrl touch(const QString& path)
{
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    return QUrl::fromLocalFile(path);
}

} // namespace kivo::test
