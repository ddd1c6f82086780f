#include "app/MainMenuBarCommands.h"

#include "app/FolderChooser.h"
#include "app/WorkspacePanelState.h"
#include "engines/library/LibraryEngine.h"
#include "engines/playback/AudioEngine.h"
#include "engines/playback/QueueEngine.h"
#include "model/ErrorText.h"
#include "platform/UndoManager.h"
#include "ui/eon/KeyModifiers.h"
#include "ui/songtable/TrackListSelectionCommands.h"

using namespace Qt::Literals::StringLiterals;

namespace kivo {

namespace {

QKeySequence key(Qt::Key key, Qt::KeyboardModifiers modifiers = keys::command)
{
    return QKeySequence(QKeyCombination(modifiers, key));
}

WorkspacePanelSide sideOf(MenuCommand command)
{
    switch (command) {
    case MenuCommand::enableInspector:
    case MenuCommand::showInspector:
    case MenuCommand::lockInspector:
        return WorkspacePanelSide::right;
    default:
        return WorkspacePanelSide::left;
    }
}

} // namespace

MainMenuBarCommands::MainMenuBarCommands(Services services, QObject* parent)
    : QObject(parent)
    , m_services(services)
{
    const auto changed = [this] { Q_EMIT itemsChanged(); };
    connect(&m_services.audio, &AudioEngine::playbackStateChanged, this, changed);
    connect(&m_services.audio, &AudioEngine::currentTrackChanged, this, changed);
    connect(&m_services.undo, &UndoManager::stateChanged, this, changed);
    WorkspacePanelState& panels = m_services.panels;
    for (auto signal :
        { &WorkspacePanelState::isLeftEnabledChanged, &WorkspacePanelState::isLeftExpandedChanged,
            &WorkspacePanelState::isLeftLockedChanged, &WorkspacePanelState::isRightEnabledChanged,
            &WorkspacePanelState::isRightExpandedChanged,
            &WorkspacePanelState::isRightLockedChanged }) {
        connect(&panels, signal, this, changed);
    }
}

const QList<MenuDescription>& MainMenuBarCommands::menus()
{
    using C = MenuCommand;
    static const QList<MenuDescription> menus {
        { u"&File"_s, { C::addFolder, std::nullopt, C::rescanLibrary, std::nullopt, C::quit } },
        { u"&Edit"_s,
            { C::undo, C::redo, std::nullopt, C::selectAllSongs, C::deselectAllSongs,
                C::editSelection } },
        { u"&Playback"_s, { C::playPause, C::nextTrack, C::previousTrack } },
        { u"&Workspace"_s,
            { C::enableLibrarySidebar, C::showLibrarySidebar, C::lockLibrarySidebar, std::nullopt,
                C::enableInspector, C::showInspector, C::lockInspector } },
        { u"&Help"_s, { C::about } },
    };
    return menus;
}

void MainMenuBarCommands::setCommandTarget(TrackListSelectionCommandTarget* target)
{
    if (target == m_target) {
        return;
    }
    for (const QMetaObject::Connection& connection : std::as_const(m_targetConnections)) {
        disconnect(connection);
    }
    m_targetConnections.clear();
    m_target = target;
    if (target) {
        const auto changed = [this] { Q_EMIT itemsChanged(); };
        m_targetConnections << connect(
            target, &TrackListSelectionCommandTarget::trackCountChanged, this, changed)
                            << connect(target,
                                   &TrackListSelectionCommandTarget::selectionCountChanged, this,
                                   changed)
                            << connect(target, &QObject::destroyed, this, changed);
    }
    Q_EMIT itemsChanged();
}

bool MainMenuBarCommands::hasCurrentTrack() const
{
    return m_services.audio.currentTrack().has_value();
}

bool MainMenuBarCommands::targetCountAtLeastOne(MenuCommand command) const
{
    if (!m_target) {
        return false;
    }
    const int count = command == MenuCommand::selectAllSongs ? m_target->trackCount()
                                                             : m_target->selectionCount();
    return count >= 1;
}

MenuItemState MainMenuBarCommands::item(MenuCommand command) const
{
    const WorkspacePanelState& panels = m_services.panels;
    const UndoManager& undo = m_services.undo;
    const WorkspacePanelSide side = sideOf(command);
    const bool playing = m_services.audio.playbackState() == PlaybackState::playing;
    const QString panel = displayName(side);
    switch (command) {
    case MenuCommand::about:
        return { u"About KIVO VOVID"_s, {}, true };
    case MenuCommand::addFolder:
        return { u"Add Folder to Library..."_s, key(Qt::Key_O), true };
    case MenuCommand::rescanLibrary:
        return { u"Rescan Library Folders"_s, key(Qt::Key_R), true };
    case MenuCommand::quit:
        return { u"Quit KIVO VOVID"_s, key(Qt::Key_Q), true };
    case MenuCommand::undo:
        return { undo.undoMenuItemTitle(), key(Qt::Key_Z), undo.canUndo() && !undo.isBlocked() };
    case MenuCommand::redo:
        return { undo.redoMenuItemTitle(), key(Qt::Key_Z, keys::command | keys::shift),
            undo.canRedo() && !undo.isBlocked() };
    case MenuCommand::selectAllSongs:
        return { u"Select All Songs"_s, key(Qt::Key_A), targetCountAtLeastOne(command) };
    case MenuCommand::deselectAllSongs:
        return { u"Deselect All Songs"_s, key(Qt::Key_A, keys::command | keys::shift),
            targetCountAtLeastOne(command) };
    case MenuCommand::editSelection:
        return { m_target && m_target->selectionCount() >= 2
                ? u"Edit Shared Metadata for Selected Songs\u2026"_s
                : u"Edit Selected Song Metadata\u2026"_s,
            key(Qt::Key_E), targetCountAtLeastOne(command) };
    case MenuCommand::playPause:
        return { playing ? u"Pause"_s : u"Play"_s, key(Qt::Key_Space, Qt::NoModifier),
            hasCurrentTrack() };
    case MenuCommand::nextTrack:
        return { u"Next Track"_s, key(Qt::Key_Right), hasCurrentTrack() };
    case MenuCommand::previousTrack:
        return { u"Previous Track"_s, key(Qt::Key_Left), hasCurrentTrack() };
    case MenuCommand::enableLibrarySidebar:
    case MenuCommand::enableInspector:
        return { u"Enable "_s + panel, {}, true, true, panels.isEnabled(side) };
    case MenuCommand::showLibrarySidebar:
    case MenuCommand::showInspector:
        return { u"Show "_s + panel,
            key(side == WorkspacePanelSide::left ? Qt::Key_L : Qt::Key_I,
                keys::command | keys::shift),
            panels.isEnabled(side) && !panels.isLocked(side), true,
            panels.isEnabled(side) && panels.isExpanded(side) };
    case MenuCommand::lockLibrarySidebar:
    case MenuCommand::lockInspector:
        return { u"Lock "_s + panel, {}, panels.isEnabled(side), true, panels.isLocked(side) };
    }
    return {};
}

bool MainMenuBarCommands::trigger(MenuCommand command)
{
    const MenuItemState state = item(command);
    if (!state.isEnabled) {
        return false;
    }
    WorkspacePanelState& panels = m_services.panels;
    const WorkspacePanelSide side = sideOf(command);
    switch (command) {
    case MenuCommand::about:
        Q_EMIT aboutRequested();
        break;
    case MenuCommand::addFolder:
        addFolder();
        break;
    case MenuCommand::rescanLibrary:
        m_services.library.rescanLibrary();
        break;
    case MenuCommand::quit:
        Q_EMIT quitRequested();
        break;
    case MenuCommand::undo:
        m_services.undo.undo();
        break;
    case MenuCommand::redo:
        m_services.undo.redo();
        break;
    case MenuCommand::selectAllSongs:
        m_target->send(TrackListSelectionCommand::selectAll);
        break;
    case MenuCommand::deselectAllSongs:
        m_target->send(TrackListSelectionCommand::deselectAll);
        break;
    case MenuCommand::editSelection:
        m_target->send(TrackListSelectionCommand::editSelection);
        break;
    case MenuCommand::playPause:
        // The title was computed from the same state, so the item does what it says.
        if (m_services.audio.playbackState() == PlaybackState::playing) {
            m_services.audio.pause();
        } else {
            m_services.audio.resume();
        }
        break;
    case MenuCommand::nextTrack:
        m_services.queue.advanceToNext();
        break;
    case MenuCommand::previousTrack:
        m_services.queue.returnToPrevious();
        break;
    case MenuCommand::enableLibrarySidebar:
    case MenuCommand::enableInspector:
        panels.setEnabled(side, !panels.isEnabled(side));
        break;
    case MenuCommand::showLibrarySidebar:
    case MenuCommand::showInspector:
        panels.setExpanded(side, !state.isChecked);
        break;
    case MenuCommand::lockLibrarySidebar:
    case MenuCommand::lockInspector:
        panels.setLocked(side, !panels.isLocked(side));
        break;
    }
    return true;
}

void MainMenuBarCommands::addFolder()
{
    if (!m_services.folders) {
        return;
    }
    const QPointer<MainMenuBarCommands> self(this);
    m_services.folders->chooseFolders(m_services.dialogParent, [self](QList<QUrl> folders) {
        if (self && !folders.isEmpty()) {
            self->importFolders(std::move(folders));
        }
    });
}

QCoro::Task<> MainMenuBarCommands::importFolders(QList<QUrl> folders)
{
    // The engine outlives the menu; the menu may not outlive the import.
    const QPointer<MainMenuBarCommands> self(this);
    ++m_importsRunning;
    std::exception_ptr failure;
    try {
        QCoro::Task<> adding = m_services.library.addFolders(std::move(folders));
        co_await std::move(adding);
    } catch (...) {
        failure = std::current_exception();
    }
    if (!self) {
        co_return;
    }
    --m_importsRunning;
    if (failure) {
        Q_EMIT alertRequested(folderImportFailedText, describeError(failure));
    }
    Q_EMIT folderImportFinished();
}

} // namespace kivo
