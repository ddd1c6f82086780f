#pragma once

#include <QObject>

namespace kivo {

// Whether the desktop asks for less motion (an accessibility setting), and
// when that changes. Main thread only.
class ReduceMotionSource : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~ReduceMotionSource() override = default;

    // Published property: read it, then connect to reduceMotionChanged.
    virtual bool isReduceMotionEnabled() const = 0;

Q_SIGNALS:
    void reduceMotionChanged(bool enabled);
};

} // namespace kivo
