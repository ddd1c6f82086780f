#pragma once

#include <QtGlobal>
#include <qcoro/qcorotask.h>
#include <utility>

namespace kivo {

// Lets a started coroutine run on by itself. Our tasks start at once and keep
// running when their Task is dropped; the caller neither waits for the end nor
// sees the result. Such a coroutine catches its own failures (nothing may
// escape into the event loop) and checks, with a QPointer, that what it
// reports to is still there after each wait.
template <typename T> void startDetached(QCoro::Task<T>&& task)
{
    QCoro::Task<T> dropped = std::move(task);
    Q_UNUSED(dropped);
}

} // namespace kivo
