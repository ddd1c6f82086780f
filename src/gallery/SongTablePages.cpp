// Pages of the song table: rows in their states, sorting, layouts, the column
// menu and the song context menu; the track list screen with its header, empty
// state, deletion confirmation and alerts.
#include "Gallery.h"
#include "app/DIContainer.h"
#include "engines/artwork/ArtworkCacheImpl.h"
#include "engines/artwork/TrackRemovalCoordinator.h"
#include "engines/library/LibraryEngineImpl.h"
#include "engines/playback/AudioEngineImpl.h"
#include "engines/playback/QueueEngineImpl.h"
#include "platform/UndoManager.h"
#include "platform/UserDefaults.h"
#include "ui/eon/EonAlert.h"
#include "ui/eon/EonFonts.h"
#include "ui/eon/EonMetrics.h"
#include "ui/eon/EonPalette.h"
#include "ui/songtable/TrackContextMenuContent.h"
#include "ui/songtable/TrackListHeaderView.h"
#include "ui/songtable/TrackListOverlaysModifier.h"
#include "ui/songtable/TrackListTableView.h"
#include "ui/songtable/TrackListView.h"
#include "ui/songtable/TrackTableHeaderView.h"
#include "ui/songtable/TrackTableLayoutState.h"
#include "ui/songtable/TrackTableModel.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QDateTime>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QTimeZone>
#include <QTimer>
#include <QVBoxLayout>

using namespace Qt::Literals::StringLiterals;

namespace kivo::gallery {

namespace {

QUuid sampleID(int n)
{
    return QUuid(0x5a000000u + uint(n), 0x17, 0x4e, 0x80, 0, 0, 0, 0, 0, 0, 0);
}

Track sample(int n, const QString& title, const QString& artist, const QString& album,
    double duration, const QString& extension, qint64 bitrate, qint64 sampleRate, int day)
{
    const QString filename = u"%1.%2"_s.arg(title, extension);
    Track track = Track::make(sampleID(n), QUrl::fromLocalFile(u"/music/"_s + filename), filename,
        title, duration,
        Date::fromDateTime(QDateTime(QDate(2026, 3, day), QTime(10, 0), QTimeZone::utc())));
    track.artist = artist;
    track.album = album;
    track.setAlbumArtist(artist);
    track.genre = u"Electronic"_s;
    track.year = 2019 + n % 6;
    track.trackNumber = n + 1;
    track.bitrate = bitrate;
    track.sampleRate = sampleRate;
    return track;
}

QList<Track> sampleTracks()
{
    QList<Track> tracks {
        sample(0, u"Amber Signal"_s, u"Halvern Drift"_s, u"Low Light Atlas"_s, 243, u"flac"_s, 1012,
            44100, 2),
        sample(1, u"Copper Rain Over the Northern Freight Yards"_s, u"Mirel & The Lanterns"_s,
            u"Night Ferries"_s, 318, u"mp3"_s, 320, 44100, 3),
        sample(2, u"Glass Orchard"_s, u"Oona Vey"_s, u"Glass Orchard"_s, 3725, u"m4a"_s, 256, 48000,
            5),
        sample(3, u"Teal Horizon"_s, u"Kestrel Lane"_s, u"Waterlines"_s, 199, u"wav"_s, 1411, 44100,
            8),
        sample(4, u"Violet Hour"_s, u"Halvern Drift"_s, u"Low Light Atlas"_s, 276, u"flac"_s, 987,
            96000, 9),
        sample(5, u"Slow Tide"_s, u"Ada Marsh"_s, u"Harbour Songs"_s, 0, u"ogg"_s, 192, 48000, 11),
        sample(6, u"Paper Lanterns"_s, u"Mirel & The Lanterns"_s, u"Night Ferries"_s, 205, u"mp3"_s,
            320, 44100, 12),
    };
    // A file without tags: only its file name and duration are known.
    Track bare = Track::make(sampleID(7), QUrl::fromLocalFile(u"/music/untitled-take-03"_s),
        u"untitled-take-03"_s, u"untitled-take-03"_s, 94,
        Date::fromDateTime(QDateTime(QDate(2026, 3, 14), QTime(9, 0), QTimeZone::utc())));
    bare.dateAdded.reset();
    tracks.append(bare);
    return tracks;
}

// One song table on the window's background, with its own layout and undo stack.
class TablePage : public QWidget {
public:
    explicit TablePage(Context& context)
        : m_layout(context.freshDefaults())
        , m_model(new TrackTableModel(this))
        , m_table(new TrackListTableView(m_layout, m_model, &m_undo, this))
    {
        auto* column = new QVBoxLayout(this);
        column->setContentsMargins(0, 0, 0, 0);
        column->addWidget(m_table);
        m_model->setTracks(sampleTracks());
    }

    // The table goes first: it reads the layout until it is gone.
    ~TablePage() override { delete m_table; }

    TrackTableLayoutState& layout() { return m_layout; }
    TrackTableModel& model() { return *m_model; }
    TrackListTableView& table() { return *m_table; }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), Qt::black);
        painter.fillRect(rect(), QBrush(eonWindowGradient().toLinearGradient()));
    }

private:
    UndoManager m_undo;
    TrackTableLayoutState m_layout;
    TrackTableModel* m_model;
    TrackListTableView* m_table;
};

Page tablePage(
    Context& context, const QString& name, QSize size, std::function<void(TablePage&)> prepare)
{
    return { name, size, [&context, prepare] {
                auto page = std::make_unique<TablePage>(context);
                prepare(*page);
                return std::unique_ptr<QWidget>(std::move(page));
            } };
}

// A popup menu shown as a picture on a stage (menus cannot be pages themselves).
QLabel* menuPicture(QMenu* menu)
{
    menu->adjustSize();
    auto* picture = new QLabel;
    picture->setPixmap(menu->grab());
    return picture;
}

// A track list screen over the sample songs, with its own layout and undo stack.
class ScreenPage : public QWidget {
public:
    explicit ScreenPage(Context& context)
        : m_layout(context.freshDefaults())
    {
        DIContainer& container = context.container();
        m_screen = new TrackListView(
            TrackListDependencies { container.libraryEngine(), container.queueEngine(),
                container.audioEngine(), container.artworkCache(), container.metadataEngine(),
                m_undo, m_layout },
            this);
        auto* column = new QVBoxLayout(this);
        column->setContentsMargins(0, 0, 0, 0);
        column->addWidget(m_screen);
        m_screen->setTitle(u"All Songs"_s);
        m_screen->setTracks(sampleTracks());
    }

    // The screen goes first: its table reads the layout until it is gone.
    ~ScreenPage() override { delete m_screen; }

    TrackListView& screen() { return *m_screen; }
    const Track& track(int n) const { return m_screen->controller().tracks()[n]; }

private:
    UndoManager m_undo;
    TrackTableLayoutState m_layout;
    TrackListView* m_screen;
};

Page screenPage(
    Context& context, const QString& name, QSize size, std::function<void(ScreenPage&)> prepare)
{
    return { name, size, [&context, prepare] {
                auto page = std::make_unique<ScreenPage>(context);
                prepare(*page);
                return std::unique_ptr<QWidget>(std::move(page));
            } };
}

// A header control of the kind the library screens add.
QPushButton* headerButton(const QString& text)
{
    auto* button = new QPushButton(text);
    button->setFont(eonFont(eon::textCallout, QFont::DemiBold));
    return button;
}

Page alertPage(const QString& name, std::function<EonAlert*()> build)
{
    // No size of its own: the alert's, as the window shows it.
    return { name, {}, [build] { return std::unique_ptr<QWidget>(build()); } };
}

} // namespace

void addSongTablePages(QList<Page>& pages, Context& context)
{
    const QSize size { 1320, 420 };
    pages.append(tablePage(context, u"songtable-default"_s, size, [](TablePage& page) {
        page.model().setCurrentTrack(sampleID(0), true);
        page.model().setSelectedIDs({ sampleID(2) });
    }));
    pages.append(
        tablePage(context, u"songtable-current-selected-paused"_s, size, [](TablePage& page) {
            page.model().setCurrentTrack(sampleID(1), false);
            page.model().setSelectedIDs({ sampleID(1), sampleID(4) });
        }));
    pages.append(
        tablePage(context, u"songtable-sorted-duration-descending"_s, size, [](TablePage& page) {
            page.model().setSortOrder({ TrackSortField::duration, false });
            page.model().setCurrentTrack(sampleID(3), true);
        }));
    pages.append(tablePage(context, u"songtable-collapsed-column"_s, size, [](TablePage& page) {
        page.layout().toggleCollapsed(TrackTableColumnID::artist, nullptr);
        page.layout().toggleCollapsed(TrackTableColumnID::year, nullptr);
    }));
    pages.append(
        tablePage(context, u"songtable-custom-layout"_s, { 1000, 420 }, [](TablePage& page) {
            page.layout().moveColumn(
                TrackTableColumnID::duration, TrackTableColumnID::artist, nullptr);
            page.layout().setWidth(300, TrackTableColumnID::title);
            page.layout().setColumnVisible(TrackTableColumnID::genre, false, nullptr);
            // Scrolled to the trailing edge once laid out: the restore button shows.
            QTimer::singleShot(50, &page, [&page] {
                page.table().horizontalScrollBar()->setValue(
                    page.table().horizontalScrollBar()->maximum());
            });
        }));
    pages.append(tablePage(context, u"songtable-no-columns"_s, { 600, 260 }, [](TablePage& page) {
        for (const TrackTableColumnID id : allTrackTableColumnIDs()) {
            page.layout().setColumnVisible(id, false, nullptr);
        }
        page.model().setSelectedIDs({ sampleID(1) });
    }));
    pages.append(
        tablePage(context, u"songtable-wide-viewport"_s, { 1500, 300 }, [](TablePage& page) {
            for (const TrackTableColumnID id :
                { TrackTableColumnID::album, TrackTableColumnID::albumArtist,
                    TrackTableColumnID::genre, TrackTableColumnID::bitrate,
                    TrackTableColumnID::sampleRate, TrackTableColumnID::dateAdded }) {
                page.layout().setColumnVisible(id, false, nullptr);
            }
            page.model().setCurrentTrack(sampleID(2), false);
        }));
    pages.append(tablePage(context, u"songtable-keyboard-focus"_s, size, [](TablePage& page) {
        page.model().setSelectedIDs({ sampleID(2) });
        QTimer::singleShot(80, &page, [&page] {
            QApplication::setActiveWindow(&page);
            // The window's activation may have focused it already, not by Tab.
            page.table().clearFocus();
            page.table().setFocus(Qt::TabFocusReason);
        });
    }));
    pages.append(tablePage(context, u"songtable-menu-row"_s, size, [](TablePage& page) {
        // The menu is open on one row while another stays selected.
        page.model().setSelectedIDs({ sampleID(1) });
        QTimer::singleShot(0, &page, [&page] {
            QWidget* rows = page.table().viewport();
            const QPoint at = page.table().visualRect(page.model().index(4, 0)).center();
            QContextMenuEvent click(QContextMenuEvent::Mouse, at, rows->mapToGlobal(at));
            QCoreApplication::sendEvent(rows, &click);
        });
    }));
    pages.append(
        { u"songtable-menus"_s, { 1460, 560 }, [&context] {
             auto stage = std::make_unique<Stage>(4);
             auto* page = new TablePage(context);
             page->setParent(stage.get());
             page->hide();
             TrackTableLayoutState& layout = page->layout();
             layout.setColumnVisible(TrackTableColumnID::genre, false, nullptr);
             layout.setRecoveryMessage(TrackTableLayoutState::invalidLayoutMessage);
             TrackTableHeaderView* header = page->table().headerView();
             stage->add(u"Column menu with a recovery message"_s,
                 menuPicture(header->buildColumnMenu(page)));
             Track favorite = sampleTracks()[0];
             favorite.rating = 5;
             stage->add(u"Song menu: favourite, 3 songs selected"_s,
                 menuPicture(TrackContextMenuContent::build(favorite, 3, false, {}, page)));
             Track plain = sampleTracks()[1];
             plain.rating = 3;
             stage->add(u"Song menu: not a favourite, removal running"_s,
                 menuPicture(TrackContextMenuContent::build(plain, 1, true, {}, page)));
             stage->add(u"Column header menu"_s,
                 menuPicture(header->buildColumnContextMenu(TrackTableColumnID::artist, page)));
             QMenu* songMenu = TrackContextMenuContent::build(plain, 1, false, {}, page);
             for (QAction* action : songMenu->actions()) {
                 if (action->menu()) {
                     stage->add(u"Song menu: Delete submenu"_s, menuPicture(action->menu()));
                 }
             }
             return std::unique_ptr<QWidget>(std::move(stage));
         } });

    pages.append(
        screenPage(context, u"tracklist-header-actions"_s, { 1320, 460 }, [](ScreenPage& page) {
            page.screen().setTitle(u"Late Night <Mix> & Friends"_s);
            page.screen().setHeaderActions(
                { headerButton(u"Play All"_s), headerButton(u"Shuffle"_s) });
            page.screen().controller().select(page.track(1), Qt::NoModifier);
        }));
    pages.append(
        screenPage(context, u"tracklist-three-selected"_s, { 1320, 460 }, [](ScreenPage& page) {
            TrackListController& screen = page.screen().controller();
            screen.select(page.track(0), Qt::NoModifier);
            screen.select(page.track(3), Qt::ControlModifier);
            screen.select(page.track(6), Qt::ControlModifier);
        }));
    pages.append(screenPage(context, u"tracklist-empty"_s, { 1000, 420 }, [](ScreenPage& page) {
        page.screen().setTitle(u"Favorites"_s);
        page.screen().setEmptyState({ u"heart.slash"_s, u"No Favorites Yet"_s,
            u"Songs rated four stars or more appear here."_s });
        page.screen().setTracks({});
    }));
    pages.append(alertPage(u"tracklist-delete-confirmation"_s, [] {
        return TrackListOverlaysModifier::makeDeletionConfirmation(sampleTracks()[1], nullptr);
    }));
    pages.append(alertPage(u"tracklist-alert-removal"_s, [] {
        return TrackListOverlaysModifier::makeAlert(TrackListController::removalAlertTitle(),
            TrackRemovalCoordinator::busyMessage(), nullptr);
    }));
    pages.append(alertPage(u"tracklist-alert-metadata"_s, [] {
        return TrackListOverlaysModifier::makeAlert(TrackListController::metadataAlertTitle(),
            u"The metadata update failed (Track title cannot be empty.), and automatic "
            u"recovery also failed (The store could not be written.)."_s,
            nullptr);
    }));
    pages.append(alertPage(u"tracklist-alert-favorite"_s, [] {
        return TrackListOverlaysModifier::makeAlert(TrackListController::favoriteAlertTitle(),
            u"One or more tracks are no longer in the local library."_s, nullptr);
    }));
    pages.append(alertPage(u"tracklist-alert-artwork-markup"_s, [] {
        return TrackListOverlaysModifier::makeAlert(TrackListController::artworkAlertTitle(),
            u"<img src=x> <b>cover.png</b> is larger than 25 MB."_s, nullptr);
    }));
}

} // namespace kivo::gallery
