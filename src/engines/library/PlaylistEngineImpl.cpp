#include "engines/library/PlaylistEngineImpl.h"

#include "model/ErrorText.h"
#include "model/Logging.h"
#include "model/RunOnWorker.h"
#include "model/TextRules.h"

#include <QCollatorSortKey>
#include <QHash>
#include <QSet>
#include <algorithm>
#include <qcoro/qcorosignal.h>

using namespace Qt::Literals::StringLiterals;

namespace kivo {
using ::qHash;

namespace {

constexpr int maximumNameLength = 120;

QString describe(PlaylistError::Case errorCase)
{
    switch (errorCase) {
    case PlaylistError::Case::playlistNotFound:
        return u"Playlist not found"_s;
    case PlaylistError::Case::cannotPlayFolder:
        return u"Cannot play a folder"_s;
    case PlaylistError::Case::invalidName:
        return u"Playlist names cannot be empty."_s;
    case PlaylistError::Case::nameTooLong:
        return u"Playlist names must be 120 characters or fewer."_s;
    case PlaylistError::Case::invalidOperation:
        return u"Invalid operation"_s;
    }
    return {};
}

PlaylistType typeOf(const PlaylistRecord& record)
{
    if (record.isFolder) {
        return PlaylistType::folder();
    }
    if (record.isSmart) {
        return PlaylistType::smart(record.smartCriteria.value_or(QString()));
    }
    return PlaylistType::standard();
}

Playlist playlistFrom(const PlaylistRecord& record)
{
    Playlist playlist = Playlist::make(record.id, record.name, typeOf(record));
    playlist.description = record.description;
    playlist.tags = record.tags;
    playlist.isFavorite = record.isFavorite;
    playlist.trackIDs = record.trackIDs;
    return playlist;
}

PlaylistRecord recordFrom(
    const Playlist& playlist, const std::optional<QUuid>& parentFolderID, qint64 displayOrderIndex)
{
    PlaylistRecord record;
    record.id = playlist.id;
    record.name = playlist.name;
    record.parentFolderID = parentFolderID;
    record.isFolder = playlist.type.isFolder();
    record.isSmart = playlist.type.isSmart();
    if (playlist.type.isSmart()) {
        record.smartCriteria = playlist.type.criteria();
    }
    record.isFavorite = playlist.isFavorite;
    record.description = playlist.description;
    record.tags = playlist.tags;
    record.trackIDs = playlist.trackIDs;
    record.displayOrderIndex = displayOrderIndex;
    return record;
}

} // namespace

PlaylistError::PlaylistError(Case errorCase)
    : m_case(errorCase)
    , m_what(describe(errorCase).toStdString())
{
}

QString PlaylistError::errorDescription() const
{
    return describe(m_case);
}

TavrenPlaylistEngine::TavrenPlaylistEngine(std::shared_ptr<PlaylistStorage> storage,
    LibraryEngine* libraryEngine, QueueEngine* queueEngine, QObject* parent)
    : PlaylistEngine(parent)
    , m_storage(std::move(storage))
    , m_libraryEngine(libraryEngine)
    , m_queueEngine(queueEngine)
{
    Q_ASSERT(m_storage);
}

QList<Playlist> TavrenPlaylistEngine::buildTree(const QList<PlaylistRecord>& records)
{
    QHash<QUuid, Playlist> table;
    table.reserve(records.size());
    for (const PlaylistRecord& record : records) {
        table.insert(record.id, playlistFrom(record));
    }
    for (const PlaylistRecord& record : records) {
        if (record.parentFolderID) {
            const auto parent = table.find(*record.parentFolderID);
            if (parent != table.end()) {
                parent->childrenIDs.push_back(record.id);
            }
        }
    }
    struct Keyed {
        QCollatorSortKey key;
        Playlist playlist;
    };
    std::vector<Keyed> roots;
    for (const PlaylistRecord& record : records) {
        if (!record.parentFolderID) {
            const Playlist& playlist = table[record.id];
            roots.push_back({ text::localizedSortKey(playlist.name), playlist });
        }
    }
    std::stable_sort(roots.begin(), roots.end(),
        [](const Keyed& a, const Keyed& b) { return a.key.compare(b.key) < 0; });
    QList<Playlist> sorted;
    sorted.reserve(qsizetype(roots.size()));
    for (Keyed& root : roots) {
        sorted.push_back(std::move(root.playlist));
    }
    return sorted;
}

void TavrenPlaylistEngine::reloadPlaylists()
{
    QList<PlaylistRecord> records;
    std::exception_ptr error;
    try {
        records = m_storage->fetchAllRecords();
    } catch (...) {
        error = std::current_exception();
    }
    applyLoad(records, error);
}

QCoro::Task<> TavrenPlaylistEngine::loadPlaylists()
{
    if (m_isLoading) {
        co_await qCoro(this, &TavrenPlaylistEngine::loadFinished);
        co_return;
    }
    const QPointer<TavrenPlaylistEngine> self(this);
    const std::shared_ptr<PlaylistStorage> storage = m_storage;
    m_isLoading = true;
    // An edit published while the store was read may be missing from what was
    // read: read again, a few times at most.
    for (int attempt = 1;; ++attempt) {
        const quint64 revision = m_revision;
        QList<PlaylistRecord> records;
        std::exception_ptr error;
        try {
            QCoro::Task<QList<PlaylistRecord>> reading = runOnWorker(
                QThreadPool::globalInstance(), [storage] { return storage->fetchAllRecords(); });
            records = co_await std::move(reading);
        } catch (...) {
            error = std::current_exception();
        }
        if (!self) {
            co_return;
        }
        if (m_revision != revision && attempt < 3) {
            continue;
        }
        applyLoad(records, error);
        break;
    }
    m_isLoading = false;
    Q_EMIT loadFinished();
}

void TavrenPlaylistEngine::applyLoad(const QList<PlaylistRecord>& records, std::exception_ptr error)
{
    m_loadError = error;
    if (error) {
        reportFailure(logging::playlist, u"Failed to load playlists: "_s + describeError(error));
        publish({});
        return;
    }
    publish(buildTree(records));
}

void TavrenPlaylistEngine::publish(QList<Playlist> playlists)
{
    ++m_revision;
    m_rootPlaylists = std::move(playlists);
    Q_EMIT rootPlaylistsChanged(m_rootPlaylists);
}

qsizetype TavrenPlaylistEngine::positionOf(const QUuid& id) const
{
    for (qsizetype i = 0; i < m_rootPlaylists.size(); ++i) {
        if (m_rootPlaylists[i].id == id) {
            return i;
        }
    }
    throw PlaylistError::playlistNotFound();
}

std::optional<Playlist> TavrenPlaylistEngine::getPlaylist(const QUuid& id) const
{
    for (const Playlist& playlist : m_rootPlaylists) {
        if (playlist.id == id) {
            return playlist;
        }
    }
    return std::nullopt;
}

QList<Track> TavrenPlaylistEngine::songsOf(const Playlist& playlist) const
{
    if (!m_libraryEngine || playlist.trackIDs.isEmpty()) {
        return {};
    }
    const QList<Track> library = m_libraryEngine->allTracks();
    // A library should never hold one id twice; if it does, the first track wins.
    QHash<QUuid, qsizetype> byID;
    byID.reserve(library.size());
    for (qsizetype i = 0; i < library.size(); ++i) {
        if (!byID.contains(library[i].id)) {
            byID.insert(library[i].id, i);
        }
    }
    QList<Track> songs;
    songs.reserve(playlist.trackIDs.size());
    for (const QUuid& id : playlist.trackIDs) {
        const auto found = byID.constFind(id);
        if (found != byID.cend()) {
            songs.push_back(library[*found]);
        }
    }
    return songs;
}

QList<Track> TavrenPlaylistEngine::getTracks(const QUuid& playlistID) const
{
    const std::optional<Playlist> playlist = getPlaylist(playlistID);
    return playlist ? songsOf(*playlist) : QList<Track>();
}

void TavrenPlaylistEngine::checkTargetFolder(
    const QUuid& folderID, const std::optional<QUuid>& movingID) const
{
    const QList<PlaylistRecord> records = m_storage->fetchAllRecords();
    QHash<QUuid, const PlaylistRecord*> byID;
    for (const PlaylistRecord& record : records) {
        if (!byID.contains(record.id)) {
            byID.insert(record.id, &record);
        }
    }
    const auto target = byID.constFind(folderID);
    if (target == byID.cend() || !(*target)->isFolder) {
        throw PlaylistError::invalidOperation();
    }
    if (!movingID) {
        return;
    }
    // Walk up from the target: meeting the moving entry means the target lies
    // inside it, and the move would cut the whole branch off the tree.
    QSet<QUuid> seen;
    std::optional<QUuid> current = folderID;
    while (current && !seen.contains(*current)) {
        if (*current == *movingID) {
            throw PlaylistError::invalidOperation();
        }
        seen.insert(*current);
        const auto record = byID.constFind(*current);
        current = record == byID.cend() ? std::nullopt : (*record)->parentFolderID;
    }
}

Playlist TavrenPlaylistEngine::create(
    const QString& name, const PlaylistType& type, const std::optional<QUuid>& parentFolderID)
{
    // Records made over a store that could not be read would hide the ones in it.
    if (m_loadError) {
        std::rethrow_exception(m_loadError);
    }
    if (parentFolderID) {
        checkTargetFolder(*parentFolderID, std::nullopt);
    }
    const Playlist playlist = Playlist::make(QUuid::createUuid(), name, type);
    m_storage->saveRecord(recordFrom(playlist, parentFolderID, 0));
    if (!parentFolderID) {
        QList<Playlist> playlists = m_rootPlaylists;
        playlists.push_back(playlist);
        publish(std::move(playlists));
    }
    return playlist;
}

Playlist TavrenPlaylistEngine::createPlaylist(
    const QString& name, const std::optional<QUuid>& parentFolderID)
{
    return create(name, PlaylistType::standard(), parentFolderID);
}

Playlist TavrenPlaylistEngine::createSmartPlaylist(
    const QString& name, const QString& criteria, const std::optional<QUuid>& parentFolderID)
{
    return create(name, PlaylistType::smart(criteria), parentFolderID);
}

Playlist TavrenPlaylistEngine::createFolder(
    const QString& name, const std::optional<QUuid>& parentFolderID)
{
    return create(name, PlaylistType::folder(), parentFolderID);
}

void TavrenPlaylistEngine::rename(const QUuid& playlistID, const QString& newName)
{
    const QString name = text::trimmed(newName);
    if (name.isEmpty()) {
        throw PlaylistError::invalidName();
    }
    if (text::graphemeCount(name) > maximumNameLength) {
        throw PlaylistError::nameTooLong();
    }
    const QList<PlaylistRecord> records = m_storage->fetchAllRecords();
    const auto record = std::find_if(records.cbegin(), records.cend(),
        [&](const PlaylistRecord& candidate) { return candidate.id == playlistID; });
    if (record == records.cend()) {
        throw PlaylistError::playlistNotFound();
    }
    if (text::equal(record->name, name)) {
        return;
    }
    PlaylistRecord renamed = *record;
    renamed.name = name;
    m_storage->saveRecord(renamed);
    reloadPlaylists();
}

Playlist TavrenPlaylistEngine::duplicate(const QUuid& playlistID)
{
    const std::optional<Playlist> source = getPlaylist(playlistID);
    if (!source) {
        throw PlaylistError::playlistNotFound();
    }
    Playlist copy = Playlist::make(QUuid::createUuid(), source->name + u" (Copy)"_s, source->type);
    copy.description = source->description;
    copy.tags = source->tags;
    copy.trackIDs = source->trackIDs;
    m_storage->saveRecord(recordFrom(copy, std::nullopt, m_rootPlaylists.size()));
    QList<Playlist> playlists = m_rootPlaylists;
    playlists.push_back(copy);
    publish(std::move(playlists));
    return copy;
}

void TavrenPlaylistEngine::deletePlaylist(const QUuid& playlistID)
{
    const std::optional<Playlist> target = getPlaylist(playlistID);
    if (!target) {
        throw PlaylistError::playlistNotFound();
    }
    if (target->type.isFolder()) {
        m_storage->deleteFolderRecursively(playlistID);
    } else {
        m_storage->deleteRecord(playlistID);
    }
    QList<Playlist> playlists = m_rootPlaylists;
    playlists.removeIf([&](const Playlist& playlist) { return playlist.id == playlistID; });
    publish(std::move(playlists));
}

void TavrenPlaylistEngine::editAndSave(const QUuid& id, const Edit& edit)
{
    const qsizetype position = positionOf(id);
    const QList<Playlist> before = m_rootPlaylists;
    // The edit works on its own copy, so a subscriber that calls back into the
    // engine cannot pull the entry from under it.
    QList<Playlist> playlists = before;
    edit(playlists, position);
    try {
        m_storage->saveRecord(recordFrom(playlists[position], std::nullopt, position));
    } catch (...) {
        publish(before);
        throw;
    }
}

void TavrenPlaylistEngine::addTracks(const QList<Track>& tracks, const QUuid& playlistID)
{
    editAndSave(playlistID, [&](QList<Playlist>& playlists, qsizetype position) {
        QList<QUuid>& trackIDs = playlists[position].trackIDs;
        // Only ids held before the call are skipped: a new track given twice
        // is added twice.
        const QSet<QUuid> held(trackIDs.cbegin(), trackIDs.cend());
        for (const Track& track : tracks) {
            if (!held.contains(track.id)) {
                trackIDs.push_back(track.id);
            }
        }
        publish(playlists);
    });
}

void TavrenPlaylistEngine::removeTracks(const QList<qsizetype>& positions, const QUuid& playlistID)
{
    const qsizetype count = m_rootPlaylists[positionOf(playlistID)].trackIDs.size();
    for (const qsizetype position : positions) {
        if (position < 0 || position >= count) {
            throw PlaylistError::invalidOperation();
        }
    }
    QList<qsizetype> descending = positions;
    std::sort(descending.begin(), descending.end(), std::greater<>());
    descending.erase(std::unique(descending.begin(), descending.end()), descending.end());
    editAndSave(playlistID, [&](QList<Playlist>& playlists, qsizetype position) {
        // Largest first, so the positions still to come stay valid.
        for (const qsizetype index : descending) {
            playlists[position].trackIDs.removeAt(index);
            publish(playlists);
        }
    });
}

void TavrenPlaylistEngine::move(
    const QUuid& playlistID, const std::optional<QUuid>& toFolderID, qint64 atIndex)
{
    const std::optional<Playlist> entry = getPlaylist(playlistID);
    if (!entry) {
        throw PlaylistError::playlistNotFound();
    }
    if (toFolderID) {
        checkTargetFolder(*toFolderID, playlistID);
    }
    const QList<Playlist> before = m_rootPlaylists;
    QList<Playlist> playlists = m_rootPlaylists;
    playlists.removeIf([&](const Playlist& playlist) { return playlist.id == playlistID; });
    publish(std::move(playlists));
    try {
        m_storage->saveRecord(recordFrom(*entry, toFolderID, atIndex));
    } catch (...) {
        publish(before);
        throw;
    }
    reloadPlaylists();
}

void TavrenPlaylistEngine::toggleFavorite(const QUuid& playlistID)
{
    editAndSave(playlistID, [this](QList<Playlist>& playlists, qsizetype position) {
        playlists[position].isFavorite = !playlists[position].isFavorite;
        publish(playlists);
    });
}

void TavrenPlaylistEngine::updateMetadata(
    const QUuid& playlistID, const std::optional<QString>& description, const QStringList& tags)
{
    editAndSave(playlistID, [&](QList<Playlist>& playlists, qsizetype position) {
        playlists[position].description = description;
        publish(playlists);
        playlists[position].tags = tags;
        publish(playlists);
    });
}

void TavrenPlaylistEngine::queuePlaylist(const QUuid& playlistID)
{
    const std::optional<Playlist> playlist = getPlaylist(playlistID);
    if (!playlist) {
        throw PlaylistError::playlistNotFound();
    }
    if (playlist->type.isFolder()) {
        throw PlaylistError::cannotPlayFolder();
    }
    const QList<Track> songs = songsOf(*playlist);
    if (!songs.isEmpty() && m_queueEngine) {
        m_queueEngine->playNow(songs);
    }
}

} // namespace kivo
