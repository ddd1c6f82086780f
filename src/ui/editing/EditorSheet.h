#pragma once

#include <QDialog>

class QAbstractButton;

namespace kivo {

// What the song editor and the shared editor have in common: a window-modal
// sheet that never closes itself on a cancel. Escape, Cancel, the close
// button and the window manager's close all ask the presenter
// (cancelRequested), unless the sheet refuses a cancel just now (while a save
// runs); the presenter then calls the sheet's dismiss(). Ctrl+Return presses
// the sheet's save button while it is enabled.
class EditorSheet : public QDialog {
    Q_OBJECT
public:
    // Shows the sheet window-modal.
    void present();
    // Asks the presenter to cancel, unless the sheet refuses it now.
    void requestCancel();
    void reject() override;

Q_SIGNALS:
    void cancelRequested();

protected:
    explicit EditorSheet(QWidget* parent);
    // Installs the sheet's keys once its save button exists.
    void installKeys(QAbstractButton* save);
    virtual bool refusesCancel() const { return false; }
    void closeEvent(QCloseEvent* event) override;
};

} // namespace kivo
