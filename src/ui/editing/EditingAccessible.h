#pragma once

#include <QString>

class QAccessibleInterface;
class QObject;

namespace kivo {

// A row of rating stars as one group whose value is the rating shown (0 to
// 5); its five star buttons stay its children. Null for any other object;
// meant for QAccessible::installFactory.
QAccessibleInterface* editingAccessible(const QString& className, QObject* object);

} // namespace kivo
