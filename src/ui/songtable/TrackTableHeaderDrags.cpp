#include "ui/songtable/TrackTableHeaderDrags.h"

#include "platform/UndoManager.h"
#include "ui/songtable/TrackTableLayoutState.h"

using namespace Qt::Literals::StringLiterals;

namespace kivo {

TrackTableHeaderDrags::TrackTableHeaderDrags(
    TrackTableLayoutState& layout, UndoManager* undoManager)
    : m_layout(layout)
    , m_undoManager(undoManager)
{
}

QString TrackTableHeaderDrags::beginReorderDrag(TrackTableColumnID column)
{
    m_draggingColumn = column;
    return rawValue(column);
}

bool TrackTableHeaderDrags::acceptsDrop(bool fromThisHeader) const
{
    return fromThisHeader && m_draggingColumn.has_value();
}

bool TrackTableHeaderDrags::drop(TrackTableColumnID target, bool fromThisHeader)
{
    if (!acceptsDrop(fromThisHeader)) {
        return false;
    }
    const TrackTableColumnID moved = *std::exchange(m_draggingColumn, std::nullopt);
    m_layout.moveColumn(moved, target, m_undoManager.data());
    return true;
}

void TrackTableHeaderDrags::endReorderDrag()
{
    m_draggingColumn.reset();
}

void TrackTableHeaderDrags::resizeDragMoved(TrackTableColumnID column, double translation)
{
    if (!m_resizeStartLayout) {
        const TrackTableColumnLayout& columns = m_layout.columns();
        const auto it = std::find_if(columns.cbegin(), columns.cend(),
            [&](const TrackTableColumnConfiguration& c) { return c.id == column; });
        if (it == columns.cend()) {
            return;
        }
        m_resizeStartWidth = it->width;
        m_resizeStartLayout = columns;
    }
    // A non-finite sum is turned into the default width by the layout.
    m_layout.setWidth(*m_resizeStartWidth + translation, column);
}

void TrackTableHeaderDrags::resizeDragEnded()
{
    if (m_resizeStartLayout) {
        m_layout.registerUndo(*m_resizeStartLayout, u"Resize Song Column"_s, m_undoManager.data());
    }
    m_resizeStartWidth.reset();
    m_resizeStartLayout.reset();
}

} // namespace kivo
