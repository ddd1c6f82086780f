#pragma once

#include "ui/songtable/TrackTableColumnConfiguration.h"

#include <QPointer>
#include <optional>

namespace kivo {

class TrackTableLayoutState;
class UndoManager;

// The two drags of the song table's header row: moving a column by its grip
// onto another header, and resizing a column by its trailing edge. The
// header widget forwards mouse and drag events here; all changes go through
// the shared layout with the window's undo manager (which may be null).
class TrackTableHeaderDrags {
public:
    TrackTableHeaderDrags(TrackTableLayoutState& layout, UndoManager* undoManager);

    // Reorder drag. The payload is the column's raw value ("albumArtist").
    QString beginReorderDrag(TrackTableColumnID column);
    const std::optional<TrackTableColumnID>& draggingColumn() const { return m_draggingColumn; }
    // Only a column dragged from this very header is taken: text dragged in
    // from elsewhere is refused, also after a cancelled drag.
    bool acceptsDrop(bool fromThisHeader) const;
    // Moves the dragged column to the target's place; false when refused.
    bool drop(TrackTableColumnID target, bool fromThisHeader);
    // The drag is over, dropped or not.
    void endReorderDrag();

    // Resize drag: the width is always the width at the start of the drag
    // plus the whole translation; live steps make no undo step, the end makes
    // one when the layout changed.
    void resizeDragMoved(TrackTableColumnID column, double translation);
    void resizeDragEnded();
    bool isResizing() const { return m_resizeStartLayout.has_value(); }

private:
    TrackTableLayoutState& m_layout;
    QPointer<UndoManager> m_undoManager;
    std::optional<TrackTableColumnID> m_draggingColumn;
    std::optional<double> m_resizeStartWidth;
    std::optional<TrackTableColumnLayout> m_resizeStartLayout;
};

} // namespace kivo
