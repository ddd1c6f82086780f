// The real window driven from the keyboard alone: where Tab goes, which
// control shows the focus ring and when, and the arrows beside the table.
#include "AppOnTempFolder.h"
#include "app/AboutView.h"
#include "app/MainLayoutView.h"
#include "app/MainWindow.h"
#include "app/SettingsView.h"
#include "engines/library/LibraryEngine.h"
#include "engines/library/PlaylistEngine.h"
#include "engines/playback/AudioEngine.h"
#include "engines/playback/QueueEngine.h"
#include "support/TempDir.h"
#include "support/WaitFor.h"
#include "ui/eon/EonAppearance.h"
#include "ui/eon/EonFocusRing.h"
#include "ui/eon/EonPalette.h"
#include "ui/library/SidebarView.h"
#include "ui/player/BottomPlayerView.h"
#include "ui/player/CompactWaveformSeekView.h"
#include "ui/player/QueueView.h"
#include "ui/songtable/TrackListController.h"
#include "ui/songtable/TrackListTableView.h"
#include "ui/songtable/TrackListView.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>
#include <QSlider>
#include <QTest>
#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace kivo {
namespace {

int ringPixels(const QImage& image, const QRect& area)
{
    int count = 0;
    const QColor accent = EonFocusRing::colour();
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            const QColor c = image.pixelColor(x, y);
            count += std::abs(c.red() - accent.red()) < 40
                && std::abs(c.green() - accent.green()) < 40
                && std::abs(c.blue() - accent.blue()) < 50;
        }
    }
    return count;
}

class KeyboardWindowTest : public test::TempDirTest {
protected:
    void SetUp() override
    {
        TempDirTest::SetUp();
        applyEonAppearance();
        app = test::startAppIn(dir.path());
        ASSERT_TRUE(test::importTones(*app, dir.path(), { u"Aria"_s, u"Bolero"_s }, 0.5));
        window().show();
        window().activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window()));
        list = layout().contentScreen()->findChild<TrackListView*>();
        ASSERT_TRUE(list);
        KIVO_WAIT_EQ(list->table()->model()->rowCount(), 2);
    }

    MainWindow& window() const { return app->mainWindow(); }
    MainLayoutView& layout() const { return window().layoutView(); }
    // 0 sidebar, 1 content, 2 inspector, 3 player bar, -1 elsewhere.
    int region(const QWidget* widget) const
    {
        const QList<QWidget*> regions { &layout().sidebarRegion(), &layout().contentRegion(),
            &layout().inspectorRegion(), &layout().playerBarRegion() };
        for (int i = 0; i < regions.size(); ++i) {
            if (regions[i]->isAncestorOf(widget)) {
                return i;
            }
        }
        return -1;
    }
    void tab(Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QWidget* focus = QApplication::focusWidget();
        QTest::keyClick(focus ? focus : &window(), Qt::Key_Tab, modifiers);
    }

    std::unique_ptr<TavrenMediaStudioApp> app;
    TrackListView* list = nullptr;
};

TEST_F(KeyboardWindowTest, TabGoesSidebarContentInspectorPlayerBarWithTheRingOnlyFromTheKeyboard)
{
    TrackListTableView* table = list->table();
    // With a song playing the player bar and the inspector have controls.
    app->container().queueEngine().playNow(list->controller().sortedTracks(), 0);
    KIVO_WAIT_TRUE(app->container().queueEngine().currentTrack());
    // Round the whole chain once from the sidebar.
    layout().sidebarRegion().setFocus(Qt::OtherFocusReason);
    QWidget* first = nullptr;
    QList<int> regions;
    bool tableRinged = false;
    for (int i = 0; i < 80; ++i) {
        tab();
        QWidget* focus = QApplication::focusWidget();
        ASSERT_TRUE(focus);
        if (focus == first) {
            break;
        }
        if (!first && region(focus) == 0) {
            first = focus;
        }
        if (first) {
            regions << region(focus);
            EXPECT_TRUE(EonFocusRing::isShown(*focus)) << qPrintable(focus->objectName());
            // A screen reader says each stop by name.
            EXPECT_FALSE(
                QAccessible::queryAccessibleInterface(focus)->text(QAccessible::Name).isEmpty())
                << qPrintable(focus->objectName());
        }
        if (focus == table) {
            const QImage image = table->grab().toImage();
            // Down its side and along its top, over the header.
            tableRinged = ringPixels(image, QRect(0, 40, 2, image.height() - 80)) > 20
                && ringPixels(image, QRect(40, 0, image.width() - 80, 2)) > 20;
        }
    }
    // The panel dividers' buttons and the toolbar's come last, after the regions.
    const auto chrome = std::find(regions.begin(), regions.end(), -1);
    EXPECT_TRUE(std::is_sorted(regions.begin(), chrome)) << QDebug::toString(regions).toStdString();
    EXPECT_TRUE(std::all_of(chrome, regions.end(), [](int each) { return each == -1; }))
        << QDebug::toString(regions).toStdString();
    for (int each : { 0, 1, 2, 3 }) {
        EXPECT_TRUE(regions.contains(each)) << each << QDebug::toString(regions).toStdString();
    }
    EXPECT_TRUE(tableRinged);

    // A button reached by Tab wears the ring round its edge.
    for (int i = 0; i < 80
         && (!qobject_cast<QAbstractButton*>(QApplication::focusWidget())
             || region(QApplication::focusWidget()) != 3);
         ++i) {
        tab();
    }
    ASSERT_TRUE(qobject_cast<QAbstractButton*>(QApplication::focusWidget()));
    auto* button = static_cast<QAbstractButton*>(QApplication::focusWidget());
    const QImage ringed = button->grab().toImage();
    const QRect edge(0, ringed.height() / 2 - 3, 2, 6);
    EXPECT_GT(ringPixels(ringed, edge), 3);

    // A click takes the keyboard's ring away, though the table has the focus.
    const QRect row = table->visualRect(table->model()->index(0, 0));
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, row.center());
    ASSERT_TRUE(table->hasFocus());
    EXPECT_FALSE(EonFocusRing::isShown(*table));
    const QImage clicked = table->grab().toImage();
    EXPECT_EQ(ringPixels(clicked, QRect(0, 40, 2, clicked.height() - 80)), 0);
    // Shift+Tab back from the table is the keyboard again.
    tab(Qt::ShiftModifier);
    EXPECT_TRUE(EonFocusRing::isShown(*QApplication::focusWidget()));
}

TEST_F(KeyboardWindowTest, BareRightChangesSongsWhileTheTableHasTheFocus)
{
    QueueEngine& queue = app->container().queueEngine();
    TrackListTableView* table = list->table();
    table->setFocus(Qt::TabFocusReason);
    QTest::keyClick(table, Qt::Key_Down);
    QTest::keyClick(table, Qt::Key_Return);
    ASSERT_TRUE(queue.currentTrack());
    EXPECT_EQ(queue.currentTrack()->title, u"Aria"_s);
    QTest::keyClick(table, Qt::Key_Right);
    ASSERT_TRUE(queue.currentTrack());
    EXPECT_EQ(queue.currentTrack()->title, u"Bolero"_s);
    QTest::keyClick(table, Qt::Key_Left);
    EXPECT_EQ(queue.currentTrack()->title, u"Aria"_s);
}

TEST_F(KeyboardWindowTest, FocusedSeekBarAndVolumeTakeTheSliderKeysAndLeaveTheSongBe)
{
    // qWaitFor, not QTRY: a QtTest failure would end a GoogleTest case silently.
    ASSERT_TRUE(test::importTones(*app, dir.path(), { u"Canon"_s }, 8));
    LibraryEngine& library = app->container().libraryEngine();
    const auto canon = [&] {
        for (const Track& track : library.allTracks()) {
            if (track.title == u"Canon"_s) {
                return std::optional(track);
            }
        }
        return std::optional<Track>();
    };
    ASSERT_TRUE(QTest::qWaitFor([&] { return canon().has_value(); }));
    QueueEngine& queue = app->container().queueEngine();
    AudioEngine& audio = app->container().audioEngine();
    // Between two songs, so that a bare Left or Right would show as a song change.
    QList<Track> around = library.allTracks();
    around.removeIf([](const Track& track) { return track.title == u"Canon"_s; });
    around.insert(1, *canon());
    queue.playNow(around, 1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return audio.duration() > 0; }));
    const double end = audio.duration();
    audio.pause();
    const auto tabTo = [this](QWidget* target) {
        for (int i = 0; i < 80 && QApplication::focusWidget() != target; ++i) {
            tab();
        }
        return QApplication::focusWidget() == target;
    };
    const auto press = [](int key) { QTest::keyClick(QApplication::focusWidget(), Qt::Key(key)); };

    CompactWaveformSeekView* seekBar = window().findChild<CompactWaveformSeekView*>();
    ASSERT_TRUE(seekBar);
    ASSERT_TRUE(tabTo(seekBar));
    EXPECT_TRUE(EonFocusRing::isShown(*seekBar));
    // Left at the start stays there: the song does not change.
    const std::pair<int, double> seeks[] = { { Qt::Key_Right, 5 }, { Qt::Key_Left, 0 },
        { Qt::Key_Left, 0 }, { Qt::Key_PageUp, std::min(30.0, end) }, { Qt::Key_Home, 0 },
        { Qt::Key_End, end }, { Qt::Key_PageDown, std::max(end - 30, 0.0) } };
    for (const auto& [key, seconds] : seeks) {
        press(key);
        EXPECT_TRUE(QTest::qWaitFor([&] { return std::abs(audio.currentTime() - seconds) < 1; }))
            << key << " " << audio.currentTime();
        ASSERT_EQ(queue.currentTrack()->title, u"Canon"_s) << key;
    }

    QSlider* volume = window().findChild<QSlider*>(u"player.volumeSlider"_s);
    ASSERT_TRUE(volume);
    ASSERT_TRUE(tabTo(volume));
    const std::pair<int, float> levels[] = { { Qt::Key_End, 1 }, { Qt::Key_Left, 0.95f },
        { Qt::Key_PageDown, 0.75f }, { Qt::Key_Home, 0 }, { Qt::Key_Right, 0.05f } };
    for (const auto& [key, level] : levels) {
        press(key);
        EXPECT_NEAR(audio.volume(), level, 0.001) << key;
    }
    EXPECT_EQ(queue.currentTrack()->title, u"Canon"_s);
}

// The whole window from the keyboard alone, every key sent where the user's
// would go (the focused control, through the window's shortcuts).
TEST_F(KeyboardWindowTest, EveryControlOfTheWindowWorksFromTheKeyboardAlone)
{
    ASSERT_TRUE(test::importTones(*app, dir.path(), { u"Drop A"_s, u"Drop B"_s }, 0.5));
    KIVO_WAIT_EQ(list->table()->model()->rowCount(), 4);
    AudioEngine& audio = app->container().audioEngine();
    QueueEngine& queue = app->container().queueEngine();
    PlaylistEngine& playlists = app->container().playlistEngine();
    // Where a real key press goes: an open popup first, then the focus.
    const auto press = [](int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QWidget* target = QApplication::activePopupWidget();
        target = target ? target : QApplication::focusWidget();
        QTest::keyClick(target ? target : QApplication::activeWindow(), Qt::Key(key), modifiers);
    };
    const auto type
        = [](const QString& text) { QTest::keyClicks(QApplication::focusWidget(), text); };
    // Tab until the control named `name` has the focus, wearing the ring.
    const auto tabTo = [&](const QString& name) {
        for (int i = 0; i < 80 && QApplication::focusWidget()->objectName() != name; ++i) {
            press(Qt::Key_Tab);
        }
        QWidget* focus = QApplication::focusWidget();
        return focus->objectName() == name && EonFocusRing::isShown(*focus);
    };
    const auto backInWindow = [&] {
        return QApplication::activeWindow() == &window() && QApplication::focusWidget()
            && !QApplication::activeModalWidget();
    };
    list->table()->setFocus(Qt::OtherFocusReason);

    // Return plays the row the keys are on; bare Space in the table pauses.
    press(Qt::Key_Home);
    press(Qt::Key_Return);
    KIVO_WAIT_EQ(audio.playbackState(), PlaybackState::playing);
    press(Qt::Key_Space);
    KIVO_WAIT_EQ(audio.playbackState(), PlaybackState::paused);
    press(Qt::Key_Space);
    KIVO_WAIT_EQ(audio.playbackState(), PlaybackState::playing);
    // Type-select takes a space into its text: "drop b" finds Drop B, and
    // the song plays on.
    type(u"drop b"_s);
    ASSERT_EQ(list->controller().selectedTracks().size(), 1);
    EXPECT_EQ(list->controller().selectedTracks().first().title, u"Drop B"_s);
    EXPECT_EQ(audio.playbackState(), PlaybackState::playing);
    EXPECT_EQ(audio.currentTrack()->title, u"Aria"_s);

    // Shift+F10 opens the row's menu, as the Menu key does.
    press(Qt::Key_F10, Qt::ShiftModifier);
    ASSERT_TRUE(qobject_cast<QMenu*>(QApplication::activePopupWidget()));
    press(Qt::Key_Escape);
    KIVO_WAIT_TRUE(!QApplication::activePopupWidget());

    // Space and Return press the focused button; playback goes on.
    ASSERT_TRUE(tabTo(u"player.shuffle"_s));
    const ShuffleMode shuffle = queue.shuffleMode();
    press(Qt::Key_Space);
    EXPECT_NE(queue.shuffleMode(), shuffle);
    press(Qt::Key_Return);
    EXPECT_EQ(queue.shuffleMode(), shuffle);
    EXPECT_EQ(audio.playbackState(), PlaybackState::playing);
    ASSERT_TRUE(tabTo(u"player.repeat"_s));
    const RepeatMode repeat = queue.repeatMode();
    press(Qt::Key_Return);
    EXPECT_NE(queue.repeatMode(), repeat);
    ASSERT_TRUE(tabTo(u"player.mute"_s));
    press(Qt::Key_Space);
    EXPECT_LE(audio.volume(), 0.001f);

    // The queue panel opens on its rows; Clear is a Tab stop before them.
    ASSERT_TRUE(tabTo(u"player.queueToggle"_s));
    press(Qt::Key_Return);
    QueueView* panel = layout().bottomPlayer().queuePanel();
    ASSERT_TRUE(panel);
    EXPECT_EQ(QApplication::focusWidget(), &panel->list());
    EXPECT_EQ(panel->list().accessibleName(), u"Queue"_s);
    press(Qt::Key_Tab, Qt::ShiftModifier);
    EXPECT_EQ(QApplication::focusWidget(), &panel->clearButton());
    press(Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), &panel->list());
    press(Qt::Key_Tab, Qt::ShiftModifier);
    ASSERT_FALSE(queue.upcoming().isEmpty());
    press(Qt::Key_Return);
    EXPECT_TRUE(queue.upcoming().isEmpty());
    press(Qt::Key_Escape);
    EXPECT_FALSE(layout().bottomPlayer().queuePanel());

    // Settings opens on its first control, with no ring until Tab.
    ASSERT_TRUE(tabTo(u"sidebarSettings"_s));
    press(Qt::Key_Return);
    QPointer<SettingsView> settings = layout().settingsSheet();
    ASSERT_TRUE(settings);
    KIVO_WAIT_EQ(QApplication::activeWindow(), settings.data());
    QWidget* first = QApplication::focusWidget();
    ASSERT_TRUE(settings->isAncestorOf(first));
    EXPECT_TRUE(qobject_cast<QAbstractButton*>(first));
    EXPECT_NE(first->objectName(), u"settings.close"_s);
    EXPECT_FALSE(EonFocusRing::isShown(*first));
    press(Qt::Key_Escape);
    KIVO_WAIT_TRUE(!settings);
    KIVO_WAIT_TRUE(backInWindow());

    ASSERT_TRUE(tabTo(u"aboutToolbarButton"_s));
    press(Qt::Key_Space);
    QPointer<AboutView> about = window().aboutWindow();
    ASSERT_TRUE(about);
    KIVO_WAIT_EQ(QApplication::activeWindow(), about.data());
    press(Qt::Key_Escape);
    KIVO_WAIT_TRUE(!about || !about->isVisible());
    KIVO_WAIT_TRUE(backInWindow());

    // A playlist is created and renamed; its sheets open on the name.
    ASSERT_TRUE(tabTo(u"sidebarNewPlaylist"_s));
    press(Qt::Key_Return);
    KIVO_WAIT_TRUE(qobject_cast<QLineEdit*>(QApplication::focusWidget()));
    type(u"Road"_s);
    press(Qt::Key_Return);
    KIVO_WAIT_EQ(playlists.rootPlaylists().size(), 1);
    EXPECT_EQ(playlists.rootPlaylists().first().name, u"Road"_s);
    KIVO_WAIT_TRUE(backInWindow());
    ASSERT_TRUE(tabTo(u"sidebarPlaylistRows"_s));
    press(Qt::Key_F10, Qt::ShiftModifier);
    ASSERT_TRUE(qobject_cast<QMenu*>(QApplication::activePopupWidget()));
    press(Qt::Key_Down);
    press(Qt::Key_Return);
    KIVO_WAIT_TRUE(qobject_cast<QLineEdit*>(QApplication::focusWidget()));
    press(Qt::Key_A, Qt::ControlModifier);
    type(u"Trip"_s);
    press(Qt::Key_Return);
    KIVO_WAIT_EQ(playlists.rootPlaylists().first().name, u"Trip"_s);
    KIVO_WAIT_TRUE(backInWindow());

    // A folder through the chooser, accepted with Return while the path's
    // completer shows its list: the window has the keys again after.
    const QString folder = dir.path() + u"/more"_s;
    QDir().mkpath(folder + u"/Coda"_s);
    ASSERT_TRUE(test::writeWav(folder + u"/Coda/Coda.wav"_s, { 8000, 1, 0.5 }));
    press(Qt::Key_O, Qt::ControlModifier);
    KIVO_WAIT_TRUE(qobject_cast<QFileDialog*>(QApplication::activeModalWidget()));
    KIVO_WAIT_TRUE(qobject_cast<QLineEdit*>(QApplication::focusWidget()));
    type(folder + u"/Cod"_s);
    KIVO_WAIT_TRUE(QApplication::activePopupWidget());
    type(u"a"_s);
    press(Qt::Key_Return);
    KIVO_WAIT_TRUE(backInWindow());
    KIVO_WAIT_EQ(list->table()->model()->rowCount(), 5);
    QWidget* before = QApplication::focusWidget();
    press(Qt::Key_Tab);
    EXPECT_NE(QApplication::focusWidget(), before);
    EXPECT_TRUE(EonFocusRing::isShown(*QApplication::focusWidget()));
}

} // namespace
} // namespace kivo
