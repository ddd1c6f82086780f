#pragma once

#include "support/StubArtworkCache.h"
#include "support/StubAudioEngine.h"

#include "engines/library/FileWatcher.h"

#include <optional>

namespace kivo::bench {

// No song has artwork, and the answer comes at once: a fake's one-turn wait
// per song would put a timer per row on the event loop and measure them.
using NoArtwork = test::StubArtworkCache;

// An engine that accepts every track at once and plays nothing.
class SilentAudioEngine final : public test::StubAudioEngine {
public:
    double currentTime() const override { return 12.5; }
};

// A file watcher that watches nothing, so no change on disk reaches the
// engine while it is measured.
class IdleWatcher final : public FileWatcher {
public:
    QList<QUrl> monitoredFolders() const override { return {}; }
    void startWatching(const QUrl&) override { }
    void stopWatching(const QUrl&) override { }
    void pause() override { }
    void resume() override { }
};

} // namespace kivo::bench
