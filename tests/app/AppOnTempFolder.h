#pragma once

#include "app/DIContainer.h"
#include "app/TavrenMediaStudioApp.h"
#include "engines/library/LibraryEngineImpl.h"
#include "engines/playback/FakeAudioPlayer.h"
#include "platform/ReduceMotionSource.h"
#include "platform/UserDefaults.h"
#include "support/WavWriter.h"

#include <QDir>
#include <QSignalSpy>
#include <QUrl>
#include <memory>
#include <qcoro/qcorotask.h>

namespace kivo::test {

// The whole program over `folder`: its data, settings and home there and a
// fake player unless the test hands one in; the fake reports every file as
// 10 s long whatever it holds, so a test that needs the file's own length
// scripts it or hands in AudioPlayerFactory::createDefault() (real decoding,
// silent without a sound server). Returns once the start-up task has ended,
// or after 10 s; callers check isBootstrapFinished().
inline std::unique_ptr<TavrenMediaStudioApp> startAppIn(const QString& folder,
    std::shared_ptr<AudioPlayerFactory> players = std::make_shared<FakeAudioPlayerFactory>(),
    std::shared_ptr<ReduceMotionSource> reduceMotion = {})
{
    const QDir root(folder);
    root.mkpath(QStringLiteral("home"));
    auto app = std::make_unique<TavrenMediaStudioApp>(
        DIContainerOptions { root.filePath(QStringLiteral("data")),
            std::make_shared<SettingsUserDefaults>(root.filePath(QStringLiteral("settings.json"))),
            std::move(players), root.filePath(QStringLiteral("home")), std::move(reduceMotion) });
    if (!app->container().isBootstrapFinished()) {
        QSignalSpy finished(&app->container(), &DIContainer::bootstrapFinished);
        finished.wait(10000);
    }
    return app;
}

// Writes a short tone per name as `folder`/music/<name>.wav and imports them
// all through the library, as one drop would. False when a file could not be
// written.
inline bool importTones(
    TavrenMediaStudioApp& app, const QString& folder, const QStringList& names, double seconds)
{
    const QDir music(folder + QStringLiteral("/music"));
    music.mkpath(QStringLiteral("."));
    QList<QUrl> files;
    for (const QString& name : names) {
        const QString file = music.filePath(name + QStringLiteral(".wav"));
        if (!writeWav(file, { 8000, 1, seconds })) {
            return false;
        }
        files << QUrl::fromLocalFile(file);
    }
    QCoro::waitFor(app.container().libraryEngine().importFiles(files));
    return true;
}

} // namespace kivo::test
