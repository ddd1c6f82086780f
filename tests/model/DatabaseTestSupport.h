#pragma once

#include "platform/UserDefaults.h"

#include <QCoroTask>
#include <QHash>
#include <exception>
#include <optional>

namespace kivo::test {

// User defaults held in memory.
class MemoryUserDefaults final : public UserDefaults {
public:
    std::optional<Value> value(const QString& key) const override
    {
        const auto it = values.constFind(key);
        return it == values.cend() ? std::nullopt : std::optional(*it);
    }
    bool setValue(const QString& key, const Value& value) override
    {
        values.insert(key, value);
        return true;
    }
    void removeValue(const QString& key) override { values.remove(key); }

    QHash<QString, Value> values;
};

namespace detail {

template <typename T>
QCoro::Task<void> settle(QCoro::Task<T> task, std::optional<T>& result, std::exception_ptr& error)
{
    try {
        result.emplace(co_await std::move(task));
    } catch (...) {
        error = std::current_exception();
    }
}

inline QCoro::Task<void> settle(QCoro::Task<void> task, std::exception_ptr& error)
{
    try {
        co_await std::move(task);
    } catch (...) {
        error = std::current_exception();
    }
}

} // namespace detail

// Waits for the task and returns its result or rethrows its exception.
// (QCoro::waitFor() never returns when the task throws.)
template <typename T> T wait(QCoro::Task<T>&& task)
{
    std::exception_ptr error;
    if constexpr (std::is_void_v<T>) {
        QCoro::waitFor(detail::settle(std::move(task), error));
        if (error) {
            std::rethrow_exception(error);
        }
    } else {
        std::optional<T> result;
        QCoro::waitFor(detail::settle(std::move(task), result, error));
        if (error) {
            std::rethrow_exception(error);
        }
        return std::move(*result);
    }
}

} // namespace kivo::test
