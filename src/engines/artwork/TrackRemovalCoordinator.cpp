#include "engines/artwork/TrackRemovalCoordinator.h"

#include "model/ErrorText.h"

#include <exception>

using namespace Qt::Literals::StringLiterals;

namespace kivo {

namespace {

const QString removeActionName = u"Remove Track"_s;

} // namespace

TrackRemovalCoordinator::TrackRemovalCoordinator(QObject* parent)
    : QObject(parent)
{
}

TrackRemovalCoordinator::~TrackRemovalCoordinator()
{
    if (m_busyUndoManager) {
        m_busyUndoManager->setBusy(this, false);
    }
}

QString TrackRemovalCoordinator::busyMessage()
{
    return u"Wait for the current library operation to finish before removing another track."_s;
}

void TrackRemovalCoordinator::setPendingPermanentDeletion(std::optional<Track> track)
{
    if (m_pendingPermanentDeletion == track) {
        return;
    }
    m_pendingPermanentDeletion = std::move(track);
    Q_EMIT pendingPermanentDeletionChanged(m_pendingPermanentDeletion);
}

void TrackRemovalCoordinator::setErrorMessage(std::optional<QString> message)
{
    if (m_errorMessage == message) {
        return;
    }
    m_errorMessage = std::move(message);
    Q_EMIT errorMessageChanged(m_errorMessage);
}

void TrackRemovalCoordinator::setInFlightTrackID(std::optional<QUuid> trackID)
{
    if (m_inFlightTrackID == trackID) {
        return;
    }
    m_inFlightTrackID = trackID;
    Q_EMIT inFlightTrackIDChanged(m_inFlightTrackID);
}

void TrackRemovalCoordinator::begin(const QUuid& trackID, UndoManager* undoManager)
{
    m_busyUndoManager = undoManager;
    if (undoManager) {
        undoManager->setBusy(this, true);
    }
    setInFlightTrackID(trackID);
    setErrorMessage(std::nullopt);
}

void TrackRemovalCoordinator::finish()
{
    if (m_busyUndoManager) {
        m_busyUndoManager->setBusy(this, false);
        m_busyUndoManager = nullptr;
    }
    setInFlightTrackID(std::nullopt);
}

void TrackRemovalCoordinator::requestRemoval(const Track& track, bool deleteFile,
    LibraryEngine* library, QueueEngine* queue, UndoManager* undoManager, Callback onRemoved,
    Callback onRestored)
{
    setPendingPermanentDeletion(std::nullopt);
    if (m_inFlightTrackID) {
        setErrorMessage(busyMessage());
        return;
    }
    if (!library || !queue) {
        return;
    }
    begin(track.id, undoManager);
    // A file deleted from disk cannot be brought back, so that is never undoable.
    performRemoval(
        { track, library, queue, undoManager, std::move(onRemoved), std::move(onRestored) },
        deleteFile, !deleteFile, std::nullopt);
}

QCoro::Task<> TrackRemovalCoordinator::performRemoval(
    RemovalUndoRecord record, bool deleteFile, bool undoable, std::optional<UndoInverse> inverse)
{
    const QPointer<TrackRemovalCoordinator> self(this);
    try {
        QCoro::Task<> removing = record.library->removeTrack(record.track, deleteFile);
        co_await std::move(removing);
    } catch (...) {
        if (self) {
            self->setErrorMessage(describeError(std::current_exception()));
            self->finish();
        }
        co_return;
    }
    if (!self) {
        co_return;
    }
    if (record.queue) {
        record.queue->removeTrackFromPlayback(record.track.id);
    }
    if (record.onRemoved) {
        record.onRemoved();
    }
    if (!self) {
        co_return;
    }
    if (undoable && record.undoManager) {
        const UndoManager::Handler handler = restoreHandler(record);
        if (inverse) {
            inverse->registerStep(removeActionName, handler);
        } else {
            record.undoManager->registerUndo(removeActionName, handler);
        }
    }
    finish();
}

UndoManager::Handler TrackRemovalCoordinator::restoreHandler(RemovalUndoRecord record)
{
    return [self = QPointer<TrackRemovalCoordinator>(this), record](UndoInverse inverse) {
        if (self) {
            self->requestRestore(record, inverse);
        }
    };
}

void TrackRemovalCoordinator::requestRestore(
    const RemovalUndoRecord& record, const UndoInverse& inverse)
{
    // Undo is disabled while busy; a step that gets here anyway is dropped.
    if (m_inFlightTrackID || !record.library) {
        return;
    }
    begin(record.track.id, record.undoManager);
    performRestore(record, inverse);
}

QCoro::Task<> TrackRemovalCoordinator::performRestore(RemovalUndoRecord record, UndoInverse inverse)
{
    const QPointer<TrackRemovalCoordinator> self(this);
    try {
        QCoro::Task<> restoring = record.library->restoreTrack(record.track);
        co_await std::move(restoring);
    } catch (...) {
        if (self) {
            self->setErrorMessage(describeError(std::current_exception()));
            self->finish();
        }
        co_return;
    }
    if (!self) {
        co_return;
    }
    // The song comes back to the library only; the queue is left as it is.
    if (record.onRestored) {
        record.onRestored();
    }
    if (!self) {
        co_return;
    }
    inverse.registerStep(removeActionName, [self, record](UndoInverse redo) {
        if (self) {
            self->requestRedoRemoval(record, redo);
        }
    });
    finish();
}

void TrackRemovalCoordinator::requestRedoRemoval(
    const RemovalUndoRecord& record, const UndoInverse& inverse)
{
    if (m_inFlightTrackID) {
        setErrorMessage(busyMessage());
        return;
    }
    if (!record.library) {
        return;
    }
    begin(record.track.id, record.undoManager);
    performRemoval(record, false, true, inverse);
}

} // namespace kivo
