#pragma once

#include "engines/artwork/SharedTrackMetadataPatch.h"
#include "model/Track.h"
#include "model/TrackSortOrder.h"
#include "ui/songtable/TrackListEditing.h"
#include "ui/songtable/TrackListEmptyState.h"
#include "ui/songtable/TrackListRemoval.h"
#include "ui/songtable/TrackListSongActions.h"
#include "ui/songtable/TrackSelectionState.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QUrl>
#include <functional>
#include <optional>
#include <qcoro/qcorotask.h>

namespace kivo {

class ArtworkCache;
class AudioEngine;
class ImageFileChooser;
class LibraryEngine;
class MetadataEngine;
class QueueEngine;
class FileRevealer;
class TrackListSelectionCommandTarget;
class TrackMetadataBatchCoordinator;
class TrackRemovalCoordinator;
class TrackTableLayoutState;
class TrackTableModel;
class UndoManager;
enum class TrackListSelectionCommand;

// What a track list screen works with. Everything given by reference must
// outlive the screen; the undo manager may outlive it (its steps then do the
// library's part only).
struct TrackListDependencies {
    LibraryEngine& library;
    QueueEngine& queue;
    AudioEngine& audio;
    ArtworkCache& artworkCache;
    MetadataEngine& metadata; // the song editor reads embedded artwork through it
    UndoManager& undoManager;
    TrackTableLayoutState& layout;
    // None: a "Choose Artwork" file dialog.
    ImageFileChooser* artworkChooser = nullptr;
    // None: the desktop's file manager.
    FileRevealer* revealer = nullptr;
    // Reads a chosen image off the GUI thread; none: loadArtworkFileData().
    std::function<QCoro::Task<QByteArray>(QUrl)> artworkLoader = {};
};

// The state and operations of one track list screen (all songs, favourites,
// a playlist): the display order, the multi-selection, playing from a row and
// the menu's selection commands; the editing flows, the one-song actions and
// the removal are its collaborators', reached through it. Every action on
// songs is written through the engines and followed by `onTracksChanged` so
// that the owner reloads. The owner hands in the list; the screen never
// changes it.
//
// A wait (a save, a favourite, an artwork load, a removal) that ends after
// the screen is gone changes nothing of it; one that ends after the user chose
// another song leaves the selected song alone. Undo steps outlive the screen:
// the library is put back, the screen's part is skipped. Main thread only.
class TrackListController : public QObject {
    Q_OBJECT
public:
    // Lists of at least `backgroundThreshold` songs go to the queue by id,
    // and a select-all of them is gathered on a worker.
    explicit TrackListController(TrackListDependencies dependencies, QObject* parent = nullptr,
        int backgroundThreshold = 5000);
    ~TrackListController() override;

    const TrackListDependencies& dependencies() const { return m_deps; }

    // Inputs from the embedding screen.
    const QString& title() const { return m_title; }
    void setTitle(const QString& title);
    // The songs to list, in the owner's order.
    const QList<Track>& tracks() const { return m_tracks; }
    void setTracks(QList<Track> tracks);
    const TrackListEmptyState& emptyState() const { return m_emptyState; }
    void setEmptyState(TrackListEmptyState emptyState);
    // Called after songs of the list were changed through the engines.
    void setOnTracksChanged(std::function<void()> onTracksChanged);
    // The main layout's selected song (shown by the inspector).
    void setSelectedTrackBinding(
        std::function<std::optional<Track>()> get, std::function<void(std::optional<Track>)> set);
    void setInspectorVisibleBinding(std::function<bool()> get, std::function<void(bool)> set);

    // The rows as shown: the list in the sort order. Rows are positions.
    TrackTableModel& model() const { return *m_model; }
    const TrackSortOrder& sortOrder() const;
    void setSortOrder(const TrackSortOrder& order);
    // The list in display order.
    QList<Track> sortedTracks() const;

    const TrackSelectionState& selection() const { return m_selection; }
    // The selected songs of the list, in display order.
    QList<Track> selectedTracks() const;
    qsizetype selectionCount() const { return m_selection.selectedIDs().size(); }

    // The menu bar's way in; register it with the window while the screen shows.
    TrackListSelectionCommandTarget* commandTarget() const { return m_commandTarget; }
    TrackMetadataBatchCoordinator& batchCoordinator() const
    {
        return m_editing->batchCoordinator();
    }
    TrackRemovalCoordinator& removalCoordinator() const { return m_removal->coordinator(); }

    // Whether the list's key shortcuts act: no editor sheet is open.
    bool shortcutsEnabled() const { return m_editing->isIdle(); }

    // Clicks and commands.
    void select(const Track& track, Qt::KeyboardModifiers modifiers);
    // The table's keys: one row, `pageRows` rows or to either end from the
    // lead row (from beyond the end the key points away from when there is
    // none), selecting that row alone, or with `extend` the rows from the
    // anchor to it, as a Shift-click does. Returns the row moved to, for the
    // view to show; -1 for an empty list.
    int moveSelection(TrackListKeyMove move, bool extend, int pageRows = 1);
    // Selects the row alone, as a plain click on it does (type-select).
    void selectRow(int row);
    // The row the keys move from: the one last clicked or moved to, or -1.
    int leadRow() const;
    void selectAndPlay(const Track& track);
    void play(const Track& track);
    // Pauses the song when it is the one playing; otherwise plays from it.
    void togglePlayback(const Track& track);
    // Every row; a large list's selection changes a moment later, as one
    // change, unless another selection is made first.
    void selectAll();
    void deselectAll();
    void editSelection();
    void handleCommand(TrackListSelectionCommand command);

    // Editing. The single editor is open while editingTrack() is set.
    QList<Track> metadataTargets(const Track& track) const { return m_editing->targets(track); }
    qsizetype metadataSelectionCount(const Track& track) const
    {
        return m_editing->selectionCount(track);
    }
    void edit(const Track& track) { m_editing->edit(track); }
    const std::optional<Track>& editingTrack() const { return m_editing->editingTrack(); }
    const std::optional<QString>& editorError() const { return m_editing->editorError(); }
    // The single editor's Cancel.
    void cancelEditing() { m_editing->cancelEditing(); }
    // Writes one song; true when the library took it (the editor then closes).
    QCoro::Task<bool> saveTrack(Track track) { return m_editing->saveTrack(std::move(track)); }
    // The shared editor's Apply.
    void saveSharedMetadata(const SharedTrackMetadataPatch& patch)
    {
        m_editing->saveSharedMetadata(patch);
    }
    // The shared editor's Cancel: ignored while saving.
    void cancelSharedEditing() { m_editing->cancelSharedEditing(); }

    // Favourite, artwork and files.
    void toggleFavorite(const Track& track) { m_actions->toggleFavorite(track); }
    void chooseArtwork(const Track& track) { m_actions->chooseArtwork(track); }
    void removeArtwork(const Track& track) { m_actions->removeArtwork(track); }
    void revealInFileManager(const Track& track) { m_actions->revealInFileManager(track); }

    // Removal. A permanent deletion waits for confirmation.
    void requestPermanentDeletion(const Track& track)
    {
        m_removal->requestPermanentDeletion(track);
    }
    void cancelPermanentDeletion() { m_removal->cancelPermanentDeletion(); }
    void remove(const Track& track, bool deleteFile) { m_removal->remove(track, deleteFile); }
    bool isRemovalInFlight(const Track& track) const { return m_removal->isInFlight(track); }

    // Alerts. Each is up while its value is set; dismissing clears it.
    const std::optional<TrackListAlert>& actionAlert() const { return m_actions->alert(); }
    void dismissActionAlert() { m_actions->dismissAlert(); }
    // "Track Removal Failed" with this text.
    std::optional<QString> removalAlertMessage() const { return m_removal->alertMessage(); }
    void dismissRemovalAlert() { m_removal->dismissAlert(); }
    // "Metadata Update Failed" with this text: a shared-edit failure while no
    // shared editor is open (after a failed undo, say).
    std::optional<QString> metadataAlertMessage() const
    {
        return m_editing->metadataAlertMessage();
    }
    void dismissMetadataAlert() { m_editing->dismissMetadataAlert(); }

    static QString deletionConfirmationTitle()
    {
        return TrackListRemoval::deletionConfirmationTitle();
    }
    static QString deletionConfirmationMessage(const Track& track)
    {
        return TrackListRemoval::deletionConfirmationMessage(track);
    }
    static QString removalAlertTitle() { return TrackListRemoval::alertTitle(); }
    static QString metadataAlertTitle() { return TrackListEditing::metadataAlertTitle(); }
    static QString favoriteAlertTitle() { return TrackListSongActions::favoriteAlertTitle(); }
    static QString artworkAlertTitle() { return TrackListSongActions::artworkAlertTitle(); }

    // For the collaborators.
    // What a continuation checks before it touches the screen.
    struct Wait {
        QPointer<TrackListController> screen;
        std::optional<QUuid> selectedID; // the selected song when it began
    };
    Wait beginWait() const;
    // The screen still exists and still has the same selected song.
    static bool stillShowing(const Wait& wait);
    // The main layout's selected song.
    std::optional<Track> selectedTrack() const;
    void setSelectedTrack(std::optional<Track> track);
    // Selects this song alone, or takes it out of the selection.
    void selectOnly(const QUuid& id);
    void deselect(const QUuid& id);
    // Tells the owner to reload.
    void tracksWereChanged();

Q_SIGNALS:
    void titleChanged(const QString& title);
    void tracksChanged(const QList<kivo::Track>& tracks);
    void emptyStateChanged(const kivo::TrackListEmptyState& emptyState);
    void selectionChanged();
    void editingTrackChanged(const std::optional<kivo::Track>& track);
    void editorErrorChanged(const std::optional<QString>& error);
    // Any alert or the deletion confirmation came or went.
    void overlaysChanged();

private:
    void showInspector();
    // A click or key on `row` (-1: the song's first row) in `mode`.
    void selectAt(int row, const Track& track, TrackSelectionMode mode);
    void storeSelection(TrackSelectionState selection);
    // `changed`: whether `selection` differs from the current one.
    void storeSelection(TrackSelectionState selection, bool changed);
    void adoptSelectAll(TrackSelectionState next, bool changed);
    void updateCommandCounts();
    void updateCurrentTrack();

    TrackListDependencies m_deps;
    TrackTableModel* m_model;
    TrackListSelectionCommandTarget* m_commandTarget;
    TrackListEditing* m_editing;
    TrackListSongActions* m_actions;
    TrackListRemoval* m_removal;
    int m_backgroundThreshold;
    quint64 m_selectionRequest = 0; // bumped by every selection stored

    QString m_title;
    QList<Track> m_tracks;
    TrackListEmptyState m_emptyState;
    std::function<void()> m_onTracksChanged;
    std::function<std::optional<Track>()> m_getSelectedTrack;
    std::function<void(std::optional<Track>)> m_setSelectedTrack;
    std::function<bool()> m_getInspectorVisible;
    std::function<void(bool)> m_setInspectorVisible;
    std::optional<Track> m_ownSelectedTrack; // without a binding
    bool m_ownInspectorVisible = false;

    TrackSelectionState m_selection;
};

} // namespace kivo
