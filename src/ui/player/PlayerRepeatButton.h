#pragma once

#include "engines/playback/QueueEngine.h"
#include "ui/eon/EonIconButton.h"

namespace kivo {

struct PlayerTransportState;

// The repeat button at the end of the transport row: a click moves the
// queue's repeat mode on (off, all, track, off); the row hands it the state
// to show whenever the engines change.
class PlayerRepeatButton : public EonIconButton {
    Q_OBJECT
public:
    explicit PlayerRepeatButton(QueueEngine& queue, QWidget* parent = nullptr);

    void showState(const PlayerTransportState& state);

private:
    QueueEngine& m_queue;
};

} // namespace kivo
