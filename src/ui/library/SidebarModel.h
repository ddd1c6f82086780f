#pragma once

#include "model/Playlist.h"
#include "ui/library/NavigationDestination.h"

#include <QList>
#include <QObject>
#include <QString>
#include <optional>

namespace kivo {

class PlaylistEngine;

// One row of the sidebar: a library section or a top-level playlists-tree node.
struct SidebarRow {
    QString title;
    QString symbol;
    NavigationDestination destination;
    // The node behind a playlists-tree row (what "Rename…" renames).
    std::optional<Playlist> playlist;

    bool operator==(const SidebarRow&) const = default;
};

// The sidebar's state: the five library rows, the top level of the playlists
// tree (folders do not expand) and which row the window's selection
// highlights. Clicks and the Settings button are announced for the main
// layout, which owns the selection. Main thread only.
class SidebarModel : public QObject {
    Q_OBJECT
public:
    explicit SidebarModel(PlaylistEngine& playlists, QObject* parent = nullptr);

    // "All Songs", "Recently Added", "Recently Played", "Top Rated", "Favorites".
    static const QList<SidebarRow>& libraryRows();
    // Rows of the top-level nodes, in the tree's order: "music.note.list" and
    // playlist(id) for a standard playlist, "sparkles" and playlist(id) for a
    // smart one, "folder" and folder(id) for a folder.
    static QList<SidebarRow> playlistRows(const QList<Playlist>& rootPlaylists);

    // Published: follows the playlist engine's top level.
    const QList<SidebarRow>& playlistRows() const { return m_playlistRows; }

    // Mirrors the main layout's selection; absent highlights no row, and so
    // does a playlist that no longer has a row.
    const std::optional<NavigationDestination>& selection() const { return m_selection; }
    void setSelection(const std::optional<NavigationDestination>& selection);
    bool isSelected(const SidebarRow& row) const { return m_selection == row.destination; }

    // A row was clicked: the main layout sets its selection at once.
    void choose(const NavigationDestination& destination) { Q_EMIT destinationChosen(destination); }
    void openSettings() { Q_EMIT settingsRequested(); }

Q_SIGNALS:
    void playlistRowsChanged(const QList<kivo::SidebarRow>& rows);
    void selectionChanged(const std::optional<kivo::NavigationDestination>& selection);
    void destinationChosen(const kivo::NavigationDestination& destination);
    void settingsRequested();

private:
    QList<SidebarRow> m_playlistRows;
    std::optional<NavigationDestination> m_selection;
};

} // namespace kivo
