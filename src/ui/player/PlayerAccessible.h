#pragma once

#include <QString>

class QAccessibleInterface;
class QObject;

namespace kivo {

// The waveform seek bar as assistive technology sees it: a slider over the
// track in seconds whose increment and decrement move five seconds. Null for
// any other object; meant for QAccessible::installFactory.
QAccessibleInterface* playerAccessible(const QString& className, QObject* object);

} // namespace kivo
