// Start-up of the engine graph on a 100,000-track library: from building the
// container to the end of its bootstrap (library published, session restored).
#include "SyntheticStore.h"
#include "app/DIContainer.h"
#include "engines/library/LibraryEngineImpl.h"
#include "model/DatabaseManagerImpl.h"
#include "platform/UserDefaults.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>

using namespace kivo;
using namespace Qt::Literals::StringLiterals;

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    const QString data = dir.filePath(u"data"_s);
    auto defaults = std::make_shared<SettingsUserDefaults>(dir.filePath(u"settings.json"_s));
    bench::writeSyntheticStore(data, defaults, 100000, 500);

    const int runs = 3;
    for (int run = 0; run < runs; ++run) {
        QElapsedTimer timer;
        timer.start();
        DIContainer container({ data, defaults, nullptr, dir.filePath(u"home"_s) });
        const qint64 built = timer.elapsed();
        qint64 published = -1;
        QObject::connect(&container.libraryEngine(), &LibraryEngine::tracksChanged, &container,
            [&] { published = published < 0 ? timer.elapsed() : published; });
        QEventLoop loop;
        QObject::connect(&container, &DIContainer::bootstrapFinished, &loop, &QEventLoop::quit);
        if (!container.isBootstrapFinished()) {
            loop.exec();
        }
        std::printf("run %d: built in %lld ms, library published in %lld ms, session restored in "
                    "%lld ms (%lld tracks)\n",
            run + 1, static_cast<long long>(built), static_cast<long long>(published),
            static_cast<long long>(timer.elapsed()),
            static_cast<long long>(container.libraryEngine().allTracks().size()));
    }
    return 0;
}
