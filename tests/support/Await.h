#pragma once

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <exception>
#include <optional>
#include <qcoro/qcorotask.h>

namespace kivo::test {

// Runs the event loop until `task` finishes and returns its value, rethrowing
// its exception. (QCoro::waitFor alone never returns when the task throws.)
namespace detail {
template <typename T> struct Outcome {
    std::optional<T> value;
    std::exception_ptr error;
};

template <typename T> QCoro::Task<Outcome<T>> capture(QCoro::Task<T> task)
{
    Outcome<T> outcome;
    try {
        outcome.value.emplace(co_await std::move(task));
    } catch (...) {
        outcome.error = std::current_exception();
    }
    co_return outcome;
}

inline QCoro::Task<Outcome<bool>> capture(QCoro::Task<> task)
{
    Outcome<bool> outcome;
    try {
        co_await std::move(task);
        outcome.value = true;
    } catch (...) {
        outcome.error = std::current_exception();
    }
    co_return outcome;
}
} // namespace detail

template <typename T> T await(QCoro::Task<T> task)
{
    auto wrapped = detail::capture(std::move(task));
    auto outcome = QCoro::waitFor(wrapped);
    if (outcome.error) {
        std::rethrow_exception(outcome.error);
    }
    return std::move(*outcome.value);
}

inline void await(QCoro::Task<> task)
{
    auto wrapped = detail::capture(std::move(task));
    auto outcome = QCoro::waitFor(wrapped);
    if (outcome.error) {
        std::rethrow_exception(outcome.error);
    }
}

// Processes pending events (queued signals, finished workers) for up to `ms`.
inline void processEventsFor(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

} // namespace kivo::test
