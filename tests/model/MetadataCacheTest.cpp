#include "model/MetadataCache.h"

#include <QtConcurrent>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::UnorderedElementsAre;

namespace kivo {
namespace {

Track makeTrack(const QString& title, std::optional<QString> artist = std::nullopt,
    std::optional<QString> album = std::nullopt, std::optional<QString> genre = std::nullopt)
{
    Track track = Track::make(QUuid::createUuid(), QUrl::fromLocalFile(u"/music/"_s + title), title,
        title, 120, Date { 0 });
    track.artist = std::move(artist);
    track.album = std::move(album);
    track.genre = std::move(genre);
    return track;
}

QStringList titles(const QList<Track>& tracks)
{
    QStringList result;
    for (const Track& track : tracks) {
        result.push_back(track.title);
    }
    return result;
}

TEST(MetadataCacheTest, NamesAreFiledTrimmedComposedAndLookedUpExactly)
{
    MetadataCache cache;
    const Track padded = makeTrack(u"One"_s, u"  Nina\t"_s, u"\nBlue "_s, u"   "_s);
    const Track other = makeTrack(u"Two"_s, u"nina"_s, u"Blue"_s, std::nullopt);
    const Track blank = makeTrack(u"Three"_s, u""_s);
    cache.insert({ padded, other, blank, makeTrack(u"A"_s, u"Beyonc\u00e9"_s),
        makeTrack(u"B"_s, u"Beyonce\u0301"_s) });

    EXPECT_THAT(titles(cache.tracksByArtist(u"Nina"_s)), ElementsAre(u"One"_s));
    EXPECT_THAT(cache.tracksByArtist(u"  Nina\t"_s), IsEmpty());
    EXPECT_THAT(titles(cache.tracksByAlbum(u"Blue"_s)), UnorderedElementsAre(u"One"_s, u"Two"_s));
    EXPECT_THAT(
        titles(cache.tracksByArtist(u"Beyonce\u0301"_s)), UnorderedElementsAre(u"A"_s, u"B"_s));
    // Plain order: upper case before lower case, composed forms filed once;
    // blank names file nothing.
    EXPECT_THAT(cache.allArtists(), ElementsAre(u"Beyonc\u00e9"_s, u"Nina"_s, u"nina"_s));
    EXPECT_THAT(cache.allAlbums(), ElementsAre(u"Blue"_s));
    EXPECT_EQ(cache.count(), 5);
    // Name lookups do not count as hits or misses.
    EXPECT_EQ(cache.hitCount(), 0);
    EXPECT_EQ(cache.missCount(), 0);
}

TEST(MetadataCacheTest, ReinsertingAndEvictingRemoveOnlyEmptiedNames)
{
    MetadataCache cache;
    const Track track = makeTrack(u"Song"_s, u"Old Artist"_s, u"Album"_s);
    const Track shared = makeTrack(u"B"_s, u"X"_s, u"Shared"_s);
    cache.insert({ track, shared });
    cache.insert({ track });
    EXPECT_EQ(cache.count(), 2);
    EXPECT_EQ(cache.tracksByAlbum(u"Album"_s).size(), 1);

    Track edited = track;
    edited.artist = u"X"_s;
    cache.insert({ edited });
    EXPECT_THAT(cache.allArtists(), ElementsAre(u"X"_s));
    EXPECT_EQ(cache.track(track.id), edited);

    // Evicting with the earlier value still removes every trace; names other
    // tracks still hold stay, and an unknown track changes nothing.
    cache.evict(track);
    cache.evict(makeTrack(u"Never inserted"_s, u"X"_s));
    EXPECT_THAT(cache.allAlbums(), ElementsAre(u"Shared"_s));
    EXPECT_THAT(titles(cache.tracksByArtist(u"X"_s)), ElementsAre(u"B"_s));
    EXPECT_EQ(cache.count(), 1);
}

TEST(MetadataCacheTest, ASharedListIsIndexedWithChangesKeptBesideIt)
{
    MetadataCache cache;
    const Track a = makeTrack(u"A"_s, u"Nina"_s);
    const Track b = makeTrack(u"B"_s, u"Nina"_s);
    const Track c = makeTrack(u"C"_s, u"Otto"_s);
    QList<Track> library { a, b, c };
    cache.share(library);
    Track renamed = b;
    renamed.artist = u"Otto"_s;
    cache.insert({ renamed, makeTrack(u"D"_s, u"Nina"_s) });
    cache.evict(a);

    EXPECT_EQ(library.at(1).artist, u"Nina"_s);
    EXPECT_EQ(cache.count(), 3);
    EXPECT_FALSE(cache.track(a.id));
    EXPECT_EQ(cache.track(b.id)->artist, u"Otto"_s);
    EXPECT_THAT(titles(cache.tracksByArtist(u"Nina"_s)), ElementsAre(u"D"_s));
    EXPECT_THAT(titles(cache.tracksByArtist(u"Otto"_s)), UnorderedElementsAre(u"B"_s, u"C"_s));

    // Once the library lets go of the list, the index writes into it again;
    // the evicted value left in it must not disturb later changes.
    library.clear();
    cache.evict(c);
    cache.insert({ c });
    cache.evict(renamed);
    EXPECT_EQ(cache.count(), 2);
    EXPECT_THAT(titles(cache.tracksByArtist(u"Otto"_s)), ElementsAre(u"C"_s));
    EXPECT_EQ(cache.track(c.id)->title, u"C"_s);
    EXPECT_FALSE(cache.track(b.id));
}

TEST(MetadataCacheTest, AnImportedBatchIsHeldAsItCameUntilTheLibraryListsIt)
{
    MetadataCache cache;
    const Track a = makeTrack(u"A"_s, u"Nina"_s);
    QList<Track> library { a };
    cache.share(library);
    QList<Track> batch { makeTrack(u"B"_s, u"Otto"_s), makeTrack(u"C"_s, u"Otto"_s) };
    cache.insert(batch);
    EXPECT_FALSE(batch.isDetached());
    EXPECT_THAT(titles(cache.tracksByArtist(u"Otto"_s)), UnorderedElementsAre(u"B"_s, u"C"_s));

    QList<Track> next = library;
    next.append(batch);
    cache.follow(next);
    // The list it followed is let go at once.
    EXPECT_TRUE(library.isDetached());
    EXPECT_TRUE(batch.isDetached());
    EXPECT_EQ(cache.count(), 3);

    // A list that goes on with another value of an indexed song: that song
    // keeps the value indexed, the others are taken in.
    const QList<Track> more { makeTrack(u"D"_s, u"Pia"_s), makeTrack(u"E"_s, u"Pia"_s) };
    cache.insert(more);
    Track staleE = more.at(1);
    staleE.title = u"Stale"_s;
    QList<Track> last = next;
    last.append({ more.at(0), staleE });
    cache.follow(last);
    EXPECT_TRUE(next.isDetached());
    EXPECT_EQ(cache.track(more.at(1).id)->title, u"E"_s);
    EXPECT_EQ(cache.count(), 5);
    cache.evict(a);
    cache.evict(more.at(0));
    EXPECT_EQ(cache.track(batch.at(1).id)->title, u"C"_s);
    EXPECT_FALSE(cache.track(a.id));
    EXPECT_FALSE(cache.track(more.at(0).id));
    EXPECT_THAT(titles(cache.tracksByArtist(u"Pia"_s)), UnorderedElementsAre(u"E"_s));
}

TEST(MetadataCacheTest, AListGoingOnWithANewSongTwiceKeepsEveryIndexedValue)
{
    MetadataCache cache;
    QList<Track> library;
    for (int i = 1; i <= 10; ++i) {
        library.push_back(makeTrack(u"Song %1"_s.arg(i)));
    }
    cache.share(library);
    Track edited = library.at(1);
    edited.title = u"Edited"_s;
    const Track fresh = makeTrack(u"New"_s);
    cache.insert({ edited, fresh });
    QList<Track> next = library;
    next.append({ fresh, fresh });
    cache.follow(next);
    EXPECT_EQ(cache.count(), 11);
    EXPECT_EQ(cache.track(edited.id)->title, u"Edited"_s);
    EXPECT_EQ(cache.track(fresh.id)->title, u"New"_s);
}

TEST(MetadataCacheTest, FollowingANewListFreesTheOldOneAndKeepsWhatIsIndexed)
{
    MetadataCache cache;
    const Track a = makeTrack(u"A"_s, u"Nina"_s);
    const Track b = makeTrack(u"B"_s, u"Nina"_s);
    const Track c = makeTrack(u"C"_s, u"Otto"_s);
    QList<Track> loaded { a, b, c };
    cache.share(loaded);
    Track renamed = b;
    renamed.artist = u"Otto"_s;
    const Track d = makeTrack(u"D"_s);
    cache.insert({ renamed, d });
    cache.evict(a);

    // The library's next list: the rename and a removal it shows, not the
    // addition; a stale value of c and a track the index never had.
    Track staleC = c;
    staleC.title = u"Stale"_s;
    const QList<Track> next { a, renamed, staleC, makeTrack(u"E"_s) };
    cache.follow(next);
    EXPECT_TRUE(loaded.isDetached());
    EXPECT_EQ(cache.count(), 3);
    EXPECT_FALSE(cache.track(a.id));
    EXPECT_EQ(cache.track(b.id)->artist, u"Otto"_s);
    EXPECT_EQ(cache.track(c.id)->title, u"C"_s);
    EXPECT_EQ(cache.track(d.id)->title, u"D"_s);
    EXPECT_THAT(titles(cache.tracksByArtist(u"Otto"_s)), UnorderedElementsAre(u"B"_s, u"C"_s));
}

TEST(MetadataCacheTest, CallersOnManyThreadsTakeTurns)
{
    MetadataCache cache;
    QList<int> batches(8);
    std::iota(batches.begin(), batches.end(), 0);
    QtConcurrent::blockingMap(batches, [&cache](int batch) {
        for (int i = 0; i < 200; ++i) {
            const Track track = makeTrack(
                u"%1-%2"_s.arg(batch).arg(i), u"Artist %1"_s.arg(i % 10), u"Album %1"_s.arg(batch));
            cache.insert({ track });
            (void)cache.track(track.id);
            (void)cache.allArtists();
            if (i % 2) {
                cache.evict(track);
            }
        }
    });
    EXPECT_EQ(cache.count(), 8 * 100);
    EXPECT_EQ(cache.hitCount(), 8 * 200);
    EXPECT_EQ(cache.allArtists().size(), 5); // odd-numbered tracks were evicted
    EXPECT_EQ(cache.tracksByAlbum(u"Album 3"_s).size(), 100);
}

} // namespace
} // namespace kivo
