#pragma once

#include "ui/library/NewPlaylistSheetModel.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace kivo {

// The "New Playlist" sheet: a name field, the engine's error and Cancel /
// Create. Each sheet starts empty; it closes on Cancel and after a create.
class NewPlaylistSheet : public QDialog {
    Q_OBJECT
public:
    explicit NewPlaylistSheet(PlaylistEngine& playlists, QWidget* parent = nullptr);

    // Shows the sheet window-modal.
    void present();

    NewPlaylistSheetModel& model() { return m_model; }
    QLineEdit& nameField() const { return *m_field; }
    QPushButton& createButton() const { return *m_create; }
    QLabel& errorLabel() const { return *m_error; }
    // The Create action (button and Ctrl+Return).
    void create();

protected:
private:
    void refresh();

    NewPlaylistSheetModel m_model;
    QLineEdit* m_field;
    QLabel* m_error;
    QPushButton* m_create;
};

} // namespace kivo
