#pragma once

#include "model/DatabaseManager.h"
#include "model/ErrorText.h"
#include "support/Await.h"
#include "support/ScriptedArtworkCache.h"
#include "support/ScriptedLibraryEngine.h"
#include "support/ScriptedQueueEngine.h"

#include <QCoreApplication>
#include <functional>

namespace kivo::test {

// Runs events until `done` holds.
inline void runUntil(const std::function<bool()>& done)
{
    for (int turn = 0; turn < 100000 && !done(); ++turn) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
}

inline Track song(const QString& title)
{
    const QUrl url
        = QUrl::fromLocalFile(QStringLiteral("/music/") + title + QStringLiteral(".mp3"));
    return Track::make(QUuid::createUuid(), url, url.fileName(), title, 60, Date::now());
}

// The text of the error `task` ends with, or "none".
inline QString failureText(QCoro::Task<> task)
{
    const auto outcome = QCoro::waitFor(settle(std::move(task)));
    return outcome.error ? describeError(outcome.error) : QStringLiteral("none");
}

inline QString diskFull(const Track& track)
{
    return ArtworkCacheError(
        ArtworkCacheError::Case::writeFailed, track.title, QStringLiteral("Disk full"))
        .errorDescription();
}

using FakeLibrary = ScriptedLibraryEngine;

} // namespace kivo::test
