#pragma once

#include "ui/library/PlaylistDetailViewModel.h"
#include "ui/songtable/TrackListController.h"

#include <QPointer>
#include <QWidget>

class QLabel;

namespace kivo {

class AddSongsSheet;
class DropOverlay;
class EonIconButton;
class ImportFileChooser;
class TrackListView;

// One playlist (or folder) in the song list, with the error line and three
// header actions: add songs from the library, import files, play. Files
// dropped on it are imported and added.
class PlaylistDetailView : public QWidget {
    Q_OBJECT
public:
    // `chooser`: none means a file dialog.
    PlaylistDetailView(TrackListDependencies dependencies, PlaylistEngine& playlists,
        Playlist playlist, ImportFileChooser* chooser = nullptr, QWidget* parent = nullptr);
    ~PlaylistDetailView() override;

    // "music.note.list", "This playlist is empty",
    // "Add songs from your library to get started".
    static TrackListEmptyState emptyState();

    PlaylistDetailViewModel& model() const { return *m_model; }
    TrackListView& trackList() const { return *m_trackList; }
    // Shows another playlist in place; its songs are read at once.
    void setPlaylist(const Playlist& playlist);

    EonIconButton& addSongsButton() const { return *m_addSongs; }
    EonIconButton& importButton() const { return *m_import; }
    EonIconButton& playButton() const { return *m_play; }
    QLabel& errorLabel() const { return *m_error; }
    DropOverlay& dropOverlay() const { return *m_overlay; }
    // The add-songs sheet while it is open.
    AddSongsSheet* addSongsSheet() const;

    // The import button: asks for files, then imports and adds them.
    void chooseFiles();
    // Replaces the file chooser (none: a file dialog).
    void setChooser(ImportFileChooser* chooser);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void showAddSongsSheet(bool open);

    PlaylistDetailViewModel* m_model;
    TrackListView* m_trackList;
    QLabel* m_error;
    EonIconButton* m_addSongs;
    EonIconButton* m_import;
    EonIconButton* m_play;
    DropOverlay* m_overlay;
    QPointer<AddSongsSheet> m_sheet;
    std::unique_ptr<ImportFileChooser> m_ownChooser;
    ImportFileChooser* m_chooser;
};

} // namespace kivo
