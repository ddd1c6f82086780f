#pragma once

#include <QCoreApplication>
#include <QFuture>
#include <QPointer>
#include <QThreadPool>
#include <QtConcurrent/QtConcurrentRun>
#include <exception>
#include <qcoro/qcorofuture.h>
#include <qcoro/qcorotask.h>
#include <type_traits>
#include <variant>

namespace kivo {

// Runs `work` on `pool` and resumes the awaiting coroutine on its own thread
// with the result, or with the exception `work` threw (unchanged, so callers
// catch the engines' error types as usual).
//
// The job and its future are named locals: GCC 12 destroys temporaries with
// destructors inside a co_await expression twice.
template <typename Work>
QCoro::Task<std::invoke_result_t<Work&>> runOnWorker(QThreadPool* pool, Work work)
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
        using Outcome = std::variant<std::exception_ptr, Result>;
        auto job = [work = std::move(work)]() mutable {
            try {
                return Outcome(std::in_place_index<1>, work());
            } catch (...) {
                return Outcome(std::in_place_index<0>, std::current_exception());
            }
        };
        QFuture<Outcome> future = QtConcurrent::run(pool, std::move(job));
        Outcome outcome = co_await future;
        if (outcome.index() == 0) {
            std::rethrow_exception(std::get<0>(outcome));
        }
        Result result = std::get<1>(std::move(outcome));
        co_return result;
    }
}

// Lets `value` go on a worker of the global pool: the last owner of a large
// list (a library of songs) would otherwise free every song on the calling
// thread.
template <typename T> void releaseOnWorker(T value)
{
    QThreadPool::globalInstance()->start([value = std::move(value)] {});
}

// Hands a worker's result to `receive` on the main thread while `context`
// lives. Not QFuture::then(context, …): Qt 6.4 still calls that continuation
// when its context was destroyed meanwhile (a screen closed during a sort).
template <typename T, typename F>
void continueOnMain(QFuture<T> future, QObject* context, F receive)
{
    (void)future.then([guard = QPointer<QObject>(context), receive](T value) {
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [guard, receive, value]() mutable {
                if (guard) {
                    receive(std::move(value));
                }
            },
            Qt::QueuedConnection);
    });
}

} // namespace kivo
