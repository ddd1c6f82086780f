#pragma once

class QPainter;
class QStyleOption;
class QStyleOptionHeader;
class QWidget;

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

// The file chooser's detail list (or its header): its texts sit this far in
// from a column's edges, titles and values alike, as in the song table.
bool isFileChooserList(const QWidget* widget);
constexpr int fileChooserTextInset = 8;
// A chooser header's title laid out over its column's values: inset like
// them, and aligned like them (sizes to the right).
void alignHeaderTitleWithValues(QStyleOptionHeader& header, const QWidget* widget);

} // namespace kivo::eonstyle
