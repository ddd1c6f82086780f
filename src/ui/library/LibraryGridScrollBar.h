#pragma once

class QAbstractScrollArea;

namespace kivo {

// The slim vertical scroll bar the library components share (grid, compact
// list, search results, setup sheet): a thin dim handle, no arrows, no track.
void styleLibraryScrollBar(QAbstractScrollArea* area);

} // namespace kivo
