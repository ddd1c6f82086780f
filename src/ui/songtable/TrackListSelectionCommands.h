#pragma once

#include <QObject>

namespace kivo {

enum class TrackListSelectionCommand {
    selectAll,
    deselectAll,
    editSelection,
};

// The bridge from the menu bar to the track list the user works in: the list
// keeps the counts current and runs the commands sent to it. The menu reads the
// counts to enable its items. Main thread only.
class TrackListSelectionCommandTarget : public QObject {
    Q_OBJECT
public:
    explicit TrackListSelectionCommandTarget(QObject* parent = nullptr);

    int trackCount() const { return m_trackCount; }
    // Never more than trackCount().
    int selectionCount() const { return m_selectionCount; }

    // Negative counts become 0 and the selection count is capped at the track
    // count; each signal fires only when its value really changes.
    void update(int trackCount, int selectionCount);

    // Delivered at once to the current listeners and not kept.
    void send(TrackListSelectionCommand command);

Q_SIGNALS:
    void trackCountChanged(int trackCount);
    void selectionCountChanged(int selectionCount);
    void commandSent(kivo::TrackListSelectionCommand command);

private:
    int m_trackCount = 0;
    int m_selectionCount = 0;
};

} // namespace kivo
