#pragma once

#include "ui/songtable/TrackListSelectionCommands.h"

#include <QKeySequence>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QUrl>
#include <optional>
#include <qcoro/qcorotask.h>

class QWidget;

namespace kivo {

class AudioEngine;
class FolderChooser;
class LibraryEngine;
class QueueEngine;
class UndoManager;
class WorkspacePanelState;

// Every item of the menu bar.
enum class MenuCommand {
    about,
    addFolder,
    rescanLibrary,
    quit,
    undo,
    redo,
    selectAllSongs,
    deselectAllSongs,
    editSelection,
    playPause,
    nextTrack,
    previousTrack,
    enableLibrarySidebar,
    showLibrarySidebar,
    lockLibrarySidebar,
    enableInspector,
    showInspector,
    lockInspector,
};

// What an item shows now.
struct MenuItemState {
    QString title;
    QKeySequence shortcut;
    bool isEnabled = false;
    bool isCheckable = false;
    bool isChecked = false;

    bool operator==(const MenuItemState&) const = default;
};

// One menu of the bar: its title and its items, a divider where an entry is empty.
struct MenuDescription {
    QString title;
    QList<std::optional<MenuCommand>> entries;
};

// The menu bar without any widget: every item's title, key, enabled and
// checked state, read from the engines' published values, and what each item
// does. Each item is a thin adapter: Play/Pause goes to the audio engine, Next
// and Previous to the queue, the selection items to the visible song list's
// command target, the Workspace toggles to WorkspacePanelState, Undo and Redo
// to the window's undo manager. trigger() tests the item's condition again,
// so a stale menu never acts. Main thread only.
class MainMenuBarCommands : public QObject {
    Q_OBJECT
public:
    struct Services {
        LibraryEngine& library;
        AudioEngine& audio;
        QueueEngine& queue;
        WorkspacePanelState& panels;
        UndoManager& undo;
        FolderChooser* folders;
        // Where the folder chooser opens.
        QWidget* dialogParent = nullptr;
    };

    static inline const QString folderImportFailedText
        = QStringLiteral("The folder could not be added");

    explicit MainMenuBarCommands(Services services, QObject* parent = nullptr);

    // File, Edit, Playback, Workspace, Help, in that order.
    static const QList<MenuDescription>& menus();

    MenuItemState item(MenuCommand command) const;
    // Runs the item when its condition holds now; false when it did nothing.
    bool trigger(MenuCommand command);

    // The song list the selection items act on; none when no list is shown.
    // Followed until it is destroyed.
    void setCommandTarget(TrackListSelectionCommandTarget* target);
    TrackListSelectionCommandTarget* commandTarget() const { return m_target.data(); }

    // Tests put their own chooser in place of the dialog.
    void setFolderChooser(FolderChooser* chooser) { m_services.folders = chooser; }

    // Whether a folder import started from the menu is still running.
    bool isImportingFolders() const { return m_importsRunning > 0; }

Q_SIGNALS:
    // Some title, enabled or checked state may differ: read item() again.
    void itemsChanged();
    void aboutRequested();
    void quitRequested();
    // A folder import failed: a warning alert with `message` and the error's
    // `informativeText`.
    void alertRequested(const QString& message, const QString& informativeText);
    // The import started from the menu has ended, successfully or not.
    void folderImportFinished();

private:
    void addFolder();
    QCoro::Task<> importFolders(QList<QUrl> folders);
    bool targetCountAtLeastOne(MenuCommand command) const;
    bool hasCurrentTrack() const;

    Services m_services;
    QPointer<TrackListSelectionCommandTarget> m_target;
    QList<QMetaObject::Connection> m_targetConnections;
    int m_importsRunning = 0;
};

} // namespace kivo
