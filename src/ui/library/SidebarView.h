#pragma once

#include "ui/library/SidebarListView.h"
#include "ui/library/SidebarModel.h"

#include <QPointer>
#include <QWidget>

class QAbstractButton;
class QListView;

namespace kivo {

class NewPlaylistSheet;
class PlaylistRenameSheet;
class SidebarRowListModel;

// The main window's left panel: the brand header, the five library rows, the
// top level of the playlists tree with its "+" button, and Settings. Draws the
// sidebar model and forwards clicks; opens the New Playlist sheet and, from a
// playlist row's context menu, the rename sheet.
class SidebarView : public QWidget {
    Q_OBJECT
public:
    explicit SidebarView(PlaylistEngine& playlists, QWidget* parent = nullptr);
    ~SidebarView() override;

    SidebarModel& model() const { return *m_model; }
    QListView& libraryList() const { return *m_libraryList; }
    QListView& playlistList() const { return *m_playlistList; }
    QAbstractButton& newPlaylistButton() const { return *m_plus; }
    QAbstractButton& settingsButton() const { return *m_settings; }

    // Opens a fresh New Playlist sheet (the "+" button).
    NewPlaylistSheet* showNewPlaylistSheet();
    // Opens the rename sheet for the playlist row at `row` ("Rename…").
    PlaylistRenameSheet* showRenameSheet(int row);
    // The sheets now open, if any.
    NewPlaylistSheet* newPlaylistSheet() const;
    PlaylistRenameSheet* renameSheet() const;

private:
    SidebarListView* makeList(SidebarRowListModel* rows, bool scrolls);
    // Selects the row of the window's destination in whichever list holds it.
    void showSelection();

    PlaylistEngine& m_playlists;
    SidebarModel* m_model;
    SidebarRowListModel* m_libraryRows;
    SidebarRowListModel* m_playlistRows;
    SidebarListView* m_libraryList;
    SidebarListView* m_playlistList;
    QAbstractButton* m_plus;
    QAbstractButton* m_settings;
    QPointer<NewPlaylistSheet> m_newPlaylistSheet;
    QPointer<PlaylistRenameSheet> m_renameSheet;
};

} // namespace kivo
