#include "LibraryFakes.h"
#include "ui/library/LibraryAccessible.h"
#include "ui/library/LibraryGridArea.h"
#include "ui/library/LibraryGridModel.h"

#include <QAccessible>
#include <QAccessibleInterface>
#include <gtest/gtest.h>

using namespace kivo;
using namespace Qt::Literals::StringLiterals;

TEST(GridAccessibility, EachTileIsAnItemNamedByItsSongAndTheListFollowsTheSearch)
{
    QAccessible::installFactory(libraryAccessible);
    LibraryGridModel model;
    Track night = test::song(1, u"Night Drive"_s);
    night.artist = u"Coast"_s;
    model.setTracks({ night, test::song(2, u"Cafe"_s) });
    LibraryGridArea grid(model);
    grid.resize(600, 400);
    grid.show();

    QAccessibleInterface* list = QAccessible::queryAccessibleInterface(&grid);
    ASSERT_EQ(list->childCount(), 2);
    QAccessibleInterface* first = list->child(0);
    EXPECT_EQ(first->role(), QAccessible::ListItem);
    EXPECT_EQ(first->text(QAccessible::Name), u"Night Drive");
    EXPECT_EQ(first->text(QAccessible::Description), u"Coast");
    EXPECT_EQ(list->child(1)->text(QAccessible::Description), u"Unknown Artist");
    EXPECT_EQ(list->indexOfChild(list->child(1)), 1);
    EXPECT_EQ(first->parent(), list);
    EXPECT_EQ(list->childAt(first->rect().center().x(), first->rect().center().y()), first);

    model.setSearchText(u"cafe"_s);
    EXPECT_EQ(list->childCount(), 1);
    EXPECT_EQ(list->child(0)->text(QAccessible::Name), u"Cafe");
    EXPECT_FALSE(list->child(1));
}
