#pragma once

#include "ui/library/PlaylistRenameSheetModel.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace kivo {

// The "Rename Playlist" sheet: the name field starts with the current name
// and has the focus; Return and Ctrl+Return rename when allowed; it closes on
// Cancel and after a rename. The new name reaches the sidebar through the
// playlist engine.
class PlaylistRenameSheet : public QDialog {
    Q_OBJECT
public:
    PlaylistRenameSheet(PlaylistEngine& playlists, Playlist playlist, QWidget* parent = nullptr);

    // Shows the sheet window-modal.
    void present();

    PlaylistRenameSheetModel& model() { return m_model; }
    QLineEdit& nameField() const { return *m_field; }
    QPushButton& renameButton() const { return *m_rename; }
    QLabel& errorLabel() const { return *m_error; }
    void submit();

protected:
private:
    void refresh();

    PlaylistRenameSheetModel m_model;
    QLineEdit* m_field;
    QLabel* m_error;
    QPushButton* m_rename;
};

} // namespace kivo
