// Pages of the library views: the sidebar, the playlist sheets, the add-songs
// sheet and the drop zone, over a fixed sample library of their own.
#include "../../tests/support/StubLibraryEngine.h"
#include "Gallery.h"
#include "app/DIContainer.h"
#include "engines/artwork/ArtworkCacheImpl.h"
#include "engines/library/MetadataEngine.h"
#include "engines/library/PlaylistEngineImpl.h"
#include "engines/playback/AudioEngineImpl.h"
#include "engines/playback/QueueEngineImpl.h"
#include "model/PlaylistStorageImpl.h"
#include "model/StartDetached.h"
#include "model/StoreFile.h"
#include "platform/UndoManager.h"
#include "ui/eon/EonGradientPanel.h"
#include "ui/eon/EonPalette.h"
#include "ui/library/AddSongsSheet.h"
#include "ui/library/AddSongsSheetModel.h"
#include "ui/library/DropOverlay.h"
#include "ui/library/FavoritesView.h"
#include "ui/library/NewPlaylistSheet.h"
#include "ui/library/PlaylistDetailView.h"
#include "ui/library/PlaylistDetailViewModel.h"
#include "ui/library/PlaylistRenameSheet.h"
#include "ui/library/SidebarView.h"
#include "ui/library/SongsView.h"
#include "ui/library/SongsViewModel.h"
#include "ui/songtable/TrackTableLayoutState.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCoreApplication>
#include <QFile>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QTemporaryDir>
#include <QToolTip>
#include <QVBoxLayout>

using namespace Qt::Literals::StringLiterals;

namespace kivo::gallery {

namespace {

// A fixed library in memory; imports and edits do nothing.
class SampleLibrary final : public test::StubLibraryEngine {
public:
    QList<Track> allTracks() const override { return tracks; }
    QCoro::Task<> importFiles(QList<QUrl>) override
    {
        if (failure) {
            throw std::runtime_error(failure->toStdString());
        }
        co_return;
    }
    LibraryLoadState loadState() const override { return state; }
    std::exception_ptr loadError() const override { return loadFailure; }

    QList<Track> tracks;
    std::optional<QString> failure; // what every import throws
    LibraryLoadState state = LibraryLoadState::loaded;
    std::exception_ptr loadFailure;
};

// The record store in a temporary folder; saves fail once `failing` is set.
class SampleStorage final : public PlaylistStorage {
public:
    QList<PlaylistRecord> fetchAllRecords() override { return inner.fetchAllRecords(); }
    QList<PlaylistRecord> fetchRecords(const std::optional<QUuid>& id) override
    {
        return inner.fetchRecords(id);
    }
    void saveRecord(const PlaylistRecord& record) override { check(), inner.saveRecord(record); }
    void saveRecords(const QList<PlaylistRecord>& records) override
    {
        check(), inner.saveRecords(records);
    }
    void deleteRecord(const QUuid& id) override { inner.deleteRecord(id); }
    void deleteFolderRecursively(const QUuid& id) override { inner.deleteFolderRecursively(id); }
    void check() const
    {
        if (failing) {
            throw StoreFileError(StoreFileError::Case::writeFailed,
                folder.filePath(u"playlist_records.json"_s), u"No space left on device"_s);
        }
    }

    QTemporaryDir folder;
    TavrenPlaylistStorage inner { folder.path() };
    bool failing = false;
};

Track sampleTrack(
    const QString& title, const std::optional<QString>& artist, double duration, qint64 rating = 0)
{
    const QUrl url = QUrl::fromLocalFile(u"/music/"_s + title + u".flac"_s);
    Track track
        = Track::make(QUuid::createUuid(), url, url.fileName(), title, duration, Date { 0 });
    track.artist = artist;
    track.rating = rating;
    return track;
}

// The sample library and playlists, owned by the page that shows them.
class SampleEngines : public QObject {
public:
    explicit SampleEngines(QObject* owner)
        : QObject(owner)
    {
        library.tracks = {
            sampleTrack(u"Harbour Lights"_s, u"Aurora Quartet"_s, 254, 5),
            sampleTrack(u"Low Sun"_s, u"Mara Lindqvist"_s, 198, 4),
            sampleTrack(u"Paper Boats"_s, std::nullopt, 312),
            sampleTrack(u"<b>Tidal</b> & Co"_s, u"The Night Ferries"_s, 3725, 2),
            sampleTrack(u"Glass Orchard"_s, u"Aurora Quartet"_s, 241),
            sampleTrack(u"A Very Long Title That Keeps Going Past The Edge Of The Row"_s,
                u"An Artist Whose Name Is Also Rather Long For One Line"_s, 187, 1),
        };
        mix = playlists.createPlaylist(u"Evening Mix"_s);
        playlists.createSmartPlaylist(u"Loud & Fast"_s, u"bpm greaterThan 140"_s);
        const Playlist folder = playlists.createFolder(u"Crates"_s);
        playlists.createPlaylist(u"Inside the folder"_s, folder.id);
        playlists.createPlaylist(u"Road Trip, Summer of the Long Drive North"_s);
        playlists.addTracks(library.tracks.mid(0, 3), mix.id);
    }

    SampleLibrary library;
    std::shared_ptr<SampleStorage> storage = std::make_shared<SampleStorage>();
    TavrenPlaylistEngine playlists { storage, &library, nullptr };
    Playlist mix;
};

std::unique_ptr<QWidget> sidebarPage(
    const std::function<std::optional<NavigationDestination>(SampleEngines&)>& selection)
{
    auto panel = std::make_unique<EonGradientPanel>(eonPanelGradient());
    auto* engines = new SampleEngines(panel.get());
    auto* layout = new QVBoxLayout(panel.get());
    layout->setContentsMargins(0, 0, 0, 0);
    auto* sidebar = new SidebarView(engines->playlists, panel.get());
    sidebar->model().setSelection(selection(*engines));
    layout->addWidget(sidebar);
    return panel;
}

// The playlist row's context menu, opened on a laid-out sidebar.
std::unique_ptr<QWidget> sidebarMenuPage()
{
    std::unique_ptr<QWidget> panel = sidebarPage(
        [](SampleEngines& engines) { return NavigationDestination::playlist(engines.mix.id); });
    panel->resize(260, 820);
    panel->show();
    QCoreApplication::processEvents();
    auto* rows = panel->findChild<QAbstractItemView*>(u"sidebarPlaylistRows"_s);
    auto stage = std::make_unique<Stage>(1);
    stage->add(u"playlist row menu"_s, popupMenuPicture(panel.get(), [rows] {
        if (rows && rows->model()->rowCount() > 0) {
            Q_EMIT rows->customContextMenuRequested(
                rows->visualRect(rows->model()->index(0, 0)).center());
        }
    }));
    return stage;
}

// The tooltip of a playlist name cut short in the sidebar, as hovering it
// shows (tooltips are windows of their own, so it is grabbed).
std::unique_ptr<QWidget> sidebarTooltipPage()
{
    std::unique_ptr<QWidget> panel = sidebarPage([](SampleEngines&) { return std::nullopt; });
    panel->resize(260, 820);
    panel->show();
    QCoreApplication::processEvents();
    auto stage = std::make_unique<Stage>(1);
    auto* picture = new QLabel;
    auto* rows = panel->findChild<QAbstractItemView*>(u"sidebarPlaylistRows"_s);
    const int last = rows ? rows->model()->rowCount() - 1 : -1;
    if (last >= 0) {
        const QPoint at = rows->visualRect(rows->model()->index(last, 0)).center();
        QHelpEvent hover(QEvent::ToolTip, at, rows->viewport()->mapToGlobal(at));
        QCoreApplication::sendEvent(rows->viewport(), &hover);
        QCoreApplication::processEvents();
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (window->inherits("QTipLabel") && window->isVisible()) {
                picture->setPixmap(window->grab());
            }
        }
        QToolTip::hideText();
    }
    stage->add(u"playlist name cut short, hovered"_s, picture);
    return stage;
}

// A library screen over the sample library, with a layout and undo stack of
// its own. The screen goes first: its table reads the layout until it is gone.
class ScreenHost : public QWidget {
public:
    using Build = std::function<QWidget*(TrackListDependencies, SampleEngines&, QWidget*)>;

    ScreenHost(Context& context, bool emptyLibrary, const Build& build)
        : m_engines(new SampleEngines(this))
        , m_layout(context.freshDefaults())
    {
        if (emptyLibrary) {
            m_engines->library.tracks.clear();
        }
        DIContainer& container = context.container();
        const TrackListDependencies dependencies { m_engines->library, container.queueEngine(),
            container.audioEngine(), container.artworkCache(), container.metadataEngine(), m_undo,
            m_layout };
        auto* column = new QVBoxLayout(this);
        column->setContentsMargins(0, 0, 0, 0);
        m_screen = build(dependencies, *m_engines, this);
        column->addWidget(m_screen);
    }
    ~ScreenHost() override { delete m_screen; }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), Qt::black);
        painter.fillRect(rect(), QBrush(eonWindowGradient().toLinearGradient()));
    }

private:
    SampleEngines* m_engines;
    UndoManager m_undo;
    TrackTableLayoutState m_layout;
    QWidget* m_screen;
};

Page screenPage(Context& context, const QString& name, bool emptyLibrary, ScreenHost::Build build)
{
    return { name, { 1000, 620 }, [&context, emptyLibrary, build] {
                return std::make_unique<ScreenHost>(context, emptyLibrary, build);
            } };
}

SongsView* songsScreen(TrackListDependencies dependencies, QWidget* parent)
{
    return new SongsView(dependencies, u"All Songs"_s, {}, nullptr, parent);
}

} // namespace

void addLibraryPages(QList<Page>& pages, Context& context)
{
    pages.append(screenPage(context, u"songs-screen"_s, false,
        [](TrackListDependencies dependencies, SampleEngines&, QWidget* parent) {
            return songsScreen(dependencies, parent);
        }));
    pages.append(screenPage(context, u"songs-screen-empty"_s, true,
        [](TrackListDependencies dependencies, SampleEngines&, QWidget* parent) {
            return songsScreen(dependencies, parent);
        }));
    pages.append(screenPage(context, u"songs-screen-loading"_s, true,
        [](TrackListDependencies dependencies, SampleEngines& engines, QWidget* parent) {
            engines.library.state = LibraryLoadState::loading;
            return songsScreen(dependencies, parent);
        }));
    pages.append(screenPage(context, u"songs-screen-unreadable"_s, true,
        [](TrackListDependencies dependencies, SampleEngines& engines, QWidget* parent) {
            engines.library.state = LibraryLoadState::failed;
            engines.library.loadFailure = std::make_exception_ptr(StoreFileError(
                StoreFileError::Case::readFailed, u"/data/tracks.json"_s, u"Permission denied"_s));
            return songsScreen(dependencies, parent);
        }));
    pages.append(screenPage(context, u"songs-screen-import-error"_s, false,
        [](TrackListDependencies dependencies, SampleEngines& engines, QWidget* parent) {
            SongsView* screen = songsScreen(dependencies, parent);
            engines.library.failure = u"Some files could not be imported:\n"
                                      "broken.mp3: The file is not a readable audio file."_s;
            QFile broken(engines.storage->folder.filePath(u"broken.mp3"_s));
            broken.open(QIODevice::WriteOnly);
            startDetached(
                screen->model().importAudioURLs({ QUrl::fromLocalFile(broken.fileName()) }));
            return screen;
        }));
    pages.append(screenPage(context, u"songs-screen-dropping"_s, false,
        [](TrackListDependencies dependencies, SampleEngines&, QWidget* parent) {
            SongsView* screen = songsScreen(dependencies, parent);
            screen->model().setDropTargeted(true);
            return screen;
        }));
    pages.append(screenPage(context, u"favorites-screen-empty"_s, true,
        [](TrackListDependencies dependencies, SampleEngines&, QWidget* parent) {
            return new FavoritesView(dependencies, parent);
        }));
    pages.append(screenPage(context, u"playlist-screen"_s, false,
        [](TrackListDependencies dependencies, SampleEngines& engines, QWidget* parent) {
            auto* screen = new PlaylistDetailView(
                dependencies, engines.playlists, engines.mix, nullptr, parent);
            return screen;
        }));
    pages.append(screenPage(context, u"playlist-screen-empty-folder-error"_s, false,
        [](TrackListDependencies dependencies, SampleEngines& engines, QWidget* parent) {
            const Playlist folder = engines.playlists.rootPlaylists()[2];
            auto* screen
                = new PlaylistDetailView(dependencies, engines.playlists, folder, nullptr, parent);
            screen->model().play();
            return screen;
        }));

    pages.append({ u"sidebar-library-row"_s, { 260, 820 }, [] {
                      return sidebarPage(
                          [](SampleEngines&) { return NavigationDestination::topRated(); });
                  } });
    pages.append({ u"sidebar-playlist-menu"_s, { 320, 160 }, sidebarMenuPage });
    pages.append({ u"sidebar-playlist-row"_s, { 260, 820 }, [] {
                      return sidebarPage([](SampleEngines& engines) {
                          return NavigationDestination::playlist(engines.mix.id);
                      });
                  } });
    pages.append({ u"sidebar-playlist-tooltip"_s, { 420, 120 }, sidebarTooltipPage });
    pages.append({ u"new-playlist-sheet-error"_s, { 320, 240 }, [] {
                      auto* engines = new SampleEngines(nullptr);
                      auto sheet = std::make_unique<NewPlaylistSheet>(engines->playlists);
                      engines->setParent(sheet.get());
                      engines->storage->failing = true;
                      sheet->nameField().setText(u"Late Night"_s);
                      sheet->create();
                      return sheet;
                  } });
    pages.append({ u"rename-sheet-error"_s, { 340, 240 }, [] {
                      auto* engines = new SampleEngines(nullptr);
                      auto sheet
                          = std::make_unique<PlaylistRenameSheet>(engines->playlists, engines->mix);
                      engines->setParent(sheet.get());
                      sheet->nameField().setText(QString(121, u'n'));
                      sheet->submit();
                      return sheet;
                  } });
    pages.append({ u"add-songs-sheet-two-ticked"_s, { 520, 540 }, [] {
                      auto* engines = new SampleEngines(nullptr);
                      auto* screen = new PlaylistDetailViewModel(
                          engines->library, engines->playlists, engines->mix, engines);
                      auto sheet = std::make_unique<AddSongsSheet>(screen->addSongs());
                      engines->setParent(sheet.get());
                      screen->addSongs().toggle(engines->library.tracks[1].id);
                      screen->addSongs().toggle(engines->library.tracks[3].id);
                      return sheet;
                  } });
    pages.append({ u"drop-overlay"_s, { 340, 220 }, [] {
                      auto stage = std::make_unique<Stage>(1);
                      auto* overlay = new DropOverlay;
                      overlay->setVisible(true);
                      stage->add(u"dragging files over a song list"_s, overlay);
                      return stage;
                  } });
}

} // namespace kivo::gallery
