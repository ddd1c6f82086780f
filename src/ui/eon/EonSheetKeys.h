#pragma once

#include <QObject>
#include <QPointer>
#include <functional>

class QAbstractButton;
class QWidget;

namespace kivo {

// The one keyboard rule of every sheet and panel, installed on it once:
// - Escape and Ctrl+Escape cancel, as the sheet's Cancel does; they never save.
// - Ctrl+Return presses the sheet's save button while that button is enabled.
// - A bare Return presses it too in a sheet whose only field is a name; in
//   every other sheet it does nothing, so no stock default button saves a
//   form by accident. A focused button or multi-line field still takes it.
// - Tab and Shift+Tab go through its controls in reading order.
// - A sheet that is a window opens with the focus on its first text field,
//   else on its save or default button, else on its first control other
//   than its close button; the ring shows once the keyboard moves.
// Keys that the focused control uses (a combo box's open list, a text
// field's own Return) reach that control first.
class EonSheetKeys : public QObject {
    Q_OBJECT
public:
    enum class ReturnKey { ignored, saves };

    // `cancel` runs for Escape; `save` may be null when the sheet saves nothing.
    EonSheetKeys(QWidget* sheet, std::function<void()> cancel, QAbstractButton* save = nullptr,
        ReturnKey returnKey = ReturnKey::ignored);

    // Where the focus goes when `sheet` opens; null when it has no control.
    static QWidget* initialFocus(QWidget* sheet, QAbstractButton* save);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void pressSave();

    std::function<void()> m_cancel;
    QPointer<QAbstractButton> m_save;
    ReturnKey m_returnKey;
};

} // namespace kivo
