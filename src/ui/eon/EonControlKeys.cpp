#include "ui/eon/EonControlKeys.h"

#include "ui/eon/KeyModifiers.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QWindow>

namespace kivo {

namespace {

bool isBare(const QKeyEvent& key)
{
    return (key.modifiers() & keys::anyModifier) == Qt::NoModifier;
}

bool isReturn(const QKeyEvent& key)
{
    return key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter;
}

// A push button in a dialog presses itself on Return (its auto-default).
bool pressesItselfOnReturn(const QAbstractButton& button)
{
    const auto* push = qobject_cast<const QPushButton*>(&button);
    return push && (push->autoDefault() || push->isDefault());
}

// The keyboard's context menu, where Qt puts the Menu key's: at the
// control's cursor (an item view's current item).
void openContextMenu(QWidget& widget, Qt::KeyboardModifiers modifiers)
{
    const QPoint at = widget.inputMethodQuery(Qt::ImCursorRectangle).toRect().center();
    QContextMenuEvent menu(QContextMenuEvent::Keyboard, at, widget.mapToGlobal(at), modifiers);
    QCoreApplication::sendEvent(&widget, &menu);
}

// A dialog, sheet or secondary window (About) of another window: closing it
// hands the keys back to that window, as a window manager would.
bool isDialog(const QWidget& widget)
{
    return widget.isWindow() && widget.parentWidget()
        && (widget.windowType() == Qt::Dialog || widget.windowType() == Qt::Sheet
            || widget.windowType() == Qt::Window);
}

// Whether the keys were in `dialog`, in a popup over it (a path completer's
// list, which closes only after the dialog) or in no window at all.
bool hadKeys(const QWidget& dialog)
{
    return !QApplication::activeWindow() || QApplication::activeWindow() == &dialog
        || QApplication::activePopupWidget()
        || (dialog.windowHandle() && QGuiApplication::focusWindow() == dialog.windowHandle());
}

// A turn later, once the dialog and its popups are gone.
void activateLater(const QPointer<QWidget>& window, int turns)
{
    QTimer::singleShot(0, window, [window, turns] {
        if (!window || !window->isVisible() || QApplication::activeModalWidget()) {
            return;
        }
        if (QApplication::activePopupWidget()) {
            if (turns > 0) {
                activateLater(window, turns - 1);
            }
            return;
        }
        window->activateWindow();
    });
}

} // namespace

EonControlKeys::EonControlKeys(QObject* parent)
    : QObject(parent)
{
}

bool EonControlKeys::takesKey(const QWidget& widget, const QKeyEvent& key)
{
    if (!isBare(key) || !widget.isEnabled()) {
        return false;
    }
    if (const auto* button = qobject_cast<const QAbstractButton*>(&widget)) {
        return key.key() == Qt::Key_Space || (isReturn(key) && !button->isCheckable());
    }
    if (const auto* picker = qobject_cast<const QComboBox*>(&widget)) {
        return key.key() == Qt::Key_Space && !picker->isEditable();
    }
    return false;
}

bool EonControlKeys::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (type == QEvent::Hide && watched->isWidgetType()) {
        const auto& widget = static_cast<const QWidget&>(*watched);
        if (isDialog(widget) && hadKeys(widget)) {
            activateLater(widget.parentWidget()->window(), 10);
        }
        return false;
    }
    if ((type != QEvent::ShortcutOverride && type != QEvent::KeyPress) || !watched->isWidgetType()
        || watched != QApplication::focusWidget()) {
        return false;
    }
    // Only the first delivery, to the focused control itself, is looked at.
    auto& widget = static_cast<QWidget&>(*watched);
    auto& key = static_cast<QKeyEvent&>(*event);
    if (type == QEvent::ShortcutOverride) {
        if (takesKey(widget, key)) {
            key.accept();
            return true;
        }
        return false;
    }
    if (key.key() == Qt::Key_F10 && (key.modifiers() & keys::anyModifier) == keys::shift) {
        openContextMenu(widget, key.modifiers());
        return true;
    }
    auto* button = qobject_cast<QAbstractButton*>(&widget);
    if (button && isReturn(key) && takesKey(widget, key) && !pressesItselfOnReturn(*button)) {
        // Held down, Return presses once.
        if (!key.isAutoRepeat()) {
            button->click();
        }
        return true;
    }
    return false;
}

} // namespace kivo
