#pragma once

#include "platform/ReduceMotionSource.h"

namespace kivo::test {

// The desktop's reduce-motion setting as a test sets it.
class FakeReduceMotionSource : public ReduceMotionSource {
public:
    explicit FakeReduceMotionSource(bool enabled = false)
        : m_enabled(enabled)
    {
    }

    bool isReduceMotionEnabled() const override { return m_enabled; }

    void set(bool enabled)
    {
        m_enabled = enabled;
        Q_EMIT reduceMotionChanged(enabled);
    }

private:
    bool m_enabled;
};

} // namespace kivo::test
