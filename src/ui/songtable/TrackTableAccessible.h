#pragma once

#include <QString>

class QAccessibleInterface;
class QObject;

namespace kivo {

// What assistive technology sees of the song table, whose header and rows are
// painted: the header's cells (move grip, sort button with its direction,
// resize handle), its restore and column-menu buttons, and each row with its
// play button, cells and edit button; as a table, its rows, columns and
// selected rows. Parts scrolled out of view are off screen. Null for any other
// object; meant for QAccessible::installFactory.
QAccessibleInterface* songTableAccessible(const QString& className, QObject* object);

} // namespace kivo
