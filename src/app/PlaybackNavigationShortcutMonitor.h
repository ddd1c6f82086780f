#pragma once

#include "ui/eon/KeyModifiers.h"

#include <QObject>
#include <QPointer>
#include <QWidget>
#include <functional>

class QKeyEvent;

namespace kivo {

enum class PlaybackNavigationKeyAction { previous, next, ignore };

// What the arrow keys may do right now; read afresh at every key.
struct PlaybackNavigationConfiguration {
    bool canPlayPrevious = false;
    bool canPlayNext = false;
    std::function<void()> playPrevious = [] {};
    std::function<void()> playNext = [] {};
};

// Bare Left and Right move playback to the previous and next song while the
// main window is the active window and nothing that uses the arrows has the
// focus. Installed on the application for as long as it exists; a key it acts
// on is consumed.
class PlaybackNavigationShortcutMonitor : public QObject {
    Q_OBJECT
public:
    // A widget sets this dynamic property to true to keep the arrows for
    // itself, or to false to leave them to playback although its kind would
    // keep them (the song table: a list of rows has no use for Left and Right).
    static constexpr const char* usesArrowKeysProperty = keys::usesArrowKeysProperty;

    PlaybackNavigationShortcutMonitor(QWidget* window,
        std::function<PlaybackNavigationConfiguration()> configuration, QObject* parent = nullptr);

    // Auto-repeats and any Shift, Ctrl, Alt or Meta ignore; then Left is
    // previous and Right is next; every other key ignores.
    static PlaybackNavigationKeyAction classifyKey(
        int key, Qt::KeyboardModifiers modifiers, bool isAutoRepeat);
    // Text fields, spin boxes, buttons, sliders, lists, tables, combo boxes,
    // tab bars and scroll areas, unless usesArrowKeysProperty says otherwise.
    static bool usesArrowKeys(const QWidget* widget);

    // In order: the window must be active, no modal dialog or sheet open, the
    // focus not on a widget that uses the arrows; then the key is classified
    // and acted on when its direction is possible. True when it acted.
    bool handleKeyPress(const QKeyEvent& event);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<QWidget> m_window;
    std::function<PlaybackNavigationConfiguration()> m_configuration;
};

} // namespace kivo
