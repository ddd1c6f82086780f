#include "app/MainLayoutView.h"

#include "app/DIContainer.h"
#include "app/MainContentScreen.h"
#include "app/PlaybackNavigationShortcutMonitor.h"
#include "app/RecoveryBannerView.h"
#include "app/SettingsView.h"
#include "app/WorkspacePanelDivider.h"
#include "app/WorkspacePanelRevealButton.h"
#include "engines/artwork/ArtworkCache.h"
#include "engines/library/LibraryEngine.h"
#include "engines/library/PlaylistEngine.h"
#include "engines/playback/AudioEngine.h"
#include "engines/playback/QueueEngine.h"
#include "engines/playback/WaveformGenerator.h"
#include "ui/eon/EonFonts.h"
#include "ui/eon/EonGradientPanel.h"
#include "ui/eon/EonMetrics.h"
#include "ui/eon/EonPalette.h"
#include "ui/eon/EonTabOrder.h"
#include "ui/library/SidebarView.h"
#include "ui/player/BottomPlayerView.h"
#include "ui/player/NowPlayingPanelView.h"
#include "ui/player/QueueView.h"
#include "ui/songtable/TrackListTableView.h"
#include "ui/songtable/TrackListView.h"

#include <QApplication>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>
#include <algorithm>

using namespace Qt::Literals::StringLiterals;

namespace kivo {

namespace {

// The thin accent outline around the whole window; clicks pass through it.
class WindowOutline : public QWidget {
public:
    explicit WindowOutline(QWidget* parent)
        : QWidget(parent)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_TranslucentBackground);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(eonAccentGlow(), 1));
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(QRectF(rect()).adjusted(1.5, 1.5, -1.5, -1.5),
            eon::windowCornerRadius, eon::windowCornerRadius);
    }
};

// A one-pixel hairline.
class Hairline : public QWidget {
public:
    explicit Hairline(QWidget* parent)
        : QWidget(parent)
    {
        setFixedHeight(1);
    }

protected:
    void paintEvent(QPaintEvent*) override { QPainter(this).fillRect(rect(), eonHairline()); }
};

// The content column; keeps the reveal tabs on its edges.
class ContentColumn : public QWidget {
public:
    ContentColumn(QWidget* parent, std::function<void()> onResize)
        : QWidget(parent)
        , m_onResize(std::move(onResize))
    {
        setObjectName(u"contentColumn"_s);
        setMinimumWidth(eon::contentMinimumWidth);
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    }

protected:
    void resizeEvent(QResizeEvent*) override { m_onResize(); }

private:
    std::function<void()> m_onResize;
};

EonGradientPanel* region(const EonGradient& gradient, const QString& name, QWidget* parent)
{
    auto* panel = new EonGradientPanel(gradient, parent);
    panel->setObjectName(name);
    return panel;
}

} // namespace

MainLayoutView::MainLayoutView(DIContainer& container, WorkspacePanelState& panels,
    TrackTableLayoutState& trackTableLayout, UndoManager& undoManager, QWidget* parent)
    : QWidget(parent)
    , m_container(container)
    , m_panels(panels)
    , m_trackTableLayout(trackTableLayout)
    , m_undoManager(undoManager)
    , m_presenter(std::make_unique<MainLayoutPresenter>(panels, container.queueEngine(),
          [&playlists = container.playlistEngine()](
              const QUuid& id) { return playlists.getPlaylist(id); }))
{
    setObjectName(u"mainLayout"_s);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(eon::windowMinimumWidth, eon::windowMinimumHeight);

    MainLayoutPresenter& presenter = *m_presenter;
    const auto actions = [&presenter](WorkspacePanelSide side) {
        return WorkspacePanelDividerActions {
            [&presenter, side](double width) { presenter.resize(side, width); },
            [&presenter, side] { presenter.collapse(side); },
            [&presenter, side] { presenter.toggleLock(side); },
            [&presenter, side] { presenter.disable(side); },
        };
    };

    m_sidebar = region(eonPanelGradient(), u"sidebarRegion"_s, this);
    m_sidebarView = new SidebarView(container.playlistEngine(), m_sidebar);
    auto* sidebarLayout = new QVBoxLayout(m_sidebar);
    sidebarLayout->setContentsMargins(0, 0, 0, 0);
    sidebarLayout->addWidget(m_sidebarView);
    m_leftDivider = new WorkspacePanelDivider(
        WorkspacePanelSide::left, actions(WorkspacePanelSide::left), this);
    m_content = new ContentColumn(this, [this] { placeOverlays(); });
    m_contentLayout = new QVBoxLayout(m_content);
    m_contentLayout->setContentsMargins(0, 0, 0, 0);
    m_rightDivider = new WorkspacePanelDivider(
        WorkspacePanelSide::right, actions(WorkspacePanelSide::right), this);
    m_inspector = region(eonPanelGradient(), u"inspectorRegion"_s, this);
    (new QVBoxLayout(m_inspector))->setContentsMargins(0, 0, 0, 0);
    m_playerBar = region(eonPlayerBarGradient(), u"playerBarRegion"_s, this);
    m_playerBar->setFixedHeight(eon::playerBarHeight);

    auto* workArea = new QHBoxLayout;
    workArea->setContentsMargins(0, 0, 0, 0);
    workArea->setSpacing(0);
    workArea->addWidget(m_sidebar);
    workArea->addWidget(m_leftDivider);
    workArea->addWidget(m_content, 1);
    workArea->addWidget(m_rightDivider);
    workArea->addWidget(m_inspector);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addLayout(workArea, 1);
    column->addWidget(new Hairline(this));
    column->addWidget(m_playerBar);

    m_leftReveal = new WorkspacePanelRevealButton(WorkspacePanelSide::left, m_content);
    m_rightReveal = new WorkspacePanelRevealButton(WorkspacePanelSide::right, m_content);
    connect(m_leftReveal, &QAbstractButton::clicked, this,
        [this] { m_presenter->reveal(WorkspacePanelSide::left); });
    connect(m_rightReveal, &QAbstractButton::clicked, this,
        [this] { m_presenter->reveal(WorkspacePanelSide::right); });

    m_banner = new RecoveryBannerView(this);
    connect(m_banner, &RecoveryBannerView::dismissed, this,
        [this] { m_container.dismissRecoveryMessage(); });
    m_outline = new WindowOutline(this);

    // The bar's queue panel and issue banner float over the whole layout.
    auto* barLayout = new QVBoxLayout(m_playerBar);
    barLayout->setContentsMargins(0, 0, 0, 0);
    m_bottomPlayer = new BottomPlayerView(
        { container.audioEngine(), container.queueEngine(), container.libraryEngine(),
            container.artworkCache(), container.waveformGenerator() },
        this, m_playerBar);
    barLayout->addWidget(m_bottomPlayer);

    m_arrowKeys = new PlaybackNavigationShortcutMonitor(
        this,
        [&presenter] {
            return PlaybackNavigationConfiguration { presenter.canPlayPrevious(),
                presenter.canPlayNext(), [&presenter] { presenter.playPrevious(); },
                [&presenter] { presenter.playNext(); } };
        },
        this);

    for (auto signal :
        { &WorkspacePanelState::isLeftEnabledChanged, &WorkspacePanelState::isLeftExpandedChanged,
            &WorkspacePanelState::isLeftLockedChanged, &WorkspacePanelState::isRightEnabledChanged,
            &WorkspacePanelState::isRightExpandedChanged,
            &WorkspacePanelState::isRightLockedChanged }) {
        connect(&m_panels, signal, this, &MainLayoutView::updatePanels);
    }
    connect(&m_panels, &WorkspacePanelState::leftWidthChanged, this, &MainLayoutView::updatePanels);
    connect(
        &m_panels, &WorkspacePanelState::rightWidthChanged, this, &MainLayoutView::updatePanels);
    connect(&presenter, &MainLayoutPresenter::contentChanged, this, &MainLayoutView::updateContent);
    // The sidebar highlights the window's selection and sets it on a click.
    SidebarModel& sidebar = m_sidebarView->model();
    sidebar.setSelection(presenter.selection());
    connect(
        &presenter, &MainLayoutPresenter::selectionChanged, &sidebar, &SidebarModel::setSelection);
    connect(&sidebar, &SidebarModel::destinationChosen, &presenter,
        [&presenter](
            const NavigationDestination& destination) { presenter.setSelection(destination); });
    connect(&sidebar, &SidebarModel::settingsRequested, this, &MainLayoutView::settingsRequested);
    connect(&container.playlistEngine(), &PlaylistEngine::rootPlaylistsChanged, &presenter,
        &MainLayoutPresenter::playlistsChanged);
    connect(&container, &DIContainer::recoveryMessageChanged, this, &MainLayoutView::updateBanner);
    // Each time the application stops being active the session is written
    // before anything else happens; the value at start-up is not a change.
    connect(qApp, &QGuiApplication::applicationStateChanged, &presenter,
        &MainLayoutPresenter::applicationStateChanged);

    updatePanels();
    updateContent();
    updateBanner();
}

MainLayoutView::~MainLayoutView() = default;

QWidget& MainLayoutView::sidebarRegion() const
{
    return *m_sidebar;
}
QWidget& MainLayoutView::contentRegion() const
{
    return *m_content;
}
QWidget& MainLayoutView::inspectorRegion() const
{
    return *m_inspector;
}
QWidget& MainLayoutView::playerBarRegion() const
{
    return *m_playerBar;
}

WorkspacePanelDivider& MainLayoutView::divider(WorkspacePanelSide side) const
{
    return side == WorkspacePanelSide::left ? *m_leftDivider : *m_rightDivider;
}

WorkspacePanelRevealButton& MainLayoutView::revealButton(WorkspacePanelSide side) const
{
    return side == WorkspacePanelSide::left ? *m_leftReveal : *m_rightReveal;
}

QString MainLayoutView::contentTitle() const
{
    return m_contentScreen.list ? m_contentScreen.list->controller().title() : QString();
}

SettingsView* MainLayoutView::settingsSheet() const
{
    return m_settings.data();
}

void MainLayoutView::showSettings()
{
    if (m_settings) {
        return;
    }
    // A new sheet each time, so its own values start afresh.
    m_settings = new SettingsView(m_trackTableLayout, &m_undoManager, this);
    m_settings->setAttribute(Qt::WA_DeleteOnClose);
    m_settings->open();
}

namespace {

// The content keeps its minimum width while the panels leave room for it; in
// a window too narrow for both panels at their widths it takes what is left,
// so that no panel is pushed past the window's edge.
void fitContent(const QWidget& layout, QWidget& content, std::initializer_list<QWidget*> sides)
{
    int taken = 0;
    for (const QWidget* side : sides) {
        taken += side->isHidden() ? 0 : side->minimumWidth();
    }
    content.setMinimumWidth(std::clamp(layout.width() - taken, 0, eon::contentMinimumWidth));
}

} // namespace

void MainLayoutView::updatePanels()
{
    const MainLayoutPresenter& presenter = *m_presenter;
    const bool leftShown = presenter.isPanelShown(WorkspacePanelSide::left);
    const bool rightShown = presenter.isPanelShown(WorkspacePanelSide::right);
    m_sidebar->setVisible(leftShown);
    m_leftDivider->setVisible(leftShown);
    m_sidebar->setFixedWidth(qRound(m_panels.leftWidth()));
    m_leftDivider->setPanel(m_panels.leftWidth(), m_panels.isLeftLocked());
    m_inspector->setVisible(rightShown);
    updateNowPlaying(rightShown);
    m_rightDivider->setVisible(rightShown);
    m_inspector->setFixedWidth(qRound(m_panels.rightWidth()));
    m_rightDivider->setPanel(m_panels.rightWidth(), m_panels.isRightLocked());
    m_leftReveal->setVisible(presenter.isRevealShown(WorkspacePanelSide::left));
    m_leftReveal->setLocked(m_panels.isLeftLocked());
    m_rightReveal->setVisible(presenter.isRevealShown(WorkspacePanelSide::right));
    m_rightReveal->setLocked(m_panels.isRightLocked());
    fitContent(*this, *m_content, { m_sidebar, m_leftDivider, m_rightDivider, m_inspector });
    placeOverlays();
}

void MainLayoutView::updateNowPlaying(bool shown)
{
    // Built only while the right panel is shown, so it starts afresh each time.
    if (!shown) {
        delete m_nowPlaying;
        m_nowPlaying = nullptr;
        return;
    }
    if (m_nowPlaying) {
        return;
    }
    m_nowPlaying
        = new NowPlayingPanelView({ m_container.audioEngine(), m_container.libraryEngine(),
                                      m_container.artworkCache(), m_container.metadataEngine() },
            m_inspector);
    NowPlayingPanelPresenter& panel = m_nowPlaying->presenter();
    panel.setSelectedTrack(m_presenter->selectedTrack());
    connect(m_presenter.get(), &MainLayoutPresenter::selectedTrackChanged, &panel,
        &NowPlayingPanelPresenter::setSelectedTrack);
    connect(&panel, &NowPlayingPanelPresenter::selectedTrackEdited, m_presenter.get(),
        &MainLayoutPresenter::setSelectedTrack);
    m_inspector->layout()->addWidget(m_nowPlaying);
    orderFocusByRegion();
}

bool MainLayoutView::focusNextPrevChild(bool next)
{
    orderFocusByRegion();
    return QWidget::focusNextPrevChild(next);
}

void MainLayoutView::orderFocusByRegion()
{
    // Screens and panels come and go and join the focus chain at its end; Tab
    // still goes sidebar, content, inspector, player bar, as the regions sit.
    // Inside each region it reads as the eye does.
    QList<QWidget*> ordered;
    for (QWidget* region :
        std::initializer_list<QWidget*> { m_sidebar, m_content, m_inspector, m_playerBar }) {
        ordered << EonTabOrder::readingOrder(region);
    }
    // The queue panel, open, follows the bar's queue button that opened it.
    if (QueueView* queue = m_bottomPlayer->queuePanel()) {
        ordered << EonTabOrder::readingOrder(queue);
    }
    EonTabOrder::chain(ordered);
}

void MainLayoutView::updateContent()
{
    const MainContent content = m_presenter->content();
    if (m_contentScreen.widget && m_contentScreen.showInPlace(content)) {
        m_shownContent = content;
        return;
    }
    if (m_contentScreen.widget && m_shownContent == content) {
        return;
    }
    // The song list takes the focus when the window has none yet or had it
    // inside the screen that goes: the keys then act on the list at once.
    QWidget* focus = window()->focusWidget();
    const bool focusGoesWithScreen
        = !focus || (m_contentScreen.widget && m_contentScreen.widget->isAncestorOf(focus));
    MainLayoutPresenter& presenter = *m_presenter;
    const TrackListDependencies dependencies { m_container.libraryEngine(),
        m_container.queueEngine(), m_container.audioEngine(), m_container.artworkCache(),
        m_container.metadataEngine(), m_undoManager, m_trackTableLayout };
    MainContentScreen next = makeMainContentScreen(
        content, dependencies, m_container.playlistEngine(), m_importChooser, m_content);
    QWidget* screen = next.widget;
    TrackListView* list = next.list;
    list->setSelectedTrackBinding([&presenter] { return presenter.selectedTrack(); },
        [&presenter](std::optional<Track> track) { presenter.setSelectedTrack(track); });
    list->setInspectorVisibleBinding([&presenter] { return presenter.isInspectorVisible(); },
        [&presenter](bool visible) { presenter.setInspectorVisible(visible); });
    if (m_contentScreen.widget) {
        // Later: this may run inside a signal the old screen is handling.
        m_contentLayout->removeWidget(m_contentScreen.widget);
        m_contentScreen.widget->hide();
        m_contentScreen.widget->deleteLater();
    }
    m_contentScreen = std::move(next);
    m_shownContent = content;
    m_contentLayout->addWidget(screen);
    presenter.setVisibleCommandTarget(list->commandTarget());
    m_leftReveal->raise();
    m_rightReveal->raise();
    orderFocusByRegion();
    if (focusGoesWithScreen) {
        list->table()->setFocus(Qt::OtherFocusReason);
    }
}

void MainLayoutView::setImportFileChooser(ImportFileChooser* chooser)
{
    m_importChooser = chooser;
    if (m_contentScreen.widget) {
        m_contentScreen.setChooser(chooser);
    }
}

void MainLayoutView::updateBanner()
{
    const std::optional<QString>& message = m_container.recoveryMessage();
    m_banner->setVisible(message.has_value());
    if (message) {
        m_banner->setMessage(*message);
    }
    placeOverlays();
}

void MainLayoutView::placeOverlays()
{
    const int middle = (m_content->height() - m_leftReveal->height()) / 2;
    m_leftReveal->move(0, middle);
    m_rightReveal->move(m_content->width() - m_rightReveal->width(), middle);

    if (!m_banner->isHidden()) {
        const QSize size = m_banner->fitTo(this->width() - 40);
        m_banner->setGeometry(QRect(QPoint((this->width() - size.width()) / 2, 14), size));
        m_banner->raise();
    }
    m_outline->setGeometry(rect());
    m_outline->raise();
}

void MainLayoutView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    painter.fillRect(rect(), QBrush(eonWindowGradient().toLinearGradient(layoutDirection())));
}

void MainLayoutView::resizeEvent(QResizeEvent*)
{
    fitContent(*this, *m_content, { m_sidebar, m_leftDivider, m_rightDivider, m_inspector });
    placeOverlays();
}

} // namespace kivo
