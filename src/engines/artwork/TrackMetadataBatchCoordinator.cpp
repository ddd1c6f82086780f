#include "engines/artwork/TrackMetadataBatchCoordinator.h"

#include "model/ErrorText.h"

#include <QHash>
#include <exception>
#include <string>

using namespace Qt::Literals::StringLiterals;

namespace kivo {

namespace {

const QString editActionName = u"Edit Shared Metadata"_s;
const QString artworkActionName = u"Change Shared Artwork"_s;

// A shared edit that failed on top of a failed step, or that lost its
// artwork recovery state.
class TrackMetadataBatchEditError : public std::exception {
public:
    static TrackMetadataBatchEditError rollbackFailed(
        const QString& update, const QString& rollback)
    {
        return TrackMetadataBatchEditError(u"The metadata update failed ("_s + update
            + u"), and automatic recovery also failed ("_s + rollback + u")."_s);
    }
    static TrackMetadataBatchEditError inconsistentArtworkState()
    {
        return TrackMetadataBatchEditError(
            u"The shared artwork operation was cancelled because its recovery state was incomplete."_s);
    }
    const char* what() const noexcept override { return m_what.c_str(); }

private:
    explicit TrackMetadataBatchEditError(const QString& description)
        : m_what(description.toStdString())
    {
    }
    std::string m_what;
};

// The library's present record of each track; a track it no longer holds is
// kept as given (writing it then fails with the library's own message).
QList<Track> currentRecords(const LibraryEngine& library, const QList<Track>& tracks)
{
    QHash<QUuid, qsizetype> wanted;
    wanted.reserve(tracks.size());
    for (qsizetype i = 0; i < tracks.size(); ++i) {
        wanted.insert(tracks[i].id, i);
    }
    QList<Track> records = tracks;
    for (const Track& track : library.allTracks()) {
        if (const auto at = wanted.constFind(track.id); at != wanted.cend()) {
            records[*at] = track;
        }
    }
    return records;
}

QList<Track> overlaid(
    const QList<Track>& targets, const QList<Track>& sources, const SharedMetadataFields& fields)
{
    QList<Track> result;
    result.reserve(targets.size());
    for (qsizetype i = 0; i < targets.size(); ++i) {
        result.push_back(fields.overlay(targets[i], sources[i]));
    }
    return result;
}

} // namespace

TrackMetadataBatchCoordinator::TrackMetadataBatchCoordinator(QObject* parent)
    : QObject(parent)
{
}

TrackMetadataBatchCoordinator::~TrackMetadataBatchCoordinator()
{
    if (m_busyUndoManager) {
        m_busyUndoManager->setBusy(this, false);
    }
}

void TrackMetadataBatchCoordinator::setBatch(std::optional<TrackMetadataBatch> batch)
{
    if (m_batch == batch) {
        return;
    }
    m_batch = std::move(batch);
    Q_EMIT batchChanged(m_batch);
}

void TrackMetadataBatchCoordinator::setErrorMessage(std::optional<QString> message)
{
    if (m_errorMessage == message) {
        return;
    }
    m_errorMessage = std::move(message);
    Q_EMIT errorMessageChanged(m_errorMessage);
}

void TrackMetadataBatchCoordinator::setSaving(bool saving, UndoManager* undoManager)
{
    if (saving) {
        m_busyUndoManager = undoManager;
        if (undoManager) {
            undoManager->setBusy(this, true);
        }
    } else if (m_busyUndoManager) {
        m_busyUndoManager->setBusy(this, false);
        m_busyUndoManager = nullptr;
    }
    if (m_isSaving != saving) {
        m_isSaving = saving;
        Q_EMIT isSavingChanged(saving);
    }
}

void TrackMetadataBatchCoordinator::fail(const std::exception_ptr& error)
{
    setErrorMessage(describeError(error));
    setSaving(false, nullptr);
}

void TrackMetadataBatchCoordinator::beginEditing(const QList<Track>& tracks)
{
    if (tracks.size() < 2) {
        return;
    }
    setErrorMessage(std::nullopt);
    setBatch(TrackMetadataBatch { QUuid::createUuid(), tracks });
}

void TrackMetadataBatchCoordinator::commit(const SharedTrackMetadataPatch& patch,
    LibraryEngine* library, ArtworkCache* artworkCache, UndoManager* undoManager,
    Completion completion)
{
    // A second save while one runs would race it for the same songs.
    if (patch.changesNothing() || !m_batch || m_isSaving || !library || !artworkCache) {
        return;
    }
    setSaving(true, undoManager);
    setErrorMessage(std::nullopt);
    runCommit(patch, m_batch->tracks, library, artworkCache, undoManager, std::move(completion));
}

QCoro::Task<> TrackMetadataBatchCoordinator::runCommit(SharedTrackMetadataPatch patch,
    QList<Track> selected, QPointer<LibraryEngine> library, QPointer<ArtworkCache> artworkCache,
    QPointer<UndoManager> undoManager, Completion completion)
{
    const QPointer<TrackMetadataBatchCoordinator> self(this);
    const SharedMetadataFields fields = patch.fields();
    std::optional<ArtworkBatchSnapshot> before;
    std::optional<ArtworkBatchSnapshot> after;
    Written written;
    try {
        if (patch.artwork.isReplace()) {
            QCoro::Task<ArtworkBatchSnapshot> capturing
                = ArtworkBatchSnapshot::capture(selected, artworkCache.data());
            before = co_await std::move(capturing);
        }
        if (!self) {
            co_return;
        }
        if (!library || !artworkCache) { // shutting down
            setSaving(false, nullptr);
            co_return;
        }
        // The records as they are now, not as the editor opened them: songs
        // changed meanwhile keep their other changes.
        QList<Track> edited;
        edited.reserve(selected.size());
        for (const Track& track : currentRecords(*library, selected)) {
            edited.push_back(patch.apply(track));
        }
        if (before) {
            after = ArtworkBatchSnapshot::replacing(edited, *patch.artwork.replacement);
        }
        QCoro::Task<Written> writing
            = writeEdit(Side { edited, after }, before, fields, library, artworkCache);
        written = co_await std::move(writing);
    } catch (...) {
        if (self) {
            self->fail(std::current_exception());
        }
        co_return;
    }
    if (!self) {
        co_return;
    }
    setBatch(std::nullopt);
    if (completion) {
        completion(written.tracks);
    }
    if (!self) {
        co_return;
    }
    if (undoManager) {
        const QString actionName = patch.isArtworkOnly() ? artworkActionName : editActionName;
        SharedEditUndoRecord record { Side { written.prior, before },
            Side { written.tracks, after }, fields, library, artworkCache, undoManager, completion,
            actionName };
        undoManager->registerUndo(actionName, handlerFor(std::move(record)));
    }
    setSaving(false, nullptr);
}

UndoManager::Handler TrackMetadataBatchCoordinator::handlerFor(SharedEditUndoRecord record)
{
    return [self = QPointer<TrackMetadataBatchCoordinator>(this), record](UndoInverse inverse) {
        if (self) {
            self->revert(record, inverse);
        }
    };
}

void TrackMetadataBatchCoordinator::revert(
    const SharedEditUndoRecord& record, const UndoInverse& inverse)
{
    // Undo and redo are disabled while busy; a step that gets here anyway is dropped.
    if (m_isSaving || !record.library || !record.artworkCache) {
        return;
    }
    setSaving(true, record.undoManager);
    setErrorMessage(std::nullopt);
    runRevert(record, inverse);
}

QCoro::Task<> TrackMetadataBatchCoordinator::runRevert(
    SharedEditUndoRecord record, UndoInverse inverse)
{
    const QPointer<TrackMetadataBatchCoordinator> self(this);
    Written written;
    try {
        QCoro::Task<Written> writing = writeEdit(record.write, record.replaced.artwork,
            record.fields, record.library, record.artworkCache);
        written = co_await std::move(writing);
    } catch (...) {
        if (self) {
            self->fail(std::current_exception());
        }
        co_return;
    }
    if (!self) {
        co_return;
    }
    if (record.completion) {
        record.completion(written.tracks);
    }
    if (!self) {
        co_return;
    }
    SharedEditUndoRecord opposite = record;
    opposite.write = Side { written.prior, record.replaced.artwork };
    opposite.replaced = Side { written.tracks, record.write.artwork };
    inverse.registerStep(record.actionName, handlerFor(std::move(opposite)));
    setSaving(false, nullptr);
}

QCoro::Task<TrackMetadataBatchCoordinator::Written> TrackMetadataBatchCoordinator::writeEdit(
    Side target, std::optional<ArtworkBatchSnapshot> prior, SharedMetadataFields fields,
    QPointer<LibraryEngine> library, QPointer<ArtworkCache> artworkCache)
{
    Written written;
    written.prior = currentRecords(*library, target.tracks);
    written.tracks = overlaid(written.prior, target.tracks, fields);
    const bool writesTracks = written.tracks != written.prior;
    if (writesTracks) {
        QCoro::Task<> updating = library->updateTracks(written.tracks);
        co_await std::move(updating);
    }

    std::exception_ptr artworkError;
    if (target.artwork.has_value() != prior.has_value() || (target.artwork && !artworkCache)) {
        artworkError
            = std::make_exception_ptr(TrackMetadataBatchEditError::inconsistentArtworkState());
    } else if (target.artwork) {
        try {
            QCoro::Task<> applying = ArtworkBatchSnapshot::apply(
                std::move(*target.artwork), std::move(*prior), artworkCache.data());
            co_await std::move(applying);
        } catch (...) {
            artworkError = std::current_exception();
        }
    }
    if (!artworkError) {
        co_return written;
    }
    if (!writesTracks || !library) {
        std::rethrow_exception(artworkError);
    }

    // Only the fields this edit wrote go back, onto the records as they are now.
    std::exception_ptr rollbackError;
    try {
        const QList<Track> rollback
            = overlaid(currentRecords(*library, written.prior), written.prior, fields);
        QCoro::Task<> updating = library->updateTracks(rollback);
        co_await std::move(updating);
    } catch (...) {
        rollbackError = std::current_exception();
    }
    if (rollbackError) {
        throw TrackMetadataBatchEditError::rollbackFailed(
            describeError(artworkError), describeError(rollbackError));
    }
    std::rethrow_exception(artworkError);
}

} // namespace kivo
