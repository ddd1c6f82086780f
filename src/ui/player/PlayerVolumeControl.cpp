#include "ui/player/PlayerVolumeControl.h"

#include "ui/eon/EonPalette.h"
#include "ui/eon/EonSymbolButton.h"
#include "ui/eon/KeyModifiers.h"
#include "ui/player/PlayerSliderKeys.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QSignalBlocker>
#include <QSlider>
#include <cmath>

using namespace Qt::Literals::StringLiterals;

namespace kivo {

PlayerVolumeControl::PlayerVolumeControl(AudioEngine& audio, QueueEngine& queue, QWidget* parent)
    : QWidget(parent)
    , m_presenter(audio, queue)
{
    setObjectName(u"player.volume"_s);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(7);
    m_mute = new EonSymbolButton(u"speaker.wave.3.fill"_s, 11, eonTextSecondary(), this);
    m_mute->setObjectName(u"player.mute"_s);
    m_mute->setFixedSize(18, 24);
    m_slider = new QSlider(Qt::Horizontal, this);
    m_slider->setObjectName(u"player.volumeSlider"_s);
    m_slider->setAccessibleName(u"Volume"_s);
    m_slider->setAccessibleDescription(u"Playback volume"_s);
    m_slider->setRange(0, sliderSteps);
    m_slider->setSingleStep(sliderSteps / 20);
    m_slider->setPageStep(sliderSteps / 5);
    m_slider->setFixedWidth(88);
    // A Tab stop, not a click target: a click on it leaves the focus where it was.
    m_slider->setFocusPolicy(Qt::TabFocus);
    m_slider->setProperty(keys::usesArrowKeysProperty, true);
    m_slider->installEventFilter(this);
    row->addWidget(m_mute);
    row->addWidget(m_slider);

    connect(m_mute, &QAbstractButton::clicked, this, [this] {
        m_presenter.toggleMute();
        refresh();
    });
    connect(m_slider, &QSlider::valueChanged, this, [this](int value) {
        m_presenter.sliderChanged(double(value) / sliderSteps);
        refresh();
    });
    connect(m_slider, &QSlider::sliderPressed, this,
        [this] { m_presenter.sliderEditingChanged(true); });
    connect(m_slider, &QSlider::sliderReleased, this,
        [this] { m_presenter.sliderEditingChanged(false); });
    connect(&audio, &AudioEngine::currentTimeChanged, this, &PlayerVolumeControl::refresh);
    connect(&audio, &AudioEngine::playbackStateChanged, this, &PlayerVolumeControl::refresh);
    refresh();
}

bool PlayerVolumeControl::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_slider && event->type() == QEvent::ShortcutOverride
        && isSliderKey(*static_cast<QKeyEvent*>(event))) {
        event->accept();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void PlayerVolumeControl::refresh()
{
    // Called on every playback tick: a screen reader hears every name set.
    const float volume = m_presenter.volume();
    const QString symbol = PlayerVolumePresenter::symbolName(volume);
    if (m_mute->symbolName() != symbol) {
        m_mute->setSymbolName(symbol);
    }
    const QString label = PlayerVolumePresenter::muteLabel(volume);
    if (m_mute->accessibleName() != label) {
        m_mute->setAccessibleName(label);
    }
    if (!m_slider->isSliderDown()) {
        const QSignalBlocker blocker(m_slider);
        m_slider->setValue(int(std::lround(double(volume) * sliderSteps)));
    }
}

} // namespace kivo
