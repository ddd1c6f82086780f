#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>
#include <functional>

class QKeyEvent;

namespace kivo {

// Turns Ctrl+A / Meta+A into select-all, Ctrl+Shift+A / Meta+Shift+A into
// deselect-all and Ctrl+E into edit-selection for one track list, while the
// list is visible in the active window and no text field has focus. A
// shortcut it handles is consumed, so a menu action on the same keys does not
// run as well; anything else passes on unchanged. Lives as long as the list.
class TrackListShortcutMonitor : public QObject {
    Q_OBJECT
public:
    struct Configuration {
        bool isEnabled = false; // false while an editor sheet is open
        bool canSelect = false;
        bool canDeselect = false;
        bool canEdit = false;
        std::function<void()> selectAll;
        std::function<void()> deselectAll;
        std::function<void()> editSelection;
    };

    // Watches the application's key events on behalf of `list`.
    explicit TrackListShortcutMonitor(QWidget* list);
    ~TrackListShortcutMonitor() override;

    // The list sets it again whenever its state changes.
    void setConfiguration(Configuration configuration);
    const Configuration& configuration() const { return m_configuration; }

    // Widgets whose keys must not be taken (text fields, text views, spin boxes,
    // editable combo boxes).
    static bool isTextInput(const QWidget* widget);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    enum class Action { none, selectAll, deselectAll, editSelection };
    // What the key would do now, or none when it must pass on.
    Action actionFor(const QObject* receiver, const QKeyEvent& key) const;

    QPointer<QWidget> m_list;
    Configuration m_configuration;
};

} // namespace kivo
