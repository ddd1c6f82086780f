#pragma once

#include "engines/artwork/SharedTrackMetadataPatch.h"
#include "model/Track.h"

#include <QList>
#include <QObject>
#include <QString>
#include <optional>
#include <qcoro/qcorotask.h>

namespace kivo {

class TrackListController;
class TrackMetadataBatchCoordinator;
class UndoManager;

// The two editing flows of a track list screen: the single editor (open while
// editingTrack() is set, showing the library's refusal in editorError()) and
// the shared editor of a multi-selection, which writes through the batch
// coordinator with one undo step. A save that ends after the screen is gone
// changes nothing of it. Main thread only.
class TrackListEditing : public QObject {
    Q_OBJECT
public:
    explicit TrackListEditing(TrackListController& screen);
    ~TrackListEditing() override;

    TrackMetadataBatchCoordinator& batchCoordinator() const { return *m_batch; }
    // Neither editor is open.
    bool isIdle() const;

    // The songs an edit from this row applies to: the selection when the row
    // is one of at least two selected songs, else the row's song alone.
    QList<Track> targets(const Track& track) const;
    qsizetype selectionCount(const Track& track) const;
    void edit(const Track& track);

    const std::optional<Track>& editingTrack() const { return m_editingTrack; }
    const std::optional<QString>& editorError() const { return m_editorError; }
    void cancelEditing();
    QCoro::Task<bool> saveTrack(Track track);

    void saveSharedMetadata(const SharedTrackMetadataPatch& patch);
    void cancelSharedEditing();
    std::optional<QString> metadataAlertMessage() const;
    void dismissMetadataAlert();

    static QString metadataAlertTitle();

Q_SIGNALS:
    void editingTrackChanged(const std::optional<kivo::Track>& track);
    void editorErrorChanged(const std::optional<QString>& error);
    // The batch or its error came or went.
    void overlaysChanged();

private:
    void setEditingTrack(std::optional<Track> track);
    void setEditorError(std::optional<QString> error);
    void applyCommittedTracks(const QList<Track>& tracks);

    TrackListController& m_screen;
    UndoManager& m_undoManager;
    TrackMetadataBatchCoordinator* m_batch;
    bool m_handedSteps = false; // the coordinator may have undo steps to keep
    std::optional<Track> m_editingTrack;
    std::optional<QString> m_editorError;
};

} // namespace kivo
