#pragma once

#include <QString>

class QAccessibleInterface;
class QObject;

namespace kivo {

// The library grid's painted tiles as a list of items, each named by its
// title with the artist as its description. Null for any other object; meant
// for QAccessible::installFactory.
QAccessibleInterface* libraryAccessible(const QString& className, QObject* object);

} // namespace kivo
