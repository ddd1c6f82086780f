// What a screen reader finds in the real window: every named control with its
// exact text, role and value, in the window and in each sheet, and the painted
// song table and seek bar acting through their accessible actions.
#include "AppOnTempFolder.h"
#include "app/AboutView.h"
#include "app/DIContainer.h"
#include "app/MainLayoutPresenter.h"
#include "app/MainLayoutView.h"
#include "app/MainWindow.h"
#include "app/SettingsView.h"
#include "app/TavrenMediaStudioApp.h"
#include "engines/library/LibraryEngineImpl.h"
#include "engines/library/PlaylistEngineImpl.h"
#include "engines/playback/AudioEngineImpl.h"
#include "engines/playback/QueueEngineImpl.h"
#include "support/Await.h"
#include "support/TempDir.h"
#include "support/WaitFor.h"
#include "support/WavWriter.h"
#include "ui/eon/EonIconButton.h"
#include "ui/library/AddSongsSheet.h"
#include "ui/library/NewPlaylistSheet.h"
#include "ui/library/PlaylistDetailView.h"
#include "ui/library/PlaylistRenameSheet.h"
#include "ui/library/SidebarView.h"
#include "ui/songtable/TrackListController.h"
#include "ui/songtable/TrackListOverlaysModifier.h"
#include "ui/songtable/TrackListTableView.h"
#include "ui/songtable/TrackListView.h"
#include "ui/songtable/TrackTableHeaderView.h"
#include "ui/songtable/TrackTableLayoutState.h"
#include "ui/songtable/TrackTableModel.h"

#include <QAccessible>
#include <QApplication>
#include <QDir>
#include <QListView>
#include <QScrollBar>
#include <QTest>
#include <gtest/gtest.h>

using namespace kivo;
using namespace Qt::Literals::StringLiterals;

namespace {

struct Expected {
    QAccessible::Role role;
    QString name;
    QString value = {}; // checked when not empty
};

void collect(QAccessibleInterface* node, QList<QAccessibleInterface*>& into, int depth = 0)
{
    if (!node || depth > 40) {
        return;
    }
    into << node;
    for (int i = 0; i < node->childCount(); ++i) {
        QAccessibleInterface* child = node->child(i);
        // Every child names its parent back: a tree, not a one-way list.
        EXPECT_EQ(child ? node->indexOfChild(child) : i, i)
            << qPrintable(node->text(QAccessible::Name));
        collect(child, into, depth + 1);
    }
}

QAccessibleInterface* find(QObject* root, QAccessible::Role role, const QString& name)
{
    QList<QAccessibleInterface*> all;
    collect(QAccessible::queryAccessibleInterface(root), all);
    for (QAccessibleInterface* node : all) {
        if (node->role() == role && node->text(QAccessible::Name) == name) {
            return node;
        }
    }
    return nullptr;
}

void expectAll(QObject* root, const QList<Expected>& expected, const char* where)
{
    for (const Expected& each : expected) {
        QAccessibleInterface* node = find(root, each.role, each.name);
        ASSERT_TRUE(node) << where << ": no " << qPrintable(each.name) << " of role " << each.role;
        if (!each.value.isEmpty()) {
            EXPECT_EQ(node->text(QAccessible::Value), each.value) << qPrintable(each.name);
        }
    }
}

// The control with this identifier, as the walk from `root` reaches it.
QAccessibleInterface* identified(QWidget* root, const QString& identifier)
{
    auto* widget = root->findChild<QWidget*>(identifier);
    QList<QAccessibleInterface*> all;
    collect(QAccessible::queryAccessibleInterface(root), all);
    QAccessibleInterface* node = widget ? QAccessible::queryAccessibleInterface(widget) : nullptr;
    return all.contains(node) ? node : nullptr;
}

// Where Tab goes against the reading order (top to bottom, then left to
// right along a line) among the controls of `root` that it reaches. Two
// controls compare where their branches under their nearest common ancestor
// sit: what a scroll area holds reads where the scroll area is, however far
// it is scrolled, and a container goes before what it holds.
std::string tabAgainstReadingOrder(QWidget* root)
{
    QList<QWidget*> chain;
    for (QWidget* each = root->nextInFocusChain(); each != root; each = each->nextInFocusChain()) {
        if ((each->focusPolicy() & Qt::TabFocus) && each->isEnabled() && each->isVisibleTo(root)
            && root->isAncestorOf(each)) {
            chain << each;
        }
    }
    const auto backwards = [](QWidget* first, QWidget* second) {
        if (first->isAncestorOf(second)) {
            return false;
        }
        QWidget* common = first->parentWidget();
        while (!common->isAncestorOf(second)) {
            common = common->parentWidget();
        }
        const auto branch = [common](QWidget* widget) {
            while (widget->parentWidget() != common) {
                widget = widget->parentWidget();
            }
            return widget->geometry();
        };
        const QRect before = branch(first);
        const QRect after = branch(second);
        const bool oneLine
            = (after.center().y() >= before.top() && after.center().y() <= before.bottom())
            || (before.center().y() >= after.top() && before.center().y() <= after.bottom());
        return oneLine ? after.center().x() <= before.center().x()
                       : after.center().y() <= before.center().y();
    };
    const auto name = [](QWidget* widget) {
        return widget->objectName().isEmpty()
            ? QString::fromLatin1(widget->metaObject()->className())
            : widget->objectName();
    };
    QStringList wrong;
    for (qsizetype i = 1; i < chain.size(); ++i) {
        if (backwards(chain[i - 1], chain[i])) {
            wrong << name(chain[i - 1]) + u" -> "_s + name(chain[i]);
        }
    }
    return wrong.join(u"; "_s).toStdString();
}

void press(
    QAccessibleInterface* node, const QString& action = QAccessibleActionInterface::pressAction())
{
    ASSERT_TRUE(node && node->actionInterface());
    ASSERT_TRUE(node->actionInterface()->actionNames().contains(action));
    node->actionInterface()->doAction(action);
}

class AccessibilityWindowTest : public test::TempDirTest {
protected:
    void SetUp() override
    {
        TempDirTest::SetUp();
        app = test::startAppIn(dir.path());
        ASSERT_TRUE(app->container().isBootstrapFinished());
        ASSERT_TRUE(test::importTones(*app, dir.path(), { u"Aria"_s, u"Bolero"_s }, 10.0));
        ASSERT_EQ(library().allTracks().size(), 2);
        window().resize(1500, 900);
        window().show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window()));
        list = window().layoutView().contentScreen()->findChild<TrackListView*>();
        ASSERT_TRUE(list);
        KIVO_WAIT_EQ(list->table()->model()->rowCount(), 2);
    }

    MainWindow& window() const { return app->mainWindow(); }
    LibraryEngine& library() const { return app->container().libraryEngine(); }
    QAccessibleInterface* in(QAccessible::Role role, const QString& name) const
    {
        return find(&window(), role, name);
    }

    std::unique_ptr<TavrenMediaStudioApp> app;
    TrackListView* list = nullptr;
};

TEST_F(AccessibilityWindowTest, TheWindowNamesEveryControlItShows)
{
    expectAll(&window(),
        {
            { QAccessible::Button, u"About KIVO VOVID"_s },
            { QAccessible::Button, u"Collapse Library Sidebar"_s },
            { QAccessible::Button, u"Collapse Now Playing Inspector"_s },
            { QAccessible::Button, u"Shuffle"_s },
            { QAccessible::Button, u"Previous track"_s },
            { QAccessible::Button, u"Play"_s },
            { QAccessible::Button, u"Next track"_s },
            { QAccessible::Button, u"Repeat Off"_s },
            { QAccessible::Button, u"Playback queue"_s },
            { QAccessible::Button, u"Add to Favorites"_s },
            { QAccessible::Button, u"Mute"_s },
            { QAccessible::Slider, u"Volume"_s },
            { QAccessible::Slider, u"Playback waveform"_s, u"0:00"_s },
            { QAccessible::ButtonMenu, u"Customize Song Columns"_s },
            { QAccessible::ColumnHeader, u"Sort by Title"_s, u"Ascending"_s },
            { QAccessible::ColumnHeader, u"Sort by Artist"_s, u"Not selected"_s },
            { QAccessible::Grip, u"Move Title column"_s },
            { QAccessible::Grip, u"Resize Duration column"_s },
            { QAccessible::Row, u"Aria"_s },
            { QAccessible::Button, u"Play Bolero"_s },
            { QAccessible::Button, u"Edit Aria"_s },
            { QAccessible::Cell, u"Aria"_s },
        },
        "window");
    EXPECT_FALSE(in(QAccessible::Button, u"Restore Default Column Layout"_s));
    QAccessibleInterface* menu = in(QAccessible::ButtonMenu, u"Customize Song Columns"_s);
    EXPECT_EQ(menu->text(QAccessible::Description), u"Show, hide, and restore song columns");
    // The sort state is the description too: the AT-SPI bridge drops values.
    EXPECT_EQ(in(QAccessible::ColumnHeader, u"Sort by Title"_s)->text(QAccessible::Description),
        u"Ascending");
    EXPECT_EQ(in(QAccessible::Grip, u"Move Title column"_s)->text(QAccessible::Description),
        u"Drag to reorder. Drag the right edge to resize.");
    EXPECT_EQ(in(QAccessible::Grip, u"Resize Title column"_s)->text(QAccessible::Description),
        u"Drag to resize. Double-click to reset width.");
    // The painted parts sit where the header answers clicks for them.
    TrackTableHeaderView* header = list->table()->headerView();
    const auto partAt = [header](QAccessibleInterface* node) {
        const QPoint local = header->viewport()->mapFromGlobal(node->rect().center());
        return header->hitTest(QPointF(local.x() + header->offset(), local.y())).part;
    };
    EXPECT_EQ(partAt(menu), TrackTableHeaderView::Part::menuButton);
    EXPECT_EQ(partAt(in(QAccessible::ColumnHeader, u"Sort by Title"_s)),
        TrackTableHeaderView::Part::title);
    EXPECT_EQ(
        partAt(in(QAccessible::Grip, u"Move Title column"_s)), TrackTableHeaderView::Part::grip);
    EXPECT_EQ(partAt(in(QAccessible::Grip, u"Resize Title column"_s)),
        TrackTableHeaderView::Part::resizeHandle);
}

TEST_F(AccessibilityWindowTest, TheHeaderSortsRestoresAndTheRowsFollowWhatPlays)
{
    press(in(QAccessible::ColumnHeader, u"Sort by Title"_s));
    EXPECT_EQ(
        in(QAccessible::ColumnHeader, u"Sort by Title"_s)->text(QAccessible::Value), u"Descending");
    EXPECT_EQ(list->table()->trackModel()->track(0).title, u"Bolero");
    press(in(QAccessible::ColumnHeader, u"Sort by Artist"_s));
    EXPECT_EQ(
        in(QAccessible::ColumnHeader, u"Sort by Artist"_s)->text(QAccessible::Value), u"Ascending");
    EXPECT_EQ(in(QAccessible::ColumnHeader, u"Sort by Title"_s)->text(QAccessible::Value),
        u"Not selected");

    // A changed layout shows the restore button, which puts the default back.
    const bool genreShown = in(QAccessible::ColumnHeader, u"Sort by Genre"_s);
    list->table()->headerView()->toggleColumn(TrackTableColumnID::genre);
    EXPECT_NE(bool(in(QAccessible::ColumnHeader, u"Sort by Genre"_s)), genreShown);
    QAccessibleInterface* restore = in(QAccessible::Button, u"Restore Default Column Layout"_s);
    ASSERT_TRUE(restore);
    EXPECT_EQ(restore->text(QAccessible::Description), u"Restore default song-column layout");
    press(restore);
    EXPECT_FALSE(restore->isValid());
    EXPECT_FALSE(in(QAccessible::Button, u"Restore Default Column Layout"_s));

    // The row's play button plays it; then it offers to pause and the title
    // carries the now-playing mark.
    press(in(QAccessible::Button, u"Play Aria"_s));
    KIVO_WAIT_TRUE(in(QAccessible::Button, u"Pause Aria"_s));
    EXPECT_TRUE(in(QAccessible::Button, u"Pause"_s));
    EXPECT_TRUE(in(QAccessible::Animation, u"Now playing"_s));
    app->container().audioEngine().pause();
    KIVO_WAIT_TRUE(in(QAccessible::Animation, u"Current track"_s));
    EXPECT_TRUE(in(QAccessible::Button, u"Play Aria"_s));
    EXPECT_FALSE(in(QAccessible::Animation, u"Now playing"_s));

    // The queue's rows are reachable once the panel shows.
    press(in(QAccessible::Button, u"Playback queue"_s));
    KIVO_WAIT_TRUE(in(QAccessible::ListItem, u"NOW PLAYING"_s));
    EXPECT_TRUE(in(QAccessible::ListItem, u"Aria"_s));
}

TEST_F(AccessibilityWindowTest, TheSeekBarStepsFiveSecondsInsideTheTrack)
{
    AudioEngine& audio = app->container().audioEngine();
    press(in(QAccessible::Button, u"Play Aria"_s));
    KIVO_WAIT_TRUE(audio.duration() > 0);
    QAccessibleInterface* bar = in(QAccessible::Slider, u"Playback waveform"_s);
    ASSERT_TRUE(bar && bar->valueInterface());
    EXPECT_EQ(bar->valueInterface()->minimumStepSize().toDouble(), 5.0);
    EXPECT_EQ(bar->valueInterface()->minimumValue().toDouble(), 0.0);
    EXPECT_EQ(bar->valueInterface()->maximumValue().toDouble(), audio.duration());
    audio.pause();
    press(bar, QAccessibleActionInterface::increaseAction());
    EXPECT_NEAR(audio.currentTime(), 5.0, 0.05);
    KIVO_WAIT_EQ(bar->text(QAccessible::Value), u"0:05"_s);
    EXPECT_NEAR(bar->valueInterface()->currentValue().toDouble(), 5.0, 0.05);
    press(bar, QAccessibleActionInterface::decreaseAction());
    EXPECT_NEAR(audio.currentTime(), 0, 0.05);
    EXPECT_EQ(bar->text(QAccessible::Value), u"0:00");
}

// What the AT-SPI bridge hands on: the table's rows and selection, parts
// scrolled out of view as off screen, the settings sliders in shown units.
TEST_F(AccessibilityWindowTest, ClientsGetTheTableItsViewAndTheNumbersShown)
{
    QAccessibleInterface* table = QAccessible::queryAccessibleInterface(list->table());
    ASSERT_TRUE(table && table->tableInterface());
    QAccessibleTableInterface& grid = *table->tableInterface();
    EXPECT_EQ(grid.rowCount(), 2);
    EXPECT_EQ(grid.columnCount(), int(list->table()->layoutState().columns().size()));
    EXPECT_EQ(grid.cellAt(1, 0)->text(QAccessible::Name), u"Bolero");
    EXPECT_TRUE(grid.selectRow(1) && grid.selectRow(0));
    EXPECT_EQ(grid.selectedRows(), (QList<int> { 0, 1 }));
    EXPECT_TRUE(grid.unselectRow(0));
    EXPECT_EQ(grid.selectedRows(), QList<int> { 1 });

    // The row ends past the narrowest window's right edge, then scrolls in.
    window().resize(window().minimumSize());
    KIVO_WAIT_TRUE(in(QAccessible::Button, u"Edit Aria"_s)->state().offscreen);
    EXPECT_FALSE(in(QAccessible::Button, u"Play Aria"_s)->state().offscreen);
    QScrollBar* across = list->table()->horizontalScrollBar();
    across->setValue(across->maximum());
    EXPECT_FALSE(in(QAccessible::Button, u"Edit Aria"_s)->state().offscreen);
    EXPECT_TRUE(in(QAccessible::Button, u"Play Aria"_s)->state().offscreen);

    window().layoutView().showSettings();
    QWidget* settings = window().layoutView().settingsSheet();
    ASSERT_TRUE(settings);
    QAccessibleInterface* transparency
        = find(settings, QAccessible::Slider, u"Panel Transparency"_s);
    ASSERT_TRUE(transparency && transparency->valueInterface());
    QAccessibleValueInterface& value = *transparency->valueInterface();
    EXPECT_EQ(value.currentValue().toDouble(), 78);
    EXPECT_EQ(value.minimumValue().toDouble(), 40);
    EXPECT_EQ(value.maximumValue().toDouble(), 100);
    value.setCurrentValue(55);
    EXPECT_EQ(transparency->text(QAccessible::Value), u"55%");
    EXPECT_EQ(window().layoutView().settingsSheet()->transparencySlider().valueText(), u"55%");
    EXPECT_EQ(find(settings, QAccessible::Slider, u"Corner Radius"_s)
                  ->valueInterface()
                  ->maximumValue()
                  .toDouble(),
        16);
}

TEST_F(AccessibilityWindowTest, TheNamesFollowTheStateTheyAnnounce)
{
    // Each identifier is a control that a screen reader reaches by its name.
    const QList<std::pair<QString, Expected>> identifiers {
        { u"player.playPause"_s, { QAccessible::Button, u"Play"_s } },
        { u"player.repeat"_s, { QAccessible::Button, u"Repeat Off"_s } },
        { u"player.waveform"_s, { QAccessible::Slider, u"Playback waveform"_s } },
    };
    for (const auto& [identifier, expected] : identifiers) {
        QAccessibleInterface* node = identified(&window(), identifier);
        ASSERT_TRUE(node) << qPrintable(identifier);
        EXPECT_EQ(node->role(), expected.role) << qPrintable(identifier);
        EXPECT_EQ(node->text(QAccessible::Name), expected.name);
    }

    press(in(QAccessible::Button, u"Repeat Off"_s));
    KIVO_WAIT_TRUE(in(QAccessible::Button, u"Repeat All"_s));
    press(in(QAccessible::Button, u"Repeat All"_s));
    KIVO_WAIT_TRUE(in(QAccessible::Button, u"Repeat One"_s));
    press(in(QAccessible::Button, u"Mute"_s));
    KIVO_WAIT_TRUE(in(QAccessible::Button, u"Unmute"_s));

    // A playing song fills the inspector: its heart and its edit button,
    // which speaks its symbol's meaning. Both hearts follow one press.
    press(in(QAccessible::Button, u"Play Aria"_s));
    KIVO_WAIT_TRUE(identified(&window(), u"nowPlaying.edit"_s));
    EXPECT_EQ(identified(&window(), u"nowPlaying.edit"_s)->text(QAccessible::Name), u"More");
    const auto heart = [this](const QString& identifier, const QString& name) {
        return find(window().findChild<QWidget*>(identifier), QAccessible::Button, name);
    };
    EXPECT_TRUE(heart(u"nowPlaying.favorite"_s, u"Add to Favorites"_s));
    press(heart(u"player.favorite"_s, u"Add to Favorites"_s));
    KIVO_WAIT_TRUE(heart(u"player.favorite"_s, u"Remove from Favorites"_s));
    KIVO_WAIT_TRUE(heart(u"nowPlaying.favorite"_s, u"Remove from Favorites"_s));

    // Collapsed panels leave their reveal buttons; a lock shows in every name.
    MainLayoutPresenter& panels = window().layoutView().presenter();
    panels.collapse(WorkspacePanelSide::left);
    panels.collapse(WorkspacePanelSide::right);
    KIVO_WAIT_TRUE(in(QAccessible::Button, u"Expand Library Sidebar"_s));
    KIVO_WAIT_TRUE(in(QAccessible::Button, u"Expand Now Playing Inspector"_s));
    panels.toggleLock(WorkspacePanelSide::right);
    KIVO_WAIT_TRUE(in(QAccessible::Button, u"Now Playing Inspector collapsed and locked"_s));
    panels.reveal(WorkspacePanelSide::left);
    panels.toggleLock(WorkspacePanelSide::left);
    KIVO_WAIT_TRUE(in(QAccessible::Button, u"Library Sidebar locked"_s));
}

TEST_F(AccessibilityWindowTest, APlaylistNamesItsButtonsBySymbol)
{
    const Playlist evening = app->container().playlistEngine().createPlaylist(u"Evening"_s);
    window().layoutView().presenter().setSelection(NavigationDestination::playlist(evening.id));
    KIVO_WAIT_TRUE(qobject_cast<PlaylistDetailView*>(window().layoutView().contentScreen()));
    expectAll(&window(),
        { { QAccessible::Button, u"music.note.list"_s },
            { QAccessible::Button, u"square.and.arrow.down"_s },
            { QAccessible::Button, u"play.fill"_s } },
        "playlist");
}

TEST_F(AccessibilityWindowTest, TabGoesThroughTheRegionsInTheOrderTheySit)
{
    MainLayoutView& layout = window().layoutView();
    // Each focusable widget's region along the chain: sidebar, content,
    // inspector, player bar.
    const auto regionOrder = [&layout] {
        const QList<QWidget*> regions { &layout.sidebarRegion(), &layout.contentRegion(),
            &layout.inspectorRegion(), &layout.playerBarRegion() };
        QList<int> order;
        for (QWidget* each = layout.nextInFocusChain(); each != &layout;
             each = each->nextInFocusChain()) {
            for (int region = 0; region < regions.size(); ++region) {
                if ((each->focusPolicy() & Qt::TabFocus) && regions[region]->isAncestorOf(each)) {
                    order << region;
                }
            }
        }
        return order;
    };
    // The inspector comes back rebuilt; the song list made parts of itself
    // once its songs came. A Tab puts the chain in order before it moves.
    layout.presenter().collapse(WorkspacePanelSide::right);
    layout.presenter().reveal(WorkspacePanelSide::right);
    window().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window()));
    list->table()->setFocus(Qt::OtherFocusReason);
    QTest::keyClick(list->table(), Qt::Key_Tab);
    const QList<int> order = regionOrder();
    EXPECT_TRUE(order.contains(1) && order.contains(2)) << QDebug::toString(order).toStdString();
    EXPECT_TRUE(std::is_sorted(order.begin(), order.end()))
        << QDebug::toString(order).toStdString();
    // Inside each region Tab reads as the eye does.
    for (QWidget* region : { &layout.sidebarRegion(), &layout.contentRegion(),
             &layout.inspectorRegion(), &layout.playerBarRegion() }) {
        EXPECT_EQ(tabAgainstReadingOrder(region), "") << qPrintable(region->objectName());
    }
}

TEST_F(AccessibilityWindowTest, EachSheetNamesItsControls)
{
    struct Sheet {
        const char* name;
        std::function<QWidget*()> open;
        QList<Expected> expected;
    };
    MainLayoutView& layout = window().layoutView();
    const QList<Sheet> sheets {
        { "settings",
            [&] {
                layout.showSettings();
                return static_cast<QWidget*>(layout.settingsSheet());
            },
            { { QAccessible::Button, u"Close Settings"_s } } },
        { "about",
            [&] {
                window().showAbout();
                return static_cast<QWidget*>(window().aboutWindow());
            },
            { { QAccessible::Button, u"Close About"_s } } },
        { "song editor",
            [&] {
                press(in(QAccessible::Button, u"Edit Aria"_s));
                QWidget* sheet = list->overlays().editorSheet();
                if (sheet) {
                    // A button's accessible press clicks it a moment later.
                    press(find(sheet, QAccessible::Button, u"3 stars"_s));
                    QTest::qWait(300);
                    // The rating is also set as a value: 5 is its own star.
                    find(sheet, QAccessible::Grouping, u"Rating"_s)
                        ->valueInterface()
                        ->setCurrentValue(5);
                }
                return sheet;
            },
            { { QAccessible::Grouping, u"Rating"_s, u"5"_s },
                { QAccessible::EditableText, u"Lyrics"_s } } },
        { "shared editor",
            [&] {
                list->controller().selectAll();
                list->controller().editSelection();
                QWidget* sheet = list->overlays().sharedEditorSheet();
                if (sheet) {
                    // The artwork card holds its button; Apply counts the songs.
                    QAccessibleInterface* card = identified(sheet, u"sharedMetadata.artwork"_s);
                    QAccessibleInterface* choose
                        = identified(sheet, u"sharedMetadata.chooseArtwork"_s);
                    QAccessibleInterface* apply = identified(sheet, u"sharedMetadata.apply"_s);
                    EXPECT_TRUE(card && choose && apply);
                    EXPECT_EQ(card ? card->text(QAccessible::Name) : QString(), u"Album artwork");
                    EXPECT_EQ(choose ? choose->parent() : nullptr, card);
                    EXPECT_EQ(choose ? choose->role() : QAccessible::NoRole, QAccessible::Button);
                    EXPECT_EQ(
                        apply ? apply->text(QAccessible::Name) : QString(), u"Apply to 2 Songs");
                    // Stars wait for their field to be switched on.
                    find(sheet, QAccessible::Grouping, u"Rating"_s)
                        ->valueInterface()
                        ->setCurrentValue(4);
                }
                return sheet;
            },
            { { QAccessible::Button, u"Close shared metadata editor"_s },
                { QAccessible::Grouping, u"Rating"_s, u"0"_s },
                { QAccessible::EditableText, u"Comments"_s } } },
        { "new playlist",
            [&] { return static_cast<QWidget*>(layout.sidebar().showNewPlaylistSheet()); }, {} },
        { "rename playlist",
            [&] {
                app->container().playlistEngine().createPlaylist(u"Evening"_s);
                const bool listed = QTest::qWaitFor(
                    [&] { return layout.sidebar().playlistList().model()->rowCount(); });
                return listed ? static_cast<QWidget*>(layout.sidebar().showRenameSheet(0))
                              : nullptr;
            },
            {} },
        { "add songs",
            [&] {
                const QList<Playlist> all = app->container().playlistEngine().rootPlaylists();
                layout.presenter().setSelection(NavigationDestination::playlist(all.value(0).id));
                auto* detail = qobject_cast<PlaylistDetailView*>(layout.contentScreen());
                if (!detail) {
                    return static_cast<QWidget*>(nullptr);
                }
                detail->addSongsButton().click();
                return static_cast<QWidget*>(detail->addSongsSheet());
            },
            {} },
    };
    for (const Sheet& sheet : sheets) {
        QWidget* shown = sheet.open();
        ASSERT_TRUE(shown) << sheet.name;
        ASSERT_TRUE(QTest::qWaitForWindowExposed(shown)) << sheet.name;
        expectAll(shown, sheet.expected, sheet.name);
        EXPECT_EQ(tabAgainstReadingOrder(shown), "") << sheet.name;
        shown->close();
        QCoreApplication::processEvents();
    }
}

} // namespace
