#include "ui/songtable/TrackSelectionState.h"

#include "model/JsonCodec.h"

#include <algorithm>

namespace kivo {

TrackSelectionMode selectionModeFor(Qt::KeyboardModifiers modifiers)
{
    const bool command = modifiers.testFlag(Qt::ControlModifier);
    if (modifiers.testFlag(Qt::ShiftModifier)) {
        return command ? TrackSelectionMode::rangeAdding : TrackSelectionMode::range;
    }
    return command ? TrackSelectionMode::toggle : TrackSelectionMode::single;
}

void TrackSelectionState::select(
    qsizetype clickedRow, const QList<QUuid>& orderedIDs, TrackSelectionMode mode)
{
    if (clickedRow >= 0 && clickedRow < orderedIDs.size()) {
        select(orderedIDs[clickedRow], clickedRow, orderedIDs, mode);
    }
}

void TrackSelectionState::select(
    const QUuid& clicked, const QList<QUuid>& orderedIDs, TrackSelectionMode mode)
{
    select(clicked, orderedIDs.indexOf(clicked), orderedIDs, mode);
}

void TrackSelectionState::select(const QUuid& clicked, qsizetype clickedRow,
    const QList<QUuid>& orderedIDs, TrackSelectionMode mode)
{
    // A stale anchor is repaired before it is used.
    retainVisible(QSet<QUuid>(orderedIDs.cbegin(), orderedIDs.cend()));

    setLead(clicked, clickedRow);
    const int flags = int(mode);
    if ((flags & int(TrackSelectionMode::range)) && m_anchorID) {
        const qsizetype anchor = anchorRow(orderedIDs);
        if (anchor >= 0 && clickedRow >= 0) {
            const auto [lo, hi] = std::minmax(anchor, clickedRow);
            QSet<QUuid> range;
            for (qsizetype i = lo; i <= hi; ++i) {
                range.insert(orderedIDs[i]);
            }
            if (mode == TrackSelectionMode::rangeAdding) {
                m_selectedIDs.unite(range);
            } else {
                m_selectedIDs = std::move(range);
            }
            return;
        }
    }

    m_anchorID = clicked;
    m_anchorRow = clickedRow;
    if (flags & int(TrackSelectionMode::toggle)) {
        if (!m_selectedIDs.remove(clicked)) {
            m_selectedIDs.insert(clicked);
        }
    } else {
        m_selectedIDs = { clicked };
    }
}

namespace {

// A remembered row when it still shows the id, else the id's first row.
qsizetype rowOf(const std::optional<QUuid>& id, qsizetype row, const QList<QUuid>& orderedIDs)
{
    if (!id) {
        return -1;
    }
    if (row >= 0 && row < orderedIDs.size() && orderedIDs[row] == *id) {
        return row;
    }
    return orderedIDs.indexOf(*id);
}

} // namespace

qsizetype TrackSelectionState::anchorRow(const QList<QUuid>& orderedIDs) const
{
    return rowOf(m_anchorID, m_anchorRow, orderedIDs);
}

qsizetype TrackSelectionState::leadRow(const QList<QUuid>& orderedIDs) const
{
    return rowOf(m_leadID, m_leadRow, orderedIDs);
}

void TrackSelectionState::setLead(const QUuid& id, qsizetype row)
{
    m_leadID = id;
    m_leadRow = row;
}

void TrackSelectionState::moveAnchorIntoSelection()
{
    // Any remaining selected id will do; the smallest keeps it deterministic.
    m_anchorRow = -1;
    if (m_selectedIDs.isEmpty()) {
        m_anchorID.reset();
    } else {
        m_anchorID
            = *std::min_element(m_selectedIDs.cbegin(), m_selectedIDs.cend(), json::uuidTextLess);
    }
}

void TrackSelectionState::retainVisible(const QSet<QUuid>& visibleIDs)
{
    m_selectedIDs.intersect(visibleIDs);
    if (m_anchorID && !visibleIDs.contains(*m_anchorID)) {
        moveAnchorIntoSelection();
    }
    if (m_leadID && !visibleIDs.contains(*m_leadID)) {
        m_leadID.reset();
    }
}

void TrackSelectionState::deselect(const QUuid& id)
{
    m_selectedIDs.remove(id);
    if (m_anchorID == id) {
        moveAnchorIntoSelection();
    }
    if (m_leadID == id) {
        m_leadID.reset();
    }
}

void TrackSelectionState::selectAll(const QList<QUuid>& orderedIDs)
{
    if (orderedIDs.isEmpty()) {
        return;
    }
    m_selectedIDs = QSet<QUuid>(orderedIDs.cbegin(), orderedIDs.cend());
    m_anchorID = orderedIDs.first();
    m_anchorRow = 0;
    // The keys go on from the end, as after a Shift-click on the last row.
    setLead(orderedIDs.last(), orderedIDs.size() - 1);
}

void TrackSelectionState::clear()
{
    m_selectedIDs.clear();
    m_anchorID.reset();
    m_anchorRow = -1;
    m_leadID.reset();
}

} // namespace kivo
