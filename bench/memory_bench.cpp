// Resident memory of the engine graph once the library is published and the
// session restored, at 10,000, 100,000 and 200,000 songs: the peak (VmHWM)
// and what stays resident a moment later, and the cost per song between the
// smallest and the largest library. Target: at most 2.0 KiB per song at the
// peak, under 250 MB at 100,000 songs and under 450 MB at 200,000.
//
// Each size is written and then measured by a process of its own, so that
// neither the generator's memory nor another size's peak is counted.
//   bench_memory_bench                      all sizes, with the summary
//   bench_memory_bench --songs N            one size
//   bench_memory_bench --write N FOLDER     (child) writes the store
//   bench_memory_bench --measure FOLDER     (child) starts up on it
#include "ChildProcess.h"
#include "ProcessMemory.h"
#include "SyntheticStore.h"
#include "app/DIContainer.h"
#include "engines/library/LibraryEngineImpl.h"
#include "model/DatabaseManagerImpl.h"
#include "platform/UserDefaults.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>

using namespace kivo;
using namespace Qt::Literals::StringLiterals;

namespace {

using bench::runChild;
using bench::statusKiB;

std::shared_ptr<UserDefaults> defaultsIn(const QString& folder)
{
    return std::make_shared<SettingsUserDefaults>(folder + u"/settings.json"_s);
}

int writeStore(int count, const QString& folder)
{
    bench::writeSyntheticStore(folder + u"/data"_s, defaultsIn(folder), count, count / 2);
    return 0;
}

// Prints "baseline peak settled tracks milliseconds" (memory in KiB).
int measure(const QString& folder)
{
    const qint64 baseline = statusKiB("VmRSS");
    QElapsedTimer timer;
    timer.start();
    DIContainer container(
        { folder + u"/data"_s, defaultsIn(folder), nullptr, folder + u"/home"_s });
    QEventLoop loop;
    QObject::connect(&container, &DIContainer::bootstrapFinished, &loop, &QEventLoop::quit);
    if (!container.isBootstrapFinished()) {
        loop.exec();
    }
    const qint64 elapsed = timer.elapsed();
    const qint64 peak = statusKiB("VmHWM");
    // Settled: once the workers have gone quiet.
    QTimer::singleShot(1000, &loop, &QEventLoop::quit);
    loop.exec();
    std::printf("%lld %lld %lld %lld %lld\n", static_cast<long long>(baseline),
        static_cast<long long>(peak), static_cast<long long>(statusKiB("VmRSS")),
        static_cast<long long>(container.libraryEngine().allTracks().size()),
        static_cast<long long>(elapsed));
    return 0;
}

struct Figures {
    int songs = 0;
    qint64 baseline = 0;
    qint64 peak = 0;
    qint64 settled = 0;
    qint64 tracks = 0;
    qint64 milliseconds = 0;
};

std::optional<Figures> runSize(int songs)
{
    QTemporaryDir dir;
    runChild({ u"--write"_s, QString::number(songs), dir.path() });
    const QList<QByteArray> fields = runChild({ u"--measure"_s, dir.path() }).trimmed().split(' ');
    if (fields.size() != 5) {
        return std::nullopt;
    }
    Figures figures { songs, fields[0].toLongLong(), fields[1].toLongLong(), fields[2].toLongLong(),
        fields[3].toLongLong(), fields[4].toLongLong() };
    std::printf("%7d songs: peak %7.1f MiB, settled %7.1f MiB (at start %5.1f MiB), %5.2f KiB "
                "per song at the peak, bootstrap %lld ms, %lld tracks\n",
        songs, double(figures.peak) / 1024, double(figures.settled) / 1024,
        double(figures.baseline) / 1024, double(figures.peak - figures.baseline) / songs,
        static_cast<long long>(figures.milliseconds), static_cast<long long>(figures.tracks));
    std::fflush(stdout);
    return figures;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments().mid(1);
    if (arguments.size() == 3 && arguments[0] == u"--write"_s) {
        return writeStore(arguments[1].toInt(), arguments[2]);
    }
    if (arguments.size() == 2 && arguments[0] == u"--measure"_s) {
        return measure(arguments[1]);
    }
    QList<int> sizes { 10000, 100000, 200000 };
    if (arguments.size() == 2 && arguments[0] == u"--songs"_s) {
        sizes = { arguments[1].toInt() };
    }
    QList<Figures> all;
    for (const int songs : sizes) {
        const std::optional<Figures> figures = runSize(songs);
        if (!figures) {
            return 1;
        }
        all.push_back(*figures);
    }
    if (all.size() > 1) {
        const Figures& first = all.front();
        const Figures& last = all.back();
        const double songs = last.songs - first.songs;
        std::printf("slope %d..%d songs: %.2f KiB per song at the peak, %.2f KiB settled\n",
            first.songs, last.songs, double(last.peak - first.peak) / songs,
            double(last.settled - first.settled) / songs);
    }
    return 0;
}
