// Pages of the window shell: the main window in its layouts, the side-panel
// dividers and reveal tabs, the recovery banner and the top header.
#include "Gallery.h"
#include "app/DIContainer.h"
#include "app/MainLayoutView.h"
#include "app/MainWindow.h"
#include "app/RecoveryBannerView.h"
#include "app/TopHeaderView.h"
#include "app/WorkspacePanelDivider.h"
#include "app/WorkspacePanelRevealButton.h"
#include "app/WorkspacePanelState.h"
#include "engines/library/LibraryEngineImpl.h"
#include "ui/player/NowPlayingPanelView.h"
#include "ui/songtable/TrackTableLayoutState.h"

#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QCoroTask>
#include <QEnterEvent>
#include <QFile>
#include <QLineEdit>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTimeZone>
#include <QTimer>
#include <QVBoxLayout>
#include <cstdio>

using namespace Qt::Literals::StringLiterals;

namespace kivo::gallery {

namespace {

// A window that owns the panel state it shows.
class WindowSample : public QWidget {
public:
    WindowSample(DIContainer& container, std::shared_ptr<UserDefaults> defaults,
        const std::function<void(WorkspacePanelState&)>& arrange)
        : m_panels(defaults)
        , m_layout(std::move(defaults))
    {
        arrange(m_panels);
        auto* layout = new QVBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
        m_window = new MainWindow(container, m_panels, m_layout, this);
        layout->addWidget(m_window);
    }

    // The window goes first: it reads the panel state and layout until it is gone.
    ~WindowSample() override { delete m_window; }

    MainWindow& window() const { return *m_window; }

private:
    WorkspacePanelState m_panels;
    TrackTableLayoutState m_layout;
    MainWindow* m_window;
};

Page windowPage(Context& context, const QString& name, std::optional<QString> banner,
    std::function<void(WorkspacePanelState&)> arrange, QSize size = { 1320, 820 })
{
    return { name, size, [&context, banner, arrange] {
                DIContainer& container = context.container();
                container.setRecoveryMessage(banner);
                return std::make_unique<WindowSample>(container, context.freshDefaults(), arrange);
            } };
}

// A second engine graph whose library holds a few songs (empty files of
// their names), so the window-size pages show the list and the inspector
// filled, as a narrow window has to fit them.
class StockedLibrary {
public:
    DIContainer& container()
    {
        DIContainer& container = m_context.container();
        if (!m_stocked) {
            m_stocked = true;
            for (const Track& song : songs()) {
                QFile file(song.fileURL.toLocalFile());
                file.open(QIODevice::WriteOnly);
                file.close();
                waitFor(container.libraryEngine().restoreTrack(song));
            }
        }
        return container;
    }

    Context& context() { return m_context; }

    QList<Track> songs() const
    {
        const auto song = [this](int n, const QString& title, const QString& artist,
                              const QString& album, double duration) {
            const QString filename = title + u".flac"_s;
            Track track
                = Track::make(QUuid(0x5b000000u + uint(n), 0x17, 0x4e, 0x80, 0, 0, 0, 0, 0, 0, 0),
                    QUrl::fromLocalFile(m_files.filePath(filename)), filename, title, duration,
                    Date::fromDateTime(
                        QDateTime(QDate(2026, 3, 2 + n), QTime(10, 0), QTimeZone::utc())));
            track.artist = artist;
            track.album = album;
            track.setAlbumArtist(artist);
            track.genre = u"Electronic"_s;
            track.year = 2019 + n;
            track.trackNumber = n + 1;
            track.discNumber = 1;
            track.bitrate = 1012;
            track.sampleRate = 44100;
            return track;
        };
        return { song(0, u"Copper Rain Over the Northern Freight Yards"_s,
                     u"Mirel & The Lanterns"_s, u"Night Ferries"_s, 318),
            song(1, u"Amber Signal"_s, u"Halvern Drift"_s, u"Low Light Atlas"_s, 243),
            song(2, u"Glass Orchard"_s, u"Oona Vey"_s, u"Glass Orchard"_s, 3725),
            song(3, u"Teal Horizon"_s, u"Kestrel Lane"_s, u"Waterlines"_s, 199) };
    }

private:
    static void waitFor(QCoro::Task<> task)
    {
        try {
            QCoro::waitFor(std::move(task));
        } catch (const std::exception& error) {
            std::fprintf(stderr, "sample song not added: %s\n", error.what());
        }
    }

    QTemporaryDir m_files;
    Context m_context;
    bool m_stocked = false;
};

// The window over the stocked library with its first song selected.
Page stockedWindowPage(const std::shared_ptr<StockedLibrary>& library, const QString& name,
    std::function<void(WorkspacePanelState&)> arrange, QSize size)
{
    return { name, size, [library, arrange] {
                DIContainer& container = library->container();
                auto sample = std::make_unique<WindowSample>(
                    container, library->context().freshDefaults(), arrange);
                sample->window().layoutView().presenter().setSelectedTrack(
                    library->songs().first());
                return std::unique_ptr<QWidget>(std::move(sample));
            } };
}

// The narrowest window with the inspector scrolled to its end, once laid out:
// its scroll bar keeps inside the panel's margin, clear of the window's corner.
Page scrolledInspectorPage(const std::shared_ptr<StockedLibrary>& library)
{
    const Page plain = stockedWindowPage(
        library, u"main-window-900-inspector-scrolled"_s, [](WorkspacePanelState&) {},
        QSize(900, 650));
    return { plain.name, plain.size, [build = plain.build] {
                std::unique_ptr<QWidget> sample = build();
                QWidget* window = sample.get();
                QTimer::singleShot(80, window, [window] {
                    if (auto* panel = window->findChild<NowPlayingPanelView*>()) {
                        panel->scrollBar().setValue(panel->scrollBar().maximum());
                    }
                });
                return sample;
            } };
}

// The strip with room either side, so that its collapse tab, wider than the
// strip, shows whole as in the window.
QWidget* withRoom(WorkspacePanelDivider* divider)
{
    auto* holder = new QWidget;
    holder->setFixedSize(divider->width() + 16, divider->height());
    divider->setParent(holder);
    divider->move(8, 0);
    return holder;
}

std::unique_ptr<QWidget> dividersPage()
{
    auto stage = std::make_unique<Stage>(4);
    for (const WorkspacePanelSide side : { WorkspacePanelSide::left, WorkspacePanelSide::right }) {
        for (const bool locked : { false, true }) {
            auto* divider = new WorkspacePanelDivider(side, {});
            divider->setFixedHeight(120);
            divider->setPanel(240, locked);
            stage->add(displayName(side) + (locked ? u", locked"_s : u""_s), withRoom(divider));
        }
    }
    auto* hovered = new WorkspacePanelDivider(WorkspacePanelSide::left, {});
    hovered->setFixedHeight(120);
    QEnterEvent enter(QPointF(5, 60), QPointF(5, 60), QPointF(5, 60));
    QCoreApplication::sendEvent(hovered, &enter);
    stage->add(u"hovered"_s, withRoom(hovered));
    for (const bool locked : { false, true }) {
        auto* owner = new WorkspacePanelDivider(WorkspacePanelSide::left, {}, stage.get());
        owner->hide();
        owner->setPanel(240, locked);
        stage->add(locked ? u"menu, locked"_s : u"menu"_s, popupMenuPicture(owner, [owner] {
            QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 60), QPoint(5, 60));
            QCoreApplication::sendEvent(owner, &event);
        }));
    }
    for (const WorkspacePanelSide side : { WorkspacePanelSide::left, WorkspacePanelSide::right }) {
        for (const bool locked : { false, true }) {
            auto* reveal = new WorkspacePanelRevealButton(side);
            reveal->setLocked(locked);
            stage->add(u"reveal "_s + displayName(side) + (locked ? u", locked"_s : u""_s), reveal);
        }
    }
    return stage;
}

std::unique_ptr<QWidget> bannerPage()
{
    auto stage = std::make_unique<Stage>(1);
    const QString texts[] = {
        u"The last track is no longer available. Your library was left unchanged."_s,
        u"Playback could not be restored: The playback session file “playback_state.json” "
        "could not be read. Its content is damaged. Nothing was changed, and this sentence "
        "goes on long enough to need a third line that is never shown."_s,
        u"<img src=x> & <b>not bold</b>"_s,
    };
    for (const QString& text : texts) {
        auto* banner = new RecoveryBannerView;
        banner->setMessage(text);
        banner->setFixedWidth(RecoveryBannerView::maximumBannerWidth);
        stage->add(u"banner"_s, banner);
    }
    return stage;
}

std::unique_ptr<QWidget> headerPage()
{
    auto stage = std::make_unique<Stage>(1);
    for (const int width : { 600, 1100 }) {
        auto* header = new TopHeaderView;
        header->setFixedWidth(width);
        stage->add(u"top header at %1"_s.arg(width), header);
    }
    auto* typed = new TopHeaderView;
    typed->setFixedWidth(600);
    typed->searchField().setText(u"Golden Lights"_s);
    stage->add(u"with text"_s, typed);
    return stage;
}

} // namespace

void addShellPages(QList<Page>& pages, Context& context)
{
    pages.append(windowPage(context, u"main-window"_s, std::nullopt, [](WorkspacePanelState&) {}));
    pages.append(windowPage(
        context, u"main-window-collapsed"_s, std::nullopt, [](WorkspacePanelState& panels) {
            panels.setIsLeftExpanded(false);
            panels.setIsRightExpanded(false);
            panels.setIsRightLocked(true);
        }));
    pages.append(windowPage(context, u"main-window-recovery-banner"_s,
        u"Playback could not be restored: The playback session file “playback_state.json” "
        "could not be read. Its content is damaged. Nothing was changed."_s,
        [](WorkspacePanelState& panels) { panels.setLeftWidth(300); }));
    // The window from its minimum size up, with both panels and with each
    // collapsed, over a few songs with the first one shown in the inspector.
    auto library = std::make_shared<StockedLibrary>();
    for (const QSize size : { QSize(900, 650), QSize(1320, 820), QSize(1600, 900) }) {
        const QString prefix = u"main-window-%1-"_s.arg(size.width());
        pages.append(stockedWindowPage(
            library, prefix + u"panels"_s, [](WorkspacePanelState&) {}, size));
        pages.append(stockedWindowPage(
            library, prefix + u"left-collapsed"_s,
            [](WorkspacePanelState& panels) { panels.setIsLeftExpanded(false); }, size));
        pages.append(stockedWindowPage(
            library, prefix + u"right-collapsed"_s,
            [](WorkspacePanelState& panels) { panels.setIsRightExpanded(false); }, size));
    }
    pages.append(scrolledInspectorPage(library));
    // A library file that does not decode, as the window meets it at start-up.
    const auto damaged = std::make_shared<Context>([](const QString& folder) {
        QFile file(folder + u"/tracks.json"_s);
        if (file.open(QIODevice::WriteOnly)) {
            file.write("[{\"id\": ");
        }
    });
    pages.append({ u"main-window-unreadable-library-banner"_s, { 1320, 820 }, [damaged] {
                      return std::make_unique<WindowSample>(damaged->container(),
                          damaged->freshDefaults(), [](WorkspacePanelState&) {});
                  } });
    pages.append({ u"workspace-dividers"_s, { 1000, 600 }, dividersPage });
    pages.append({ u"recovery-banner"_s, { 640, 360 }, bannerPage });
    pages.append({ u"top-header"_s, { 1160, 300 }, headerPage });
}

} // namespace kivo::gallery
