#include "app/DIContainer.h"
#include "engines/library/LibraryEngineImpl.h"
#include "engines/library/PlaylistEngine.h"
#include "engines/playback/AudioEngineImpl.h"
#include "engines/playback/FakeAudioPlayer.h"
#include "engines/playback/QueueEngineImpl.h"
#include "model/DatabaseManagerImpl.h"
#include "model/ErrorText.h"
#include "platform/UserDefaults.h"
#include "support/Await.h"
#include "support/TempDir.h"
#include "support/WavWriter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include <gtest/gtest.h>

using namespace kivo;
using namespace Qt::Literals::StringLiterals;

namespace {

class DIContainerTest : public test::TempDirTest {
protected:
    void SetUp() override
    {
        TempDirTest::SetUp();
        QDir().mkpath(path(u"data"_s));
        QDir().mkpath(path(u"home"_s));
        defaults = std::make_shared<SettingsUserDefaults>(path(u"settings.json"_s));
    }

    DIContainerOptions options() { return { path(u"data"_s), defaults, players, path(u"home"_s) }; }

    // Builds the container and waits for its start-up task.
    std::unique_ptr<DIContainer> boot()
    {
        auto container = std::make_unique<DIContainer>(options());
        if (!container->isBootstrapFinished()) {
            QSignalSpy finished(container.get(), &DIContainer::bootstrapFinished);
            EXPECT_TRUE(finished.wait(10000));
        }
        return container;
    }

    Track storedTrack(const QString& name)
    {
        const QString file = path(u"music/"_s + name + u".wav"_s);
        QDir().mkpath(path(u"music"_s));
        test::writeWav(file, { 8000, 1, 0.2 });
        return Track::make(QUuid::createUuid(), QUrl::fromLocalFile(file), name + u".wav"_s, name,
            0.2, Date::now());
    }

    // Writes the library and the saved session as a previous run left them.
    void storeSession(const QList<Track>& library, const PlaybackStateSnapshot& session)
    {
        TavrenDatabaseManager store(path(u"data"_s), defaults);
        test::await(store.saveTracks(library));
        store.savePlaybackState(session);
    }

    QByteArray readFile(const QString& relative) const
    {
        QFile file(path(relative));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(unreadable)");
    }

    std::shared_ptr<UserDefaults> defaults;
    std::shared_ptr<test::FakeAudioPlayerFactory> players
        = std::make_shared<test::FakeAudioPlayerFactory>();
};

} // namespace

TEST_F(DIContainerTest, FirstRunWithNothingStoredShowsNothingAndPlaysNothing)
{
    const auto container = boot();
    for (const QString& made :
        QStringList { u"ArtworkCache"_s, u"WaveformCache"_s, u"playlist_records.json"_s }
            + TavrenDatabaseManager::fileNames()) {
        EXPECT_TRUE(QFileInfo::exists(path(u"data/"_s + made))) << made.toStdString();
    }
    EXPECT_FALSE(container->recoveryMessage());
    EXPECT_TRUE(container->libraryEngine().allTracks().isEmpty());
    EXPECT_FALSE(container->queueEngine().currentTrack());
    EXPECT_EQ(players->openCalls, 0);
}

// Every store file is made empty at first start, and one never needed since
// stays so.
TEST_F(DIContainerTest, AFolderOfEmptyStoreFilesStartsCleanAndTakesAnImportAndAPlaylist)
{
    const QStringList stores = TavrenDatabaseManager::fileNames() << u"playlist_records.json"_s;
    for (const QString& name : stores) {
        writeFile(u"data/"_s + name, QByteArray());
    }
    const Track song = storedTrack(u"song"_s);
    {
        const auto container = boot();
        EXPECT_FALSE(container->recoveryMessage());
        ASSERT_EQ(container->libraryEngine().loadState(), LibraryLoadState::loaded);
        test::await(container->libraryEngine().importFiles({ song.fileURL }));
        ASSERT_EQ(container->libraryEngine().allTracks().size(), 1);
        container->playlistEngine().addTracks(container->libraryEngine().allTracks(),
            container->playlistEngine().createPlaylist(u"Mix"_s).id);
    }
    const auto container = boot();
    EXPECT_FALSE(container->recoveryMessage());
    EXPECT_EQ(container->libraryEngine().allTracks().size(), 1);
    ASSERT_EQ(container->playlistEngine().rootPlaylists().size(), 1);
    EXPECT_EQ(container->playlistEngine().rootPlaylists()[0].trackIDs.size(), 1);
}

TEST_F(DIContainerTest, FirstRunImportsAndPlaysTheFirstSampleThatExists)
{
    const QString folder = path(u"home/Music/Audio Music Apps/Samples/QUICK SAMPLER"_s);
    QDir().mkpath(folder);
    ASSERT_TRUE(test::writeWav(folder + u"/ANALOG B.wav"_s, { 8000, 1, 0.3 }));
    {
        const auto onlyB = boot();
        ASSERT_EQ(onlyB->libraryEngine().allTracks().size(), 1);
        EXPECT_EQ(onlyB->libraryEngine().allTracks()[0].filename, u"ANALOG B.wav"_s);
        EXPECT_TRUE(onlyB->audioEngine().isPlaying());
    }
    QDir(path(u"data"_s)).removeRecursively();
    QDir().mkpath(path(u"data"_s));
    ASSERT_TRUE(test::writeWav(folder + u"/ANALOG A.wav"_s, { 8000, 1, 0.3 }));

    const auto container = boot();
    const QList<Track> tracks = container->libraryEngine().allTracks();
    ASSERT_EQ(tracks.size(), 1);
    EXPECT_EQ(tracks[0].filename, u"ANALOG A.wav"_s);
    ASSERT_TRUE(container->queueEngine().currentTrack());
    EXPECT_EQ(container->queueEngine().currentTrack()->id, tracks[0].id);
    EXPECT_TRUE(container->audioEngine().isPlaying());
}

TEST_F(DIContainerTest, RestoresTheFirstSurvivingTrackPausedAtTheSavedTime)
{
    const Track kept = storedTrack(u"kept"_s);
    const Track earlier = storedTrack(u"earlier"_s);
    PlaybackStateSnapshot session;
    session.currentTrackID = QUuid::createUuid(); // deleted since
    session.upcomingTrackIDs = { QUuid::createUuid(), kept.id };
    session.historyTrackIDs = { earlier.id, kept.id };
    session.repeatMode = u"sometimes"_s;
    session.shuffleMode = u"standard"_s;
    session.currentTime = 0.1;
    session.isPlaying = true;
    session.volume = 1.7f;
    storeSession({ kept, earlier }, session);

    const auto container = boot();
    EXPECT_FALSE(container->recoveryMessage());
    QueueEngine& queue = container->queueEngine();
    ASSERT_TRUE(queue.currentTrack());
    EXPECT_EQ(queue.currentTrack()->id, kept.id);
    EXPECT_TRUE(queue.upcoming().isEmpty());
    ASSERT_EQ(queue.history().size(), 1);
    EXPECT_EQ(queue.history()[0].id, earlier.id);
    EXPECT_EQ(queue.repeatMode(), RepeatMode::off);
    EXPECT_EQ(queue.shuffleMode(), ShuffleMode::standard);
    EXPECT_EQ(container->audioEngine().volume(), 1.0f);
    EXPECT_FALSE(container->audioEngine().isPlaying());
    EXPECT_NEAR(container->audioEngine().currentTime(), 0.1, 1e-9);
}

TEST_F(DIContainerTest, TheSessionSurvivesSavesBeforeTheRestoreAndYieldsToTheUsersSong)
{
    const Track saved = storedTrack(u"saved"_s);
    const Track chosen = storedTrack(u"chosen"_s);
    PlaybackStateSnapshot session;
    session.currentTrackID = saved.id;
    session.repeatMode = session.shuffleMode = u"off"_s;
    storeSession({ saved, chosen }, session);
    {
        // A save made before the bootstrap reaches the restore (the window
        // losing focus) must not cost the saved session.
        auto container = std::make_unique<DIContainer>(options());
        container->queueEngine().savePlaybackState(true);
        QSignalSpy finished(container.get(), &DIContainer::bootstrapFinished);
        ASSERT_TRUE(container->isBootstrapFinished() || finished.wait(10000));
        ASSERT_TRUE(container->queueEngine().currentTrack());
        EXPECT_EQ(container->queueEngine().currentTrack()->id, saved.id);
    }
    storeSession({ saved, chosen }, session);
    auto container = std::make_unique<DIContainer>(options());
    container->queueEngine().playNow({ chosen }, 0);
    QSignalSpy finished(container.get(), &DIContainer::bootstrapFinished);
    ASSERT_TRUE(container->isBootstrapFinished() || finished.wait(10000));
    EXPECT_EQ(container->queueEngine().currentTrack()->id, chosen.id);
    EXPECT_TRUE(container->audioEngine().isPlaying());
}

TEST_F(DIContainerTest, SessionProblemsBecomeTheRecoveryMessage)
{
    {
        PlaybackStateSnapshot gone;
        gone.currentTrackID = QUuid::createUuid();
        gone.historyTrackIDs = { storedTrack(u"history"_s).id };
        gone.repeatMode = gone.shuffleMode = u"off"_s;
        storeSession({}, gone);
        const auto container = boot();
        EXPECT_EQ(container->recoveryMessage(),
            u"The last track is no longer available. Your library was left unchanged."_s);
        EXPECT_FALSE(container->queueEngine().currentTrack());
        container->dismissRecoveryMessage();
        EXPECT_FALSE(container->recoveryMessage());
    }
    {
        // Saved after an import, before anything was played: nothing to say.
        PlaybackStateSnapshot unplayed;
        unplayed.repeatMode = unplayed.shuffleMode = u"off"_s;
        storeSession({ storedTrack(u"imported"_s) }, unplayed);
        const auto container = boot();
        EXPECT_FALSE(container->recoveryMessage());
        EXPECT_FALSE(container->queueEngine().currentTrack());
    }
    {
        // Which file and why, in plain words, in the banner and the player's error.
        writeFile(u"data/playback_state.json"_s, "{not json");
        const auto container = boot();
        const QString described = u"The playback session file “playback_state.json” could not "
                                  u"be read. Its content is damaged. Nothing was changed."_s;
        EXPECT_EQ(container->recoveryMessage(), u"Playback could not be restored: "_s + described);
        EXPECT_EQ(describeError(container->queueEngine().lastPlaybackError()), described);
        container->queueEngine().savePlaybackState(true);
    }
    EXPECT_EQ(readFile(u"data/playback_state.json"_s), "{not json");
    QFile::remove(path(u"data/playback_state.json"_s));
    QDir().mkpath(path(u"data/playback_state.json"_s));
    const auto container = boot();
    EXPECT_EQ(container->recoveryMessage(),
        u"Playback could not be restored: The playback session file “playback_state.json” could "
        u"not be read. Is a directory. Nothing was changed."_s);
    EXPECT_TRUE(container->queueEngine().lastPlaybackError());
}

TEST_F(DIContainerTest, AFileWhereTheDataFolderBelongsIsABootFailure)
{
    writeFile(u"blocked"_s, "x");
    DIContainerOptions blocked = options();
    blocked.dataFolder = path(u"blocked"_s);
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT((void)DIContainer::createOrExit(blocked), testing::ExitedWithCode(EXIT_FAILURE),
        "CRITICAL BOOT FAILURE: Failed to initialize Studio graph: ");
}
