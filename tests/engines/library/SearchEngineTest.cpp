#include "engines/library/SearchEngineImpl.h"
#include "support/Await.h"

#include <QSignalSpy>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;
using namespace std::chrono_literals;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace kivo {
namespace {

constexpr auto debounce = 20ms;

Track song(const QString& title, std::optional<QString> artist = std::nullopt,
    std::optional<QString> album = std::nullopt, std::optional<QString> genre = std::nullopt)
{
    Track track = Track::make(QUuid::createUuid(), QUrl::fromLocalFile(u"/m/"_s + title),
        title + u".mp3"_s, title, 60, Date { 0 });
    track.artist = std::move(artist);
    track.album = std::move(album);
    track.genre = std::move(genre);
    track.setComposer(u"Rocky composer"_s); // not searched
    return track;
}

QStringList queriesOf(const QSignalSpy& spy)
{
    QStringList queries;
    for (const QList<QVariant>& arguments : spy) {
        queries.push_back(arguments[0].value<SearchResults>().query);
    }
    return queries;
}

class SearchEngineTest : public ::testing::Test {
protected:
    // Long enough for any pending debounce to have fired.
    void settle() { test::processEventsFor(int(debounce.count()) * 10); }

    TavrenSearchEngine engine { nullptr, debounce };
    QSignalSpy published { &engine, &SearchEngine::resultsPublished };
};

TEST_F(SearchEngineTest, MatchesSongsAndNamesByCaseInsensitiveContainment)
{
    const Track quiet = song(u"quiet night"_s, u"Abba"_s, std::nullopt, u"Pop"_s);
    const Track cafe = song(u"Café"_s, u"abba"_s, u"Night Moves"_s);
    const Track composed = song(u"Cafe\u0301 au lait"_s, u"Abba"_s);
    const Track rock = song(u"Stone"_s, u"The Band"_s, u"Rocks"_s, u"Rock"_s);
    engine.updateTracks({ quiet, cafe, composed, rock });
    Playlist folder
        = Playlist::make(QUuid::createUuid(), u"Night folder"_s, PlaylistType::folder());
    folder.childrenIDs = { QUuid::createUuid() };
    const Playlist other = Playlist::make(QUuid::createUuid(), u"Day"_s, PlaylistType::standard());
    engine.updatePlaylists({ folder, other });

    const SearchResults night = test::await(engine.searchImmediately(u"NIGHT"_s));
    EXPECT_THAT(night.songs, ElementsAre(quiet, cafe));
    EXPECT_THAT(night.albums, ElementsAre(u"Night Moves"_s));
    EXPECT_THAT(night.playlists, ElementsAre(folder));
    // Case-differing names stay apart, upper case first; equivalent spellings are one.
    EXPECT_THAT(
        test::await(engine.searchImmediately(u"abb"_s)).artists, ElementsAre(u"Abba"_s, u"abba"_s));
    // Accents matter; composed and decomposed forms match each other.
    EXPECT_THAT(test::await(engine.searchImmediately(u"cafe"_s)).songs, IsEmpty());
    EXPECT_THAT(
        test::await(engine.searchImmediately(u"CAFÉ"_s)).songs, ElementsAre(cafe, composed));
    EXPECT_THAT(test::await(engine.searchImmediately(u"rock"_s)).songs, ElementsAre(rock));

    // A single space is a query like any other: it finds every text with a space.
    const SearchResults space = test::await(engine.searchImmediately(u" "_s));
    EXPECT_THAT(space.songs, ElementsAre(quiet, cafe, composed, rock));
    EXPECT_THAT(space.artists, ElementsAre(u"The Band"_s));
    EXPECT_THAT(space.playlists, ElementsAre(folder));

    const SearchResults empty = test::await(engine.searchImmediately(QString()));
    EXPECT_TRUE(empty.isEmpty());
    EXPECT_EQ(published.count(), 7);
    EXPECT_EQ(published.last()[0].value<SearchResults>(), empty);
}

TEST_F(SearchEngineTest, TypingIsSearchedOnceAfterAPauseAndRepeatsAreDropped)
{
    engine.updateTracks({ song(u"Rock me"_s), song(u"Jazz"_s) });
    engine.updateQuery(u"r"_s);
    engine.updateQuery(u"ro"_s);
    engine.updateQuery(u"rock"_s);
    EXPECT_EQ(engine.activeQuery(), u"rock"_s);
    ASSERT_TRUE(published.wait(5000));
    settle();
    ASSERT_EQ(published.count(), 1);
    EXPECT_EQ(published[0][0].value<SearchResults>().songs.size(), 1);

    // The text that last came out of the pause is not searched again, also
    // after a detour or a clear.
    engine.updateQuery(u"x"_s);
    engine.updateQuery(u"rock"_s);
    settle();
    engine.clearSearch();
    engine.updateQuery(u"rock"_s);
    settle();
    engine.updateQuery(u"jazz"_s);
    ASSERT_TRUE(published.wait(5000));

    // New tracks refresh the active query's results (but published nothing
    // while the query was empty).
    const Track more = song(u"Jazz again"_s);
    engine.updateTracks({ more });
    ASSERT_TRUE(published.wait(5000));
    EXPECT_THAT(queriesOf(published), ElementsAre(u"rock"_s, QString(), u"jazz"_s, u"jazz"_s));
    EXPECT_THAT(published.last()[0].value<SearchResults>().songs, ElementsAre(more));
}

TEST_F(SearchEngineTest, OnlyTheNewestSearchIsPublished)
{
    engine.updateTracks({ song(u"Rock"_s) });
    auto overtaken = engine.searchImmediately(u"rock"_s);
    engine.clearSearch();
    // The caller still gets its answer, but the clear came later.
    EXPECT_EQ(test::await(std::move(overtaken)).songs.size(), 1);
    settle();
    EXPECT_THAT(queriesOf(published), ElementsAre(QString()));
}

TEST(SearchEngineLifetime, NothingIsSearchedOrPublishedAfterTheEngineIsGone)
{
    auto engine = std::make_unique<TavrenSearchEngine>(nullptr, debounce);
    int published = 0;
    QObject::connect(engine.get(), &SearchEngine::resultsPublished, [&] { ++published; });
    engine->updateTracks({ song(u"Rock"_s) });
    engine->updateQuery(u"rock"_s);
    auto running = engine->searchImmediately(u"rock"_s);
    // A search that is done before it is awaited publishes at once, while the
    // engine still lives; only what comes after the engine is gone counts.
    const int publishedBefore = published;
    engine.reset();
    EXPECT_EQ(test::await(std::move(running)).songs.size(), 1);
    // Long enough for the pending debounce to have fired.
    test::processEventsFor(int(debounce.count()) * 10);
    EXPECT_EQ(published, publishedBefore);
}

} // namespace
} // namespace kivo
