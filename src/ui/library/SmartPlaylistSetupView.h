#pragma once

#include <QDialog>

class QComboBox;
class QLineEdit;
class QPushButton;
class QVBoxLayout;

namespace kivo {

class SmartPlaylistSetupPresenter;
class SmartRuleRowView;

// The "Create Smart Playlist" sheet, 550 by 480: the name, ALL or ANY, the
// rule rows, Add Rule, Cancel and Create, all forwarded to the presenter.
// It closes only when the host does so (in the presenter's onCancel).
class SmartPlaylistSetupView : public QDialog {
    Q_OBJECT
public:
    explicit SmartPlaylistSetupView(
        SmartPlaylistSetupPresenter& presenter, QWidget* parent = nullptr);

    QLineEdit* nameField() const { return m_name; }
    QComboBox* matchPicker() const { return m_match; }
    QList<SmartRuleRowView*> ruleRows() const;
    QPushButton* addRuleButton() const { return m_addRule; }
    QPushButton* cancelButton() const { return m_cancel; }
    QPushButton* createButton() const { return m_create; }

    // Escape and the window's close ask the presenter, like Cancel.
    void reject() override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void rebuildRows();
    void refresh();

    SmartPlaylistSetupPresenter& m_presenter;
    QWidget* m_header;
    QWidget* m_footer;
    QLineEdit* m_name;
    QComboBox* m_match;
    QVBoxLayout* m_rows;
    QPushButton* m_addRule;
    QPushButton* m_cancel;
    QPushButton* m_create;
};

} // namespace kivo
