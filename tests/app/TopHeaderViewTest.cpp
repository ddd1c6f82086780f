#include "app/TopHeaderView.h"
#include "ui/eon/EonIconButton.h"

#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

using namespace kivo;
using namespace Qt::Literals::StringLiterals;

namespace {

TEST(TopHeaderViewTest, TheFieldStaysNarrowTheButtonsSitAtTheEndAndNothingReactsToThem)
{
    TopHeaderView header;
    header.resize(1100, 52);
    header.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&header));
    EXPECT_EQ(header.searchBox().width(), 360);
    EXPECT_EQ(header.gridButton().geometry().right(), 1100 - 22 - 1);
    EXPECT_EQ(header.listButton().symbolName(), u"list.bullet");
    EXPECT_EQ(header.gridButton().accessibleName(), u"square.grid.2x2");
    EXPECT_EQ(header.searchField().placeholderText(), u"Search your library...");

    QTest::keyClicks(&header.searchField(), u"Velvet"_s);
    QTest::keyClick(&header.searchField(), Qt::Key_Return);
    QTest::mouseClick(&header.listButton(), Qt::LeftButton);
    QTest::mouseClick(&header.gridButton(), Qt::LeftButton);
    EXPECT_EQ(header.searchText(), u"Velvet");
    EXPECT_TRUE(header.listButton().isActive());
    EXPECT_FALSE(header.gridButton().isActive());

    header.resize(400, 52);
    QApplication::processEvents();
    EXPECT_LT(header.searchBox().width(), 360);
}

} // namespace
