#include "DatabaseTestSupport.h"
#include "model/DatabaseManagerImpl.h"
#include "model/PlaylistRecord.h"
#include "support/Await.h"
#include "support/TempDir.h"

#include <QFile>
#include <QFileInfo>
#include <cmath>
#include <cstdio>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <limits>
#include <sys/stat.h>

using namespace Qt::Literals::StringLiterals;
using ::testing::ElementsAre;

namespace kivo {
namespace {

using test::await;
using test::errorOf;

Track makeTrack(int n)
{
    const QString name = u"Song %1.mp3"_s.arg(n);
    return Track::make(QUuid::createUuid(), QUrl::fromLocalFile(u"/music/"_s + name), name,
        u"Song %1"_s.arg(n), 60.0 + n, Date { 700000000.0 + n });
}

QStringList titles(const QList<Track>& tracks)
{
    QStringList result;
    for (const Track& track : tracks) {
        result.push_back(track.title);
    }
    return result;
}

class DatabaseManagerTest : public test::TempDirTest {
protected:
    void SetUp() override
    {
        TempDirTest::SetUp();
        store = std::make_unique<TavrenDatabaseManager>(folder(), defaults);
    }

    QString folder() const { return path(u"data"_s); }
    QString file(const QString& name) const { return folder() + u'/' + name; }
    QByteArray bytes(const QString& name) const
    {
        QFile f(file(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
    void put(const QString& name, const QByteArray& content) const
    {
        writeFile(u"data/"_s + name, content);
    }

    std::shared_ptr<test::MemoryUserDefaults> defaults
        = std::make_shared<test::MemoryUserDefaults>();
    std::unique_ptr<TavrenDatabaseManager> store;
};

TEST_F(DatabaseManagerTest, ConstructionKeepsExistingFilesAndRefusesAFileAsFolder)
{
    // A fresh folder holds the four files, empty, which is no data.
    for (const QString& name : TavrenDatabaseManager::fileNames()) {
        EXPECT_EQ(bytes(name), "") << name.toStdString();
    }
    EXPECT_FALSE(QFileInfo::exists(file(u"library.sqlite"_s)));
    EXPECT_TRUE(await(store->loadAllTracks()).isEmpty());
    EXPECT_FALSE(store->loadPlaybackState());
    EXPECT_EQ(store->fetchStatistics(QUuid::createUuid()), PlaybackStatistics());
    put(u"tracks.json"_s, "[]");
    store = std::make_unique<TavrenDatabaseManager>(folder(), defaults);
    EXPECT_EQ(bytes(u"tracks.json"_s), "[]");

    const QString notAFolder = writeFile(u"occupied"_s, "a file");
    const auto error
        = errorOf<StoreFileError>([&] { TavrenDatabaseManager blocked(notAFolder, defaults); });
    ASSERT_TRUE(error);
    EXPECT_EQ(error->errorCase(), StoreFileError::Case::folderUnavailable);
    EXPECT_TRUE(error->description().contains(notAFolder));
    EXPECT_THROW(TavrenDatabaseManager(notAFolder + u"/below"_s, defaults), StoreFileError);
    EXPECT_EQ(QFile(notAFolder).size(), 6);
}

TEST_F(DatabaseManagerTest, SavesAndDeletesMatchTracksByID)
{
    QList<Track> tracks;
    for (int i = 0; i < 5; ++i) {
        tracks.push_back(makeTrack(i));
    }
    await(store->saveTracks(tracks));

    // A stored track keeps its place; one new id twice: the later value, appended.
    Track changed = tracks[3];
    changed.title = u"Changed"_s;
    Track fresh = makeTrack(9);
    Track freshAgain = fresh;
    freshAgain.title = u"Later value"_s;
    await(store->saveTracks({ changed, fresh, freshAgain }));
    EXPECT_THAT(titles(await(store->loadAllTracks())),
        ElementsAre(
            u"Song 0"_s, u"Song 1"_s, u"Song 2"_s, u"Changed"_s, u"Song 4"_s, u"Later value"_s));
    EXPECT_EQ(await(store->fetchTrack(changed.id)), changed);

    // Deleting unknown tracks rewrites the same list; only a given track's id matters.
    const QByteArray before = bytes(u"tracks.json"_s);
    await(store->deleteTracks({ makeTrack(4) }));
    EXPECT_EQ(bytes(u"tracks.json"_s), before);
    Track sameID = tracks[1];
    sameID.title = u"Something else"_s;
    await(store->deleteTracks({ sameID, changed, fresh }));
    EXPECT_THAT(
        titles(await(store->loadAllTracks())), ElementsAre(u"Song 0"_s, u"Song 2"_s, u"Song 4"_s));

    QFile::remove(file(u"tracks.json"_s));
    await(store->deleteTracks({ makeTrack(1) }));
    EXPECT_EQ(bytes(u"tracks.json"_s), "[]");
}

TEST_F(DatabaseManagerTest, OperationsStartedTogetherRunInCallOrder)
{
    // Neither save may read the list before the other has written it.
    auto first = store->saveTracks({ makeTrack(1) });
    auto second = store->saveTracks({ makeTrack(2) });
    auto removal = store->deleteTracks({});
    auto loaded = store->loadAllTracks();
    await(std::move(first));
    await(std::move(second));
    await(std::move(removal));
    EXPECT_THAT(titles(await(std::move(loaded))), ElementsAre(u"Song 1"_s, u"Song 2"_s));
}

TEST_F(DatabaseManagerTest, UndecodableTracksFailEveryTrackOperationAndKeepTheirBytes)
{
    const QByteArray garbage = "[{\"id\": not json";
    put(u"tracks.json"_s, garbage);
    EXPECT_THROW(await(store->loadAllTracks()), JsonCodingError);
    EXPECT_THROW(await(store->fetchTrack(QUuid::createUuid())), JsonCodingError);
    EXPECT_THROW(await(store->saveTracks({ makeTrack(1) })), JsonCodingError);
    EXPECT_THROW(await(store->deleteTracks({ makeTrack(1) })), JsonCodingError);
    EXPECT_EQ(bytes(u"tracks.json"_s), garbage);

    // A valid array with one bad record fails as a whole, naming the key.
    const QByteArray badRecord = "[{\"id\":\"8B0E3C8E-7D1A-4C4B-9F5E-2B2A1C3D4E5F\"}]";
    put(u"tracks.json"_s, badRecord);
    const auto error
        = errorOf<JsonCodingError>([&] { await(store->saveTracks({ makeTrack(1) })); });
    ASSERT_TRUE(error);
    EXPECT_EQ(error->keyPath(), u"[0].fileURL"_s);
    EXPECT_EQ(bytes(u"tracks.json"_s), badRecord);
}

TEST_F(DatabaseManagerTest, UnreadableFilesAreNeverReplaced)
{
    await(store->saveTracks({ makeTrack(1) }));
    // A folder in the file's place: a read failure that needs no permissions
    // (the tests may run as root).
    QFile::remove(file(u"tracks.json"_s));
    put(u"tracks.json/inside"_s, "keep");
    // A FIFO must neither hang a read nor count as an empty file.
    QFile::remove(file(u"playlists.json"_s));
    ASSERT_EQ(::mkfifo(QFile::encodeName(file(u"playlists.json"_s)).constData(), 0600), 0);

    // The library load fails rather than show an empty library; the other
    // loads show no data; changes fail with the read error and write nothing.
    EXPECT_THROW(await(store->loadAllTracks()), StoreFileError);
    EXPECT_TRUE(store->loadAllPlaylists().isEmpty());
    const auto error = errorOf<StoreFileError>([&] { await(store->saveTracks({ makeTrack(2) })); });
    ASSERT_TRUE(error);
    EXPECT_EQ(error->errorCase(), StoreFileError::Case::readFailed);
    EXPECT_EQ(error->path(), file(u"tracks.json"_s));
    EXPECT_TRUE(error->description().startsWith(u"The file \"tracks.json\" couldn't be read: "_s));
    EXPECT_THROW(await(store->deleteTracks({ makeTrack(1) })), StoreFileError);
    EXPECT_THROW(store->deletePlaylist(QUuid::createUuid()), StoreFileError);
    EXPECT_TRUE(QFileInfo(file(u"tracks.json"_s)).isDir());
    EXPECT_FALSE(QFileInfo(file(u"playlists.json"_s)).isFile());
    EXPECT_EQ(bytes(u"tracks.json/inside"_s), "keep");
}

// The store makes an empty "tracks.json" at first start; one it finds is cut
// short only while another store names a song.
TEST_F(DatabaseManagerTest, AnEmptyLibraryIsRefusedOnlyWhileTheSessionOrAPlaylistNamesASong)
{
    const QUuid song = QUuid::createUuid();
    PlaybackStateSnapshot namesNone;
    PlaybackStateSnapshot namesOne;
    namesOne.historyTrackIDs = { song };
    const auto session = [](const PlaybackStateSnapshot& snapshot) {
        return QByteArray::fromStdString(json::dump(snapshot.toJson()));
    };
    const auto playlist = [](const QList<QUuid>& trackIDs) {
        return storefile::encodeList(QList<PlaylistRecord> {
            { .id = QUuid::createUuid(), .name = u"A"_s, .trackIDs = trackIDs } });
    };
    const struct {
        const char* name;
        QByteArray session;
        QByteArray playlists;
        bool refused;
    } cases[] = {
        { "nothing else stored", "", "", false },
        { "both damaged", "{not json", "[{", false },
        { "both naming none", session(namesNone), playlist({}), false },
        { "a session naming one in its history", session(namesOne), "", true },
        { "a playlist naming one", "", playlist({ song }), true },
    };
    for (const auto& stored : cases) {
        SCOPED_TRACE(stored.name);
        put(u"tracks.json"_s, "");
        put(u"playback_state.json"_s, stored.session);
        put(u"playlist_records.json"_s, stored.playlists);
        store = std::make_unique<TavrenDatabaseManager>(folder(), defaults);
        if (stored.refused) {
            const auto error = errorOf<StoreFileError>([&] { await(store->loadAllTracks()); });
            ASSERT_TRUE(error);
            EXPECT_EQ(error->reason(), u"It is empty."_s);
            EXPECT_THROW(await(store->saveTracks({ makeTrack(1) })), StoreFileError);
            EXPECT_EQ(bytes(u"tracks.json"_s), "");
        } else {
            EXPECT_TRUE(await(store->loadAllTracks()).isEmpty());
            await(store->saveTracks({ makeTrack(1) }));
            EXPECT_EQ(await(store->loadAllTracks()).size(), 1);
        }
    }

    // While a playlist still names a song: one the store made itself, at
    // construction or erasing, holds nothing to lose; the next store finds it.
    QFile::remove(file(u"tracks.json"_s));
    store = std::make_unique<TavrenDatabaseManager>(folder(), defaults);
    EXPECT_EQ(bytes(u"tracks.json"_s), "");
    EXPECT_TRUE(await(store->loadAllTracks()).isEmpty());
    await(store->saveTracks({ makeTrack(1) }));
    await(store->eraseAllData());
    EXPECT_TRUE(await(store->loadAllTracks()).isEmpty());
    store = std::make_unique<TavrenDatabaseManager>(folder(), defaults);
    EXPECT_THROW(await(store->loadAllTracks()), StoreFileError);
}

TEST_F(DatabaseManagerTest, ASaveOverItsOwnFileMatchesAFullRewriteAndAChangedFileIsReadAgain)
{
    QList<Track> tracks;
    for (int i = 0; i < 4; ++i) {
        tracks.push_back(makeTrack(i));
    }
    await(store->saveTracks(tracks));

    // The file the store wrote: edits, additions and removals come out as
    // the whole list encoded afresh.
    tracks[2].title = u"Edited"_s;
    const Track added = makeTrack(7);
    await(store->saveTracks({ tracks[2], added, tracks[0] }));
    tracks.push_back(added);
    EXPECT_EQ(bytes(u"tracks.json"_s), storefile::encodeList(tracks));
    await(store->deleteTracks({ tracks[1], tracks[3] }));
    tracks.remove(3);
    tracks.remove(1);
    EXPECT_EQ(bytes(u"tracks.json"_s), storefile::encodeList(tracks));

    // Another program puts a valid list of the same size in its place: the
    // save merges into that list, not into the one the store wrote.
    QList<Track> theirs = tracks;
    theirs[0].title = u"Theirs"_s.leftJustified(tracks[0].title.size(), u'.');
    const QByteArray theirBytes = storefile::encodeList(theirs);
    ASSERT_EQ(theirBytes.size(), bytes(u"tracks.json"_s).size());
    put(u"theirs.json"_s, theirBytes);
    ASSERT_EQ(std::rename(QFile::encodeName(file(u"theirs.json"_s)).constData(),
                  QFile::encodeName(file(u"tracks.json"_s)).constData()),
        0);
    tracks[1].title = u"Ours"_s;
    await(store->saveTracks({ tracks[1] }));
    theirs[1] = tracks[1];
    EXPECT_EQ(bytes(u"tracks.json"_s), storefile::encodeList(theirs));

    // Damaged in place, or removed: as for any file the store does not know.
    const QByteArray garbage = "[{\"id\": not json";
    put(u"tracks.json"_s, garbage);
    EXPECT_THROW(await(store->saveTracks({ added })), JsonCodingError);
    EXPECT_THROW(await(store->deleteTracks({ added })), JsonCodingError);
    EXPECT_EQ(bytes(u"tracks.json"_s), garbage);
    QFile::remove(file(u"tracks.json"_s));
    await(store->saveTracks({ added }));
    EXPECT_EQ(bytes(u"tracks.json"_s), storefile::encodeList(QList<Track> { added }));
}

// A record kept in a save is copied as it stands only when that is exactly its
// encoding; any other is written as the encoder writes what was read, so a
// date given at reading is the one stored.
TEST_F(DatabaseManagerTest, ASaveLeavesEveryRecordInTheEncodersFormWithTheDateGivenAtReading)
{
    for (const int count : { 3, 600 }) { // decoded whole, and record by record
        SCOPED_TRACE(count);
        QList<Track> tracks;
        for (int i = 0; i < count; ++i) {
            tracks.push_back(makeTrack(i));
        }
        Json undated = tracks[0].toJson();
        undated.erase("dateAdded");
        Json spaced = tracks[1].toJson();
        spaced["extra"] = nullptr;
        QByteArray text = storefile::encodeList(tracks.mid(2));
        text.insert(1, QByteArray::fromStdString(undated.dump() + ", " + spaced.dump(1) + ","));
        put(u"tracks.json"_s, text);
        store = std::make_unique<TavrenDatabaseManager>(folder(), defaults);
        QList<Track> loaded = await(store->loadAllTracks());
        ASSERT_EQ(loaded.size(), count);
        loaded[2].title = u"Edited"_s;
        await(store->saveTracks({ loaded[2] }));
        EXPECT_EQ(bytes(u"tracks.json"_s), storefile::encodeList(loaded));

        store = std::make_unique<TavrenDatabaseManager>(folder(), defaults);
        EXPECT_EQ(await(store->loadAllTracks()), loaded);
    }
}

TEST_F(DatabaseManagerTest, PlaylistsRoundTripAndDeleteKeepsOrder)
{
    Playlist a = Playlist::make(QUuid::createUuid(), u"A"_s, PlaylistType::standard());
    Playlist b = Playlist::make(QUuid::createUuid(), u"B"_s, PlaylistType::smart(u"rating > 3"_s));
    Playlist c = Playlist::make(QUuid::createUuid(), u"C"_s, PlaylistType::folder());
    c.childrenIDs = { a.id };
    store->savePlaylists({ a, b, c });
    store->deletePlaylist(b.id);
    EXPECT_EQ(store->loadAllPlaylists(), (QList<Playlist> { a, c }));

    put(u"playlists.json"_s, "{}");
    EXPECT_THROW(store->loadAllPlaylists(), JsonCodingError);
    EXPECT_THROW(store->deletePlaylist(a.id), JsonCodingError);
    EXPECT_EQ(bytes(u"playlists.json"_s), "{}");
}

TEST_F(DatabaseManagerTest, PlaybackHistoryCountsPlaysAndKeepsTheLatestTime)
{
    const QUuid song = QUuid::createUuid();
    for (const double time : { 100.0, 300.0, 300.0, 200.0 }) {
        store->recordPlayback(song, Date { time });
    }
    store->recordPlayback(QUuid::createUuid(), Date { 900 });
    EXPECT_EQ(store->fetchStatistics(song), (PlaybackStatistics { 4, Date { 300 } }));

    // An undecodable history is kept rather than restarted; it counts as empty.
    put(u"playback_history.json"_s, "[{\"trackID\":1}]");
    store->recordPlayback(song, Date { 400 });
    EXPECT_EQ(bytes(u"playback_history.json"_s), "[{\"trackID\":1}]");
    EXPECT_EQ(store->fetchStatistics(song), PlaybackStatistics());
}

TEST_F(DatabaseManagerTest, EraseAllDataEmptiesTheFilesAndStopsAtTheFirstFailedRemoval)
{
    await(store->saveTracks({ makeTrack(1) }));
    store->recordPlayback(QUuid::createUuid(), Date { 1 });
    await(store->eraseAllData());
    for (const QString& name : TavrenDatabaseManager::fileNames()) {
        EXPECT_EQ(bytes(name), "") << name.toStdString();
    }

    // A missing "playlists.json" fails its removal: what went before stays
    // removed, nothing is made again, what comes after is left as it is.
    await(store->saveTracks({ makeTrack(1) }));
    store->recordPlayback(QUuid::createUuid(), Date { 1 });
    QFile::remove(file(u"playlists.json"_s));
    const auto error = errorOf<StoreFileError>([&] { await(store->eraseAllData()); });
    ASSERT_TRUE(error);
    EXPECT_EQ(error->errorCase(), StoreFileError::Case::removeFailed);
    EXPECT_EQ(error->path(), file(u"playlists.json"_s));
    EXPECT_EQ(bytes(u"tracks.json"_s), "<missing>");
    EXPECT_EQ(bytes(u"playlists.json"_s), "<missing>");
    EXPECT_NE(bytes(u"playback_history.json"_s), "");
    EXPECT_EQ(bytes(u"playback_state.json"_s), "");
}

TEST_F(DatabaseManagerTest, PlaybackStateRoundTripsAndABadSnapshotKeepsThePreviousOne)
{
    PlaybackStateSnapshot snapshot;
    snapshot.currentTrackID = QUuid::createUuid();
    snapshot.upcomingTrackIDs = { QUuid::createUuid() };
    snapshot.repeatMode = u"all"_s;
    snapshot.shuffleMode = u"off"_s;
    snapshot.currentTime = 12.5;
    snapshot.volume = 0.8f;
    store->savePlaybackState(snapshot);
    EXPECT_EQ(store->loadPlaybackState(), snapshot);

    const QByteArray saved = bytes(u"playback_state.json"_s);
    PlaybackStateSnapshot broken = snapshot;
    broken.currentTime = std::numeric_limits<double>::infinity();
    EXPECT_THROW(store->savePlaybackState(broken), JsonCodingError);
    EXPECT_EQ(bytes(u"playback_state.json"_s), saved);

    // Changed behind the store's back after its own write: read before it is
    // replaced, and kept when it does not decode.
    const QByteArray damaged
        = "{\"upcomingTrackIDs\":[],\"historyTrackIDs\":[],"
          "\"repeatMode\":\"off\",\"shuffleMode\":\"off\",\"isPlaying\":false}";
    put(u"playback_state.json"_s, damaged);
    EXPECT_THROW(store->savePlaybackState(snapshot), JsonCodingError);
    EXPECT_EQ(bytes(u"playback_state.json"_s), damaged);
    const auto error = errorOf<JsonCodingError>([&] { store->loadPlaybackState(); });
    ASSERT_TRUE(error);
    EXPECT_EQ(error->keyPath(), u"currentTime"_s);
}

TEST_F(DatabaseManagerTest, PreferencesKeepTheirJsonTypes)
{
    store->setPreference(u"text"_s, u"name"_s);
    store->setPreference(240.5, u"width"_s);
    store->setPreference(qint64(7), u"count"_s);
    store->setPreference(true, u"enabled"_s);
    store->setPreference(QStringList { u"a"_s, u"b"_s }, u"columns"_s);

    EXPECT_EQ(store->getPreference<QString>(u"name"_s), u"text"_s);
    EXPECT_EQ(store->getPreference<double>(u"width"_s), 240.5);
    EXPECT_EQ(store->getPreference<qint64>(u"count"_s), 7);
    EXPECT_EQ(store->getPreference<bool>(u"enabled"_s), true);
    EXPECT_EQ(store->getPreference<QStringList>(u"columns"_s), (QStringList { u"a"_s, u"b"_s }));
    EXPECT_EQ(defaults->dataValue(u"name"_s), QByteArray("\"text\""));

    // Another type than the stored one, a missing key or bytes that are not
    // JSON give nothing.
    EXPECT_FALSE(store->getPreference<double>(u"name"_s));
    EXPECT_FALSE(store->getPreference<qint64>(u"width"_s));
    EXPECT_FALSE(store->getPreference<bool>(u"missing"_s));
    defaults->setValue(u"junk"_s, QByteArray("{"));
    EXPECT_FALSE(store->getPreference<Json>(u"junk"_s));
    defaults->setValue(u"notBytes"_s, true);
    EXPECT_FALSE(store->getPreference<bool>(u"notBytes"_s));

    // Records keep their JSON form; a non-finite number is refused.
    const Playlist playlist = Playlist::make(QUuid::createUuid(), u"P"_s, PlaylistType::folder());
    store->setPreference(playlist, u"playlist"_s);
    EXPECT_EQ(store->getPreference<Playlist>(u"playlist"_s), playlist);
    EXPECT_FALSE(store->getPreference<Track>(u"playlist"_s));
    EXPECT_THROW(store->setPreference(std::nan(""), u"width"_s), JsonCodingError);
    EXPECT_EQ(store->getPreference<double>(u"width"_s), 240.5);
}

} // namespace
} // namespace kivo
