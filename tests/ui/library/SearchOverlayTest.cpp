#include "LibraryFakes.h"
#include "ui/eon/EonSymbolButton.h"
#include "ui/library/SearchOverlayView.h"

#include "support/ModelChecks.h"
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace kivo::test {
namespace {

Playlist playlist(const QString& name)
{
    Playlist result;
    result.id = QUuid::createUuid();
    result.name = name;
    return result;
}

QString rows(const QAbstractItemModel& model)
{
    QStringList texts;
    for (int row = 0; row < model.rowCount(); ++row) {
        const QModelIndex index = model.index(row, 0);
        texts.append(index.data(SearchOverlayResultsModel::IsSectionTitleRole).toBool()
                ? u"["_s + index.data().toString() + u']'
                : index.data(SearchOverlayResultsModel::SymbolNameRole).toString() + u':'
                    + index.data().toString());
    }
    return texts.join(u' ');
}

TEST(SearchOverlayTest, ContentFollowsTheQueryAndTheResults)
{
    SearchResults genresOnly;
    genresOnly.genres = { u"Jazz"_s };
    SearchResults songsAndPlaylists;
    songsAndPlaylists.songs = { song(1, u"Night"_s), song(2, u"Day"_s) };
    songsAndPlaylists.playlists = { playlist(u"Mix"_s) };
    SearchResults everything = songsAndPlaylists;
    everything.artists = { u"Ada"_s };
    everything.albums = { u"Harbour"_s };
    everything.genres = { u"Jazz"_s };

    const struct {
        QString query;
        SearchResults results;
        SearchOverlayContent content;
        QString rows;
    } cases[] = {
        { u""_s, {}, SearchOverlayContent::nothing, u""_s },
        { u""_s, everything, SearchOverlayContent::nothing, {} },
        { u"x"_s, {}, SearchOverlayContent::noResults, u""_s },
        { u"jazz"_s, genresOnly, SearchOverlayContent::results, u""_s },
        { u"n"_s, songsAndPlaylists, SearchOverlayContent::results,
            u"[SONGS] music.note:Night music.note:Day [PLAYLISTS] music.note.list:Mix"_s },
        { u"a"_s, everything, SearchOverlayContent::results,
            u"[SONGS] music.note:Night music.note:Day [ARTISTS] music.mic:Ada [ALBUMS] "
            "square.stack:Harbour [PLAYLISTS] music.note.list:Mix"_s },
    };
    SearchOverlayView overlay;
    const auto tester = test::checkModel(overlay.resultsList()->model());
    for (const auto& c : cases) {
        overlay.setSearchQuery(c.query);
        overlay.setResults(c.results);
        EXPECT_EQ(overlay.content(), c.content) << c.query.toStdString();
        EXPECT_EQ(overlay.isClearButtonShown(), !c.query.isEmpty());
        if (!c.rows.isNull()) {
            EXPECT_EQ(rows(*overlay.resultsList()->model()), c.rows) << c.query.toStdString();
        }
    }
    overlay.setSearchQuery(u"it's"_s);
    overlay.setResults({});
    EXPECT_EQ(overlay.quotedQueryLabel()->text(), u"'it's'");
}

TEST(SearchOverlayTest, BackdropDismissesClearEmptiesAndEscapeOnlyHides)
{
    QWidget host;
    host.resize(900, 700);
    auto* overlay = new SearchOverlayView(&host);
    host.show();
    QSignalSpy queries(overlay, &SearchOverlayView::searchQueryChanged);
    QSignalSpy dismissals(overlay, &SearchOverlayView::dismissed);
    EXPECT_EQ(overlay->geometry(), host.rect());

    QTest::keyClicks(overlay->field(), u"ab"_s);
    EXPECT_EQ(overlay->searchQuery(), u"ab");
    EXPECT_TRUE(overlay->clearButton()->isVisible());
    QTest::mouseClick(overlay->clearButton(), Qt::LeftButton);
    EXPECT_EQ(overlay->searchQuery(), u"");
    EXPECT_FALSE(overlay->clearButton()->isVisible());
    EXPECT_TRUE(overlay->isVisible());

    overlay->setSearchQuery(u"kept"_s);
    QTest::mouseClick(overlay, Qt::LeftButton, {}, overlay->panel()->geometry().center());
    EXPECT_TRUE(overlay->isVisible()); // inside the panel
    QTest::keyClick(overlay->field(), Qt::Key_Escape);
    EXPECT_FALSE(overlay->isVisible());
    EXPECT_EQ(overlay->searchQuery(), u"kept");

    overlay->show();
    QTest::mouseClick(overlay, Qt::LeftButton, {}, QPoint(10, 650));
    EXPECT_FALSE(overlay->isVisible());
    EXPECT_EQ(overlay->searchQuery(), u"");
    EXPECT_EQ(dismissals.size(), 2);
    QStringList written;
    for (const QList<QVariant>& call : queries) {
        written.append(call.at(0).toString());
    }
    EXPECT_EQ(written.join(u'|'), u"a|ab||");
}

} // namespace
} // namespace kivo::test
