#include "ui/songtable/TrackListController.h"

#include "engines/artwork/ArtworkCache.h"
#include "engines/artwork/ArtworkImageLoader.h"
#include "engines/artwork/TrackMetadataBatchCoordinator.h"
#include "engines/artwork/TrackRemovalCoordinator.h"
#include "engines/library/LibraryEngine.h"
#include "engines/playback/AudioEngine.h"
#include "engines/playback/QueueEngine.h"
#include "model/ErrorText.h"
#include "platform/FileRevealer.h"
#include "platform/UndoManager.h"
#include "ui/editing/ImageFileChooser.h"
#include "ui/eon/KeyModifiers.h"
#include "ui/songtable/TrackContextMenu.h"
#include "ui/songtable/TrackFileActions.h"
#include "ui/songtable/TrackListSelectionCommands.h"
#include "ui/songtable/TrackTableModel.h"

#include <QWidget>
#include <QtConcurrent/qtconcurrenttask.h>
#include <exception>

using namespace Qt::Literals::StringLiterals;

namespace kivo {

TrackListController::TrackListController(
    TrackListDependencies dependencies, QObject* parent, int backgroundThreshold)
    : QObject(parent)
    , m_deps(std::move(dependencies))
    , m_model(new TrackTableModel(this))
    , m_commandTarget(new TrackListSelectionCommandTarget(this))
    , m_batch(new TrackMetadataBatchCoordinator(this))
    , m_removal(new TrackRemovalCoordinator(this))
    , m_backgroundThreshold(backgroundThreshold)
{
    connect(m_commandTarget, &TrackListSelectionCommandTarget::commandSent, this,
        &TrackListController::handleCommand);
    connect(&m_deps.audio, &AudioEngine::currentTrackChanged, this,
        &TrackListController::updateCurrentTrack);
    connect(&m_deps.audio, &AudioEngine::playbackStateChanged, this,
        &TrackListController::updateCurrentTrack);
    connect(m_removal, &TrackRemovalCoordinator::errorMessageChanged, this,
        &TrackListController::overlaysChanged);
    connect(m_removal, &TrackRemovalCoordinator::pendingPermanentDeletionChanged, this,
        &TrackListController::overlaysChanged);
    connect(m_batch, &TrackMetadataBatchCoordinator::errorMessageChanged, this,
        &TrackListController::overlaysChanged);
    connect(m_batch, &TrackMetadataBatchCoordinator::batchChanged, this,
        &TrackListController::overlaysChanged);
    updateCurrentTrack();
}

TrackListController::~TrackListController()
{
    // The window's undo manager may hold steps of this screen's coordinators,
    // and a removal or shared save may still be running: they go on under the
    // undo manager so that undo still puts the library back. Without any such
    // work they simply go with the screen.
    if (m_handedSteps) {
        m_batch->setParent(&m_deps.undoManager);
        m_removal->setParent(&m_deps.undoManager);
    }
}

void TrackListController::setTitle(const QString& title)
{
    if (m_title != title) {
        m_title = title;
        Q_EMIT titleChanged(m_title);
    }
}

void TrackListController::setTracks(QList<Track> tracks)
{
    // Read-only access: both lists are usually shared with the library's, and
    // a writable one would copy every song.
    bool sameIDs = tracks.size() == m_tracks.size();
    for (qsizetype i = 0; sameIDs && i < tracks.size(); ++i) {
        sameIDs = tracks.at(i).id == m_tracks.at(i).id;
    }
    m_tracks = std::move(tracks);
    m_model->setTracks(m_tracks);
    // Nothing selected and no anchor: nothing to prune (a new screen's first list).
    const bool nothingToPrune = m_selection.selectedIDs().isEmpty() && !m_selection.anchorID();
    if (!sameIDs && !nothingToPrune) {
        QSet<QUuid> visible;
        visible.reserve(m_tracks.size());
        for (const Track& track : std::as_const(m_tracks)) {
            visible.insert(track.id);
        }
        TrackSelectionState pruned = m_selection;
        pruned.retainVisible(visible);
        storeSelection(std::move(pruned));
    }
    updateCommandCounts();
    Q_EMIT tracksChanged(m_tracks);
}

void TrackListController::setEmptyState(TrackListEmptyState emptyState)
{
    if (!(m_emptyState == emptyState)) {
        m_emptyState = std::move(emptyState);
        Q_EMIT emptyStateChanged(m_emptyState);
    }
}

void TrackListController::setOnTracksChanged(std::function<void()> onTracksChanged)
{
    m_onTracksChanged = std::move(onTracksChanged);
}

void TrackListController::setSelectedTrackBinding(
    std::function<std::optional<Track>()> get, std::function<void(std::optional<Track>)> set)
{
    m_getSelectedTrack = std::move(get);
    m_setSelectedTrack = std::move(set);
}

void TrackListController::setInspectorVisibleBinding(
    std::function<bool()> get, std::function<void(bool)> set)
{
    m_getInspectorVisible = std::move(get);
    m_setInspectorVisible = std::move(set);
}

const TrackSortOrder& TrackListController::sortOrder() const
{
    return m_model->sortOrder();
}

void TrackListController::setSortOrder(const TrackSortOrder& order)
{
    m_model->setSortOrder(order);
}

QList<Track> TrackListController::sortedTracks() const
{
    QList<Track> sorted;
    const int rows = m_model->rowCount();
    sorted.reserve(rows);
    for (int row = 0; row < rows; ++row) {
        sorted.push_back(m_model->track(row));
    }
    return sorted;
}

QList<Track> TrackListController::selectedTracks() const
{
    QList<Track> selected;
    if (m_selection.selectedIDs().isEmpty()) {
        return selected;
    }
    QSet<QUuid> seen;
    const QList<QUuid>& ids = m_model->orderedIDs();
    for (qsizetype row = 0; row < ids.size(); ++row) {
        // A song listed twice is one selected song.
        if (m_selection.isSelected(ids[row]) && !seen.contains(ids[row])) {
            seen.insert(ids[row]);
            selected.push_back(m_model->track(int(row)));
        }
    }
    return selected;
}

bool TrackListController::shortcutsEnabled() const
{
    return !m_editingTrack && !m_batch->batch();
}

// MARK: selected song and inspector

std::optional<Track> TrackListController::selectedTrack() const
{
    return m_getSelectedTrack ? m_getSelectedTrack() : m_ownSelectedTrack;
}

void TrackListController::setSelectedTrack(std::optional<Track> track)
{
    if (m_setSelectedTrack) {
        m_setSelectedTrack(std::move(track));
    } else {
        m_ownSelectedTrack = std::move(track);
    }
}

void TrackListController::showInspector()
{
    if (m_setInspectorVisible) {
        m_setInspectorVisible(true);
    } else {
        m_ownInspectorVisible = true;
    }
}

void TrackListController::storeSelection(TrackSelectionState selection)
{
    if (selection == m_selection) {
        return;
    }
    m_selection = std::move(selection);
    m_model->setSelectedIDs(m_selection.selectedIDs());
    updateCommandCounts();
    Q_EMIT selectionChanged();
}

void TrackListController::updateCommandCounts()
{
    m_commandTarget->update(int(m_tracks.size()), int(m_selection.selectedIDs().size()));
}

void TrackListController::updateCurrentTrack()
{
    const std::optional<Track> current = m_deps.audio.currentTrack();
    m_model->setCurrentTrack(current ? std::optional(current->id) : std::nullopt,
        m_deps.audio.playbackState() == PlaybackState::playing);
}

// MARK: clicks and commands

void TrackListController::select(const Track& track, Qt::KeyboardModifiers modifiers)
{
    // The design's Control and Option do not change a click.
    TrackSelectionState next = m_selection;
    next.select(track.id, m_model->orderedIDs(), selectionModeFor(modifiers & ~keys::control));
    storeSelection(std::move(next));
    if (m_selection.isSelected(track.id)) {
        setSelectedTrack(track);
        showInspector();
    } else {
        const QList<Track> selected = selectedTracks();
        setSelectedTrack(selected.isEmpty() ? std::nullopt : std::optional(selected.last()));
    }
}

void TrackListController::selectAndPlay(const Track& track)
{
    TrackSelectionState next;
    next.select(track.id, m_model->orderedIDs(), TrackSelectionMode::single);
    storeSelection(std::move(next));
    play(track);
}

void TrackListController::play(const Track& track)
{
    setSelectedTrack(track);
    showInspector();
    const quint64 request = ++m_playRequest;
    const qsizetype index = m_model->orderedIDs().indexOf(track.id);
    if (index < 0) {
        m_deps.queue.playNow({ track }, 0);
        return;
    }
    if (m_model->rowCount() < m_backgroundThreshold) {
        m_deps.queue.playNow(sortedTracks(), index);
        return;
    }
    // Copying a large list into display order would stall the window: a
    // worker does it from the list as shown now, and only the newest request
    // of a screen that still exists plays.
    QtConcurrent::task([tracks = m_model->shownTracks(), order = m_model->rowPositions()] {
        QList<Track> sorted;
        sorted.reserve(qsizetype(order.size()));
        for (const int position : order) {
            sorted.push_back(tracks[position]);
        }
        return sorted;
    })
        .spawn()
        .then(this, [this, request, index](QList<Track> sorted) {
            if (request == m_playRequest) {
                m_deps.queue.playNow(sorted, index);
            }
        });
}

void TrackListController::togglePlayback(const Track& track)
{
    const std::optional<Track> current = m_deps.audio.currentTrack();
    if (current && current->id == track.id
        && m_deps.audio.playbackState() == PlaybackState::playing) {
        ++m_playRequest; // newer than any play still being prepared
        m_deps.audio.pause();
        return;
    }
    play(track);
}

void TrackListController::selectAll()
{
    const QList<QUuid>& ids = m_model->orderedIDs();
    if (ids.isEmpty()) {
        return;
    }
    TrackSelectionState next = m_selection;
    next.selectAll(ids);
    storeSelection(std::move(next));
    const std::optional<Track> selected = selectedTrack();
    if (!selected || !m_selection.isSelected(selected->id)) {
        setSelectedTrack(m_model->track(0));
    }
    showInspector();
}

void TrackListController::deselectAll()
{
    storeSelection(TrackSelectionState());
    setSelectedTrack(std::nullopt);
}

void TrackListController::editSelection()
{
    const QList<Track> selected = selectedTracks();
    if (!selected.isEmpty()) {
        edit(selected.first());
    }
}

void TrackListController::handleCommand(TrackListSelectionCommand command)
{
    switch (command) {
    case TrackListSelectionCommand::selectAll:
        selectAll();
        break;
    case TrackListSelectionCommand::deselectAll:
        deselectAll();
        break;
    case TrackListSelectionCommand::editSelection:
        editSelection();
        break;
    }
}

// MARK: editing

QList<Track> TrackListController::metadataTargets(const Track& track) const
{
    if (m_selection.selectedIDs().size() >= 2 && m_selection.isSelected(track.id)) {
        QList<Track> selected = selectedTracks();
        if (selected.size() >= 2) {
            return selected;
        }
    }
    return { track };
}

qsizetype TrackListController::metadataSelectionCount(const Track& track) const
{
    if (m_selection.selectedIDs().size() < 2 || !m_selection.isSelected(track.id)) {
        return 1;
    }
    return metadataTargets(track).size();
}

void TrackListController::edit(const Track& track)
{
    const QList<Track> targets = metadataTargets(track);
    if (targets.size() >= 2) {
        m_batch->beginEditing(targets);
        return;
    }
    TrackSelectionState only;
    only.select(track.id, m_model->orderedIDs(), TrackSelectionMode::single);
    storeSelection(std::move(only));
    setSelectedTrack(track);
    setEditorError(std::nullopt);
    setEditingTrack(track);
}

void TrackListController::setEditingTrack(std::optional<Track> track)
{
    if (m_editingTrack != track) {
        m_editingTrack = std::move(track);
        Q_EMIT editingTrackChanged(m_editingTrack);
    }
}

void TrackListController::setEditorError(std::optional<QString> error)
{
    if (m_editorError != error) {
        m_editorError = std::move(error);
        Q_EMIT editorErrorChanged(m_editorError);
    }
}

void TrackListController::cancelEditing()
{
    setEditorError(std::nullopt);
    setEditingTrack(std::nullopt);
}

TrackListController::Wait TrackListController::beginWait() const
{
    const std::optional<Track> selected = selectedTrack();
    return { const_cast<TrackListController*>(this),
        selected ? std::optional(selected->id) : std::nullopt };
}

bool TrackListController::stillShowing(const Wait& wait)
{
    if (!wait.screen) {
        return false;
    }
    const std::optional<Track> selected = wait.screen->selectedTrack();
    return (selected ? std::optional(selected->id) : std::nullopt) == wait.selectedID;
}

QCoro::Task<bool> TrackListController::saveTrack(Track track)
{
    const Wait wait = beginWait();
    const QPointer<LibraryEngine> library = &m_deps.library;
    std::optional<QString> failure;
    try {
        QCoro::Task<> updating = library->updateTracks({ track });
        co_await std::move(updating);
    } catch (...) {
        failure = describeError(std::current_exception());
    }
    TrackListController* self = wait.screen.data();
    if (!self) {
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
    if (stillShowing(wait) || editorOnSong) {
        self->setSelectedTrack(track);
    }
    if (editorOnSong) {
        self->setEditorError(std::nullopt);
        self->setEditingTrack(std::nullopt);
    }
    self->tracksWereChanged();
    co_return true;
}

void TrackListController::toggleFavorite(const Track& track)
{
    Track toggled = track;
    toggled.rating = track.toggledFavoriteRating();
    QCoro::Task<> running = runFavorite(std::move(toggled));
    Q_UNUSED(running);
}

QCoro::Task<> TrackListController::runFavorite(Track toggled)
{
    const Wait wait = beginWait();
    const QPointer<LibraryEngine> library = &m_deps.library;
    try {
        QCoro::Task<> updating = library->updateTracks({ toggled });
        co_await std::move(updating);
    } catch (...) {
        if (wait.screen) {
            wait.screen->setActionAlert(
                TrackListAlert { favoriteAlertTitle(), describeError(std::current_exception()) });
        }
        co_return;
    }
    if (!wait.screen) {
        co_return;
    }
    if (stillShowing(wait)) {
        wait.screen->setSelectedTrack(toggled);
    }
    wait.screen->tracksWereChanged();
}

void TrackListController::saveSharedMetadata(const SharedTrackMetadataPatch& patch)
{
    if (patch.changesNothing() || !m_batch->batch()) {
        return;
    }
    m_handedSteps = true;
    const QPointer<TrackListController> self(this);
    m_batch->commit(patch, &m_deps.library, &m_deps.artworkCache, &m_deps.undoManager,
        [self](const QList<Track>& tracks) {
            if (self) {
                self->applyCommittedTracks(tracks);
            }
        });
}

void TrackListController::cancelSharedEditing()
{
    if (m_batch->isSaving()) {
        return;
    }
    // The message first, so that closing the sheet raises no alert for it.
    dismissMetadataAlert();
    m_batch->setBatch(std::nullopt);
}

void TrackListController::applyCommittedTracks(const QList<Track>& tracks)
{
    if (const std::optional<Track> selected = selectedTrack()) {
        for (const Track& track : tracks) {
            if (track.id == selected->id) {
                setSelectedTrack(track);
                break;
            }
        }
    }
    tracksWereChanged();
}

void TrackListController::tracksWereChanged()
{
    if (m_onTracksChanged) {
        m_onTracksChanged();
    }
}

// MARK: artwork and files

void TrackListController::chooseArtwork(const Track& track)
{
    ImageFileChooser* chooser = m_deps.artworkChooser;
    static DialogImageFileChooser dialogChooser(u"Choose"_s);
    if (!chooser) {
        chooser = &dialogChooser;
    }
    const QPointer<TrackListController> self(this);
    // The dialog's parent is the window the screen's widget sits in.
    QWidget* parentWidget = qobject_cast<QWidget*>(parent());
    chooser->chooseImage(parentWidget, [self, track](QUrl file) {
        // Cancelling is silent.
        if (self && !file.isEmpty()) {
            QCoro::Task<> running = self->runArtwork(file, track);
            Q_UNUSED(running);
        }
    });
}

QCoro::Task<> TrackListController::runArtwork(QUrl file, Track track)
{
    const Wait wait = beginWait();
    const QPointer<ArtworkCache> cache = &m_deps.artworkCache;
    const auto loader = m_deps.artworkLoader ? m_deps.artworkLoader : loadArtworkFileData;
    try {
        // Size, type and pixel dimensions are checked on a worker before a
        // byte reaches the cache.
        QCoro::Task<QByteArray> loading = loader(file);
        QByteArray data = co_await std::move(loading);
        if (!cache) {
            co_return;
        }
        QCoro::Task<> storing = cache->storeArtwork(std::move(data), track);
        co_await std::move(storing);
    } catch (...) {
        if (wait.screen) {
            wait.screen->setActionAlert(
                TrackListAlert { artworkAlertTitle(), describeError(std::current_exception()) });
        }
        co_return;
    }
    if (stillShowing(wait)) {
        wait.screen->setSelectedTrack(track);
    }
}

void TrackListController::removeArtwork(const Track& track)
{
    m_deps.artworkCache.evictArtwork(track);
}

void TrackListController::revealInFileManager(const Track& track)
{
    // Only files on this machine have a folder to show.
    if (!track.fileURL.isLocalFile()) {
        return;
    }
    static DesktopFileRevealer desktop;
    FileRevealer* revealer = m_deps.revealer ? m_deps.revealer : &desktop;
    revealer->reveal(TrackFileActions::revealTarget(track));
}

// MARK: removal

void TrackListController::requestPermanentDeletion(const Track& track)
{
    m_removal->setPendingPermanentDeletion(track);
}

void TrackListController::cancelPermanentDeletion()
{
    m_removal->setPendingPermanentDeletion(std::nullopt);
}

void TrackListController::remove(const Track& track, bool deleteFile)
{
    if (!m_removal->inFlightTrackID()) {
        m_handedSteps = true;
    }
    const QPointer<TrackListController> self(this);
    m_removal->requestRemoval(
        track, deleteFile, &m_deps.library, &m_deps.queue, &m_deps.undoManager,
        [self, track] {
            if (self) {
                self->handleRemovedTrack(track);
            }
        },
        [self, track] {
            if (self) {
                self->handleRestoredTrack(track);
            }
        });
}

bool TrackListController::isRemovalInFlight(const Track& track) const
{
    return m_removal->inFlightTrackID() == track.id;
}

void TrackListController::handleRemovedTrack(const Track& track)
{
    TrackSelectionState next = m_selection;
    next.deselect(track.id);
    storeSelection(std::move(next));
    const std::optional<Track> selected = selectedTrack();
    if (selected && selected->id == track.id) {
        const QList<Track> remaining = selectedTracks();
        setSelectedTrack(remaining.isEmpty() ? std::nullopt : std::optional(remaining.last()));
    }
    tracksWereChanged();
}

void TrackListController::handleRestoredTrack(const Track& track)
{
    setSelectedTrack(track);
    tracksWereChanged();
}

// MARK: alerts

void TrackListController::setActionAlert(std::optional<TrackListAlert> alert)
{
    if (m_actionAlert != alert) {
        m_actionAlert = std::move(alert);
        Q_EMIT overlaysChanged();
    }
}

void TrackListController::dismissActionAlert()
{
    setActionAlert(std::nullopt);
}

std::optional<QString> TrackListController::removalAlertMessage() const
{
    return m_removal->errorMessage();
}

void TrackListController::dismissRemovalAlert()
{
    m_removal->clearErrorMessage();
}

std::optional<QString> TrackListController::metadataAlertMessage() const
{
    if (m_batch->batch()) {
        return std::nullopt;
    }
    return m_batch->errorMessage();
}

void TrackListController::dismissMetadataAlert()
{
    m_batch->clearErrorMessage();
}

QString TrackListController::deletionConfirmationTitle()
{
    return u"Delete Track Permanently?"_s;
}

QString TrackListController::deletionConfirmationMessage(const Track& track)
{
    return u"\u201C"_s + track.title
        + u"\u201D will be removed from KIVO VOVID and its original file will be deleted "
          u"from disk. This cannot be undone."_s;
}

QString TrackListController::removalAlertTitle()
{
    return u"Track Removal Failed"_s;
}

QString TrackListController::metadataAlertTitle()
{
    return u"Metadata Update Failed"_s;
}

QString TrackListController::favoriteAlertTitle()
{
    return u"Favorite Could Not Be Updated"_s;
}

QString TrackListController::artworkAlertTitle()
{
    return u"Artwork Could Not Be Updated"_s;
}

} // namespace kivo
