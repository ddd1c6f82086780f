#pragma once

#include "engines/artwork/SharedTrackMetadataPatch.h"
#include "model/Track.h"
#include "model/TrackSortOrder.h"
#include "ui/songtable/TrackListEmptyState.h"
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

// A failure of an action that has no sheet to show it in (a favourite, an
// artwork change): shown as an alert until dismissed.
struct TrackListAlert {
    QString title;
    QString message;

    bool operator==(const TrackListAlert&) const = default;
};

// The state and operations of one track list screen (all songs, favourites,
// a playlist): the display order, the multi-selection, playing from a row,
// the menu's selection commands, and every action on songs, each written
// through the engines and followed by `onTracksChanged` so that the owner
// reloads. The owner hands in the list; the screen never changes it.
//
// A wait (a save, a favourite, an artwork load, a removal) that ends after
// the screen is gone changes nothing of it; one that ends after the user chose
// another song leaves the selected song alone. Undo steps outlive the screen:
// the library is put back, the screen's part is skipped. Main thread only.
class TrackListController : public QObject {
    Q_OBJECT
public:
    // Lists of at least `backgroundThreshold` songs are put in display order
    // for the queue on a worker.
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
    TrackMetadataBatchCoordinator& batchCoordinator() const { return *m_batch; }
    TrackRemovalCoordinator& removalCoordinator() const { return *m_removal; }

    // Whether the list's key shortcuts act: no editor sheet is open.
    bool shortcutsEnabled() const;

    // Clicks and commands.
    void select(const Track& track, Qt::KeyboardModifiers modifiers);
    void selectAndPlay(const Track& track);
    void play(const Track& track);
    // Pauses the song when it is the one playing; otherwise plays from it.
    void togglePlayback(const Track& track);
    void selectAll();
    void deselectAll();
    void editSelection();
    void handleCommand(TrackListSelectionCommand command);

    // Editing. The single editor is open while editingTrack() is set.
    QList<Track> metadataTargets(const Track& track) const;
    qsizetype metadataSelectionCount(const Track& track) const;
    void edit(const Track& track);
    const std::optional<Track>& editingTrack() const { return m_editingTrack; }
    const std::optional<QString>& editorError() const { return m_editorError; }
    // The single editor's Cancel.
    void cancelEditing();
    // Writes one song; true when the library took it (the editor then closes).
    QCoro::Task<bool> saveTrack(Track track);
    void toggleFavorite(const Track& track);
    // The shared editor's Apply.
    void saveSharedMetadata(const SharedTrackMetadataPatch& patch);
    // The shared editor's Cancel: ignored while saving.
    void cancelSharedEditing();

    // Artwork and files.
    void chooseArtwork(const Track& track);
    void removeArtwork(const Track& track);
    void revealInFileManager(const Track& track);

    // Removal. A permanent deletion waits for confirmation.
    void requestPermanentDeletion(const Track& track);
    void cancelPermanentDeletion();
    void remove(const Track& track, bool deleteFile);
    bool isRemovalInFlight(const Track& track) const;

    // Alerts. Each is up while its value is set; dismissing clears it.
    const std::optional<TrackListAlert>& actionAlert() const { return m_actionAlert; }
    void dismissActionAlert();
    // "Track Removal Failed" with this text.
    std::optional<QString> removalAlertMessage() const;
    void dismissRemovalAlert();
    // "Metadata Update Failed" with this text: a shared-edit failure while no
    // shared editor is open (after a failed undo, say).
    std::optional<QString> metadataAlertMessage() const;
    void dismissMetadataAlert();

    static QString deletionConfirmationTitle();
    static QString deletionConfirmationMessage(const Track& track);
    static QString removalAlertTitle();
    static QString metadataAlertTitle();
    static QString favoriteAlertTitle();
    static QString artworkAlertTitle();

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
    // What a continuation checks before it touches the screen.
    struct Wait {
        QPointer<TrackListController> screen;
        std::optional<QUuid> selectedID; // the selected song when it began
    };
    Wait beginWait() const;
    // The screen still exists and still has the same selected song.
    static bool stillShowing(const Wait& wait);

    std::optional<Track> selectedTrack() const;
    void setSelectedTrack(std::optional<Track> track);
    void showInspector();
    void storeSelection(TrackSelectionState selection);
    void updateCommandCounts();
    void setEditingTrack(std::optional<Track> track);
    void setEditorError(std::optional<QString> error);
    void setActionAlert(std::optional<TrackListAlert> alert);
    void tracksWereChanged();
    void applyCommittedTracks(const QList<Track>& tracks);
    void handleRemovedTrack(const Track& track);
    void handleRestoredTrack(const Track& track);
    void updateCurrentTrack();

    QCoro::Task<> runFavorite(Track toggled);
    QCoro::Task<> runArtwork(QUrl file, Track track);

    TrackListDependencies m_deps;
    TrackTableModel* m_model;
    TrackListSelectionCommandTarget* m_commandTarget;
    TrackMetadataBatchCoordinator* m_batch;
    TrackRemovalCoordinator* m_removal;
    bool m_handedSteps = false; // the coordinators may have undo steps to keep
    int m_backgroundThreshold;
    quint64 m_playRequest = 0; // the newest play request wins

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
    std::optional<Track> m_editingTrack;
    std::optional<QString> m_editorError;
    std::optional<TrackListAlert> m_actionAlert;
};

} // namespace kivo
