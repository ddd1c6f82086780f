#pragma once

#include <QDialog>
#include <QList>
#include <optional>

class QHBoxLayout;
class QLabel;
class QPushButton;

namespace kivo {

// The program's alert: a window-modal dialog with a bold title over a plain
// message and a row of buttons. Escape, Ctrl+Escape or closing the window is
// the cancel button, Return and Ctrl+Return the default button. Show it with open();
// `finished` follows any button. Title and message are plain text: they may name a user's file.
class EonAlert : public QDialog {
    Q_OBJECT
public:
    enum class Role {
        accept, // "OK" and the like; the first one added is the default
        cancel, // what Escape does
        destructive, // drawn in the destructive colour
    };

    // An alert with a single "OK" unless buttons are added.
    EonAlert(const QString& title, const QString& message, QWidget* parent = nullptr);

    const QString& title() const { return m_titleText; }
    const QString& message() const { return m_messageText; }

    // Buttons line up in the order added, at the trailing end.
    QPushButton* addButton(const QString& text, Role role);
    void setDefaultButton(QPushButton* button);
    QPushButton* defaultButton() const;

    // The button pressed, or null while open and after Escape without a cancel button.
    QPushButton* clickedButton() const { return m_clicked; }
    // The role of the button pressed; Escape counts as cancel.
    std::optional<Role> clickedRole() const;

    // For tests and callers: the button with this role or text, if any.
    QPushButton* button(Role role) const;
    QPushButton* button(const QString& text) const;
    QList<QPushButton*> buttons() const { return m_buttons; }

    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    Role roleOf(const QPushButton* button) const;

    QString m_titleText;
    QString m_messageText;
    QHBoxLayout* m_buttonRow;
    QList<QPushButton*> m_buttons;
    QList<Role> m_roles;
    QPushButton* m_clicked = nullptr;
    QPushButton* m_implicitOK = nullptr;
    bool m_cancelled = false;
};

} // namespace kivo
