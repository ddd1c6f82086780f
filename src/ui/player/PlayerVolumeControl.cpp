#include "ui/player/PlayerVolumeControl.h"

#include "ui/eon/EonPalette.h"
#include "ui/eon/EonSymbolButton.h"

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
    m_slider->setRange(0, sliderSteps);
    m_slider->setPageStep(sliderSteps / 10);
    m_slider->setFixedWidth(88);
    m_slider->setFocusPolicy(Qt::NoFocus);
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

void PlayerVolumeControl::refresh()
{
    const float volume = m_presenter.volume();
    m_mute->setSymbolName(PlayerVolumePresenter::symbolName(volume));
    m_mute->setAccessibleName(PlayerVolumePresenter::muteLabel(volume));
    if (!m_slider->isSliderDown()) {
        const QSignalBlocker blocker(m_slider);
        m_slider->setValue(int(std::lround(double(volume) * sliderSteps)));
    }
}

} // namespace kivo
