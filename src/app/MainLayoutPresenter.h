#pragma once

#include "app/WorkspacePanelState.h"
#include "model/Playlist.h"
#include "model/Track.h"
#include "ui/library/NavigationDestination.h"
#include "ui/songtable/TrackListSelectionCommands.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>
#include <optional>

namespace kivo {

class QueueEngine;

// What the content column shows for a destination.
struct MainContent {
    enum class Kind { songs, favorites, playlistDetail };
    enum class Filter { none, topRated };

    Kind kind = Kind::songs;
    // The heading of a songs screen; favourites and playlists title themselves.
    QString title;
    Filter filter = Filter::none;
    // The playlist or folder that a playlist detail screen shows.
    std::optional<Playlist> playlist;

    // `filter` applied to the library's tracks.
    QList<Track> apply(const QList<Track>& libraryTracks) const;
    bool operator==(const MainContent&) const = default;
};

// The main window's state and gestures, without any widget: the sidebar
// selection and the content it picks, the selected song, the side panels'
// gestures through WorkspacePanelState, the arrow keys' enablement and the
// session saves when the window stops being active or closes. Main thread only.
class MainLayoutPresenter : public QObject {
    Q_OBJECT
public:
    // Finds a top-level playlist or folder by id (the playlist engine's getPlaylist).
    using PlaylistLookup = std::function<std::optional<Playlist>(const QUuid&)>;

    MainLayoutPresenter(WorkspacePanelState& panels, QueueEngine& queue, PlaylistLookup playlists,
        QObject* parent = nullptr);

    // Published: absent means nothing chosen; starts at songs on every launch.
    const std::optional<NavigationDestination>& selection() const { return m_selection; }
    void setSelection(const std::optional<NavigationDestination>& destination);
    // Resolved afresh on every call, so a deleted playlist falls back to "All Songs".
    MainContent content() const;
    // Tells the views that content() may resolve differently (the playlists changed).
    void playlistsChanged() { Q_EMIT contentChanged(); }

    // Published: the song picked in the content column, shown by the inspector.
    const std::optional<Track>& selectedTrack() const { return m_selectedTrack; }
    void setSelectedTrack(const std::optional<Track>& track);

    // Rated 1 or more, highest first; equal ratings keep library order.
    static QList<Track> topRated(const QList<Track>& tracks);

    // The command target of the song list the content column shows, which the
    // menus act on; null when no list is shown. A target that is destroyed
    // reads as null.
    TrackListSelectionCommandTarget* visibleCommandTarget() const { return m_commandTarget; }
    void setVisibleCommandTarget(TrackListSelectionCommandTarget* target);

    // Side panels. A panel is shown when enabled and expanded; its reveal
    // button when enabled and collapsed.
    bool isPanelShown(WorkspacePanelSide side) const;
    bool isRevealShown(WorkspacePanelSide side) const;
    // Gestures of the dividers and reveal buttons. A locked or disabled side
    // ignores resize, collapse and reveal; lock and disable always act.
    void resize(WorkspacePanelSide side, double proposedWidth);
    void collapse(WorkspacePanelSide side);
    void toggleLock(WorkspacePanelSide side);
    void disable(WorkspacePanelSide side);
    void reveal(WorkspacePanelSide side);
    // The content views' view of the right panel: reads whether it is shown;
    // a write expands or collapses it unless it is disabled or locked.
    bool isInspectorVisible() const { return isPanelShown(WorkspacePanelSide::right); }
    void setInspectorVisible(bool visible);

    // The bare arrow keys: Left needs a current song; Right needs an upcoming
    // song, or a current one with repeat on.
    bool canPlayPrevious() const;
    bool canPlayNext() const;
    // Previous without the 3-second restart; Next as a user request.
    void playPrevious();
    void playNext();

    // Saves the session synchronously whenever the application stops being
    // active; becoming active saves nothing.
    void applicationStateChanged(Qt::ApplicationState state);
    // Closing may quit before the application is ever reported inactive, so
    // the window saves the session itself.
    void windowClosing();

Q_SIGNALS:
    void selectionChanged(const std::optional<kivo::NavigationDestination>& selection);
    void contentChanged();
    void selectedTrackChanged(const std::optional<kivo::Track>& track);
    void visibleCommandTargetChanged();

private:
    WorkspacePanelState& m_panels;
    QueueEngine& m_queue;
    PlaylistLookup m_playlists;
    std::optional<NavigationDestination> m_selection = NavigationDestination::songs();
    std::optional<Track> m_selectedTrack;
    QPointer<TrackListSelectionCommandTarget> m_commandTarget;
    QMetaObject::Connection m_commandTargetGone;
};

} // namespace kivo
