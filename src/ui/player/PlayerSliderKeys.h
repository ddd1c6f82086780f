#pragma once

#include <QKeyEvent>

namespace kivo {

// The keys a focused slider moves by: the arrows, Page Up and Down, Home and
// End, with no modifier. A focused slider accepts their ShortcutOverride so
// the window's bare arrows (previous and next song) leave it its keys.
inline bool isSliderKey(const QKeyEvent& event)
{
    if (event.modifiers() & ~Qt::KeypadModifier) {
        return false;
    }
    switch (event.key()) {
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Home:
    case Qt::Key_End:
        return true;
    default:
        return false;
    }
}

} // namespace kivo
