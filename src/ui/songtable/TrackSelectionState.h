#pragma once

#include <QList>
#include <QSet>
#include <QUuid>
#include <Qt>
#include <optional>

namespace kivo {

// The kind of click: the toggle flag (1) adds or toggles instead of
// replacing, the range flag (2) extends a range from the anchor.
enum class TrackSelectionMode {
    single = 0,
    toggle = 1,
    range = 2,
    rangeAdding = 3,
};

// The keys that move a song table's selection.
enum class TrackListKeyMove { up, down, pageUp, pageDown, home, end };

// Shift gives a range (adding when Ctrl is held too); otherwise Ctrl toggles.
// Other modifiers are ignored.
TrackSelectionMode selectionModeFor(Qt::KeyboardModifiers modifiers);

// The multi-selection of one song table: selected track ids and the anchor
// that Shift-clicks extend from. Operations take the ids of the rows in display
// order; a list may hold one id at several rows (a playlist listing a song
// twice), and every row carrying a selected id counts as selected.
class TrackSelectionState {
public:
    const QSet<QUuid>& selectedIDs() const { return m_selectedIDs; }
    const std::optional<QUuid>& anchorID() const { return m_anchorID; }
    // The row the keys move from: the one last clicked or moved to, or -1.
    qsizetype leadRow(const QList<QUuid>& orderedIDs) const;
    bool isSelected(const QUuid& id) const { return m_selectedIDs.contains(id); }

    // A click on `clickedRow` of `orderedIDs`. Prunes to the visible ids
    // first, then extends a range between the anchor's row and the clicked row
    // (the anchor stays) when the mode has the range flag and both are listed;
    // otherwise the clicked id becomes the anchor and replaces or toggles the
    // selection. A row outside the list stands for an id that is not listed.
    void select(qsizetype clickedRow, const QList<QUuid>& orderedIDs, TrackSelectionMode mode);
    // The same click given by id: its first row in the list.
    void select(const QUuid& clicked, const QList<QUuid>& orderedIDs, TrackSelectionMode mode);
    // Drops selected ids that are not visible; a lost anchor moves to a
    // remaining selected id (or none).
    void retainVisible(const QSet<QUuid>& visibleIDs);
    void deselect(const QUuid& id);
    // Everything listed, anchored at the first row; nothing changes for an empty list.
    void selectAll(const QList<QUuid>& orderedIDs);
    void clear();

    // Same selection and anchor (the remembered rows and the lead are only hints).
    bool operator==(const TrackSelectionState& other) const
    {
        return m_selectedIDs == other.m_selectedIDs && m_anchorID == other.m_anchorID;
    }

private:
    void select(const QUuid& clicked, qsizetype clickedRow, const QList<QUuid>& orderedIDs,
        TrackSelectionMode mode);
    void moveAnchorIntoSelection();
    qsizetype anchorRow(const QList<QUuid>& orderedIDs) const;
    void setLead(const QUuid& id, qsizetype row);

    QSet<QUuid> m_selectedIDs;
    std::optional<QUuid> m_anchorID;
    // The row the anchor was clicked at, so that a range starts from the very
    // row the user clicked when the id is listed more than once.
    qsizetype m_anchorRow = -1;
    std::optional<QUuid> m_leadID;
    qsizetype m_leadRow = -1;
};

} // namespace kivo
