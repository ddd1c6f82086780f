#include "ui/songtable/TrackListEditing.h"

#include "engines/artwork/TrackMetadataBatchCoordinator.h"
#include "engines/library/LibraryEngine.h"
#include "model/ErrorText.h"
#include "platform/UndoManager.h"
#include "ui/songtable/TrackListController.h"

#include <QPointer>
#include <exception>

using namespace Qt::Literals::StringLiterals;

namespace kivo {

TrackListEditing::TrackListEditing(TrackListController& screen)
    : QObject(&screen)
    , m_screen(screen)
    , m_undoManager(screen.dependencies().undoManager)
    , m_batch(new TrackMetadataBatchCoordinator(this))
{
    connect(m_batch, &TrackMetadataBatchCoordinator::errorMessageChanged, this,
        &TrackListEditing::overlaysChanged);
    connect(m_batch, &TrackMetadataBatchCoordinator::batchChanged, this,
        &TrackListEditing::overlaysChanged);
}

TrackListEditing::~TrackListEditing()
{
    // The window's undo manager may hold the coordinator's steps, and a shared
    // save may still be running: it goes on under the undo manager so that
    // undo still puts the library back.
    if (m_handedSteps) {
        m_batch->setParent(&m_undoManager);
    }
}

bool TrackListEditing::isIdle() const
{
    return !m_editingTrack && !m_batch->batch();
}

QList<Track> TrackListEditing::targets(const Track& track) const
{
    const TrackSelectionState& selection = m_screen.selection();
    if (selection.selectedIDs().size() >= 2 && selection.isSelected(track.id)) {
        QList<Track> selected = m_screen.selectedTracks();
        if (selected.size() >= 2) {
            return selected;
        }
    }
    return { track };
}

qsizetype TrackListEditing::selectionCount(const Track& track) const
{
    const TrackSelectionState& selection = m_screen.selection();
    if (selection.selectedIDs().size() < 2 || !selection.isSelected(track.id)) {
        return 1;
    }
    return targets(track).size();
}

void TrackListEditing::edit(const Track& track)
{
    const QList<Track> editing = targets(track);
    if (editing.size() >= 2) {
        m_batch->beginEditing(editing);
        return;
    }
    m_screen.selectOnly(track.id);
    m_screen.setSelectedTrack(track);
    setEditorError(std::nullopt);
    setEditingTrack(track);
}

void TrackListEditing::setEditingTrack(std::optional<Track> track)
{
    if (m_editingTrack != track) {
        m_editingTrack = std::move(track);
        Q_EMIT editingTrackChanged(m_editingTrack);
    }
}

void TrackListEditing::setEditorError(std::optional<QString> error)
{
    if (m_editorError != error) {
        m_editorError = std::move(error);
        Q_EMIT editorErrorChanged(m_editorError);
    }
}

void TrackListEditing::cancelEditing()
{
    setEditorError(std::nullopt);
    setEditingTrack(std::nullopt);
}

QCoro::Task<bool> TrackListEditing::saveTrack(Track track)
{
    const TrackListController::Wait wait = m_screen.beginWait();
    const QPointer<TrackListEditing> self(this);
    const QPointer<LibraryEngine> library = &m_screen.dependencies().library;
    std::optional<QString> failure;
    try {
        QCoro::Task<> updating = library->updateTracks({ track });
        co_await std::move(updating);
    } catch (...) {
        failure = describeError(std::current_exception());
    }
    if (!wait.screen || !self) {
        co_return !failure;
    }
    // The editor shows the outcome only while it is still open on this song.
    const bool editorOnSong = self->m_editingTrack && self->m_editingTrack->id == track.id;
    if (failure) {
        if (editorOnSong) {
            self->setEditorError(failure);
        }
        co_return false;
    }
    if (TrackListController::stillShowing(wait) || editorOnSong) {
        wait.screen->setSelectedTrack(track);
    }
    if (editorOnSong) {
        self->setEditorError(std::nullopt);
        self->setEditingTrack(std::nullopt);
    }
    wait.screen->tracksWereChanged();
    co_return true;
}

void TrackListEditing::saveSharedMetadata(const SharedTrackMetadataPatch& patch)
{
    if (patch.changesNothing() || !m_batch->batch()) {
        return;
    }
    m_handedSteps = true;
    const TrackListDependencies& deps = m_screen.dependencies();
    const QPointer<TrackListEditing> self(this);
    m_batch->commit(patch, &deps.library, &deps.artworkCache, &deps.undoManager,
        [self](const QList<Track>& tracks) {
            if (self) {
                self->applyCommittedTracks(tracks);
            }
        });
}

void TrackListEditing::cancelSharedEditing()
{
    if (m_batch->isSaving()) {
        return;
    }
    // The message first, so that closing the sheet raises no alert for it.
    dismissMetadataAlert();
    m_batch->setBatch(std::nullopt);
}

void TrackListEditing::applyCommittedTracks(const QList<Track>& tracks)
{
    if (const std::optional<Track> selected = m_screen.selectedTrack()) {
        for (const Track& track : tracks) {
            if (track.id == selected->id) {
                m_screen.setSelectedTrack(track);
                break;
            }
        }
    }
    m_screen.tracksWereChanged();
}

std::optional<QString> TrackListEditing::metadataAlertMessage() const
{
    if (m_batch->batch()) {
        return std::nullopt;
    }
    return m_batch->errorMessage();
}

void TrackListEditing::dismissMetadataAlert()
{
    m_batch->clearErrorMessage();
}

QString TrackListEditing::metadataAlertTitle()
{
    return u"Metadata Update Failed"_s;
}

} // namespace kivo
