#pragma once

#include "model/DatabaseManager.h"
#include "model/StoreFile.h"

#include <QMutex>
#include <QThreadPool>
#include <memory>

namespace kivo {

class UserDefaults;

// The JSON store on files in one folder.
//
// The asynchronous operations read, decode, change, encode and atomically
// write "tracks.json" on one worker thread of their own, so the main thread
// never waits for 100,000 tracks to be parsed or written, and one at a time in
// call order, so a save never reads a list that an earlier save has not
// written yet. Each file also has a lock, held for a whole read-change-write,
// so the synchronous operations may run on any thread.
//
// A save never replaces a "tracks.json" that cannot be read and decoded. The
// store remembers the version of the file it last read whole or wrote itself,
// with each record's id and place in it: while the file on disk is still that
// version, a save copies the records it keeps from the file as they are and
// encodes only the given ones, without decoding the library again. A file
// changed, replaced or removed meanwhile is read and decoded whole first.
// Only a record whose text is exactly its encoding is copied: any other (with
// spaces, unknown keys or nulls, or read without a date added) is encoded from
// the values it was read as, so the file holds the encoder's form of every
// record after a save, and a date given at reading is kept. A session save
// likewise decodes the stored session first only when the file is not the
// version the store last wrote or read without error.
class TavrenDatabaseManager final : public DatabaseManager {
public:
    // `storageDirectory`: the data folder, created with its parents when
    // missing (default: storefile::defaultDataFolder()). `defaults` keeps the
    // preferences and must not be null. Each missing store file is made empty
    // (a failure is ignored: a missing file reads as no data too).
    // Throws StoreFileError when the folder cannot be had or is not a folder,
    // std::invalid_argument for null defaults.
    TavrenDatabaseManager(
        const std::optional<QString>& storageDirectory, std::shared_ptr<UserDefaults> defaults);
    // Waits for an operation still running on the worker.
    ~TavrenDatabaseManager() override;

    // Returns once every asynchronous operation already called has ended, so
    // that what they write is on disk. Blocks the caller.
    void finishQueuedWork();

    TavrenDatabaseManager(const TavrenDatabaseManager&) = delete;
    TavrenDatabaseManager& operator=(const TavrenDatabaseManager&) = delete;

    // The names of the files the store writes in its folder.
    static QStringList fileNames();

    const QString& folder() const { return m_folder; }
    const QString& tracksFilePath() const { return m_tracksFile.path; }
    const QString& playlistsFilePath() const { return m_playlistsFile.path; }
    const QString& playbackHistoryFilePath() const { return m_historyFile.path; }
    const QString& playbackStateFilePath() const { return m_stateFile.path; }

    QUrl databaseURL() const override;

    QCoro::Task<void> eraseAllData() override;
    QCoro::Task<void> saveTracks(QList<Track> tracks) override;
    QCoro::Task<QList<Track>> loadAllTracks() override;
    QCoro::Task<std::optional<Track>> fetchTrack(QUuid id) override;
    QCoro::Task<void> deleteTracks(QList<Track> tracks) override;

    void savePlaylists(const QList<Playlist>& playlists) override;
    QList<Playlist> loadAllPlaylists() override;
    void deletePlaylist(const QUuid& id) override;

    void recordPlayback(const QUuid& trackID, const Date& timestamp) override;
    PlaybackStatistics fetchStatistics(const QUuid& trackID) override;

    void setPreferenceJson(const Json& value, const QString& key) override;
    std::optional<Json> preferenceJson(const QString& key) const override;

    void savePlaybackState(const PlaybackStateSnapshot& snapshot) override;
    std::optional<PlaybackStateSnapshot> loadPlaybackState() override;

private:
    struct FileSlot {
        QString path;
        QMutex mutex;
    };

    // One record of the tracks file the store knows: its id and byte range,
    // and unless those bytes are its encoding, where its decoded value is.
    struct StoredRecord {
        QUuid id;
        quint32 begin;
        quint32 end;
        qint32 decoded = -1;
    };
    struct KnownTracksFile {
        storefile::FileVersion version;
        std::vector<StoredRecord> records;
        // The values of the records that a save encodes anew.
        QList<Track> decoded;
    };
    // A record of the new file: the known record at `stored`, or the given
    // track `given` when `stored` is negative.
    struct PlannedRecord {
        qsizetype stored;
        const Track* given;
    };

    // Bodies of the asynchronous operations, run on the worker.
    void eraseAllDataNow();
    void saveTracksNow(const QList<Track>& tracks);
    QList<Track> loadAllTracksNow();
    void deleteTracksNow(const QList<Track>& tracks);

    struct TracksFileContent {
        QList<Track> tracks;
        QByteArray bytes;
        std::vector<StoredRecord> records;
        QList<Track> decoded;
        std::optional<storefile::FileVersion> version;
    };
    // With the tracks file's lock held: the whole file read and decoded (a
    // missing one as no tracks), with each record's place and the version
    // read. Throws when it exists but cannot be read or decoded, or is empty,
    // not made by this store, while another store names a song (decided here,
    // where the library is read whole: at its load, and at a save over a file
    // it does not know).
    TracksFileContent readTracksFile() const;
    // Writes the planned records: `plan(records)` lists them from the known
    // records (read again first unless the file is still the known version).
    void rewriteTracksNow(
        const std::function<std::vector<PlannedRecord>(const std::vector<StoredRecord>&)>& plan);

    QString m_folder;
    QString m_databasePath;
    FileSlot m_tracksFile;
    // What m_tracksFile last held as the store read or wrote it; under its lock.
    std::optional<KnownTracksFile> m_knownTracks;
    // The empty "tracks.json" this store made (at construction or erasing),
    // while it is still that file: it holds nothing to lose, whatever other
    // stores name. Under m_tracksFile's lock.
    std::optional<storefile::FileVersion> m_madeEmptyTracks;
    FileSlot m_playlistsFile;
    FileSlot m_historyFile;
    FileSlot m_stateFile;
    // The version of the session file this store last wrote or read whole
    // without error, while that is what it knows the file to be; under its
    // lock.
    std::optional<storefile::FileVersion> m_knownState;
    std::shared_ptr<UserDefaults> m_defaults;
    // Last, so it is torn down (waiting for its job) before the rest.
    QThreadPool m_worker;
};

} // namespace kivo
