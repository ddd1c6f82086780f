// Pages of the library components no screen presents yet: the smart playlist
// setup sheet, the library grid, the compact library list and the search overlay.
#include "Gallery.h"
#include "app/DIContainer.h"
#include "engines/library/LibraryEngineImpl.h"
#include "engines/library/PlaylistEngineImpl.h"
#include "engines/playback/QueueEngineImpl.h"
#include "ui/eon/EonFonts.h"
#include "ui/eon/EonMetrics.h"
#include "ui/eon/EonPalette.h"
#include "ui/eon/EonPlainLabel.h"
#include "ui/library/CompactLibraryListPresenter.h"
#include "ui/library/CompactLibraryListView.h"
#include "ui/library/LibraryGridPresenter.h"
#include "ui/library/LibraryGridView.h"
#include "ui/library/SearchOverlayView.h"
#include "ui/library/SmartPlaylistSetupPresenter.h"
#include "ui/library/SmartPlaylistSetupView.h"

#include <QDateTime>
#include <QLabel>
#include <QPainter>
#include <QTimeZone>
#include <QVBoxLayout>

using namespace Qt::Literals::StringLiterals;

namespace kivo::gallery {

namespace {

QUuid sampleID(int n)
{
    return QUuid(0x6b000000u + uint(n), 0x24, 0x4e, 0x80, 0, 0, 0, 0, 0, 0, 0);
}

Track sample(int n, const QString& title, const std::optional<QString>& artist,
    const QString& album, double duration, const QString& extension, qint64 bitrate,
    qint64 sampleRate)
{
    const QString filename = u"%1.%2"_s.arg(title, extension);
    Track track = Track::make(sampleID(n), QUrl::fromLocalFile(u"/music/"_s + filename), filename,
        title, duration,
        Date::fromDateTime(QDateTime(QDate(2026, 4, 2 + n), QTime(10, 0), QTimeZone::utc())));
    track.artist = artist;
    track.album = album;
    track.setAlbumArtist(artist);
    track.genre = n % 2 ? u"Ambient"_s : u"Electronic"_s;
    track.year = 2018 + n % 7;
    track.trackNumber = n + 1;
    track.bitrate = bitrate;
    track.sampleRate = sampleRate;
    return track;
}

QList<Track> sampleTracks()
{
    QList<Track> tracks {
        sample(0, u"Amber Signal"_s, u"Halvern Drift"_s, u"Low Light Atlas"_s, 243, u"flac"_s, 1012,
            44100),
        sample(1, u"Copper Rain Over the Northern Freight Yards"_s, u"Mirel & The Lanterns"_s,
            u"Night Ferries"_s, 318, u"mp3"_s, 320, 44100),
        sample(
            2, u"Glass Orchard"_s, u"Oona Vey"_s, u"Glass Orchard"_s, 3725, u"m4a"_s, 256, 48000),
        sample(
            3, u"Teal Horizon"_s, u"Kestrel Lane"_s, u"Waterlines"_s, 199, u"wav"_s, 1411, 44100),
        sample(4, u"Violet Hour"_s, u"Halvern Drift"_s, u"Low Light Atlas"_s, 276, u"flac"_s, 987,
            96000),
        sample(5, u"Slow Tide"_s, u"Ada Marsh"_s, u"Harbour Songs"_s, 0, u"ogg"_s, 192, 48000),
        sample(6, u"Paper Lanterns"_s, u"Mirel & The Lanterns"_s, u"Night Ferries"_s, 205, u"mp3"_s,
            320, 44100),
        sample(7, u"untitled-take-03"_s, std::nullopt, u"Demos"_s, 94, u"wav"_s, 1411, 44100),
    };
    tracks[7].album.reset();
    tracks[7].year.reset();
    tracks[7].genre.reset();
    tracks[7].dateAdded.reset();
    return tracks;
}

// Window-like backdrop for the overlay pages: something to dim.
class OverlayHost : public QWidget {
public:
    OverlayHost()
        : overlay(new SearchOverlayView(this))
    {
        auto* column = new QVBoxLayout(this);
        column->setContentsMargins(eon::space6XL, eon::space4XL, eon::space6XL, eon::space4XL);
        for (const QString& line : { u"All Songs"_s, u"Amber Signal — Halvern Drift"_s,
                 u"Glass Orchard — Oona Vey"_s, u"Teal Horizon — Kestrel Lane"_s }) {
            column->addWidget(eonPlainLabel(line,
                eonFont(line == u"All Songs"_s ? eon::textDisplay : eon::textSubheadline,
                    QFont::DemiBold),
                eonTextPrimary(), this));
        }
        column->addStretch(1);
        overlay->raise();
    }

    SearchOverlayView* overlay;

protected:
    void resizeEvent(QResizeEvent*) override { overlay->setGeometry(rect()); }
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), Qt::black);
        painter.fillRect(rect(), QBrush(eonWindowGradient().toLinearGradient()));
    }
};

Page overlayPage(const QString& name, const QString& query, const SearchResults& results)
{
    return { name, { 1000, 680 }, [query, results] {
                auto host = std::make_unique<OverlayHost>();
                host->overlay->setSearchQuery(query);
                host->overlay->setResults(results);
                return std::unique_ptr<QWidget>(std::move(host));
            } };
}

Page compactListPage(Context& context, const QString& name,
    const std::function<void(CompactLibraryListPresenter&)>& prepare)
{
    return { name, { 1320, 420 }, [&context, prepare] {
                DIContainer& container = context.container();
                auto* presenter = new CompactLibraryListPresenter(
                    container.libraryEngine(), container.queueEngine());
                presenter->model().setTracks(sampleTracks());
                prepare(*presenter);
                auto view = std::make_unique<CompactLibraryListView>(*presenter);
                presenter->setParent(view.get());
                return std::unique_ptr<QWidget>(std::move(view));
            } };
}

Page gridPage(const QString& name, QSize size, double itemWidth, const QString& search)
{
    return { name, size, [itemWidth, search] {
                auto* presenter = new LibraryGridPresenter;
                presenter->setGridItemWidth(itemWidth);
                presenter->setSearchQuery(search);
                auto view = std::make_unique<LibraryGridView>(*presenter);
                presenter->setParent(view.get());
                return std::unique_ptr<QWidget>(std::move(view));
            } };
}

} // namespace

void addLibraryExtrasPages(QList<Page>& pages, Context& context)
{
    pages.append({ u"library-smart-playlist-setup"_s, { 550, 480 }, [&context] {
                      auto* presenter
                          = new SmartPlaylistSetupPresenter(context.container().playlistEngine());
                      presenter->setPlaylistName(u"Late Night Focus"_s);
                      presenter->setMatchAllRules(false);
                      presenter->addRule();
                      QList<SmartRule> rules = presenter->rules();
                      rules[0].value = u"Night"_s;
                      rules[1].property = SmartRuleProperty::rating;
                      rules[1].condition = SmartRuleCondition::isGreaterThan;
                      rules[1].value = u"3"_s;
                      for (const SmartRule& rule : rules) {
                          presenter->updateRule(rule);
                      }
                      auto sheet = std::make_unique<SmartPlaylistSetupView>(*presenter);
                      presenter->setParent(sheet.get());
                      return std::unique_ptr<QWidget>(std::move(sheet));
                  } });

    pages.append(gridPage(u"library-grid-160"_s, { 1000, 620 }, 160, {}));
    pages.append(gridPage(u"library-grid-240"_s, { 1000, 620 }, 240, {}));
    pages.append(gridPage(u"library-grid-filtered-none"_s, { 700, 300 }, 160, u"zzz"_s));

    pages.append(compactListPage(
        context, u"library-compact-list-by-artist"_s, [](CompactLibraryListPresenter& presenter) {
            presenter.sortBy(TrackSortField::artist);
            presenter.model().setCurrentTrackID(sampleID(4));
            presenter.select(2);
        }));
    pages.append(compactListPage(context, u"library-compact-list-by-duration-descending"_s,
        [](CompactLibraryListPresenter& presenter) {
            presenter.sortBy(TrackSortField::duration);
            presenter.sortBy(TrackSortField::duration);
            presenter.model().setCurrentTrackID(sampleID(2));
        }));

    SearchResults none;
    none.query = u"zzz"_s;
    SearchResults every;
    every.query = u"a"_s;
    const QList<Track> tracks = sampleTracks();
    every.songs = { tracks[0], tracks[2], tracks[4] };
    every.artists = { u"Ada Marsh"_s, u"Halvern Drift"_s };
    every.albums = { u"Harbour Songs"_s, u"Low Light Atlas"_s };
    every.genres = { u"Ambient"_s };
    every.playlists = {
        Playlist::make(sampleID(20), u"Late Night Focus"_s, PlaylistType::standard()),
        Playlist::make(sampleID(21), u"Amber Hours"_s, PlaylistType::smart(u"Artist contains a"_s))
    };
    pages.append(overlayPage(u"library-search-overlay-empty"_s, {}, {}));
    pages.append(overlayPage(u"library-search-overlay-no-results"_s, u"zzz"_s, none));
    pages.append(overlayPage(u"library-search-overlay-results"_s, u"a"_s, every));
}

} // namespace kivo::gallery
