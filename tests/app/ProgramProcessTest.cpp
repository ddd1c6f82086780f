// The program itself, run as a child process on a temporary home.
#include "app/SingleInstance.h"
#include "support/TempDir.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QThread>
#include <functional>
#include <gtest/gtest.h>
#include <signal.h>

using namespace Qt::Literals::StringLiterals;

namespace kivo {
namespace {

constexpr int timeoutMs = 30000;

bool waitFor(const std::function<bool()>& condition)
{
    const QDeadlineTimer deadline(timeoutMs);
    while (!condition()) {
        if (deadline.hasExpired()) {
            return false;
        }
        QThread::msleep(50);
    }
    return true;
}

class ProgramProcessTest : public test::TempDirTest {
protected:
    void SetUp() override
    {
        TempDirTest::SetUp();
        for (const QString& name : { u"home"_s, u"share"_s, u"config"_s, u"runtime"_s }) {
            QDir(path()).mkdir(name);
        }
        QFile::setPermissions(
            path(u"runtime"_s), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    QString dataFile(const QString& name) const
    {
        return path(u"share/TavrenMediaStudio/"_s + name);
    }

    std::unique_ptr<QProcess> start(
        QProcess::ProcessChannelMode channels = QProcess::ForwardedChannels,
        bool underNohup = false) const
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(u"HOME"_s, path(u"home"_s));
        environment.insert(u"XDG_DATA_HOME"_s, path(u"share"_s));
        environment.insert(u"XDG_CONFIG_HOME"_s, path(u"config"_s));
        environment.insert(u"XDG_RUNTIME_DIR"_s, path(u"runtime"_s));
        environment.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
        environment.insert(u"QT_LOGGING_RULES"_s, u"Halvern.KIVO-VOVID.App.debug=true"_s);
        auto program = std::make_unique<QProcess>();
        program->setProcessEnvironment(environment);
        program->setProcessChannelMode(channels);
        if (underNohup) {
            // nohup starts it with hang-ups ignored, in the same process.
            program->start(u"nohup"_s, { QStringLiteral(KIVO_PROGRAM_PATH) });
        } else {
            program->start(QStringLiteral(KIVO_PROGRAM_PATH), {});
        }
        return program;
    }

    // Until start-up has put the saved session back, a quit must keep it.
    // `said` collects what the program logs.
    static bool waitForStartUp(QProcess& program, QByteArray* said = nullptr)
    {
        QByteArray log;
        const QDeadlineTimer deadline(timeoutMs);
        while (!log.contains("Start-up finished") && !deadline.hasExpired()) {
            program.waitForReadyRead(50);
            log += program.readAllStandardError();
        }
        if (said) {
            *said = log;
        }
        return log.contains("Start-up finished");
    }

    // The program listens for later starts once it holds its data folder.
    bool isListening() const
    {
        const QString name = QFileInfo(SingleInstance::serverName(dataFile({}))).fileName();
        return QFileInfo::exists(path(u"runtime/"_s + name));
    }
};

TEST_F(ProgramProcessTest, ASecondStartLeavesTheFirstAloneAndATermSignalSavesTheSession)
{
    const QString id = u"8B0E3C8E-7D1A-4C4B-9F5E-2B2A1C3D4E5F"_s;
    writeFile(u"share/TavrenMediaStudio/.tracks.json.3fa2c1.tmp"_s, "killed save");
    writeFile(u"share/TavrenMediaStudio/ArtworkCache/.original_%1.raw.9.tmp"_s.arg(id), "killed");
    writeFile(
        u"share/TavrenMediaStudio/WaveformCache/.waveform_%1_64.json.ffffffff.tmp"_s.arg(id), "");
    // Names only: a user's files that look like temporary ones stay.
    writeFile(u"share/TavrenMediaStudio/tracks.json.bak.tmp"_s, "the user's");
    writeFile(u"share/TavrenMediaStudio/.notes.txt.cafe.tmp"_s, "the user's");
    writeFile(u"share/TavrenMediaStudio/ArtworkCache/.AB12.png.9.tmp"_s, "the user's");

    const std::unique_ptr<QProcess> first = start(QProcess::ForwardedOutputChannel);
    ASSERT_TRUE(first->waitForStarted());
    ASSERT_TRUE(waitFor([&] { return isListening(); }));
    // Removed once the folder is held, before the stores are read.
    const auto temporaryFiles = [&](const QString& folder) {
        return QDir(dataFile(folder)).entryList({ u".*.tmp"_s }, QDir::Files | QDir::Hidden);
    };
    EXPECT_TRUE(
        waitFor([&] { return temporaryFiles({}) == QStringList { u".notes.txt.cafe.tmp"_s }; }));
    EXPECT_EQ(temporaryFiles(u"ArtworkCache"_s), QStringList { u".AB12.png.9.tmp"_s });
    EXPECT_TRUE(QDir(dataFile(u"WaveformCache"_s))
                    .isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
    EXPECT_TRUE(QFileInfo::exists(dataFile(u"tracks.json.bak.tmp"_s)));

    const std::unique_ptr<QProcess> second = start();
    ASSERT_TRUE(second->waitForFinished(timeoutMs));
    EXPECT_EQ(second->exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second->exitCode(), 0);
    EXPECT_EQ(first->state(), QProcess::Running);

    // Made empty at start-up; only a save fills it.
    const QString session = dataFile(u"playback_state.json"_s);
    ASSERT_TRUE(waitFor([&] { return QFileInfo(session).isFile(); }));
    ASSERT_EQ(QFileInfo(session).size(), 0);
    ASSERT_TRUE(waitForStartUp(*first));
    ::kill(pid_t(first->processId()), SIGTERM);
    ASSERT_TRUE(first->waitForFinished(timeoutMs));
    EXPECT_EQ(first->exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(first->exitCode(), 0);
    EXPECT_TRUE(QFileInfo(dataFile(u"playback_state.json"_s)).size() > 0);
}

TEST_F(ProgramProcessTest, AHangUpIgnoredByWhoeverStartedItIsIgnored)
{
    const std::unique_ptr<QProcess> program = start(QProcess::ForwardedOutputChannel, true);
    ASSERT_TRUE(program->waitForStarted());
    QByteArray said;
    ASSERT_TRUE(waitForStartUp(*program, &said));
    // An ignored signal is dropped when sent; a caught one would be handled
    // before the later SIGTERM, which has the higher number.
    ::kill(pid_t(program->processId()), SIGHUP);
    ::kill(pid_t(program->processId()), SIGTERM);
    ASSERT_TRUE(program->waitForFinished(timeoutMs));
    said += program->readAllStandardError();
    EXPECT_EQ(program->exitCode(), 0);
    const auto endedOn = [&said](int signalNumber) {
        return said.contains("Ending on signal " + QByteArray::number(signalNumber) + '\n');
    };
    EXPECT_TRUE(endedOn(SIGTERM));
    EXPECT_FALSE(endedOn(SIGHUP));
}

} // namespace
} // namespace kivo
