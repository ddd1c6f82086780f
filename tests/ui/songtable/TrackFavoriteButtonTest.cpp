#include "ui/songtable/TrackFavoriteButton.h"
#include "SongTableTestSupport.h"
#include "TrackListFakes.h"
#include "support/Await.h"
#include "ui/eon/EonIconButton.h"
#include "ui/songtable/TrackFavoriteState.h"

#include <QLabel>
#include <QPushButton>
#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace kivo {
namespace {

using test::FakeLibrary;
using test::settleUntil;
using test::songTrack;

// What the heart shows: "<symbol> <label>[ saving]".
QString shown(const TrackFavoriteState& state)
{
    return state.symbolName() + u' ' + state.label() + (state.isSaving() ? u" saving"_s : u""_s);
}

TEST(TrackFavoriteState, WritesFiveOrZeroFromEachRatingAndShowsItAtOnce)
{
    const struct {
        qint64 rating;
        const char* before;
        const char* during;
        const char* write;
    } cases[] = {
        { 0, "heart Add to Favorites", "heart.fill Remove from Favorites saving", "update:S=5" },
        { 3, "heart Add to Favorites", "heart.fill Remove from Favorites saving", "update:S=5" },
        { 4, "heart.fill Remove from Favorites", "heart Add to Favorites saving", "update:S=0" },
        { 5, "heart.fill Remove from Favorites", "heart Add to Favorites saving", "update:S=0" },
    };
    for (const auto& c : cases) {
        FakeLibrary library;
        library.tracks = { songTrack(u"S"_s, c.rating) };
        TrackFavoriteState state(library);
        state.setTrack(library.tracks[0]);
        EXPECT_EQ(shown(state), QString::fromLatin1(c.before)) << c.rating;
        state.toggle();
        EXPECT_EQ(shown(state), QString::fromLatin1(c.during)) << c.rating;
        state.toggle(); // ignored while saving
        ASSERT_TRUE(settleUntil([&] { return !state.isSaving(); }));
        EXPECT_EQ(library.calls, QStringList { QString::fromLatin1(c.write) }) << c.rating;
        EXPECT_EQ(shown(state), QString::fromLatin1(c.during).remove(u" saving"_s)) << c.rating;
    }
}

TEST(TrackFavoriteState, ShowsAndWritesTheLibrarysNewestCopy)
{
    FakeLibrary library;
    Track old = songTrack(u"S"_s, 0);
    Track newer = old;
    newer.rating = 5;
    newer.artist = u"Edited"_s;
    library.tracks = { newer };
    TrackFavoriteState state(library);
    state.setTrack(old);
    EXPECT_EQ(state.symbolName(), u"heart.fill"_s);
    state.toggle();
    ASSERT_TRUE(settleUntil([&] { return !state.isSaving(); }));
    EXPECT_EQ(library.tracks[0].rating, 0);
    EXPECT_EQ(library.tracks[0].artist, u"Edited"_s);
}

TEST(TrackFavoriteState, AFailedWriteRestoresTheHeartAndKeepsTheError)
{
    FakeLibrary library;
    library.tracks = { songTrack(u"S"_s, 3) };
    library.failWith = u"The store <b>cannot</b> be written."_s;
    TrackFavoriteState state(library);
    state.setTrack(library.tracks[0]);
    state.toggle();
    ASSERT_TRUE(settleUntil([&] { return !state.isSaving(); }));
    EXPECT_EQ(shown(state), u"heart Add to Favorites"_s);
    EXPECT_EQ(state.errorMessage(), u"The store <b>cannot</b> be written."_s);
    state.clearError();
    EXPECT_EQ(state.errorMessage(), std::nullopt);
    EXPECT_EQ(TrackFavoriteState::alertMessage(std::nullopt),
        u"The library could not save this change."_s);
}

TEST(TrackFavoriteState, AWaitForASongNoLongerShownIsDropped)
{
    FakeLibrary library;
    library.tracks = { songTrack(u"A"_s, 0), songTrack(u"B"_s, 0) };
    library.failWith = u"Refused"_s;
    library.hold = true;
    TrackFavoriteState state(library);
    state.setTrack(library.tracks[0]);
    state.toggle();
    state.setTrack(library.tracks[1]);
    EXPECT_EQ(shown(state), u"heart Add to Favorites"_s);
    library.hold = false;
    test::processEventsFor(30);
    EXPECT_EQ(state.errorMessage(), std::nullopt);

    // And the heart itself may go while its write runs.
    library.hold = true;
    auto gone = std::make_unique<TrackFavoriteState>(library);
    gone->setTrack(library.tracks[1]);
    gone->toggle();
    gone.reset();
    library.hold = false;
    test::processEventsFor(30);
    EXPECT_EQ(library.calls.size(), 2);
}

TEST(TrackFavoriteButton, SpinsWhileSavingAndAlertsWithTheTextAsIs)
{
    FakeLibrary library;
    library.tracks = { songTrack(u"S"_s, 0) };
    TrackFavoriteButton button(library, 28);
    button.setTrack(std::nullopt);
    EXPECT_FALSE(button.isEnabled());
    button.setTrack(library.tracks[0]);
    EXPECT_TRUE(button.isEnabled());
    EXPECT_EQ(button.button()->toolTip(), u"Add to Favorites"_s);

    library.hold = true;
    library.failWith = u"<img src=x> refused"_s;
    button.button()->click();
    EXPECT_EQ(button.button()->symbolName(), u"heart.fill"_s);
    EXPECT_TRUE(button.isSpinnerVisible());
    EXPECT_FALSE(button.isEnabled());
    library.hold = false;
    ASSERT_TRUE(settleUntil([&] { return button.alert() != nullptr; }));
    EXPECT_EQ(button.button()->symbolName(), u"heart"_s);
    EXPECT_FALSE(button.isSpinnerVisible());
    EonAlert* alert = button.alert();
    EXPECT_EQ(alert->windowTitle(), u"Favorite Could Not Be Updated"_s);
    EXPECT_EQ(alert->message(), u"<img src=x> refused"_s);
    for (const QLabel* label : alert->findChildren<QLabel*>()) {
        EXPECT_EQ(label->textFormat(), Qt::PlainText);
    }
    alert->button(u"OK"_s)->click();
    EXPECT_EQ(button.state().errorMessage(), std::nullopt);
}

} // namespace
} // namespace kivo
