// The real window driven from the keyboard alone: where Tab goes, which
// control shows the focus ring and when, and the arrows beside the table.
#include "AppOnTempFolder.h"
#include "app/MainLayoutView.h"
#include "app/MainWindow.h"
#include "engines/playback/QueueEngine.h"
#include "support/TempDir.h"
#include "ui/eon/EonAppearance.h"
#include "ui/eon/EonFocusRing.h"
#include "ui/eon/EonPalette.h"
#include "ui/songtable/TrackListTableView.h"
#include "ui/songtable/TrackListView.h"

#include <QAbstractButton>
#include <QApplication>
#include <QTest>
#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace kivo {
namespace {

int accentPixels(const QImage& image, const QRect& area)
{
    int count = 0;
    const QColor accent = eonAccent();
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
        QTRY_COMPARE(list->table()->model()->rowCount(), 2);
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
    QTRY_VERIFY(app->container().queueEngine().currentTrack());
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
        }
        if (focus == table) {
            const QImage image = table->grab().toImage();
            tableRinged = accentPixels(image, QRect(0, 40, 2, image.height() - 80)) > 20;
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
    EXPECT_GT(accentPixels(ringed, edge), 3);

    // A click takes the keyboard's ring away, though the table has the focus.
    const QRect row = table->visualRect(table->model()->index(0, 0));
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, row.center());
    ASSERT_TRUE(table->hasFocus());
    EXPECT_FALSE(EonFocusRing::isShown(*table));
    const QImage clicked = table->grab().toImage();
    EXPECT_EQ(accentPixels(clicked, QRect(0, 40, 2, clicked.height() - 80)), 0);
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

} // namespace
} // namespace kivo
