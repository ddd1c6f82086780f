#include "LibraryFakes.h"
#include "ui/library/LibraryGridArea.h"
#include "ui/library/LibraryGridLayout.h"
#include "ui/library/LibraryGridPresenter.h"
#include "ui/library/LibraryGridView.h"

#include "support/ModelChecks.h"
#include <QSlider>
#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace kivo::test {
namespace {

QString tiles(const LibraryGridModel& model)
{
    QStringList names;
    for (int row = 0; row < model.rowCount(); ++row) {
        names.append(model.index(row).data().toString() + u'/'
            + model.index(row).data(LibraryGridModel::SubtitleRole).toString());
    }
    return names.join(u", "_s);
}

TEST(LibraryGridTest, TheSearchTextMatchesTitlesAndArtistsAsTyped)
{
    LibraryGridModel model;
    const auto tester = test::checkModel(&model);
    Track night = song(1, u"Night Ferry"_s);
    night.artist = u"Ada Marsh"_s;
    Track cafe = song(2, u"Café Static"_s);
    cafe.artist = u"Oona"_s;
    model.setTracks({ night, cafe, song(3, u"Static Bloom"_s) });

    const struct {
        QString search;
        QString shown;
    } cases[] = {
        { u""_s, u"Night Ferry/Ada Marsh, Café Static/Oona, Static Bloom/Unknown Artist"_s },
        { u"STATIC"_s, u"Café Static/Oona, Static Bloom/Unknown Artist"_s },
        { u" Static"_s, u"Café Static/Oona"_s }, // the blank takes part
        { u"marsh"_s, u"Night Ferry/Ada Marsh"_s },
        { u"cafe\u0301"_s, u"Café Static/Oona"_s }, // composed and decomposed alike
        { u"Unknown Artist"_s, u""_s },
        { u"zzz"_s, u""_s },
    };
    for (const auto& c : cases) {
        model.setSearchText(c.search);
        EXPECT_EQ(tiles(model), c.shown) << c.search.toStdString();
    }
}

TEST(LibraryGridTest, WiderTilesMeanFewerColumnsWithinTheMargins)
{
    const struct {
        double viewport;
        double item;
        int columns;
        double columnWidth;
        double left;
    } cases[] = {
        { 1000, 160, 5, 171.2, 24 }, { 1000, 240, 3, 280, 56 }, // capped at 240 + 40: centred
        { 1000, 120, 6, 138.66666666666666, 24 }, { 2000, 240, 7, 1808.0 / 7, 24 },
        { 100, 160, 1, 52, 24 }, // narrower than a tile: one column that fits
    };
    for (const auto& c : cases) {
        const LibraryGridLayout grid(c.viewport, c.item, 30);
        EXPECT_EQ(grid.columns, c.columns) << c.viewport << " " << c.item;
        EXPECT_DOUBLE_EQ(grid.columnWidth, c.columnWidth) << c.viewport << " " << c.item;
        EXPECT_DOUBLE_EQ(grid.left, c.left) << c.viewport << " " << c.item;
    }
    const LibraryGridLayout grid(1000, 160, 30);
    EXPECT_EQ(grid.tileRect(6), QRectF(24 + 171.2 + 24, 24 + 171.2 + 10 + 30 + 32, 171.2, 211.2));
    EXPECT_EQ(grid.visibleRange(0, 100, 12), std::make_pair(0, 5));
    EXPECT_EQ(grid.visibleRange(300, 350, 12), std::make_pair(5, 10));
    EXPECT_EQ(grid.visibleRange(300, 2000, 12), std::make_pair(5, 12));
    EXPECT_DOUBLE_EQ(grid.contentHeight(0), 48);
}

TEST(LibraryGridTest, ShowingLoadsFreshSamplesAndTheSliderSetsTheWidth)
{
    LibraryGridPresenter presenter;
    EXPECT_EQ(presenter.model().rowCount(), 0);
    LibraryGridView view(presenter);
    view.resize(900, 600);
    view.show();
    ASSERT_EQ(presenter.model().rowCount(), 5);
    const QList<Track> first = presenter.model().tracks();
    for (const Track& track : first) {
        EXPECT_EQ(track.artist, first[0].artist);
        EXPECT_EQ(track.album, first[0].album);
        EXPECT_TRUE(track.album);
        EXPECT_EQ(track.rating, 0);
    }
    presenter.setSearchQuery(*first[0].artist);
    EXPECT_EQ(presenter.model().rowCount(), 5);

    view.hide();
    view.show();
    EXPECT_NE(presenter.model().tracks()[0].id, first[0].id);

    view.sizeSlider()->setValue(2400);
    EXPECT_EQ(presenter.gridItemWidth(), 240);
    presenter.setGridItemWidth(500);
    EXPECT_EQ(presenter.gridItemWidth(), 240);
    presenter.setGridItemWidth(90);
    EXPECT_EQ(presenter.gridItemWidth(), 120);
    EXPECT_EQ(view.sizeSlider()->value(), 1200);
}

} // namespace
} // namespace kivo::test
