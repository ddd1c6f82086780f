#pragma once

#include "ui/library/SongsViewModel.h"
#include "ui/songtable/TrackListController.h"

#include <QWidget>

class QAbstractButton;
class QLabel;

namespace kivo {

class DropOverlay;
class ImportFileChooser;
class TrackListView;

// A library section (All Songs, Recently Added, Recently Played, Top Rated)
// in the song list, with the import error and the "Add songs" button in its
// header; files dropped anywhere on it are imported.
class SongsView : public QWidget {
    Q_OBJECT
public:
    // `chooser`: none means a file dialog.
    SongsView(TrackListDependencies dependencies, QString title, SongsViewModel::Filter filter,
        ImportFileChooser* chooser = nullptr, QWidget* parent = nullptr);
    ~SongsView() override;

    // "music.note", "No songs in library", "Import songs to get started":
    // shown once the library has loaded (see SongsViewModel::emptyState).
    static TrackListEmptyState emptyState();

    SongsViewModel& model() const { return *m_model; }
    TrackListView& trackList() const { return *m_trackList; }
    QAbstractButton& addSongsButton() const { return *m_addSongs; }
    QLabel& errorLabel() const { return *m_error; }
    DropOverlay& dropOverlay() const { return *m_overlay; }

    // The "Add songs" button: asks for files, then imports them.
    void chooseFiles();
    // Replaces the file chooser (none: a file dialog).
    void setChooser(ImportFileChooser* chooser);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    SongsViewModel* m_model;
    TrackListView* m_trackList;
    QLabel* m_error;
    QAbstractButton* m_addSongs;
    DropOverlay* m_overlay;
    std::unique_ptr<ImportFileChooser> m_ownChooser;
    ImportFileChooser* m_chooser;
};

} // namespace kivo
