#pragma once

#include <QObject>

class QKeyEvent;
class QWidget;

namespace kivo {

// The keys a focused control takes before any window shortcut, installed on
// the application once (the Eon style does it):
// - a focused button takes bare Space and Return (Enter), a focused switch or
//   checkbox (a checkable button) and a picker take bare Space: their
//   ShortcutOverride is accepted, so the window's bare Space (Play/Pause)
//   acts only where the focus has no use for it;
// - Return presses a focused button that would not take it itself (Qt's
//   buttons take only Space, its push buttons Return only in dialogs);
// - Shift+F10 opens the focused control's context menu, as the Menu key does.
// - A dialog that closes while it has the keyboard hands it back to the
//   window it came from: without a window manager, or when it closed
//   together with a popup of its own (a path completer's list), nothing
//   else would, and the keys would reach no window.
class EonControlKeys : public QObject {
    Q_OBJECT
public:
    explicit EonControlKeys(QObject* parent = nullptr);

    // Whether `widget`, focused, takes the bare `key` itself.
    static bool takesKey(const QWidget& widget, const QKeyEvent& key);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

} // namespace kivo
