// Start-up of the whole program on a 100,000-track library, offscreen: from
// starting the process to the main window's first painted frame, and to the
// library being published. Each run is a fresh process over the same data.
//   bench_window_startup [runs]
#include "SyntheticStore.h"
#include "app/DIContainer.h"
#include "app/MainLayoutView.h"
#include "app/MainWindow.h"
#include "app/TavrenMediaStudioApp.h"
#include "engines/library/LibraryEngineImpl.h"
#include "model/DatabaseManagerImpl.h"
#include "platform/UserDefaults.h"
#include "ui/eon/EonAppearance.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>

using namespace kivo;
using namespace Qt::Literals::StringLiterals;

namespace {

constexpr int trackCount = 100000;

// Reports each step on its own line as soon as it happens; the parent times them.
class FirstFrameProbe : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && !m_painted) {
            m_painted = true;
            // Once this paint and its flush are done.
            QTimer::singleShot(0, this, [] {
                std::puts("painted");
                std::fflush(stdout);
            });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    bool m_painted = false;
};

int runChild(const QString& data, const QString& settings)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    int argc = 1;
    char name[] = "kivo-vovid";
    char* argv[] = { name, nullptr };
    QApplication application(argc, argv);
    applyEonAppearance();
    TavrenMediaStudioApp studio(
        DIContainerOptions { data, std::make_shared<SettingsUserDefaults>(settings), nullptr, {} });
    QObject::connect(&studio.container().libraryEngine(), &LibraryEngine::tracksChanged,
        &application, [](const QList<Track>& tracks) {
            if (tracks.size() >= trackCount) {
                std::puts("published");
                std::fflush(stdout);
            }
        });
    FirstFrameProbe probe;
    studio.mainWindow().layoutView().installEventFilter(&probe);
    studio.mainWindow().show();
    return QApplication::exec();
}

void prepare(const QString& data, const QString& settings)
{
    bench::writeSyntheticStore(
        data, std::make_shared<SettingsUserDefaults>(settings), trackCount, 500);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 4 && std::string_view(argv[1]) == "--child") {
        return runChild(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));
    }
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    QCoreApplication application(argc, argv);
    QTemporaryDir dir;
    const QString data = dir.filePath(u"data"_s);
    const QString settings = dir.filePath(u"settings.json"_s);
    prepare(data, settings);

    for (int run = 1; run <= runs; ++run) {
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        QElapsedTimer timer;
        timer.start();
        child.start(QCoreApplication::applicationFilePath(), { u"--child"_s, data, settings });
        qint64 painted = -1;
        qint64 published = -1;
        while ((painted < 0 || published < 0) && timer.elapsed() < 60000
            && child.state() != QProcess::NotRunning) {
            child.waitForReadyRead(100);
            while (child.canReadLine()) {
                const QByteArray line = child.readLine().trimmed();
                if (line == "painted" && painted < 0) {
                    painted = timer.elapsed();
                } else if (line == "published" && published < 0) {
                    published = timer.elapsed();
                }
            }
        }
        child.kill();
        child.waitForFinished();
        std::printf("run %d: first frame %lld ms, library of %d published %lld ms after process "
                    "start\n",
            run, static_cast<long long>(painted), trackCount, static_cast<long long>(published));
    }
    return 0;
}
