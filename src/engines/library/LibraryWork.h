#pragma once

#include <QCoroFuture>
#include <QFuture>
#include <QString>
#include <QThreadPool>
#include <QtConcurrent/QtConcurrentRun>
#include <exception>
#include <optional>
#include <qcoro/qcorotask.h>
#include <type_traits>
#include <utility>

// Helpers shared by the library engine's parts.
namespace kivo::librarywork {

// The description of any error we throw: every error type of the program keeps
// its user-facing message as what().
inline QString describe(const std::exception_ptr& error)
{
    try {
        std::rethrow_exception(error);
    } catch (const std::exception& e) {
        return QString::fromUtf8(e.what());
    } catch (...) {
        return QStringLiteral("An unknown error occurred.");
    }
}

// Runs `work` on `pool` and resumes the caller on its own thread with the
// result, or rethrows what `work` threw. `work` must hold copies only: the
// caller may be gone when it runs.
//
// The job and its future are named locals: GCC 12 destroys temporaries with
// destructors inside a co_await expression twice.
template <typename Work>
QCoro::Task<std::invoke_result_t<Work&>> runOn(QThreadPool* pool, Work work)
{
    using Result = std::invoke_result_t<Work&>;
    if constexpr (std::is_void_v<Result>) {
        auto job = [work = std::move(work)]() mutable {
            try {
                work();
                return std::exception_ptr();
            } catch (...) {
                return std::current_exception();
            }
        };
        QFuture<std::exception_ptr> future = QtConcurrent::run(pool, std::move(job));
        const std::exception_ptr error = co_await future;
        if (error) {
            std::rethrow_exception(error);
        }
    } else {
        struct Outcome {
            std::optional<Result> value;
            std::exception_ptr error;
        };
        auto job = [work = std::move(work)]() mutable {
            Outcome outcome;
            try {
                outcome.value.emplace(work());
            } catch (...) {
                outcome.error = std::current_exception();
            }
            return outcome;
        };
        QFuture<Outcome> future = QtConcurrent::run(pool, std::move(job));
        Outcome outcome = co_await future;
        if (outcome.error) {
            std::rethrow_exception(outcome.error);
        }
        co_return std::move(*outcome.value);
    }
}

} // namespace kivo::librarywork
