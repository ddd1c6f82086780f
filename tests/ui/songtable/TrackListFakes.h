#pragma once

#include "engines/library/LibraryEngine.h"
#include "model/DatabaseManager.h"
#include "support/ScriptedAudioEngine.h"
#include "support/ScriptedLibraryEngine.h"
#include "support/ScriptedQueueEngine.h"

#include <QCoreApplication>
#include <QStringList>
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
