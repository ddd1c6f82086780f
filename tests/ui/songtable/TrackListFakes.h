#pragma once

#include "engines/library/LibraryEngine.h"
#include "model/DatabaseManager.h"
#include "platform/UndoManager.h"
#include "platform/UserDefaults.h"
#include "support/ScriptedArtworkCache.h"
#include "support/ScriptedAudioEngine.h"
#include "support/ScriptedLibraryEngine.h"
#include "support/ScriptedQueueEngine.h"
#include "ui/editing/EditingFakes.h"
#include "ui/songtable/TrackListController.h"
#include "ui/songtable/TrackTableLayoutState.h"

#include <QCoreApplication>
#include <QStringList>
#include <QTemporaryDir>
#include <QThread>
#include <chrono>
#include <qcoro/qcorotimer.h>
#include <stdexcept>

namespace kivo::test {

inline Track songTrack(const QString& title, qint64 rating = 0, const char* id = nullptr)
{
    const QUrl url = QUrl::fromLocalFile(QStringLiteral("/music/%1.flac").arg(title));
    const QUuid uuid = id ? QUuid::fromString(QString::fromLatin1(id)) : QUuid::createUuid();
    Track track = Track::make(uuid, url, url.fileName(), title, 200, Date {});
    track.rating = rating;
    return track;
}

using FakeLibrary = ScriptedLibraryEngine;
using FakeQueue = ScriptedQueueEngine;

using FakeAudio = ScriptedAudioEngine;

// The fake engines a track list screen works with, and a column layout with
// settings of its own; a fixture derives from it before building the screen.
struct TrackListTestEngines {
    TrackListTestEngines()
        : layout(std::make_shared<SettingsUserDefaults>(
            folder.filePath(QStringLiteral("settings.json"))))
    {
    }

    TrackListDependencies dependencies()
    {
        return { library, queue, audio, artwork, metadata, undo, layout };
    }

    QTemporaryDir folder;
    FakeLibrary library;
    FakeQueue queue;
    FakeAudio audio;
    ScriptedArtworkCache artwork;
    FakeMetadataEngine metadata;
    UndoManager undo;
    TrackTableLayoutState layout;
};

// Runs the event loop until `done` holds (at most about a second).
template <typename Predicate> bool settleUntil(Predicate done)
{
    for (int i = 0; i < 1000 && !done(); ++i) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        if (!done()) {
            QThread::msleep(1);
        }
    }
    return done();
}

} // namespace kivo::test
