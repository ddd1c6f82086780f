#pragma once

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <exception>
#include <optional>
#include <qcoro/qcorotask.h>

namespace kivo::test {

// A finished task's value or error.
template <typename T> struct Settled {
    std::optional<T> value;
    std::exception_ptr error;

    // The stored error as `Error`, if it is one.
    template <typename Error> std::optional<Error> errorAs() const
    {
        if (!error) {
            return std::nullopt;
        }
        try {
            std::rethrow_exception(error);
        } catch (const Error& typed) {
            return typed;
        } catch (...) {
            return std::nullopt;
        }
    }
};

template <typename T> QCoro::Task<Settled<T>> settle(QCoro::Task<T> task)
{
    Settled<T> outcome;
    try {
        outcome.value.emplace(co_await std::move(task));
    } catch (...) {
        outcome.error = std::current_exception();
    }
    co_return outcome;
}

inline QCoro::Task<Settled<bool>> settle(QCoro::Task<> task)
{
    Settled<bool> outcome;
    try {
        co_await std::move(task);
        outcome.value = true;
    } catch (...) {
        outcome.error = std::current_exception();
    }
    co_return outcome;
}
// Runs the event loop until `task` finishes and returns its value, rethrowing
// its exception. (QCoro::waitFor alone never returns when the task throws.)
template <typename T> T await(QCoro::Task<T> task)
{
    auto wrapped = settle(std::move(task));
    auto outcome = QCoro::waitFor(wrapped);
    if (outcome.error) {
        std::rethrow_exception(outcome.error);
    }
    return std::move(*outcome.value);
}

inline void await(QCoro::Task<> task)
{
    auto wrapped = settle(std::move(task));
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
