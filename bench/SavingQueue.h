#pragma once

#include "BenchFakes.h"

#include "engines/playback/QueueEngineImpl.h"
#include "model/DatabaseManagerImpl.h"
#include "platform/UserDefaults.h"

#include <QHash>
#include <QTemporaryDir>
#include <memory>

namespace kivo::bench {

// A queue saving its session into a temporary folder, over an engine that
// plays nothing. `library`, when given, is what the queue looks its ids up in,
// by a hash of ids as the library's own lookup.
struct SavingQueue {
    explicit SavingQueue(const QList<Track>* library = nullptr)
        : queue(std::make_shared<TavrenDatabaseManager>(folder.path(),
            std::make_shared<SettingsUserDefaults>(folder.filePath(QStringLiteral("s.json")))))
    {
        queue.setAudioEngine(&audio);
        if (library) {
            positions.reserve(library->size());
            for (qsizetype i = 0; i < library->size(); ++i) {
                positions.insert((*library)[i].id, i);
            }
            queue.setTrackLookup([this, library](const QUuid& id) -> const Track* {
                const auto found = positions.constFind(id);
                return found != positions.cend() ? &(*library)[*found] : nullptr;
            });
        }
    }

    QTemporaryDir folder;
    QHash<QUuid, qsizetype> positions;
    SilentAudioEngine audio;
    TavrenQueueEngine queue;
};

} // namespace kivo::bench
