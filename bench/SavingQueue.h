#pragma once

#include "BenchFakes.h"

#include "engines/playback/QueueEngineImpl.h"
#include "model/DatabaseManagerImpl.h"
#include "platform/UserDefaults.h"

#include <QTemporaryDir>
#include <memory>

namespace kivo::bench {

// A queue saving its session into a temporary folder, over an engine that
// plays nothing.
struct SavingQueue {
    SavingQueue()
        : queue(std::make_shared<TavrenDatabaseManager>(folder.path(),
            std::make_shared<SettingsUserDefaults>(folder.filePath(QStringLiteral("s.json")))))
    {
        queue.setAudioEngine(&audio);
    }

    QTemporaryDir folder;
    SilentAudioEngine audio;
    TavrenQueueEngine queue;
};

} // namespace kivo::bench
