#include "QueueEngineTestSupport.h"

#include "model/DatabaseManagerImpl.h"
#include "model/DatabaseTestSupport.h"
#include "support/TempDir.h"

#include <QFile>
#include <QSignalSpy>

using namespace Qt::Literals::StringLiterals;

namespace kivo::test {
namespace {

TEST_F(QueueEngineTest, TimeUpdatesSaveAtMostOnceASecond)
{
    auto now = std::chrono::steady_clock::now();
    queue.setClock([&] { return now; });
    for (int i = 0; i < 100; ++i) {
        queue.audioEngineDidUpdateCurrentTime(audio, i * 0.05);
        now += std::chrono::milliseconds(50);
    }
    EXPECT_EQ(saves().size(), 5); // at 0, 1, 2, 3 and 4 seconds
}

TEST_F(QueueEngineTest, PersistenceErrorFollowsTheLatestSave)
{
    QSignalSpy changes(&queue, &QueueEngine::lastPersistenceErrorChanged);
    database->failures = 1;
    queue.setRepeatMode(RepeatMode::all);
    ASSERT_TRUE(changes.wait());
    EXPECT_EQ(describeError(queue.lastPersistenceError()), u"The disk is full.");
    queue.setRepeatMode(RepeatMode::all); // the same mode does not save
    queue.setRepeatMode(RepeatMode::off);
    ASSERT_TRUE(changes.wait());
    EXPECT_FALSE(queue.lastPersistenceError());

    // The failure of an earlier save, reported late, does not hide the
    // success of the synchronous one written after it.
    database->failures = 1;
    queue.savePlaybackState(false);
    queue.savePlaybackState(true);
    QCoreApplication::processEvents();
    EXPECT_FALSE(queue.lastPersistenceError());
    EXPECT_EQ(changes.size(), 2);
}

TEST_F(QueueEngineTest, HeldSavesWriteNothingAndReleasingWritesWhatWasHeldBack)
{
    queue.holdSessionSaves();
    queue.playNow(list("AB"), 0);
    queue.setRepeatMode(RepeatMode::all);
    queue.savePlaybackState(true);
    EXPECT_TRUE(database->saved.isEmpty());
    queue.releaseSessionSaves();
    const QList<PlaybackStateSnapshot> written = saves();
    ASSERT_EQ(written.size(), 1);
    EXPECT_EQ(written[0].currentTrackID, tracks[0].id);
    EXPECT_EQ(written[0].repeatMode, u"all");

    queue.holdSessionSaves();
    queue.releaseSessionSaves();
    EXPECT_EQ(saves().size(), 0);
}

// Finds songs of `library` by id, noting every id asked for.
TrackLookup lookupIn(const QList<Track>& library, QList<QUuid>* asked = nullptr)
{
    return [&library, asked](const QUuid& id) -> const Track* {
        if (asked) {
            asked->push_back(id);
        }
        const auto found = std::find_if(
            library.cbegin(), library.cend(), [&](const Track& track) { return track.id == id; });
        return found == library.cend() ? nullptr : &*found;
    };
}

TEST_F(QueueEngineTest, ResolvingASessionSkipsWhatTheLibraryLostAndAsksOnlyForSavedSongs)
{
    const QUuid gone = QUuid::createUuid();
    PlaybackStateSnapshot saved { gone, { gone, tracks[1].id, tracks[0].id, tracks[1].id },
        // The play order keeps only songs of the other lists: not D, though
        // the library has it.
        { tracks[0].id, tracks[2].id, gone },
        QList { tracks[2].id, gone, tracks[3].id, tracks[1].id }, u"loop"_s, u"smart"_s, 42.5, true,
        1.7f, {} };
    QList<QUuid> asked;
    auto session = resolvePlaybackSession(saved, lookupIn(tracks, &asked));
    ASSERT_TRUE(session);
    // No table of the whole library: each saved id is looked up, no more.
    EXPECT_LE(asked.size(), 1 + 4 + 3 + 3);
    EXPECT_TRUE(std::all_of(asked.cbegin(), asked.cend(), [&](const QUuid& id) {
        return id == gone || id == tracks[0].id || id == tracks[1].id || id == tracks[2].id;
    }));
    const auto named = [&](const QList<QUuid>& ids) {
        QStringList names;
        for (const QUuid& id : ids) {
            names.push_back(lookupIn(tracks)(id)->title);
        }
        return names.join(u' ');
    };
    EXPECT_EQ(QStringList({ session->currentTrack.title, named(session->upcoming),
                              named(session->history), named(*session->playbackOrder) })
                  .join(u'|'),
        u"B|A|A C|C B");
    EXPECT_EQ(session->repeatMode, RepeatMode::off);
    EXPECT_EQ(session->shuffleMode, ShuffleMode::smart);
    EXPECT_EQ(session->volume, 1.0f);

    saved.upcomingTrackIDs = { gone }; // the history alone restores nothing
    EXPECT_FALSE(resolvePlaybackSession(saved, lookupIn(tracks)));
}

TEST_F(QueueEngineTest, RestoringNeitherSavesNorTouchesTheAudioEngine)
{
    // A play order without the current track gives history, current, upcoming.
    queue.restorePlaybackSession(
        tracks[1], list("ABC"), list("BD"), RepeatMode::all, ShuffleMode::off, list("AC"));
    EXPECT_EQ(state(), u"B | A C | D | A C | D B A C");
    EXPECT_EQ(queue.repeatMode(), RepeatMode::all);
    // A standard shuffle is drawn anew; the saved order keeps its duplicates.
    queue.restorePlaybackSession(
        tracks[2], list("AA"), {}, RepeatMode::off, ShuffleMode::standard, list("ACAE"));
    EXPECT_EQ(state(), u"C | A A |  | A A | A C A");
    EXPECT_EQ(saves().size(), 0);
    EXPECT_TRUE(audio.take().isEmpty());
}

class QueueSessionFileTest : public TempDirTest { };

QString keysOf(const QString& path)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    QStringList keys;
    const Json object = Json::parse(file.readAll().toStdString());
    for (auto it = object.begin(); it != object.end(); ++it) {
        keys << QString::fromStdString(it.key());
    }
    return keys.join(u' ');
}

TEST_F(QueueSessionFileTest, SessionFileLeavesOutWhatIsAbsentAndComesBackUnplayed)
{
    auto database
        = std::make_shared<TavrenDatabaseManager>(path(), std::make_shared<MemoryUserDefaults>());
    ScriptedAudioEngine audio;
    audio.engineVolume = 0.25f;
    TavrenQueueEngine queue(database);
    queue.savePlaybackState(true);
    EXPECT_EQ(keysOf(database->playbackStateFilePath()),
        u"upcomingTrackIDs historyTrackIDs playbackOrderTrackIDs repeatMode shuffleMode "
        u"currentTime isPlaying savedAt");
    auto saved = database->loadPlaybackState();
    EXPECT_EQ(saved->playbackOrderTrackIDs, QList<QUuid>());
    EXPECT_FALSE(saved->isPlaying || saved->currentTime != 0);

    const QList<Track> library { makeTrack(u"A"_s), makeTrack(u"B"_s) };
    queue.setAudioEngine(&audio);
    queue.playNow(library, 1);
    audio.time = 42.5;
    queue.savePlaybackState(true);
    EXPECT_EQ(keysOf(database->playbackStateFilePath()),
        u"currentTrackID upcomingTrackIDs historyTrackIDs playbackOrderTrackIDs repeatMode "
        u"shuffleMode currentTime isPlaying volume savedAt");

    // The composition root loads this track at this time, without playing.
    const auto session = resolvePlaybackSession(*database->loadPlaybackState(), lookupIn(library));
    EXPECT_EQ(session->currentTrack, library[1]);
    EXPECT_EQ(session->currentTime, 42.5);
    EXPECT_EQ(session->volume, 0.25f);
}

} // namespace
} // namespace kivo::test
