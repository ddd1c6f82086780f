#include "app/MainLayoutPresenter.h"
#include "platform/UserDefaults.h"
#include "support/ScriptedQueueEngine.h"
#include "support/TempDir.h"
#include "ui/songtable/TrackListSelectionCommands.h"

#include <QStringList>
#include <gtest/gtest.h>

using namespace kivo;
using namespace Qt::Literals::StringLiterals;

namespace {

using FakeQueue = test::ScriptedQueueEngine;

Track track(const QString& title, qint64 rating = 0)
{
    Track made = Track::make(QUuid::createUuid(), QUrl::fromLocalFile(u"/music/"_s + title),
        title + u".mp3"_s, title, 60, Date {});
    made.rating = rating;
    return made;
}

class MainLayoutPresenterTest : public test::TempDirTest {
protected:
    void SetUp() override
    {
        TempDirTest::SetUp();
        panels = std::make_unique<WorkspacePanelState>(
            std::make_shared<SettingsUserDefaults>(path(u"settings.json"_s)));
        presenter = std::make_unique<MainLayoutPresenter>(*panels, queue, [this](const QUuid& id) {
            return id == known.id ? std::optional(known) : std::nullopt;
        });
    }

    // "left: shown 240 | right: reveal locked" and the like.
    QString panelsText() const
    {
        QStringList sides;
        for (const auto side : { WorkspacePanelSide::left, WorkspacePanelSide::right }) {
            QString text = side == WorkspacePanelSide::left ? u"left: "_s : u"right: "_s;
            text += presenter->isPanelShown(side) ? u"shown"_s
                : presenter->isRevealShown(side)  ? u"reveal"_s
                                                  : u"off"_s;
            text += u' ' + QString::number(panels->width(side));
            if (panels->isLocked(side)) {
                text += u" locked"_s;
            }
            sides << text;
        }
        return sides.join(u" | "_s);
    }

    FakeQueue queue;
    Playlist known = Playlist::make(QUuid::createUuid(), u"Road Trip"_s, PlaylistType::folder());
    std::unique_ptr<WorkspacePanelState> panels;
    std::unique_ptr<MainLayoutPresenter> presenter;
};

TEST_F(MainLayoutPresenterTest, EachDestinationPicksItsScreenAndAnUnknownPlaylistShowsAllSongs)
{
    EXPECT_EQ(presenter->selection(), NavigationDestination::songs()); // every launch
    using Kind = MainContent::Kind;
    const std::pair<std::optional<NavigationDestination>, MainContent> cases[] = {
        { std::nullopt, { Kind::songs, u"All Songs"_s, {}, {} } },
        { NavigationDestination::songs(), { Kind::songs, u"All Songs"_s, {}, {} } },
        { NavigationDestination::recentlyAdded(), { Kind::songs, u"Recently Added"_s, {}, {} } },
        { NavigationDestination::recentlyPlayed(), { Kind::songs, u"Recently Played"_s, {}, {} } },
        { NavigationDestination::topRated(),
            { Kind::songs, u"Top Rated"_s, MainContent::Filter::topRated, {} } },
        { NavigationDestination::favorites(), { Kind::favorites, {}, {}, {} } },
        { NavigationDestination::folder(known.id), { Kind::playlistDetail, {}, {}, known } },
        { NavigationDestination::playlist(known.id), { Kind::playlistDetail, {}, {}, known } },
        { NavigationDestination::playlist(QUuid::createUuid()),
            { Kind::songs, u"All Songs"_s, {}, {} } },
    };
    for (const auto& [destination, expected] : cases) {
        presenter->setSelection(destination);
        EXPECT_EQ(presenter->content(), expected) << expected.title.toStdString();
    }
    EXPECT_NE(NavigationDestination::playlist(known.id), NavigationDestination::folder(known.id));
}

TEST_F(MainLayoutPresenterTest, TopRatedKeepsRatedSongsHighestFirstInLibraryOrder)
{
    const QList<Track> library { track(u"A"_s, 5), track(u"B"_s, 3), track(u"C"_s, 5),
        track(u"D"_s, 1), track(u"E"_s, 0) };
    presenter->setSelection(NavigationDestination::topRated());
    EXPECT_EQ(test::joinedTitles(presenter->content().apply(library)), u"A C B D");
    presenter->setSelection(NavigationDestination::recentlyAdded()); // the same list, unordered
    EXPECT_EQ(test::joinedTitles(presenter->content().apply(library)), u"A B C D E");
    EXPECT_EQ(test::joinedTitles(MainLayoutPresenter::topRated({ track(u"Z"_s) })), u"");
}

TEST_F(MainLayoutPresenterTest, GesturesClampWidthsAndALockedSideIgnoresAllButLockAndDisable)
{
    using enum WorkspacePanelSide;
    presenter->resize(left, 150);
    presenter->resize(right, 900);
    EXPECT_EQ(panelsText(), u"left: shown 188 | right: shown 460");
    presenter->resize(left, 500);
    presenter->resize(right, 100);
    EXPECT_EQ(panelsText(), u"left: shown 360 | right: shown 260");
    presenter->resize(left, 300.5);
    presenter->collapse(right);
    EXPECT_EQ(panelsText(), u"left: shown 300.5 | right: reveal 260");

    presenter->toggleLock(left);
    presenter->toggleLock(right);
    presenter->resize(left, 200);
    presenter->collapse(left);
    presenter->reveal(right);
    presenter->setInspectorVisible(true);
    EXPECT_EQ(panelsText(), u"left: shown 300.5 locked | right: reveal 260 locked");
    EXPECT_FALSE(presenter->isInspectorVisible());

    presenter->disable(left); // also collapses and unlocks
    presenter->toggleLock(right);
    presenter->reveal(right);
    EXPECT_EQ(panelsText(), u"left: off 300.5 | right: shown 260");
    presenter->setInspectorVisible(false);
    EXPECT_EQ(panelsText(), u"left: off 300.5 | right: reveal 260");
}

TEST_F(MainLayoutPresenterTest, ArrowKeysNeedASongToGoTo)
{
    EXPECT_FALSE(presenter->canPlayPrevious());
    EXPECT_FALSE(presenter->canPlayNext());
    queue.current = track(u"A"_s);
    EXPECT_TRUE(presenter->canPlayPrevious());
    EXPECT_FALSE(presenter->canPlayNext()); // nothing upcoming, repeat off
    for (const RepeatMode mode : { RepeatMode::track, RepeatMode::all }) {
        queue.repeat = mode;
        EXPECT_TRUE(presenter->canPlayNext());
    }
    queue.current.reset();
    queue.upcomingList = { track(u"B"_s) };
    EXPECT_TRUE(presenter->canPlayNext());
    presenter->playNext();
    presenter->playPrevious();
    EXPECT_EQ(queue.calls.join(u", "_s), u"next, previous song");
}

TEST_F(MainLayoutPresenterTest, TheSessionIsSavedNowWheneverTheAppStopsBeingActiveOrTheWindowCloses)
{
    presenter->applicationStateChanged(Qt::ApplicationActive);
    EXPECT_TRUE(queue.calls.isEmpty());
    presenter->applicationStateChanged(Qt::ApplicationInactive);
    presenter->applicationStateChanged(Qt::ApplicationHidden);
    presenter->applicationStateChanged(Qt::ApplicationActive);
    presenter->windowClosing();
    EXPECT_EQ(queue.calls.join(u", "_s), u"save now, save now, save now");
}

} // namespace

TEST_F(MainLayoutPresenterTest, TheVisibleListsCommandTargetReadsAsNullOnceItsListIsGone)
{
    int changes = 0;
    QObject::connect(presenter.get(), &MainLayoutPresenter::visibleCommandTargetChanged,
        [&changes] { ++changes; });
    auto target = std::make_unique<TrackListSelectionCommandTarget>();
    presenter->setVisibleCommandTarget(target.get());
    presenter->setVisibleCommandTarget(target.get());
    EXPECT_EQ(presenter->visibleCommandTarget(), target.get());
    EXPECT_EQ(changes, 1);

    target.reset();
    EXPECT_EQ(presenter->visibleCommandTarget(), nullptr);
    EXPECT_EQ(changes, 2);
}
