#include "ui/songtable/TrackListSelectionCommands.h"

#include <algorithm>

namespace kivo {

TrackListSelectionCommandTarget::TrackListSelectionCommandTarget(QObject* parent)
    : QObject(parent)
{
}

void TrackListSelectionCommandTarget::update(int trackCount, int selectionCount)
{
    const int tracks = std::max(trackCount, 0);
    const int selected = std::min(std::max(selectionCount, 0), tracks);
    // Both values are in place before anyone hears of either.
    const bool tracksChanged = std::exchange(m_trackCount, tracks) != tracks;
    const bool selectionChanged = std::exchange(m_selectionCount, selected) != selected;
    if (tracksChanged) {
        Q_EMIT trackCountChanged(m_trackCount);
    }
    if (selectionChanged) {
        Q_EMIT selectionCountChanged(m_selectionCount);
    }
}

void TrackListSelectionCommandTarget::send(TrackListSelectionCommand command)
{
    Q_EMIT commandSent(command);
}

} // namespace kivo
