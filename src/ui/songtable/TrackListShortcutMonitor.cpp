#include "ui/songtable/TrackListShortcutMonitor.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>

namespace kivo {

TrackListShortcutMonitor::TrackListShortcutMonitor(QWidget* list)
    : QObject(list)
    , m_list(list)
{
    qApp->installEventFilter(this);
}

TrackListShortcutMonitor::~TrackListShortcutMonitor()
{
    qApp->removeEventFilter(this);
}

void TrackListShortcutMonitor::setConfiguration(Configuration configuration)
{
    m_configuration = std::move(configuration);
}

bool TrackListShortcutMonitor::isTextInput(const QWidget* widget)
{
    if (!widget) {
        return false;
    }
    if (const auto* combo = qobject_cast<const QComboBox*>(widget)) {
        return combo->isEditable();
    }
    return qobject_cast<const QLineEdit*>(widget) || qobject_cast<const QTextEdit*>(widget)
        || qobject_cast<const QPlainTextEdit*>(widget)
        || qobject_cast<const QAbstractSpinBox*>(widget);
}

TrackListShortcutMonitor::Action TrackListShortcutMonitor::actionFor(
    const QObject* receiver, const QKeyEvent& key) const
{
    if (!m_list || !m_configuration.isEnabled || !receiver->isWidgetType()) {
        return Action::none;
    }
    // Only keys of the list's own window, while it is the active one and the
    // list is on screen.
    const QWidget* window = m_list->window();
    if (!m_list->isVisible() || !window->isActiveWindow()
        || static_cast<const QWidget*>(receiver)->window() != window) {
        return Action::none;
    }
    if (isTextInput(QApplication::focusWidget())) {
        return Action::none;
    }
    // The design's Command is Ctrl and its Control is Meta; Alt, keypad and
    // Caps Lock play no part. key() is the same with or without Shift.
    const Qt::KeyboardModifiers modifiers
        = key.modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::MetaModifier);
    const auto is = [&](Qt::KeyboardModifiers wanted) { return modifiers == wanted; };
    if (key.key() == Qt::Key_A && (is(Qt::ControlModifier) || is(Qt::MetaModifier))) {
        return m_configuration.canSelect ? Action::selectAll : Action::none;
    }
    if (key.key() == Qt::Key_A
        && (is(Qt::ShiftModifier | Qt::ControlModifier)
            || is(Qt::ShiftModifier | Qt::MetaModifier))) {
        return m_configuration.canDeselect ? Action::deselectAll : Action::none;
    }
    if (key.key() == Qt::Key_E && is(Qt::ControlModifier)) {
        return m_configuration.canEdit ? Action::editSelection : Action::none;
    }
    return Action::none;
}

bool TrackListShortcutMonitor::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::ShortcutOverride && type != QEvent::KeyPress) {
        return false;
    }
    auto* key = static_cast<QKeyEvent*>(event);
    const Action action = actionFor(watched, *key);
    if (action == Action::none) {
        return false;
    }
    // Accepting the override keeps a menu shortcut on the same keys from
    // firing; the key press that follows runs the list's action.
    key->accept();
    if (type == QEvent::ShortcutOverride) {
        return true;
    }
    const std::function<void()>& run = action == Action::selectAll ? m_configuration.selectAll
        : action == Action::deselectAll                            ? m_configuration.deselectAll
                                                                   : m_configuration.editSelection;
    if (run) {
        // A copy: the action may replace the configuration while it runs.
        const std::function<void()> callback = run;
        callback();
    }
    return true;
}

} // namespace kivo
