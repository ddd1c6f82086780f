#include "app/PlaybackNavigationShortcutMonitor.h"

#include "ui/eon/KeyModifiers.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QKeySequenceEdit>
#include <QLineEdit>
#include <QTabBar>

namespace kivo {

PlaybackNavigationShortcutMonitor::PlaybackNavigationShortcutMonitor(QWidget* window,
    std::function<PlaybackNavigationConfiguration()> configuration, QObject* parent)
    : QObject(parent)
    , m_window(window)
    , m_configuration(std::move(configuration))
{
    qApp->installEventFilter(this);
}

PlaybackNavigationKeyAction PlaybackNavigationShortcutMonitor::classifyKey(
    int key, Qt::KeyboardModifiers modifiers, bool isAutoRepeat)
{
    // Holding an arrow acts once; Ctrl with the arrows belongs to the menu.
    if (isAutoRepeat || (modifiers & keys::anyModifier)) {
        return PlaybackNavigationKeyAction::ignore;
    }
    switch (key) {
    case Qt::Key_Left:
        return PlaybackNavigationKeyAction::previous;
    case Qt::Key_Right:
        return PlaybackNavigationKeyAction::next;
    default:
        return PlaybackNavigationKeyAction::ignore;
    }
}

bool PlaybackNavigationShortcutMonitor::usesArrowKeys(const QWidget* widget)
{
    if (!widget) {
        return false;
    }
    const QVariant declared = widget->property(usesArrowKeysProperty);
    if (declared.isValid()) {
        return declared.toBool();
    }
    // Buttons count too: a focused button moves the focus with the arrows.
    return qobject_cast<const QLineEdit*>(widget) || qobject_cast<const QAbstractSpinBox*>(widget)
        || qobject_cast<const QAbstractButton*>(widget)
        || qobject_cast<const QAbstractSlider*>(widget)
        || qobject_cast<const QAbstractScrollArea*>(widget)
        || qobject_cast<const QComboBox*>(widget) || qobject_cast<const QTabBar*>(widget)
        || qobject_cast<const QKeySequenceEdit*>(widget);
}

bool PlaybackNavigationShortcutMonitor::handleKeyPress(const QKeyEvent& event)
{
    if (!m_window || QApplication::activeWindow() != m_window->window()) {
        return false;
    }
    if (QApplication::activeModalWidget() || QApplication::activePopupWidget()) {
        return false;
    }
    if (usesArrowKeys(QApplication::focusWidget())) {
        return false;
    }
    const PlaybackNavigationKeyAction action
        = classifyKey(event.key(), event.modifiers(), event.isAutoRepeat());
    if (action == PlaybackNavigationKeyAction::ignore) {
        return false;
    }
    const PlaybackNavigationConfiguration configuration
        = m_configuration ? m_configuration() : PlaybackNavigationConfiguration {};
    if (action == PlaybackNavigationKeyAction::next && configuration.canPlayNext) {
        configuration.playNext();
        return true;
    }
    if (action == PlaybackNavigationKeyAction::previous && configuration.canPlayPrevious) {
        configuration.playPrevious();
        return true;
    }
    return false;
}

bool PlaybackNavigationShortcutMonitor::eventFilter(QObject* watched, QEvent* event)
{
    // The filter sees a key once per widget it propagates to; only the first
    // delivery (to the focus widget or the window) may act.
    if (event->type() == QEvent::KeyPress && watched->isWidgetType()
        && (watched == QApplication::focusWidget()
            || (!QApplication::focusWidget() && watched == QApplication::activeWindow()))) {
        return handleKeyPress(static_cast<const QKeyEvent&>(*event));
    }
    return QObject::eventFilter(watched, event);
}

} // namespace kivo
