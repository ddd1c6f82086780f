#include "ui/player/PlayerRepeatButton.h"

#include "ui/player/PlayerTransportState.h"

using namespace Qt::Literals::StringLiterals;

namespace kivo {

PlayerRepeatButton::PlayerRepeatButton(QueueEngine& queue, QWidget* parent)
    : EonIconButton(u"repeat"_s, 30, false, u"Repeat Off"_s, parent)
    , m_queue(queue)
{
    setObjectName(u"player.repeat"_s);
    connect(this, &QAbstractButton::clicked, this,
        [this] { PlayerTransportState::cycleRepeat(m_queue); });
}

void PlayerRepeatButton::showState(const PlayerTransportState& state)
{
    setSymbolName(state.repeatSymbol);
    setActive(state.repeatActive);
    setToolTip(state.repeatHelp);
    setAccessibilityLabel(state.repeatLabel);
}

} // namespace kivo
