#pragma once

#include "engines/library/LibraryEngine.h"
#include "engines/playback/QueueEngine.h"
#include "model/Track.h"
#include "platform/UndoManager.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QUuid>
#include <functional>
#include <optional>
#include <qcoro/qcorotask.h>

namespace kivo {

// Removes one song at a time from the library (keeping or deleting its file)
// and from playback. A removal that keeps the file is offered as "Remove
// Track" to undo; undo puts the song back into the library, not the queue.
// One operation at a time; while it runs the undo manager is kept busy.
// Main thread.
class TrackRemovalCoordinator : public QObject {
    Q_OBJECT
public:
    using Callback = std::function<void()>;

    explicit TrackRemovalCoordinator(QObject* parent = nullptr);
    ~TrackRemovalCoordinator() override;

    // The song waiting for the user to confirm deleting its file; the song
    // table sets and clears it.
    const std::optional<Track>& pendingPermanentDeletion() const
    {
        return m_pendingPermanentDeletion;
    }
    void setPendingPermanentDeletion(std::optional<Track> track);
    const std::optional<QString>& errorMessage() const { return m_errorMessage; }
    // The user dismissed the message.
    void clearErrorMessage() { setErrorMessage(std::nullopt); }
    // The song whose removal, restore or repeated removal runs.
    const std::optional<QUuid>& inFlightTrackID() const { return m_inFlightTrackID; }

    // Starts removing `track` and returns at once. Refused with a message
    // while another operation runs. `onRemoved` runs after a removal (also a
    // redone one), `onRestored` after an undo put the song back.
    void requestRemoval(const Track& track, bool deleteFile, LibraryEngine* library,
        QueueEngine* queue, UndoManager* undoManager, Callback onRemoved, Callback onRestored);

    static QString busyMessage();

Q_SIGNALS:
    void pendingPermanentDeletionChanged(const std::optional<kivo::Track>& track);
    void errorMessageChanged(const std::optional<QString>& message);
    void inFlightTrackIDChanged(const std::optional<QUuid>& trackID);

private:
    struct RemovalUndoRecord {
        Track track;
        QPointer<LibraryEngine> library;
        QPointer<QueueEngine> queue;
        QPointer<UndoManager> undoManager;
        Callback onRemoved;
        Callback onRestored;
    };

    // `inverse`: set for a redo, whose undo step goes back through it.
    QCoro::Task<> performRemoval(RemovalUndoRecord record, bool deleteFile, bool undoable,
        std::optional<UndoInverse> inverse);
    QCoro::Task<> performRestore(RemovalUndoRecord record, UndoInverse inverse);
    void requestRestore(const RemovalUndoRecord& record, const UndoInverse& inverse);
    void requestRedoRemoval(const RemovalUndoRecord& record, const UndoInverse& inverse);
    UndoManager::Handler restoreHandler(RemovalUndoRecord record);

    void begin(const QUuid& trackID, UndoManager* undoManager);
    void finish();
    void setErrorMessage(std::optional<QString> message);
    void setInFlightTrackID(std::optional<QUuid> trackID);

    std::optional<Track> m_pendingPermanentDeletion;
    std::optional<QString> m_errorMessage;
    std::optional<QUuid> m_inFlightTrackID;
    QPointer<UndoManager> m_busyUndoManager;
};

} // namespace kivo
