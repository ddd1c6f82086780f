#pragma once

#include "engines/artwork/ArtworkBatchSnapshot.h"
#include "engines/artwork/ArtworkCache.h"
#include "engines/artwork/SharedTrackMetadataPatch.h"
#include "engines/library/LibraryEngine.h"
#include "model/Track.h"
#include "platform/UndoManager.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QUuid>
#include <functional>
#include <optional>
#include <qcoro/qcorotask.h>

namespace kivo {

// One open shared-edit session: the selected songs as they were when it began.
struct TrackMetadataBatch {
    QUuid id; // fresh per session
    QList<Track> tracks; // in selection order

    bool operator==(const TrackMetadataBatch&) const = default;
};

// Runs the shared edit of several songs: writes a patch through the library
// and any replacement artwork through the artwork cache, undoes its own partial
// work when a later step fails, and registers one undo step per edit ("Edit
// Shared Metadata", or "Change Shared Artwork" for artwork alone). Main thread.
//
// The patch is applied to each song's record as the library holds it when the
// write starts, and undo and redo put back only the fields the patch wrote, so
// that edits made to those songs in between are kept. While a save, undo or
// redo runs, the undo manager is kept busy so that no step is lost.
class TrackMetadataBatchCoordinator : public QObject {
    Q_OBJECT
public:
    // Receives the tracks written.
    using Completion = std::function<void(const QList<Track>&)>;

    explicit TrackMetadataBatchCoordinator(QObject* parent = nullptr);
    ~TrackMetadataBatchCoordinator() override;

    // The open session; the sheet shows while it is set.
    const std::optional<TrackMetadataBatch>& batch() const { return m_batch; }
    // Closing the sheet without saving sets it to nothing.
    void setBatch(std::optional<TrackMetadataBatch> batch);
    const std::optional<QString>& errorMessage() const { return m_errorMessage; }
    // The user dismissed the message (or closed the sheet showing it).
    void clearErrorMessage() { setErrorMessage(std::nullopt); }
    bool isSaving() const { return m_isSaving; }

    // Opens a session for two or more tracks; fewer do nothing.
    void beginEditing(const QList<Track>& tracks);

    // Starts writing `patch` to the session's songs and returns at once. A
    // patch that changes nothing, or no open session, does nothing. On
    // success the session closes and `completion` gets the written tracks; on
    // failure `errorMessage` says why and the session stays open.
    void commit(const SharedTrackMetadataPatch& patch, LibraryEngine* library,
        ArtworkCache* artworkCache, UndoManager* undoManager, Completion completion);

Q_SIGNALS:
    void batchChanged(const std::optional<kivo::TrackMetadataBatch>& batch);
    void errorMessageChanged(const std::optional<QString>& message);
    void isSavingChanged(bool isSaving);

private:
    // One side of an edit: full records, of which only `fields` are written.
    struct Side {
        QList<Track> tracks;
        std::optional<ArtworkBatchSnapshot> artwork;
    };
    struct SharedEditUndoRecord {
        Side write;
        Side replaced;
        SharedMetadataFields fields;
        QPointer<LibraryEngine> library;
        QPointer<ArtworkCache> artworkCache;
        QPointer<UndoManager> undoManager;
        Completion completion;
        QString actionName;
    };
    struct Written {
        QList<Track> tracks; // as written
        QList<Track> prior; // as they were just before
    };

    QCoro::Task<> runCommit(SharedTrackMetadataPatch patch, QList<Track> selected,
        QPointer<LibraryEngine> library, QPointer<ArtworkCache> artworkCache,
        QPointer<UndoManager> undoManager, Completion completion);
    void revert(const SharedEditUndoRecord& record, const UndoInverse& inverse);
    QCoro::Task<> runRevert(SharedEditUndoRecord record, UndoInverse inverse);
    UndoManager::Handler handlerFor(SharedEditUndoRecord record);

    // Writes `target`'s fields over the library's current records, then the
    // artwork; rolls the tracks back when the artwork fails. Throws the error
    // to report.
    static QCoro::Task<Written> writeEdit(Side target, std::optional<ArtworkBatchSnapshot> prior,
        SharedMetadataFields fields, QPointer<LibraryEngine> library,
        QPointer<ArtworkCache> artworkCache);

    void setSaving(bool saving, UndoManager* undoManager);
    void setErrorMessage(std::optional<QString> message);
    void fail(const std::exception_ptr& error);

    std::optional<TrackMetadataBatch> m_batch;
    std::optional<QString> m_errorMessage;
    bool m_isSaving = false;
    QPointer<UndoManager> m_busyUndoManager;
};

} // namespace kivo

Q_DECLARE_METATYPE(std::optional<kivo::TrackMetadataBatch>)
