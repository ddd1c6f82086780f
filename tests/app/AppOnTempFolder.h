#pragma once

#include "app/DIContainer.h"
#include "app/TavrenMediaStudioApp.h"
#include "engines/playback/FakeAudioPlayer.h"
#include "platform/UserDefaults.h"

#include <QDir>
#include <QSignalSpy>
#include <memory>

namespace kivo::test {

// The whole program over `folder`: its data, settings and home there and a
// silent player unless the test hands one in. Returns once the start-up task
// has ended, or after 10 s; callers check isBootstrapFinished().
inline std::unique_ptr<TavrenMediaStudioApp> startAppIn(const QString& folder,
    std::shared_ptr<AudioPlayerFactory> players = std::make_shared<FakeAudioPlayerFactory>())
{
    const QDir root(folder);
    root.mkpath(QStringLiteral("home"));
    auto app = std::make_unique<TavrenMediaStudioApp>(
        DIContainerOptions { root.filePath(QStringLiteral("data")),
            std::make_shared<SettingsUserDefaults>(root.filePath(QStringLiteral("settings.json"))),
            std::move(players), root.filePath(QStringLiteral("home")) });
    if (!app->container().isBootstrapFinished()) {
        QSignalSpy finished(&app->container(), &DIContainer::bootstrapFinished);
        finished.wait(10000);
    }
    return app;
}

} // namespace kivo::test
