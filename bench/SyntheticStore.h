#pragma once

#include "SyntheticLibrary.h"
#include "model/DatabaseManagerImpl.h"
#include "platform/UserDefaults.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <algorithm>
#include <functional>
#include <memory>

// Writes a synthetic library of `count` tracks into the store at `dataFolder`,
// with a session playing the track at `current` and the (up to) 99 after it
// upcoming, as the start-up benchmarks find it on disk; `adjust`, if given,
// changes the library before it is saved. Returns the library.
namespace kivo::bench {

inline QList<Track> writeSyntheticStore(const QString& dataFolder,
    const std::shared_ptr<UserDefaults>& defaults, int count, int current,
    const std::function<void(QList<Track>&)>& adjust = {})
{
    using namespace Qt::Literals::StringLiterals;
    QList<Track> library = makeSyntheticLibrary(count);
    if (adjust) {
        adjust(library);
    }
    TavrenDatabaseManager store(dataFolder, defaults);
    bool saved = false;
    auto save = [&]() -> QCoro::Task<> {
        co_await store.saveTracks(library);
        saved = true;
    };
    auto task = save();
    while (!saved) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    }
    PlaybackStateSnapshot session;
    session.currentTrackID = library[current].id;
    for (int i = current + 1; i < std::min(count, current + 100); ++i) {
        session.upcomingTrackIDs.push_back(library[i].id);
    }
    session.repeatMode = session.shuffleMode = u"off"_s;
    store.savePlaybackState(session);
    return library;
}

} // namespace kivo::bench
