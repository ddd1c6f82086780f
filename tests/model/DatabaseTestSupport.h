#pragma once

#include "platform/UserDefaults.h"

#include <QHash>
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

// What `body` throws as `Error`; nothing when it throws nothing.
template <typename Error, typename Body> std::optional<Error> errorOf(Body body)
{
    try {
        body();
    } catch (const Error& error) {
        return error;
    }
    return std::nullopt;
}

} // namespace kivo::test
