#include "ui/player/PlayerTransportControls.h"

#include "ui/eon/EonIconButton.h"
#include "ui/eon/EonPalette.h"
#include "ui/eon/Symbols.h"
#include "ui/player/PlayerPressStyle.h"
#include "ui/player/PlayerRepeatButton.h"
#include "ui/player/PlayerTransportState.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QTimerEvent>

using namespace Qt::Literals::StringLiterals;

namespace kivo {

PlayPauseButton::PlayPauseButton(QWidget* parent)
    : EonPressButton(parent)
    , m_symbolName(u"play.fill"_s)
{
    setObjectName(u"player.playPause"_s);
    // The 42-point circle with a point to spare: the bar's centre column has
    // room for exactly this row, the seek bar and their spacing.
    setFixedSize(44, 44);
    setPressAnimation(PlayerPressStyle::durationMs, PlayerPressStyle::springCurve());
}

void PlayPauseButton::paintPressed(QPainter& painter, const QRectF& bounds, double progress)
{
    PlayerPressStyle::paint(
        painter, bounds, progress, [this](QPainter& labelPainter, const QRectF& labelBounds) {
            paintLabel(labelPainter, labelBounds);
        });
}

void PlayPauseButton::setState(const QString& symbolName, bool busy)
{
    if (busy != m_busy) {
        m_busy = busy;
        if (busy) {
            m_spinTimer = startTimer(80);
        } else if (m_spinTimer != 0) {
            killTimer(m_spinTimer);
            m_spinTimer = 0;
        }
    }
    m_symbolName = symbolName;
    update();
}

void PlayPauseButton::timerEvent(QTimerEvent* event)
{
    if (event->timerId() == m_spinTimer) {
        m_spinStep = (m_spinStep + 1) % 12;
        update();
        return;
    }
    // The button's own timers (an assistive "press" animates a click) run here.
    EonPressButton::timerEvent(event);
}

void PlayPauseButton::paintLabel(QPainter& painter, const QRectF& bounds)
{
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF circle(bounds.center() - QPointF(21, 21), QSizeF(42, 42));
    painter.setPen(Qt::NoPen);
    painter.setBrush(eonWithOpacity(eonAccent(), 0.18));
    painter.drawEllipse(circle.translated(0, 1.5));
    painter.setBrush(eonAccentGradient().toLinearGradient());
    painter.setPen(QPen(eonWithOpacity(eonAccentBright(), 0.72), 1));
    painter.drawEllipse(circle.adjusted(0.5, 0.5, -0.5, -0.5));
    if (m_busy) {
        painter.save();
        painter.translate(circle.center());
        for (int i = 0; i < 12; ++i) {
            const QColor tick
                = eonWithOpacity(eonCanvas(), 0.2 + 0.8 * double((i + 12 - m_spinStep) % 12) / 11);
            painter.setPen(QPen(tick, 1.6, Qt::SolidLine, Qt::RoundCap));
            painter.drawLine(QPointF(0, -4), QPointF(0, -7.5));
            painter.rotate(30);
        }
        painter.restore();
        return;
    }
    const double shift = m_symbolName == u"play.fill" ? 1 : 0;
    Symbols::paint(painter, circle.translated(shift, 0), m_symbolName, eonCanvas(),
        Symbols::sizeForTextSize(16));
}

PlayerTransportControls::PlayerTransportControls(
    AudioEngine& audio, QueueEngine& queue, QWidget* parent)
    : QWidget(parent)
    , m_audio(audio)
    , m_queue(queue)
{
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(14);
    m_shuffle = new EonIconButton(u"shuffle"_s, 30, false, u"Shuffle"_s, this);
    m_shuffle->setObjectName(u"player.shuffle"_s);
    m_previous = new EonIconButton(u"backward.fill"_s, 32, false, u"Previous track"_s, this);
    m_previous->setObjectName(u"player.previous"_s);
    m_previous->setToolTip(u"Previous track"_s);
    m_playPause = new PlayPauseButton(this);
    m_next = new EonIconButton(u"forward.fill"_s, 32, false, u"Next track"_s, this);
    m_next->setObjectName(u"player.next"_s);
    m_next->setToolTip(u"Next track"_s);
    m_repeat = new PlayerRepeatButton(m_queue, this);
    row->addWidget(m_shuffle);
    row->addWidget(m_previous);
    row->addWidget(m_playPause);
    row->addWidget(m_next);
    row->addWidget(m_repeat);

    connect(m_shuffle, &QAbstractButton::clicked, this,
        [this] { PlayerTransportState::toggleShuffle(m_queue); });
    connect(m_previous, &QAbstractButton::clicked, this, [this] { m_queue.returnToPrevious(); });
    connect(m_playPause, &QAbstractButton::clicked, this,
        [this] { PlayerTransportState::playPause(m_audio); });
    connect(m_next, &QAbstractButton::clicked, this, [this] { m_queue.advanceToNext(); });

    connect(&m_audio, &AudioEngine::playbackStateChanged, this, &PlayerTransportControls::refresh);
    connect(&m_audio, &AudioEngine::currentTrackChanged, this, &PlayerTransportControls::refresh);
    connect(&m_queue, &QueueEngine::currentTrackChanged, this, &PlayerTransportControls::refresh);
    connect(&m_queue, &QueueEngine::upcomingChanged, this, &PlayerTransportControls::refresh);
    connect(&m_queue, &QueueEngine::repeatModeChanged, this, &PlayerTransportControls::refresh);
    connect(&m_queue, &QueueEngine::shuffleModeChanged, this, &PlayerTransportControls::refresh);
    refresh();
}

void PlayerTransportControls::refresh()
{
    const PlayerTransportState state = PlayerTransportState::read(m_audio, m_queue);
    m_shuffle->setActive(state.shuffleActive);
    m_shuffle->setToolTip(state.shuffleHelp);
    m_previous->setEnabled(state.previousEnabled);
    m_playPause->setEnabled(state.playPauseEnabled);
    m_playPause->setState(state.playPauseSymbol, state.isBuffering);
    m_playPause->setToolTip(state.playPauseText);
    // A screen reader hears every name set, changed or not.
    if (m_playPause->accessibleName() != state.playPauseText) {
        m_playPause->setAccessibleName(state.playPauseText);
    }
    m_next->setEnabled(state.nextEnabled);
    m_repeat->showState(state);
}

} // namespace kivo
