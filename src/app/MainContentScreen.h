#pragma once

#include "app/MainLayoutPresenter.h"

#include <functional>

class QWidget;

namespace kivo {

class ImportFileChooser;
class PlaylistEngine;
class TrackListView;
struct TrackListDependencies;

// One screen of the window's content: the widget, the track list in it (the
// menus' selection commands and the inspector bind to that), and the two
// things the window asks of any screen. The window owns the widget; the
// callbacks are valid while it lives.
struct MainContentScreen {
    QWidget* widget = nullptr;
    TrackListView* list = nullptr;
    // Shows `content` in this screen in place and says so; false: the content
    // needs a screen of its own. Every playlist shows in the same playlist
    // screen, which keeps its state and reads the new playlist's songs at once.
    std::function<bool(const MainContent&)> showInPlace;
    // The chooser an import starts; none on screens that import nothing.
    std::function<void(ImportFileChooser*)> setChooser;
};

// The screen factory: the one place that knows which screen shows which
// content.
MainContentScreen makeMainContentScreen(const MainContent& content,
    const TrackListDependencies& dependencies, PlaylistEngine& playlists,
    ImportFileChooser* importChooser, QWidget* parent);

} // namespace kivo
