#include "SongTableTestSupport.h"
#include "platform/UndoManager.h"
#include "platform/UserDefaults.h"
#include "ui/songtable/NowPlayingIndicator.h"
#include "ui/songtable/TrackContextMenuContent.h"
#include "ui/songtable/TrackListTableView.h"
#include "ui/songtable/TrackTableGeometry.h"
#include "ui/songtable/TrackTableHeaderView.h"
#include "ui/songtable/TrackTableLayoutState.h"
#include "ui/songtable/TrackTableModel.h"
#include "ui/songtable/TrackTableRowDelegate.h"

#include <QDropEvent>
#include <QMenu>
#include <QMimeData>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace kivo {
namespace {

using ID = TrackTableColumnID;
using Geometry = TrackTableGeometry;

Track song(int n, const QString& title, double duration)
{
    return Track::make(
        QUuid::fromString(u"00000000-0000-0000-0000-%1"_s.arg(n, 12, 10, QLatin1Char('0'))),
        QUrl::fromLocalFile(u"/music/%1.mp3"_s.arg(n)), u"%1.mp3"_s.arg(n), title, duration,
        Date { 0 });
}

// The item texts of a menu, "-" for a divider, "(off)" after a disabled item,
// a submenu's items in brackets.
QString describe(const QMenu& menu)
{
    QStringList items;
    for (QAction* action : menu.actions()) {
        QString item = action->isSeparator() ? u"-"_s : action->text();
        if (!action->isEnabled()) {
            item += u" (off)"_s;
        }
        if (action->menu()) {
            item += u" [%1]"_s.arg(describe(*action->menu()));
        }
        items << item;
    }
    return items.join(u" | "_s);
}

QAction* item(const QMenu& menu, const QString& text)
{
    for (QAction* action : menu.findChildren<QAction*>()) {
        if (action->text() == text) {
            return action;
        }
    }
    return nullptr;
}

class TrackTableViewTest : public ::testing::Test {
protected:
    TrackTableViewTest()
        : defaults(std::make_shared<SettingsUserDefaults>(folder.filePath(u"settings.json"_s)))
        , layout(defaults)
        , view(layout, &model, &undo)
    {
        model.setTracks(
            { song(1, u"Cobalt"_s, 200), song(2, u"Amber"_s, 100), song(3, u"Bronze"_s, 300) });
        view.resize(1600, 400);
        view.show();
    }

    TrackTableHeaderView& header() { return *view.headerView(); }
    // The header's point at a content x, y in the middle of the row.
    QPoint headerPoint(double contentX) const
    {
        return QPoint(int(contentX) - view.headerView()->offset(), 15);
    }
    double columnRight(ID id) const
    {
        const QList<QRectF> frames = Geometry::columnFrames(layout.columns(), 1);
        return frames[layout.visibleColumnIDs().indexOf(id)].right();
    }
    double columnLeft(ID id) const
    {
        const QList<QRectF> frames = Geometry::columnFrames(layout.columns(), 1);
        return frames[layout.visibleColumnIDs().indexOf(id)].left();
    }
    double width(ID id) const
    {
        return layout.columns()[layout.visibleColumnIDs().indexOf(id)].width;
    }

    QTemporaryDir folder;
    std::shared_ptr<UserDefaults> defaults;
    UndoManager undo;
    TrackTableLayoutState layout;
    TrackTableModel model;
    TrackListTableView view;
};

TEST_F(TrackTableViewTest, ResizeDragByMouseIsOneUndoStepFromTheStartWidth)
{
    QWidget* target = header().viewport();
    const QPoint handle = headerPoint(columnRight(ID::artist) - 2);
    QTest::mousePress(target, Qt::LeftButton, {}, handle);
    for (const int dx : { 10, 40, 250, 30 }) {
        QTest::mouseMove(target, handle + QPoint(dx, 0));
    }
    EXPECT_EQ(width(ID::artist), 180); // 150 + 30: never accumulated
    EXPECT_FALSE(undo.canUndo());
    QTest::mouseRelease(target, Qt::LeftButton, {}, handle + QPoint(30, 0));
    EXPECT_EQ(undo.undoActionName(), u"Resize Song Column"_s);
    undo.undo();
    EXPECT_EQ(width(ID::artist), 150);
    EXPECT_FALSE(undo.canUndo());

    // A drag back to where it began leaves no step; a double click resets.
    QTest::mousePress(target, Qt::LeftButton, {}, handle);
    QTest::mouseMove(target, handle + QPoint(40, 0));
    QTest::mouseMove(target, handle);
    QTest::mouseRelease(target, Qt::LeftButton, {}, handle);
    EXPECT_FALSE(undo.canUndo());
    layout.setWidth(250, ID::artist);
    QTest::mouseDClick(target, Qt::LeftButton, {}, headerPoint(columnRight(ID::artist) - 2));
    EXPECT_EQ(width(ID::artist), 150);
    EXPECT_EQ(undo.undoActionName(), u"Reset Song Column Width"_s);
}

TEST_F(TrackTableViewTest, HeaderClicksSortAndShowTheChevron)
{
    QWidget* target = header().viewport();
    const QPoint duration = headerPoint(columnLeft(ID::duration) + 40);
    QTest::mouseClick(target, Qt::LeftButton, {}, duration);
    EXPECT_EQ(model.sortOrder().field, TrackSortField::duration);
    EXPECT_TRUE(model.sortOrder().ascending);
    EXPECT_EQ(model.track(0).title, u"Amber"_s);
    QTest::mouseClick(target, Qt::LeftButton, {}, duration);
    EXPECT_FALSE(model.sortOrder().ascending);
    EXPECT_FALSE(header().sortOrder().ascending);
    EXPECT_EQ(model.track(0).title, u"Bronze"_s);
    // The grip does not sort.
    QTest::mouseClick(target, Qt::LeftButton, {}, headerPoint(columnLeft(ID::title) + 4));
    EXPECT_EQ(model.sortOrder().field, TrackSortField::duration);
}

TEST_F(TrackTableViewTest, TextDraggedInFromElsewhereIsRefused)
{
    QMimeData text;
    text.setText(u"artist"_s);
    const QPoint target = headerPoint(columnLeft(ID::album) + 40);
    QDragEnterEvent enter(target, Qt::MoveAction, &text, Qt::LeftButton, {});
    QCoreApplication::sendEvent(header().viewport(), &enter);
    EXPECT_FALSE(enter.isAccepted());
    QDropEvent drop(target, Qt::MoveAction, &text, Qt::LeftButton, {});
    QCoreApplication::sendEvent(header().viewport(), &drop);
    EXPECT_FALSE(drop.isAccepted());
    EXPECT_TRUE(layout.isDefaultLayout());
}

TEST_F(TrackTableViewTest, HeaderAndRowsShareTheContentWidth)
{
    EXPECT_EQ(view.contentWidth(), view.viewport()->width());
    EXPECT_EQ(header().length(), int(view.contentWidth()));
    view.resize(500, 400);
    QCoreApplication::processEvents();
    EXPECT_EQ(view.contentWidth(), layout.totalWidth());
    EXPECT_EQ(header().length(), int(layout.totalWidth()));
    EXPECT_GT(view.horizontalScrollBar()->maximum(), 0);
    EXPECT_EQ(Geometry::trailingCell(view.contentWidth(), 1).right() + Geometry::padding,
        view.contentWidth());
}

TEST_F(TrackTableViewTest, ColumnMenuTogglesRestoresAndShowsTheRecoveryMessage)
{
    std::unique_ptr<QMenu> menu(header().buildColumnMenu(nullptr));
    EXPECT_EQ(describe(*menu),
        u"Title | Artist | Album | Album Artist | Genre | Year | Track # | Duration | Bitrate | "
        "Sample Rate | Format | Date Added | - | Restore Default Layout (off)"_s);
    EXPECT_FALSE(header().showsRestoreButton());
    item(*menu, u"Artist"_s)->trigger();
    EXPECT_FALSE(layout.isVisible(ID::artist));
    EXPECT_EQ(undo.undoActionName(), u"Remove Song Column"_s);
    EXPECT_TRUE(header().showsRestoreButton());
    EXPECT_EQ(header().hitTest(header().restoreButtonRect().center()).part,
        TrackTableHeaderView::Part::restoreButton);

    layout.setRecoveryMessage(u"Broken & restored"_s);
    menu.reset(header().buildColumnMenu(nullptr));
    EXPECT_TRUE(describe(*menu).startsWith(u"Broken && restored (off) | Dismiss Message | - | "));
    EXPECT_EQ(menu->findChild<QAction*>(u"artist"_s)->property("symbolName"), u"person.wave.2"_s);
    EXPECT_EQ(menu->findChild<QAction*>(u"title"_s)->property("symbolName"), u"checkmark"_s);
    item(*menu, u"Restore Default Layout"_s)->trigger();
    EXPECT_TRUE(layout.isDefaultLayout());
    EXPECT_EQ(undo.undoActionName(), u"Restore Song Columns"_s);
    item(*menu, u"Dismiss Message"_s)->trigger();
    EXPECT_TRUE(layout.recoveryMessage().isEmpty());
}

TEST_F(TrackTableViewTest, ColumnContextMenuCollapsesResetsAndRemoves)
{
    std::unique_ptr<QMenu> menu(header().buildColumnContextMenu(ID::album, nullptr));
    EXPECT_EQ(describe(*menu), u"Collapse Column | Reset Width | - | Remove Column"_s);
    item(*menu, u"Collapse Column"_s)->trigger();
    EXPECT_EQ(width(ID::album), collapsedColumnWidth);
    menu.reset(header().buildColumnContextMenu(ID::album, nullptr));
    EXPECT_EQ(item(*menu, u"Expand Column"_s)->property("symbolName"),
        u"arrow.right.and.line.vertical.and.arrow.left"_s);
    item(*menu, u"Remove Column"_s)->trigger();
    EXPECT_FALSE(layout.isVisible(ID::album));
    EXPECT_EQ(undo.undoActionName(), u"Remove Song Column"_s);
}

TEST_F(TrackTableViewTest, RowClicksReachTheCallbacksWithTheRowPosition)
{
    QStringList calls;
    TrackListTableCallbacks callbacks;
    callbacks.onTogglePlayback = [&](int row) { calls << u"toggle %1"_s.arg(row); };
    callbacks.onSelect = [&](int row, Qt::KeyboardModifiers modifiers) {
        calls << u"select %1 %2"_s.arg(row).arg(modifiers.toInt(), 0, 16);
    };
    callbacks.onDoubleClick = [&](int row) { calls << u"double %1"_s.arg(row); };
    callbacks.onEdit = [&](int row) { calls << u"edit %1"_s.arg(row); };
    view.setCallbacks(callbacks);
    QWidget* rows = view.viewport();
    const int y1 = Geometry::rowHeight + Geometry::rowHeight / 2;
    QTest::mouseClick(rows, Qt::LeftButton, {}, QPoint(Geometry::padding + 18, y1));
    QTest::mouseClick(
        rows, Qt::LeftButton, Qt::ControlModifier | Qt::ShiftModifier, QPoint(400, y1));
    QTest::mouseDClick(rows, Qt::LeftButton, {}, QPoint(400, 10));
    QTest::mouseClick(
        rows, Qt::LeftButton, {}, QPoint(int(view.contentWidth()) - Geometry::padding - 30, 10));
    QTest::mouseClick(rows, Qt::LeftButton, {}, QPoint(400, 300)); // below the last row
    EXPECT_EQ(calls.join(u", "_s), u"toggle 1, select 1 6000000, double 0, edit 0"_s);
}

TEST(TrackContextMenuTest, TextsSymbolsAndEnabling)
{
    Track track = song(1, u"Cobalt"_s, 1);
    const QString rest
        = u" | - | Choose Artwork\u2026 | Remove Artwork | - | Show in File Manager | "
          "- | Delete [Remove from Player | - | Delete Permanently\u2026]"_s;
    struct Case {
        qint64 count;
        qint64 rating;
        QString edit;
        QString favorite;
    };
    for (const Case& c : { Case { 0, 3, u"Edit Metadata\u2026"_s, u"Add Favorite"_s },
             Case { 1, 4, u"Edit Metadata\u2026"_s, u"Remove Favorite"_s },
             Case { 3, 5, u"Edit Shared Metadata for 3 Songs\u2026"_s, u"Remove Favorite"_s } }) {
        track.rating = c.rating;
        std::unique_ptr<QMenu> menu(
            TrackContextMenuContent::build(track, c.count, false, {}, nullptr));
        EXPECT_EQ(describe(*menu), u"Play Now | - | "_s + c.edit + u" | "_s + c.favorite + rest);
        EXPECT_EQ(item(*menu, c.favorite)->property("symbolName"),
            c.rating >= 4 ? u"heart.slash"_s : u"heart"_s);
    }

    QStringList calls;
    TrackContextMenuActions actions;
    actions.onPlay = [&] { calls << u"play"_s; };
    actions.onRequestPermanentDeletion = [&] { calls << u"delete"_s; };
    std::unique_ptr<QMenu> menu(TrackContextMenuContent::build(track, 1, true, actions, nullptr));
    EXPECT_TRUE(describe(*menu).endsWith(u"Delete (off) [Remove from Player | - | Delete "
                                         "Permanently\u2026]"_s));
    item(*menu, u"Play Now"_s)->trigger();
    item(*menu, u"Show in File Manager"_s)->trigger(); // no action given: nothing happens
    EXPECT_EQ(calls, QStringList { u"play"_s });
}

TEST(TrackRowLookTest, ButtonsAndTextsFollowTheRowState)
{
    EXPECT_EQ(TrackRowLook::playSymbol(true), u"speaker.wave.2.fill"_s);
    EXPECT_EQ(TrackRowLook::playLabel(false, {}), u"Play "_s);
    EXPECT_EQ(TrackRowLook::playLabel(true, u"X"_s), u"Pause X"_s);
    EXPECT_EQ(TrackRowLook::playColor(true, true), TrackRowLook::playColor(true, false));
    EXPECT_NE(TrackRowLook::playColor(false, true), TrackRowLook::playColor(false, false));
    EXPECT_EQ(TrackRowLook::textColor(ID::artist, false, false),
        TrackRowLook::textColor(ID::duration, false, false));
    EXPECT_NE(TrackRowLook::textColor(ID::artist, false, false),
        TrackRowLook::textColor(ID::genre, false, false));
    EXPECT_EQ(TrackRowLook::textColor(ID::genre, true, true),
        TrackRowLook::textColor(ID::title, true, false));
    EXPECT_FALSE(TrackRowLook::isStriped(0));
    EXPECT_TRUE(TrackRowLook::isStriped(3));
}

TEST(NowPlayingIndicatorTest, BarsMoveOnlyWhilePlayingWithoutReducedMotion)
{
    const std::array<double, 3> still { 4, 8, 5 };
    EXPECT_EQ(NowPlayingIndicator::barHeights(false, false, 12.5), still);
    EXPECT_EQ(NowPlayingIndicator::barHeights(true, true, 12.5), still);
    EXPECT_EQ(NowPlayingIndicator::barHeights(true, false, std::nan("")), still);
    for (double t = 0; t < 2; t += 0.1) {
        for (const double h : NowPlayingIndicator::barHeights(true, false, t)) {
            EXPECT_GE(h, 3);
            EXPECT_LE(h, 10);
        }
    }
    EXPECT_NE(NowPlayingIndicator::barHeights(true, false, 0.3),
        NowPlayingIndicator::barHeights(true, false, 0.5));
    EXPECT_EQ(NowPlayingIndicator::accessibilityLabel(true), u"Now playing"_s);
}

} // namespace
} // namespace kivo

namespace kivo {

TEST(TrackTableHeaderTitleTest, EverySortedTitleAndItsChevronFitTheDefaultWidth)
{
    for (const TrackTableColumnConfiguration& column : TrackTableLayoutState::defaultColumns()) {
        for (const bool ascending : { true, false }) {
            const EonSortLabel label = TrackTableColumnHeaderView::columnLabel(column, ascending);
            EXPECT_EQ(label.text, title(column.id)) << title(column.id).toStdString();
            EXPECT_LE(label.width(), TrackTableColumnHeaderView::labelRoom(column, true))
                << title(column.id).toStdString();
        }
    }
}

} // namespace kivo
