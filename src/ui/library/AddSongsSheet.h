#pragma once

#include <QDialog>

class QLabel;
class QListView;
class QPushButton;

namespace kivo {

class AddSongsSheetListModel;
class AddSongsSheetModel;

// The "Add Songs" sheet: every library song with a tick, "N selected" and
// Add (also Ctrl+Return). It closes when its model closes (Cancel, a
// successful Add); a failed Add keeps it open, its error on the screen.
class AddSongsSheet : public QDialog {
    Q_OBJECT
public:
    explicit AddSongsSheet(AddSongsSheetModel& model, QWidget* parent = nullptr);

    // Shows the sheet window-modal.
    void present();

    QListView& list() const { return *m_list; }
    QLabel& countLabel() const { return *m_count; }
    QPushButton& addButton() const { return *m_add; }

    void reject() override;

protected:
private:
    void refresh();

    AddSongsSheetModel& m_model;
    AddSongsSheetListModel* m_rows;
    QListView* m_list;
    QLabel* m_count;
    QPushButton* m_add;
};

} // namespace kivo
