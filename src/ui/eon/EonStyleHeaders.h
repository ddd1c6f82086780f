#pragma once

class QPainter;
class QStyleOption;
class QStyleOptionHeader;

// The Eon style's stock item-view headers (the file chooser's columns) and
// splitter handles: a dark band with hairline rules, tertiary titles with the
// sorted one in amber and its chevron, and a hairline handle that lights up
// under the pointer.
namespace kivo::eonstyle {

void paintHeaderSection(QPainter* painter, const QStyleOptionHeader* header);
// Whether the section is the sorted one (its title in amber).
bool isSortedHeader(const QStyleOptionHeader* header);
// The sort chevron: up for an ascending column, as in the song table.
void paintHeaderArrow(QPainter* painter, const QStyleOptionHeader* header);
void paintSplitterHandle(QPainter* painter, const QStyleOption* option);

} // namespace kivo::eonstyle
