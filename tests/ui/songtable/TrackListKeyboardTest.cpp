// The song table driven by real keys and clicks: the selection keys, type-
// select, Return and the outline of the row whose menu is open.
#include "SongTableTestSupport.h"
#include "TrackListFakes.h"
#include "platform/UndoManager.h"
#include "platform/UserDefaults.h"
#include "support/Await.h"
#include "ui/editing/EditingFakes.h"
#include "ui/eon/EonPalette.h"
#include "ui/songtable/TrackListTableView.h"
#include "ui/songtable/TrackListView.h"
#include "ui/songtable/TrackTableLayoutState.h"
#include "ui/songtable/TrackTableModel.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QMenu>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace kivo {
namespace {

using test::songTrack;

// Thirty songs in title order: Aria, Bolero, Canon, then "Song 04" to "Song 30".
class TrackListKeyboardTest : public ::testing::Test, protected test::TrackListTestEngines {
protected:
    TrackListKeyboardTest()
        : view(dependencies())
    {
        library.tracks = { songTrack(u"Canon"_s), songTrack(u"Aria"_s), songTrack(u"Bolero"_s) };
        for (int i = 4; i <= 30; ++i) {
            library.tracks << songTrack(u"Song %1"_s.arg(i, 2, 10, QLatin1Char('0')));
        }
        view.setTracks(library.tracks);
        view.resize(1000, 500);
        view.show();
        table = view.findChild<TrackListTableView*>();
        table->setFocus(Qt::OtherFocusReason);
    }

    ~TrackListKeyboardTest() override { test::processEventsFor(20); }

    // "Bolero,Canon @Bolero": the selected titles in display order and the anchor.
    QString selection() const
    {
        const TrackListController& screen = view.controller();
        QStringList titles;
        for (const Track& track : screen.selectedTracks()) {
            titles << track.title;
        }
        QString anchor = u"-"_s;
        for (const Track& track : library.tracks) {
            if (screen.selection().anchorID() == track.id) {
                anchor = track.title;
            }
        }
        return titles.join(u',') + u" @"_s + anchor;
    }

    void key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(table, key, modifiers);
    }

    bool rowShows(int row) const
    {
        const QRect rect = table->visualRect(table->model()->index(row, 0));
        return rect.top() >= 0 && rect.bottom() < table->viewport()->height();
    }

    TrackListView view;
    TrackListTableView* table = nullptr;
};

TEST_F(TrackListKeyboardTest, ArrowsPagesAndEndsMoveTheSelectionAndShiftExtendsFromTheAnchor)
{
    // Nothing selected: Down starts at the top.
    key(Qt::Key_Down);
    EXPECT_EQ(selection(), u"Aria @Aria"_s);
    key(Qt::Key_Down);
    EXPECT_EQ(selection(), u"Bolero @Bolero"_s);
    key(Qt::Key_Down, Qt::ShiftModifier);
    key(Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_EQ(selection(), u"Bolero,Canon,Song 04 @Bolero"_s);
    // Back past the anchor: the range pivots on it.
    for (int i = 0; i < 3; ++i) {
        key(Qt::Key_Up, Qt::ShiftModifier);
    }
    EXPECT_EQ(selection(), u"Aria,Bolero @Bolero"_s);
    // At the top Up stays on the first row.
    key(Qt::Key_Up);
    key(Qt::Key_Up);
    EXPECT_EQ(selection(), u"Aria @Aria"_s);

    // End and Home reach the ends, and the view follows.
    key(Qt::Key_End);
    EXPECT_EQ(selection(), u"Song 30 @Song 30"_s);
    EXPECT_TRUE(rowShows(29));
    EXPECT_GT(table->verticalScrollBar()->value(), 0);
    key(Qt::Key_Home, Qt::ShiftModifier);
    EXPECT_EQ(view.controller().selectionCount(), 30);
    EXPECT_EQ(table->verticalScrollBar()->value(), 0);

    // A page is the rows that fit.
    const int page = table->rowsPerPage();
    ASSERT_GT(page, 3);
    key(Qt::Key_Home);
    key(Qt::Key_PageDown);
    EXPECT_EQ(view.controller().leadRow(), page);
    EXPECT_TRUE(rowShows(page));
    key(Qt::Key_PageDown, Qt::ShiftModifier);
    EXPECT_EQ(view.controller().selectionCount(), page + 1);
    key(Qt::Key_PageUp);
    EXPECT_EQ(view.controller().leadRow(), page);
    EXPECT_EQ(view.controller().selectionCount(), 1);

    // A click moves the keys' starting row; Ctrl with the arrows is not the table's.
    const QRect bolero = table->visualRect(table->model()->index(1, 0));
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, bolero.center());
    key(Qt::Key_Down, Qt::ControlModifier);
    EXPECT_EQ(selection(), u"Bolero @Bolero"_s);
    key(Qt::Key_Down);
    EXPECT_EQ(selection(), u"Canon @Canon"_s);
}

TEST_F(TrackListKeyboardTest, TypeSelectSelectsTheRowItFindsAndReturnPlaysIt)
{
    QTest::keyClicks(table, u"bol"_s);
    EXPECT_EQ(selection(), u"Bolero @Bolero"_s);
    // Nothing matches: nothing changes.
    QTest::qWait(QApplication::keyboardInputInterval() + 50);
    QTest::keyClicks(table, u"zz"_s);
    EXPECT_EQ(selection(), u"Bolero @Bolero"_s);
    // Far down the list: selected and scrolled into view.
    QTest::qWait(QApplication::keyboardInputInterval() + 50);
    QTest::keyClicks(table, u"song 2"_s);
    EXPECT_EQ(selection(), u"Song 20 @Song 20"_s);
    EXPECT_TRUE(rowShows(19));

    key(Qt::Key_Return);
    EXPECT_EQ(queue.calls.value(0), u"playNow@19"_s);
    EXPECT_EQ(selection(), u"Song 20 @Song 20"_s);
}

TEST_F(TrackListKeyboardTest, ARightClickedRowIsOutlinedWhileItsMenuIsOpenAndTheSelectionStays)
{
    key(Qt::Key_Down);
    const QRect canon = table->visualRect(table->model()->index(2, 0));
    const auto accentAlongLeftEdge = [&] {
        const QImage image = table->viewport()->grab().toImage();
        int count = 0;
        for (int y = canon.top() + 12; y < canon.bottom() - 12; ++y) {
            for (int x = 2; x <= 5; ++x) {
                const QColor c = image.pixelColor(x, y);
                count += std::abs(c.red() - eonAccent().red()) < 50
                    && std::abs(c.green() - eonAccent().green()) < 50
                    && std::abs(c.blue() - eonAccent().blue()) < 60;
            }
        }
        return count;
    };
    EXPECT_EQ(accentAlongLeftEdge(), 0);

    QContextMenuEvent click(
        QContextMenuEvent::Mouse, canon.center(), table->viewport()->mapToGlobal(canon.center()));
    QApplication::sendEvent(table->viewport(), &click);
    auto* menu = table->findChild<QMenu*>();
    ASSERT_TRUE(menu && menu->isVisible());
    EXPECT_EQ(table->menuRow(), 2);
    EXPECT_GT(accentAlongLeftEdge(), 10);
    EXPECT_EQ(selection(), u"Aria @Aria"_s);

    menu->close();
    EXPECT_EQ(table->menuRow(), -1);
    EXPECT_EQ(accentAlongLeftEdge(), 0);
    EXPECT_EQ(selection(), u"Aria @Aria"_s);

    // The menu key opens the menu of the row the keys are on.
    QContextMenuEvent menuKey(QContextMenuEvent::Keyboard, QPoint(), table->mapToGlobal(QPoint()));
    QApplication::sendEvent(table->viewport(), &menuKey);
    EXPECT_EQ(table->menuRow(), 0);
    if (auto* open = table->findChild<QMenu*>(); open && open->isVisible()) {
        open->close();
    }
}

} // namespace
} // namespace kivo
