#include "app/MainMenuBarCommands.h"
#include "app/FolderChooser.h"
#include "app/WorkspacePanelState.h"
#include "platform/UndoManager.h"
#include "platform/UserDefaults.h"
#include "support/ScriptedAudioEngine.h"
#include "support/ScriptedLibraryEngine.h"
#include "support/ScriptedQueueEngine.h"
#include "support/TempDir.h"
#include "ui/songtable/TrackListSelectionCommands.h"

#include <QSignalSpy>
#include <QStringList>
#include <gtest/gtest.h>
#include <stdexcept>

using namespace kivo;
using namespace Qt::Literals::StringLiterals;

namespace {

using FakeAudio = test::ScriptedAudioEngine;
using FakeQueue = test::ScriptedQueueEngine;
using FakeLibrary = test::ScriptedLibraryEngine;

// Keeps the chooser's answer for the test to give.
class FakeChooser : public FolderChooser {
public:
    void chooseFolders(QWidget*, std::function<void(QList<QUrl>)> done) override
    {
        ++asked;
        answer = std::move(done);
    }
    int asked = 0;
    std::function<void(QList<QUrl>)> answer;
};

class MainMenuBarCommandsTest : public test::TempDirTest {
protected:
    void SetUp() override
    {
        TempDirTest::SetUp();
        panels = std::make_unique<WorkspacePanelState>(defaults);
        menu = std::make_unique<MainMenuBarCommands>(
            MainMenuBarCommands::Services { library, audio, queue, *panels, undo, &chooser });
    }

    // "Title [key] on|off" for each command, with "(x)" for a checked toggle.
    QString describe(std::initializer_list<MenuCommand> commands) const
    {
        QStringList lines;
        for (const MenuCommand command : commands) {
            const MenuItemState state = menu->item(command);
            QString line = state.title;
            if (!state.shortcut.isEmpty()) {
                line += u" ["_s + state.shortcut.toString(QKeySequence::PortableText) + u']';
            }
            line += state.isEnabled ? u" on"_s : u" off"_s;
            if (state.isCheckable) {
                line += state.isChecked ? u" (x)"_s : u" ( )"_s;
            }
            lines << line;
        }
        return lines.join(u" | "_s);
    }

    QString selectionItems() const
    {
        return describe({ MenuCommand::selectAllSongs, MenuCommand::deselectAllSongs,
            MenuCommand::editSelection });
    }

    std::shared_ptr<UserDefaults> defaults
        = std::make_shared<SettingsUserDefaults>(path(u"settings.json"_s));
    FakeAudio audio;
    FakeQueue queue;
    FakeLibrary library;
    FakeChooser chooser;
    UndoManager undo;
    std::unique_ptr<WorkspacePanelState> panels;
    std::unique_ptr<MainMenuBarCommands> menu;
};

TEST_F(MainMenuBarCommandsTest, SelectionItemsFollowTheVisibleListAndSendItsCommands)
{
    EXPECT_EQ(selectionItems(),
        u"Select All Songs [Ctrl+A] off | Deselect All Songs [Ctrl+Shift+A] off"
        u" | Edit Selected Song Metadata\u2026 [Ctrl+E] off");

    TrackListSelectionCommandTarget target;
    QList<TrackListSelectionCommand> sent;
    QObject::connect(&target, &TrackListSelectionCommandTarget::commandSent,
        [&sent](TrackListSelectionCommand command) { sent << command; });
    menu->setCommandTarget(&target);
    QSignalSpy changed(menu.get(), &MainMenuBarCommands::itemsChanged);
    const struct {
        int tracks;
        int selected;
        const char16_t* expected;
    } cases[] = {
        { 0, 0,
            u"Select All Songs [Ctrl+A] off | Deselect All Songs [Ctrl+Shift+A] off"
            u" | Edit Selected Song Metadata\u2026 [Ctrl+E] off" },
        { 10, 0,
            u"Select All Songs [Ctrl+A] on | Deselect All Songs [Ctrl+Shift+A] off"
            u" | Edit Selected Song Metadata\u2026 [Ctrl+E] off" },
        { 10, 1,
            u"Select All Songs [Ctrl+A] on | Deselect All Songs [Ctrl+Shift+A] on"
            u" | Edit Selected Song Metadata\u2026 [Ctrl+E] on" },
        { 10, 2,
            u"Select All Songs [Ctrl+A] on | Deselect All Songs [Ctrl+Shift+A] on"
            u" | Edit Shared Metadata for Selected Songs\u2026 [Ctrl+E] on" },
    };
    for (const auto& each : cases) {
        target.update(each.tracks, each.selected);
        EXPECT_EQ(selectionItems(), QString::fromUtf16(each.expected))
            << each.tracks << " songs, " << each.selected << " selected";
        for (const MenuCommand command : { MenuCommand::selectAllSongs,
                 MenuCommand::deselectAllSongs, MenuCommand::editSelection }) {
            EXPECT_EQ(menu->trigger(command), menu->item(command).isEnabled);
        }
    }
    EXPECT_GE(changed.count(), 3);
    // 10/0 selects; 10/1 and 10/2 select, deselect and edit.
    using Command = TrackListSelectionCommand;
    EXPECT_EQ(sent,
        (QList<Command> { Command::selectAll, Command::selectAll, Command::deselectAll,
            Command::editSelection, Command::selectAll, Command::deselectAll,
            Command::editSelection }));

    {
        TrackListSelectionCommandTarget gone;
        gone.update(10, 2);
        menu->setCommandTarget(&gone);
    }
    EXPECT_EQ(menu->commandTarget(), nullptr);
    EXPECT_FALSE(menu->trigger(MenuCommand::editSelection));
}

TEST_F(MainMenuBarCommandsTest, PlaybackItemsNeedACurrentSongAndPlayPauseNamesWhatItWillDo)
{
    const QList<MenuCommand> playback
        = { MenuCommand::playPause, MenuCommand::nextTrack, MenuCommand::previousTrack };
    EXPECT_EQ(
        describe({ MenuCommand::playPause, MenuCommand::nextTrack, MenuCommand::previousTrack }),
        u"Play [Space] off | Next Track [Ctrl+Right] off | Previous Track [Ctrl+Left] off");
    for (const MenuCommand command : playback) {
        EXPECT_FALSE(menu->trigger(command));
    }

    audio.current = Track::make(QUuid::createUuid(), QUrl::fromLocalFile(u"/music/a.mp3"_s),
        u"a.mp3"_s, u"A"_s, 60, Date {});
    audio.state = PlaybackState::playing;
    EXPECT_EQ(describe({ MenuCommand::playPause }), u"Pause [Space] on");
    for (const MenuCommand command : playback) {
        EXPECT_TRUE(menu->trigger(command));
    }
    audio.state = PlaybackState::paused;
    EXPECT_EQ(describe({ MenuCommand::playPause }), u"Play [Space] on");
    menu->trigger(MenuCommand::playPause);
    EXPECT_EQ(audio.calls, (QStringList { u"pause"_s, u"resume"_s }));
    EXPECT_EQ(queue.calls, (QStringList { u"next"_s, u"previous"_s }));
}

TEST_F(MainMenuBarCommandsTest, WorkspaceTogglesFollowAndWriteThePanelState)
{
    const auto left = [this] {
        return describe({ MenuCommand::enableLibrarySidebar, MenuCommand::showLibrarySidebar,
            MenuCommand::lockLibrarySidebar });
    };
    EXPECT_EQ(left(),
        u"Enable Library Sidebar on (x) | Show Library Sidebar [Ctrl+Shift+L] on (x)"
        u" | Lock Library Sidebar on ( )");
    EXPECT_EQ(describe({ MenuCommand::showInspector }),
        u"Show Now Playing Inspector [Ctrl+Shift+I] on (x)");

    menu->trigger(MenuCommand::lockLibrarySidebar);
    EXPECT_EQ(left(),
        u"Enable Library Sidebar on (x) | Show Library Sidebar [Ctrl+Shift+L] off (x)"
        u" | Lock Library Sidebar on (x)");
    EXPECT_FALSE(menu->trigger(MenuCommand::showLibrarySidebar));
    EXPECT_TRUE(panels->isLeftExpanded());

    menu->trigger(MenuCommand::enableLibrarySidebar);
    EXPECT_EQ(left(),
        u"Enable Library Sidebar on ( ) | Show Library Sidebar [Ctrl+Shift+L] off ( )"
        u" | Lock Library Sidebar off ( )");

    menu->trigger(MenuCommand::showInspector);
    menu->trigger(MenuCommand::lockInspector);
    const WorkspacePanelState stored(defaults);
    EXPECT_FALSE(stored.isLeftEnabled());
    EXPECT_FALSE(stored.isLeftExpanded());
    EXPECT_FALSE(stored.isLeftLocked());
    EXPECT_FALSE(stored.isRightExpanded());
    EXPECT_TRUE(stored.isRightLocked());
    menu->trigger(MenuCommand::lockInspector);
    menu->trigger(MenuCommand::showInspector);
    EXPECT_TRUE(WorkspacePanelState(defaults).isRightExpanded());
}

TEST_F(MainMenuBarCommandsTest, UndoAndRedoNameTheStepAndWaitWhileAWriteRuns)
{
    EXPECT_EQ(describe({ MenuCommand::undo, MenuCommand::redo }),
        u"Undo [Ctrl+Z] off | Redo [Ctrl+Shift+Z] off");
    int value = 1;
    undo.registerUndo(u"Remove Song Column"_s, [&value](UndoInverse inverse) {
        value = 1 - value;
        inverse.registerStep(u"Remove Song Column"_s, [&value](UndoInverse) { value = 1 - value; });
    });
    EXPECT_EQ(describe({ MenuCommand::undo, MenuCommand::redo }),
        u"Undo Remove Song Column [Ctrl+Z] on | Redo [Ctrl+Shift+Z] off");

    undo.setBusy(this, true);
    EXPECT_EQ(describe({ MenuCommand::undo }), u"Undo Remove Song Column [Ctrl+Z] off");
    EXPECT_FALSE(menu->trigger(MenuCommand::undo));
    undo.setBusy(this, false);

    EXPECT_TRUE(menu->trigger(MenuCommand::undo));
    EXPECT_EQ(value, 0);
    EXPECT_EQ(describe({ MenuCommand::undo, MenuCommand::redo }),
        u"Undo [Ctrl+Z] off | Redo Remove Song Column [Ctrl+Shift+Z] on");
}

TEST_F(MainMenuBarCommandsTest, AddingFoldersImportsTheChosenOnesAndAlertsOnlyOnFailure)
{
    QSignalSpy alerts(menu.get(), &MainMenuBarCommands::alertRequested);
    QSignalSpy finished(menu.get(), &MainMenuBarCommands::folderImportFinished);
    EXPECT_EQ(describe({ MenuCommand::addFolder, MenuCommand::rescanLibrary }),
        u"Add Folder to Library... [Ctrl+O] on | Rescan Library Folders [Ctrl+R] on");

    menu->trigger(MenuCommand::addFolder);
    ASSERT_EQ(chooser.asked, 1);
    chooser.answer({}); // cancelled
    EXPECT_TRUE(library.added.isEmpty());
    EXPECT_EQ(finished.count(), 0);

    menu->trigger(MenuCommand::addFolder);
    chooser.answer({ QUrl::fromLocalFile(u"/music/b"_s), QUrl::fromLocalFile(u"/music/a"_s) });
    EXPECT_EQ(library.added, (QStringList { u"/music/b"_s, u"/music/a"_s }));
    EXPECT_EQ(finished.count(), 1);
    EXPECT_EQ(alerts.count(), 0);

    library.failWith = u"The folder \u201c/music/c\u201d could not be read."_s;
    menu->trigger(MenuCommand::addFolder);
    chooser.answer({ QUrl::fromLocalFile(u"/music/c"_s) });
    ASSERT_EQ(alerts.count(), 1);
    EXPECT_EQ(alerts.at(0).at(0).toString(), u"The folder could not be added");
    EXPECT_EQ(alerts.at(0).at(1).toString(), library.failWith);
    EXPECT_FALSE(menu->isImportingFolders());
}

} // namespace
