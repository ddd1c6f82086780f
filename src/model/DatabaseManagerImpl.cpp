#include "model/DatabaseManagerImpl.h"

#include "model/Logging.h"
#include "model/PlaylistStorageImpl.h"
#include "model/RunOnWorker.h"

#include "model/UserDefaults.h"

#include <QCoroFuture>
#include <QFile>
#include <QHash>
#include <QMutexLocker>
#include <QSet>
#include <QtConcurrent>
#include <fcntl.h>
#include <stdexcept>
#include <unistd.h>
#include <utility>
#include <variant>

using namespace Qt::Literals::StringLiterals;

namespace kivo {

using ::qHash;

// ---- DatabaseError -------------------------------------------------------------

DatabaseError::DatabaseError(Case errorCase, QString message)
    : m_case(errorCase)
    , m_message(std::move(message))
    , m_what(m_message.toStdString())
{
}

DatabaseError DatabaseError::initializationFailed(const QString& message)
{
    return { Case::initializationFailed, message };
}

DatabaseError DatabaseError::readFailed(const QString& message)
{
    return { Case::readFailed, message };
}

DatabaseError DatabaseError::writeFailed(const QString& message)
{
    return { Case::writeFailed, message };
}

DatabaseError DatabaseError::entityNotFound(const QString& message)
{
    return { Case::entityNotFound, message };
}

// ---- helpers -------------------------------------------------------------------

namespace {

// One entry of "playback_history.json"; private to the store.
struct PlaybackHistory {
    QUuid trackID;
    Date timestamp;

    Json toJson() const
    {
        Json object = Json::object();
        json::putUuid(object, "trackID", trackID);
        json::putDate(object, "timestamp", timestamp);
        return object;
    }

    static PlaybackHistory fromJson(const Json& object, const QString& path)
    {
        const json::ObjectReader reader(object, path);
        return { reader.requiredUuid("trackID"), reader.requiredDate("timestamp") };
    }
};

// nlohmann would write a non-finite number as null; refuse it instead.
void requireFinite(const Json& value, const QString& key)
{
    if (value.is_number_float() && !std::isfinite(value.get<double>())) {
        throw JsonCodingError(JsonCodingError::Kind::Encoding, key, u"The number is not finite."_s);
    }
    if (value.is_structured()) {
        for (const Json& element : value) {
            requireFinite(element, key);
        }
    }
}

const QString tracksFileName = u"tracks.json"_s;
const QString playlistsFileName = u"playlists.json"_s;
const QString historyFileName = u"playback_history.json"_s;
const QString stateFileName = u"playback_state.json"_s;

// False for a store that is missing, cannot be read or does not decode: its
// own load reports it.
bool namesASongIfReadable(const QString& path, const std::function<bool(const QByteArray&)>& names)
{
    try {
        const std::optional<QByteArray> bytes = storefile::read(path);
        return bytes && !bytes->isEmpty() && names(*bytes);
    } catch (const StoreFileError&) {
    } catch (const JsonCodingError&) {
    }
    return false;
}

// Whether a "tracks.json" of 0 bytes that the store found was cut short (a
// crash, a full disk) rather than never written. The store makes it empty at
// first start and it stays so until the first import: that is a library with
// nothing to lose. But while the saved session or a playlist in `folder`
// names a song, the library had songs, and taking it for an empty one would
// rewrite what was derived from it without them.
bool emptyLibraryWasCutShort(const QString& folder)
{
    const auto sessionNamesASong = [](const QByteArray& bytes) {
        const PlaybackStateSnapshot session = PlaybackStateSnapshot::fromJsonText(bytes);
        return session.currentTrackID || !session.upcomingTrackIDs.isEmpty()
            || !session.historyTrackIDs.isEmpty()
            || !session.playbackOrderTrackIDs.value_or(QList<QUuid>()).isEmpty();
    };
    const auto aPlaylistNamesASong = [](const QByteArray& bytes) {
        const QList<PlaylistRecord> records = storefile::decodeList<PlaylistRecord>(bytes);
        return std::any_of(records.cbegin(), records.cend(),
            [](const PlaylistRecord& record) { return !record.trackIDs.isEmpty(); });
    };
    return namesASongIfReadable(folder + u'/' + stateFileName, sessionNamesASong)
        || namesASongIfReadable(
            folder + u'/' + TavrenPlaylistStorage::fileName(), aPlaylistNamesASong);
}

} // namespace

// ---- construction --------------------------------------------------------------

QStringList TavrenDatabaseManager::fileNames()
{
    return { tracksFileName, playlistsFileName, historyFileName, stateFileName };
}

TavrenDatabaseManager::TavrenDatabaseManager(
    const std::optional<QString>& storageDirectory, std::shared_ptr<UserDefaults> defaults)
    : m_defaults(std::move(defaults))
{
    if (!m_defaults) {
        throw std::invalid_argument("TavrenDatabaseManager needs user defaults");
    }
    m_folder = storefile::prepareFolder(storageDirectory);
    m_databasePath = m_folder + u"/library.sqlite"_s;
    m_tracksFile.path = m_folder + u'/' + tracksFileName;
    m_playlistsFile.path = m_folder + u'/' + playlistsFileName;
    m_historyFile.path = m_folder + u'/' + historyFileName;
    m_stateFile.path = m_folder + u'/' + stateFileName;
    m_madeEmptyTracks = storefile::createEmptyIfMissing(m_tracksFile.path);
    for (const FileSlot* file : { &m_playlistsFile, &m_historyFile, &m_stateFile }) {
        storefile::createEmptyIfMissing(file->path);
    }
    m_worker.setMaxThreadCount(1);
    m_worker.setObjectName(u"TavrenDatabaseManager"_s);
}

TavrenDatabaseManager::~TavrenDatabaseManager()
{
    m_worker.waitForDone();
}

void TavrenDatabaseManager::finishQueuedWork()
{
    m_worker.waitForDone();
}

QUrl TavrenDatabaseManager::databaseURL() const
{
    return QUrl::fromLocalFile(m_databasePath);
}

// ---- asynchronous operations ---------------------------------------------------

QCoro::Task<void> TavrenDatabaseManager::eraseAllData()
{
    return runOnWorker(&m_worker, [this] { eraseAllDataNow(); });
}

QCoro::Task<void> TavrenDatabaseManager::saveTracks(QList<Track> tracks)
{
    return runOnWorker(&m_worker, [this, tracks = std::move(tracks)] { saveTracksNow(tracks); });
}

QCoro::Task<QList<Track>> TavrenDatabaseManager::loadAllTracks()
{
    return runOnWorker(&m_worker, [this] { return loadAllTracksNow(); });
}

QCoro::Task<std::optional<Track>> TavrenDatabaseManager::fetchTrack(QUuid id)
{
    return runOnWorker(&m_worker, [this, id]() -> std::optional<Track> {
        const QList<Track> tracks = loadAllTracksNow();
        const auto it = std::find_if(
            tracks.cbegin(), tracks.cend(), [&](const Track& track) { return track.id == id; });
        return it == tracks.cend() ? std::nullopt : std::optional(*it);
    });
}

QCoro::Task<void> TavrenDatabaseManager::deleteTracks(QList<Track> tracks)
{
    return runOnWorker(&m_worker, [this, tracks = std::move(tracks)] { deleteTracksNow(tracks); });
}

void TavrenDatabaseManager::eraseAllDataNow()
{
    {
        QMutexLocker lock(&m_tracksFile.mutex);
        m_knownTracks.reset();
    }
    const std::initializer_list<FileSlot*> files
        = { &m_tracksFile, &m_playlistsFile, &m_historyFile, &m_stateFile };
    // The first failure, a missing file's too, stops it: nothing is made
    // again in place of what was removed before it.
    for (FileSlot* file : files) {
        QMutexLocker lock(&file->mutex);
        if (file == &m_stateFile) {
            m_knownState.reset();
        }
        storefile::remove(file->path);
    }
    for (FileSlot* file : files) {
        QMutexLocker lock(&file->mutex);
        const std::optional<storefile::FileVersion> made
            = storefile::createEmptyIfMissing(file->path);
        if (file == &m_tracksFile) {
            m_madeEmptyTracks = made;
        }
    }
}

void TavrenDatabaseManager::saveTracksNow(const QList<Track>& tracks)
{
    QMutexLocker lock(&m_tracksFile.mutex);
    // The same result as taking the given tracks one by one, each replacing
    // the first stored track of its id or else appended: every id ends with
    // its last given value, at its stored place or, when new, at the end in
    // the order the ids first appear. Indexing the given ids rather than the
    // stored ones keeps an upsert of one track a single pass over the library.
    rewriteTracksNow([&tracks](const std::vector<StoredRecord>& records) {
        constexpr qsizetype placed = -1;
        QHash<QUuid, qsizetype> lastGiven;
        lastGiven.reserve(tracks.size());
        for (qsizetype i = 0; i < tracks.size(); ++i) {
            lastGiven.insert(tracks[i].id, i);
        }
        std::vector<PlannedRecord> planned;
        planned.reserve(records.size() + size_t(tracks.size()));
        for (size_t i = 0; i < records.size(); ++i) {
            const auto it = lastGiven.find(records[i].id);
            if (it != lastGiven.end() && *it != placed) {
                planned.push_back({ -1, &tracks[std::exchange(*it, placed)] });
            } else {
                planned.push_back({ qsizetype(i), nullptr });
            }
        }
        for (const Track& track : tracks) {
            qsizetype& given = lastGiven[track.id];
            if (given != placed) {
                planned.push_back({ -1, &tracks[std::exchange(given, placed)] });
            }
        }
        return planned;
    });
}

QList<Track> TavrenDatabaseManager::loadAllTracksNow()
{
    QMutexLocker lock(&m_tracksFile.mutex);
    m_knownTracks.reset();
    // An unreadable library throws: shown as empty, it would look like one.
    TracksFileContent content = readTracksFile();
    if (content.version) {
        m_knownTracks = KnownTracksFile { *content.version, std::move(content.records),
            std::move(content.decoded) };
    }
    return std::move(content.tracks);
}

void TavrenDatabaseManager::deleteTracksNow(const QList<Track>& tracks)
{
    QMutexLocker lock(&m_tracksFile.mutex);
    QSet<QUuid> removed;
    removed.reserve(tracks.size());
    for (const Track& track : tracks) {
        removed.insert(track.id);
    }
    rewriteTracksNow([&removed](const std::vector<StoredRecord>& records) {
        std::vector<PlannedRecord> planned;
        planned.reserve(records.size());
        for (size_t i = 0; i < records.size(); ++i) {
            if (!removed.contains(records[i].id)) {
                planned.push_back({ qsizetype(i), nullptr });
            }
        }
        return planned;
    });
}

TavrenDatabaseManager::TracksFileContent TavrenDatabaseManager::readTracksFile() const
{
    TracksFileContent content;
    std::optional<storefile::VersionedBytes> read = storefile::readVersioned(m_tracksFile.path);
    if (!read) {
        return content;
    }
    if (read->bytes.isEmpty() && !(read->version && read->version == m_madeEmptyTracks)
        && emptyLibraryWasCutShort(m_folder)) {
        throw StoreFileError(
            StoreFileError::Case::readFailed, m_tracksFile.path, u"It is empty."_s);
    }
    content.bytes = std::move(read->bytes);
    content.version = read->version;
    std::vector<std::pair<qsizetype, qsizetype>> ranges;
    std::vector<quint8> inEncoderForm;
    content.tracks = storefile::decodeList<Track>(content.bytes, &ranges, &inEncoderForm);
    if (ranges.size() != size_t(content.tracks.size())) {
        // Decoded but not split (no case is known): the records are taken
        // from their encoding instead.
        content.version.reset();
        content.bytes = storefile::encodeList(content.tracks);
        ranges = json::splitTopLevelArray(content.bytes).value_or(ranges);
        if (ranges.size() != size_t(content.tracks.size())) {
            throw JsonCodingError(JsonCodingError::Kind::Decoding, QString(),
                u"The records could not be told apart."_s);
        }
        inEncoderForm.assign(ranges.size(), true);
    }
    if (inEncoderForm.size() != ranges.size()) {
        // A small file, decoded whole: each record is compared with its encoding.
        inEncoderForm.resize(ranges.size());
        for (size_t i = 0; i < ranges.size(); ++i) {
            inEncoderForm[i] = content.tracks[qsizetype(i)].toJson().dump()
                == std::string_view(content.bytes.constData() + ranges[i].first,
                    size_t(ranges[i].second - ranges[i].first));
        }
    }
    content.records.reserve(ranges.size());
    for (size_t i = 0; i < ranges.size(); ++i) {
        const Track& track = content.tracks[qsizetype(i)];
        qint32 decoded = -1;
        if (!inEncoderForm[i]) {
            decoded = qint32(content.decoded.size());
            content.decoded.push_back(track);
        }
        // Below 2 GiB: a larger file is refused by the read.
        content.records.push_back(
            { track.id, quint32(ranges[i].first), quint32(ranges[i].second), decoded });
    }
    return content;
}

void TavrenDatabaseManager::rewriteTracksNow(
    const std::function<std::vector<PlannedRecord>(const std::vector<StoredRecord>&)>& plan)
{
    // Forgotten until the write succeeds: after any failure the next save
    // reads the file whole again.
    std::optional<KnownTracksFile> known = std::exchange(m_knownTracks, std::nullopt);
    const QByteArray nativePath = QFile::encodeName(m_tracksFile.path);
    struct Source {
        int fd = -1;
        ~Source()
        {
            if (fd >= 0) {
                ::close(fd);
            }
        }
    } source;
    if (known) {
        // The file opened, not the path, is compared: what is copied from it
        // below is what was compared.
        source.fd = ::open(nativePath.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
        if (source.fd < 0 || storefile::versionOf(source.fd) != known->version) {
            known.reset();
        }
    }
    // Anything but the known file is read and decoded whole first, as a file
    // that cannot be read or decoded is never replaced: this throws for it.
    TracksFileContent content;
    if (!known) {
        content = readTracksFile();
        content.tracks = {};
    }
    const std::vector<StoredRecord>& records = known ? known->records : content.records;
    const QList<Track>& decoded = known ? known->decoded : content.decoded;
    std::vector<PlannedRecord> planned = plan(records);
    // A kept record whose text is not its encoding is encoded like a given one.
    for (PlannedRecord& record : planned) {
        if (record.stored >= 0 && records[size_t(record.stored)].decoded >= 0) {
            record = { -1, &decoded[records[size_t(record.stored)].decoded] };
        }
    }

    QList<const Track*> given;
    for (const PlannedRecord& record : planned) {
        if (record.stored < 0) {
            given.push_back(record.given);
        }
    }
    const json::EncodedElements encoded
        = json::encodeElements(given, [](const Track* track) { return track->toJson(); });

    std::vector<StoredRecord> written;
    written.reserve(planned.size());
    auto produce = [&](storefile::ContentSink& sink) {
        sink.append('[');
        size_t chunk = 0;
        qsizetype inChunk = 0;
        size_t next = 0;
        for (size_t i = 0; i < planned.size();) {
            if (i > 0) {
                sink.append(',');
            }
            const qint64 begin = sink.size();
            if (planned[i].stored < 0) {
                const qsizetype size = encoded.sizes[next];
                const std::string& text = encoded.chunks[chunk];
                sink.append(text.data() + inChunk, size);
                written.push_back(
                    { planned[i].given->id, quint32(begin), quint32(begin + size), -1 });
                inChunk += size + 1; // and the comma
                if (inChunk >= qsizetype(text.size())) {
                    ++chunk;
                    inChunk = 0;
                }
                ++next;
                ++i;
                continue;
            }
            // Stored records one after the other in the file are copied at once.
            size_t last = i;
            while (last + 1 < planned.size() && planned[last + 1].stored >= 0
                && records[size_t(planned[last + 1].stored)].begin
                    == records[size_t(planned[last].stored)].end + 1) {
                ++last;
            }
            const quint32 from = records[size_t(planned[i].stored)].begin;
            const quint32 to = records[size_t(planned[last].stored)].end;
            if (known) {
                sink.copy(source.fd, from, to - from);
            } else {
                sink.append(content.bytes.constData() + from, to - from);
            }
            for (; i <= last; ++i) {
                const StoredRecord& record = records[size_t(planned[i].stored)];
                written.push_back({ record.id, quint32(begin + (record.begin - from)),
                    quint32(begin + (record.end - from)), -1 });
            }
        }
        sink.append(']');
        if (known && storefile::versionOf(source.fd) != known->version) {
            throw StoreFileError(StoreFileError::Case::writeFailed, m_tracksFile.path,
                u"The file changed while it was saved."_s);
        }
    };
    const storefile::FileVersion version = storefile::writeAtomically(m_tracksFile.path, produce);
    if (version.size < storefile::maximumFileSize) {
        m_knownTracks = KnownTracksFile { version, std::move(written), {} };
    }
}

// ---- playlists -----------------------------------------------------------------

void TavrenDatabaseManager::savePlaylists(const QList<Playlist>& playlists)
{
    const QByteArray bytes = storefile::encodeList(playlists);
    QMutexLocker lock(&m_playlistsFile.mutex);
    // Whatever stands in the file's place must be a readable list of
    // playlists: anything else may be the user's and is not overwritten.
    if (const std::optional<QByteArray> stored = storefile::read(m_playlistsFile.path)) {
        (void)storefile::decodeList<Playlist>(*stored);
    }
    storefile::writeAtomically(m_playlistsFile.path, bytes);
}

QList<Playlist> TavrenDatabaseManager::loadAllPlaylists()
{
    QMutexLocker lock(&m_playlistsFile.mutex);
    const std::optional<QByteArray> bytes = storefile::readOrNothing(m_playlistsFile.path);
    return bytes ? storefile::decodeList<Playlist>(*bytes) : QList<Playlist>();
}

void TavrenDatabaseManager::deletePlaylist(const QUuid& id)
{
    QMutexLocker lock(&m_playlistsFile.mutex);
    const std::optional<QByteArray> bytes = storefile::read(m_playlistsFile.path);
    QList<Playlist> stored = bytes ? storefile::decodeList<Playlist>(*bytes) : QList<Playlist>();
    stored.removeIf([&](const Playlist& playlist) { return playlist.id == id; });
    storefile::writeAtomically(m_playlistsFile.path, storefile::encodeList(stored));
}

// ---- playback history ----------------------------------------------------------

void TavrenDatabaseManager::recordPlayback(const QUuid& trackID, const Date& timestamp)
{
    QMutexLocker lock(&m_historyFile.mutex);
    try {
        // A history that exists but cannot be read or decoded is kept: starting
        // a new one would throw the old one away.
        const std::optional<QByteArray> bytes = storefile::read(m_historyFile.path);
        QList<PlaybackHistory> history
            = bytes ? storefile::decodeList<PlaybackHistory>(*bytes) : QList<PlaybackHistory>();
        history.push_back({ trackID, timestamp });
        storefile::writeAtomically(m_historyFile.path, storefile::encodeList(history));
    } catch (const std::exception& error) {
        qCWarning(logging::storage).noquote() << u"Playback of %1 was not recorded: %2"_s.arg(
            json::uuidText(trackID), QString::fromUtf8(error.what()));
    }
}

PlaybackStatistics TavrenDatabaseManager::fetchStatistics(const QUuid& trackID)
{
    QList<PlaybackHistory> history;
    {
        QMutexLocker lock(&m_historyFile.mutex);
        try {
            const std::optional<QByteArray> bytes = storefile::readOrNothing(m_historyFile.path);
            if (bytes) {
                history = storefile::decodeList<PlaybackHistory>(*bytes);
            }
        } catch (const JsonCodingError& error) {
            qCWarning(logging::storage).noquote() << error.description();
        }
    }
    PlaybackStatistics statistics;
    for (const PlaybackHistory& entry : std::as_const(history)) {
        if (entry.trackID != trackID) {
            continue;
        }
        ++statistics.playCount;
        if (!statistics.lastPlayed || entry.timestamp > *statistics.lastPlayed) {
            statistics.lastPlayed = entry.timestamp;
        }
    }
    return statistics;
}

// ---- preferences ---------------------------------------------------------------

void TavrenDatabaseManager::setPreferenceJson(const Json& value, const QString& key)
{
    requireFinite(value, key);
    const QByteArray bytes = QByteArray::fromStdString(json::dump(value));
    if (!m_defaults->setValue(key, bytes)) {
        throw StoreFileError(StoreFileError::Case::writeFailed, u"preferences"_s,
            u"The preference \""_s + key + u"\" could not be stored."_s);
    }
}

std::optional<Json> TavrenDatabaseManager::preferenceJson(const QString& key) const
{
    const std::optional<QByteArray> bytes = m_defaults->dataValue(key);
    if (!bytes) {
        return std::nullopt;
    }
    try {
        return json::parse(*bytes);
    } catch (const JsonCodingError&) {
        return std::nullopt;
    }
}

// ---- playback state ------------------------------------------------------------

void TavrenDatabaseManager::savePlaybackState(const PlaybackStateSnapshot& snapshot)
{
    // Encoding fails before anything is written, leaving the previous session.
    const QByteArray bytes = snapshot.toJsonText();
    QMutexLocker lock(&m_stateFile.mutex);
    // As for every store: never replace what cannot be read back as a session.
    // The session this store wrote or read itself is known to be one while
    // the file is still that one; any other is read and decoded first.
    const std::optional<storefile::FileVersion> known = std::exchange(m_knownState, std::nullopt);
    if (!known || storefile::versionAt(m_stateFile.path) != known) {
        const std::optional<QByteArray> stored = storefile::read(m_stateFile.path);
        if (stored && !stored->isEmpty()) {
            (void)PlaybackStateSnapshot::fromJsonText(*stored);
        }
    }
    m_knownState = storefile::writeAtomically(m_stateFile.path, bytes);
}

std::optional<PlaybackStateSnapshot> TavrenDatabaseManager::loadPlaybackState()
{
    QMutexLocker lock(&m_stateFile.mutex);
    m_knownState.reset();
    const std::optional<storefile::VersionedBytes> read
        = storefile::readVersioned(m_stateFile.path);
    if (!read || read->bytes.isEmpty()) {
        return std::nullopt;
    }
    PlaybackStateSnapshot snapshot = PlaybackStateSnapshot::fromJsonText(read->bytes);
    m_knownState = read->version;
    return snapshot;
}

} // namespace kivo
