#include "ui/songtable/TrackSortIndexCache.h"
#include "ui/songtable/TrackTableModel.h"

#include <QTest>
#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace kivo {
namespace {

QList<Track> songs(const QStringList& titles)
{
    QList<Track> tracks;
    for (const QString& title : titles) {
        tracks << Track::make(QUuid::createUuid(), QUrl::fromLocalFile(u"/m/"_s + title),
            title + u".mp3"_s, title, 0, Date { 0 });
    }
    return tracks;
}

QString titles(const TrackTableModel& model)
{
    QStringList shown;
    for (int row = 0; row < model.rowCount(); ++row) {
        shown << model.track(row).title;
    }
    return shown.join(u' ');
}

TEST(TrackSortIndexCache, FindsOnlyTheVeryListItKeepsAndForgetsListsNobodyHolds)
{
    TrackSortIndexCache cache(2);
    QList<Track> library = songs({ u"b"_s, u"a"_s });
    cache.remember(TrackSortIndex(library));
    ASSERT_TRUE(cache.find(library));
    EXPECT_TRUE(cache.find(QList<Track>(library))) << "a copy shares the list";

    QList<Track> changed = library;
    changed[0].title = u"c"_s; // detaches: another list
    EXPECT_FALSE(cache.find(changed));
    EXPECT_FALSE(cache.find(songs({ u"b"_s, u"a"_s }))) << "equal songs are not the same list";

    // Orders made through any copy are there for all.
    TrackSortIndex index = *cache.find(library);
    EXPECT_FALSE(index.hasField(TrackSortField::artist));
    (void)index.order({ TrackSortField::artist, true });
    EXPECT_TRUE(cache.find(library)->hasField(TrackSortField::artist));

    const QList<Track> second = songs({ u"x"_s });
    const QList<Track> third = songs({ u"y"_s });
    cache.remember(TrackSortIndex(second));
    cache.remember(TrackSortIndex(third)); // beyond capacity: the oldest goes
    EXPECT_FALSE(cache.find(library));
    EXPECT_TRUE(cache.find(third));

    {
        const QList<Track> gone = songs({ u"z"_s });
        cache.remember(TrackSortIndex(gone)); // pushes `second` out
    }
    EXPECT_TRUE(cache.find(third));
    EXPECT_EQ(cache.size(), 1) << "the list nobody holds was dropped";
}

TEST(TrackSortIndexCache, ASecondTableOfTheSameListIsOrderedAtOnceAndAChangedListAnew)
{
    const QList<Track> library = songs({ u"d"_s, u"b"_s, u"c"_s, u"a"_s });
    TrackTableModel first(nullptr, 1);
    first.setSortOrder({ TrackSortField::title, false });
    first.setTracks(library);
    ASSERT_TRUE(QTest::qWaitFor([&] { return first.isUpToDate(); }));

    TrackTableModel second(nullptr, 1);
    second.setSortOrder({ TrackSortField::title, true });
    second.setTracks(library);
    EXPECT_TRUE(second.isUpToDate());
    EXPECT_EQ(titles(second), u"a b c d");

    QList<Track> changed = library;
    changed[0].title = u"0"_s;
    second.setTracks(changed);
    ASSERT_TRUE(QTest::qWaitFor([&] { return second.isUpToDate(); }));
    EXPECT_EQ(titles(second), u"0 a b c");
    first.setTracks(changed);
    EXPECT_TRUE(first.isUpToDate());
    EXPECT_EQ(titles(first), u"c b a 0");

    // A field a table waits for, put in meanwhile through another copy of
    // the list's index, still reorders that table.
    const QList<Track> other = songs({ u"q"_s, u"p"_s });
    TrackSortIndex shared(other);
    (void)shared.order({ TrackSortField::title, true });
    TrackSortIndexCache::shared().remember(shared);
    TrackTableModel third(nullptr, 1);
    third.setTracks(other);
    third.setSortOrder({ TrackSortField::album, false });
    (void)shared.order({ TrackSortField::album, true });
    ASSERT_TRUE(QTest::qWaitFor([&] { return third.isUpToDate(); }));
}

TEST(TrackSortIndexCache, ALibraryListReplacedByAnotherIsLetGoOnceNoTableShowsIt)
{
    // A title only the first list holds (a literal's text would be static).
    const QString removedTitle = QString::number(42);
    QList<Track> library = songs({ u"b"_s, u"a"_s, removedTitle });
    TrackTableModel model(nullptr, 1);
    model.setTracks(library);
    ASSERT_TRUE(QTest::qWaitFor([&] { return model.isUpToDate(); }));

    // A removal: the new list does not continue the shown one, so it is
    // ordered anew while the old one is still shown.
    QList<Track> removed = library;
    removed.removeLast();
    library = {};
    model.setTracks(removed);
    ASSERT_TRUE(QTest::qWaitFor([&] { return model.isUpToDate(); }));
    EXPECT_EQ(titles(model), u"a b");
    EXPECT_TRUE(QTest::qWaitFor([&] { return removedTitle.isDetached(); }))
        << "the shared cache still holds the list the table showed before";
}

} // namespace
} // namespace kivo
