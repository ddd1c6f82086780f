#include "ui/player/BottomPlayerView.h"

#include "ui/eon/EonFonts.h"
#include "ui/eon/EonIconButton.h"
#include "ui/eon/EonMetrics.h"
#include "ui/eon/EonPalette.h"
#include "ui/eon/EonPlainLabel.h"
#include "ui/eon/EonSheetKeys.h"
#include "ui/eon/TimeText.h"
#include "ui/player/CompactWaveformSeekView.h"
#include "ui/player/PlayerIssueBanner.h"
#include "ui/player/PlayerTrackInfoView.h"
#include "ui/player/PlayerTransportControls.h"
#include "ui/player/PlayerVolumeControl.h"
#include "ui/player/QueueView.h"
#include "ui/songtable/TrackFavoriteButton.h"

#include <QApplication>
#include <QEvent>
#include <QGraphicsDropShadowEffect>
#include <QHBoxLayout>
#include <QLabel>
#include <QListView>
#include <QPainter>
#include <QPainterPath>
#include <QVBoxLayout>

using namespace Qt::Literals::StringLiterals;

namespace kivo {

namespace {

constexpr QSize queuePanelSize(390, 360);

// The rounded, outlined panel the queue floats in.
class QueueFrame : public QWidget {
public:
    QueueFrame(QueueView* queue, QWidget* parent)
        : QWidget(parent)
    {
        setObjectName(u"player.queuePanel"_s);
        setFixedSize(queuePanelSize);
        auto* layout = new QVBoxLayout(this);
        layout->setContentsMargins(1, 1, 1, 1);
        queue->setParent(this);
        layout->addWidget(queue);
        QPainterPath shape;
        shape.addRoundedRect(QRectF(rect()), eon::panelCornerRadius, eon::panelCornerRadius);
        setMask(QRegion(shape.toFillPolygon().toPolygon()));
    }

    QueueView& queue() const { return *findChild<QueueView*>(); }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(eonPanelGradient().toLinearGradient());
        painter.drawRect(rect());
    }
};

// The frame's outline, drawn over its content.
class FrameOutline : public QWidget {
public:
    explicit FrameOutline(QWidget* frame)
        : QWidget(frame)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setGeometry(frame->rect());
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(eonAccentGlow(), 1));
        painter.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5),
            eon::panelCornerRadius, eon::panelCornerRadius);
    }
};

QLabel* timeLabel(Qt::Alignment alignment, QWidget* parent)
{
    QLabel* label = eonPlainLabel(
        u"0:00"_s, eonMonoFont(eon::textCaption, QFont::Medium), eonTextTertiary(), parent);
    label->setFixedWidth(42);
    label->setAlignment(alignment | Qt::AlignVCenter);
    return label;
}

} // namespace

BottomPlayerView::BottomPlayerView(PlayerBarEngines engines, QWidget* overlayHost, QWidget* parent)
    : QWidget(parent)
    , m_engines(engines)
    , m_overlayHost(overlayHost ? overlayHost : this)
    , m_presenter(new PlayerBarPresenter(
          engines.audio, engines.queue, engines.library, engines.waveforms, this))
{
    setObjectName(u"player.bar"_s);
    setFixedHeight(barHeight);
    setAttribute(Qt::WA_OpaquePaintEvent);

    auto* stack = new QVBoxLayout(this);
    stack->setContentsMargins(0, 0, 0, 0);
    m_content = new QWidget(this);
    auto* row = new QHBoxLayout(m_content);
    row->setContentsMargins(22, 12, 22, 12);
    row->setSpacing(eon::space3XL);

    m_leftBlock = new QWidget(m_content);
    auto* left = new QHBoxLayout(m_leftBlock);
    left->setContentsMargins(0, 0, 0, 0);
    left->setSpacing(eon::spaceS);
    m_trackInfo = new PlayerTrackInfoView(engines.artwork, m_leftBlock);
    left->addWidget(m_trackInfo, 1);
    m_favorite = new TrackFavoriteButton(engines.library, 34, m_leftBlock);
    m_favorite->setObjectName(u"player.favorite"_s);
    left->addWidget(m_favorite);
    row->addWidget(m_leftBlock);

    auto* centre = new QWidget(m_content);
    centre->setMinimumWidth(330);
    auto* centreColumn = new QVBoxLayout(centre);
    centreColumn->setContentsMargins(0, 0, 0, 0);
    centreColumn->setSpacing(eon::spaceM);
    m_transport = new PlayerTransportControls(engines.audio, engines.queue, centre);
    centreColumn->addWidget(m_transport, 0, Qt::AlignHCenter);
    auto* timeRow = new QHBoxLayout;
    timeRow->setSpacing(9);
    m_elapsed = timeLabel(Qt::AlignRight, centre);
    m_elapsed->setObjectName(u"player.elapsed"_s);
    m_seekBar = new CompactWaveformSeekView(centre);
    m_seekBar->setFixedHeight(28);
    m_seekBar->setOnSeek([presenter = m_presenter](double seconds) { presenter->seek(seconds); });
    m_total = timeLabel(Qt::AlignLeft, centre);
    m_total->setObjectName(u"player.total"_s);
    timeRow->addWidget(m_elapsed);
    timeRow->addWidget(m_seekBar, 1);
    timeRow->addWidget(m_total);
    centreColumn->addLayout(timeRow);
    row->addWidget(centre, 1);

    auto* right = new QHBoxLayout;
    right->setSpacing(eon::spaceXL);
    m_volume = new PlayerVolumeControl(engines.audio, engines.queue, m_content);
    right->addWidget(m_volume);
    m_queueToggle = new EonIconButton(u"list.bullet"_s, 34, false, u"Playback queue"_s, m_content);
    m_queueToggle->setObjectName(u"player.queueToggle"_s);
    m_queueToggle->setToolTip(u"Show queue"_s);
    right->addWidget(m_queueToggle);
    row->addLayout(right);
    stack->addWidget(m_content);

    m_emptyState = new PlayerEmptyStateView(this);
    stack->addWidget(m_emptyState);

    m_banner = new PlayerIssueBanner(m_overlayHost);
    m_banner->hide();
    auto* bannerShadow = new QGraphicsDropShadowEffect(m_banner);
    bannerShadow->setColor(eonBannerShadow());
    bannerShadow->setBlurRadius(24);
    bannerShadow->setOffset(0, 6);
    m_banner->setGraphicsEffect(bannerShadow);

    connect(
        m_queueToggle, &QAbstractButton::clicked, m_presenter, &PlayerBarPresenter::toggleQueue);
    connect(
        m_banner, &PlayerIssueBanner::dismissed, m_presenter, &PlayerBarPresenter::dismissIssue);
    connect(m_presenter, &PlayerBarPresenter::queueVisibleChanged, this,
        &BottomPlayerView::updateQueuePanel);
    connect(m_presenter, &PlayerBarPresenter::issueMessageChanged, this,
        &BottomPlayerView::updateIssue);
    connect(
        m_presenter, &PlayerBarPresenter::waveformChanged, this, &BottomPlayerView::updateWaveform);
    connect(
        &engines.audio, &AudioEngine::currentTrackChanged, this, &BottomPlayerView::updateTrack);
    connect(
        &engines.audio, &AudioEngine::playbackStateChanged, this, &BottomPlayerView::updateTrack);
    connect(&engines.audio, &AudioEngine::currentTimeChanged, this, &BottomPlayerView::updateTime);
    connect(&engines.library, &LibraryEngine::tracksChanged, this, &BottomPlayerView::updateTrack);
    if (m_overlayHost != this) {
        m_overlayHost->installEventFilter(this);
    }

    updateTrack();
    updateWaveform();
    updateIssue(m_presenter->issueMessage());
}

BottomPlayerView::~BottomPlayerView()
{
    // The overlays live in the host, which may outlive the bar.
    delete m_queueFrame.data();
    delete m_banner.data();
}

QueueView* BottomPlayerView::queuePanel() const
{
    return m_queueFrame ? static_cast<QueueFrame*>(m_queueFrame.data())->findChild<QueueView*>()
                        : nullptr;
}

PlayerIssueBanner& BottomPlayerView::banner() const
{
    return *m_banner;
}

QString BottomPlayerView::elapsedText() const
{
    return m_elapsed->text();
}

QString BottomPlayerView::totalText() const
{
    return m_total->text();
}

void BottomPlayerView::updateTrack()
{
    const std::optional<Track> current = m_engines.audio.currentTrack();
    m_content->setVisible(current.has_value());
    m_emptyState->setVisible(!current);
    if (current) {
        const Track shown = m_presenter->displayTrack(*current);
        m_trackInfo->setTrack(shown, m_engines.audio.playbackState());
        m_favorite->setTrack(shown);
    }
    m_totalSeconds = -1;
    updateTime();
}

void BottomPlayerView::updateTime()
{
    const std::optional<Track> current = m_engines.audio.currentTrack();
    if (!current) {
        return;
    }
    if (m_totalSeconds < 0) {
        m_totalSeconds = m_presenter->displayDuration(m_presenter->displayTrack(*current));
        m_total->setText(formatTime(m_totalSeconds));
        m_seekBar->setDuration(m_totalSeconds);
    } else {
        // The player's duration can grow once the file is open.
        const double duration = m_engines.audio.duration();
        if (duration > m_totalSeconds) {
            m_totalSeconds = duration;
            m_total->setText(formatTime(duration));
            m_seekBar->setDuration(duration);
        }
    }
    const QString elapsed = formatTime(m_engines.audio.currentTime());
    if (elapsed != m_elapsed->text()) {
        m_elapsed->setText(elapsed);
    }
    m_seekBar->setProgress(m_engines.audio.progress());
}

void BottomPlayerView::updateWaveform()
{
    m_seekBar->setPeaks(m_presenter->waveformPeaks());
    m_seekBar->setLoading(m_presenter->isWaveformLoading());
}

void BottomPlayerView::updateQueuePanel(bool visible)
{
    m_queueToggle->setActive(visible);
    m_queueToggle->setToolTip(visible ? u"Hide queue"_s : u"Show queue"_s);
    if (!visible) {
        const bool hadFocus
            = m_queueFrame && m_queueFrame->isAncestorOf(QApplication::focusWidget());
        delete m_queueFrame.data();
        if (hadFocus && m_focusBeforeQueue) {
            m_focusBeforeQueue->setFocus(Qt::OtherFocusReason);
        }
        return;
    }
    const bool opening = !m_queueFrame;
    if (opening) {
        // A new panel each time: its thumbnails start afresh.
        auto* frame
            = new QueueFrame(new QueueView(m_engines.queue, m_engines.artwork), m_overlayHost);
        new FrameOutline(frame);
        new EonSheetKeys(frame, [this] {
            if (m_presenter->isQueueVisible()) {
                m_presenter->toggleQueue();
            }
        });
        m_queueFrame = frame;
    }
    placeOverlays();
    m_queueFrame->show();
    m_queueFrame->raise();
    if (opening) {
        // The panel takes the keys while open, so Escape closes it at once.
        m_focusBeforeQueue = QApplication::focusWidget();
        static_cast<QueueFrame*>(m_queueFrame.data())
            ->queue()
            .list()
            .setFocus(Qt::OtherFocusReason);
    }
    if (m_banner->isVisible()) {
        m_banner->raise();
    }
}

void BottomPlayerView::updateIssue(const std::optional<QString>& message)
{
    if (!message) {
        m_banner->hide();
        return;
    }
    m_banner->setMessage(*message);
    placeOverlays();
    m_banner->show();
    m_banner->raise();
}

void BottomPlayerView::placeOverlays()
{
    const QPoint origin = m_overlayHost == this ? QPoint() : mapTo(m_overlayHost, QPoint());
    if (m_queueFrame) {
        m_queueFrame->move(origin.x() + width() - 16 - queuePanelSize.width(),
            origin.y() - 18 - queuePanelSize.height());
    }
    if (m_banner) {
        m_banner->adjustSize();
        m_banner->move(origin.x() + (width() - m_banner->width()) / 2, origin.y() - 46);
    }
}

void BottomPlayerView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    // The gradient ends slightly translucent: lay it on black, never on what was drawn before.
    painter.fillRect(rect(), Qt::black);
    painter.fillRect(rect(), eonPlayerBarGradient().toLinearGradient());
    QLinearGradient hairline(0, 0, width(), 0);
    hairline.setColorAt(0, Qt::transparent);
    hairline.setColorAt(0.5, eonWithOpacity(eonAccent(), 0.34));
    hairline.setColorAt(1, Qt::transparent);
    painter.fillRect(QRect(0, 0, width(), 1), hairline);
}

void BottomPlayerView::resizeEvent(QResizeEvent*)
{
    m_leftBlock->setFixedWidth(int(PlayerBarPresenter::leftBlockWidth(width())));
    m_volume->setVisible(PlayerBarPresenter::showsVolume(width()));
    placeOverlays();
}

void BottomPlayerView::moveEvent(QMoveEvent*)
{
    placeOverlays();
}

bool BottomPlayerView::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_overlayHost && event->type() == QEvent::Resize) {
        placeOverlays();
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace kivo
