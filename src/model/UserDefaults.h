#pragma once

#include <QByteArray>
#include <QString>
#include <optional>
#include <variant>

namespace kivo {

// The user's preferences: small typed values under text keys. A value reads
// back with the type it was written with; asking for another type gives
// nothing, as does a missing key.
//
// This interface is header-only and sits in the model so that any library can
// take it without linking the settings back end; the program passes a
// SettingsUserDefaults (platform/UserDefaults.h), tests may pass a fake.
class UserDefaults {
public:
    using Value = std::variant<bool, qint64, double, QString, QByteArray>;

    virtual ~UserDefaults() = default;

    virtual std::optional<Value> value(const QString& key) const = 0;
    // Returns false when the value could not be kept: a non-finite number
    // (stored as nothing) or a settings file that cannot be written.
    virtual bool setValue(const QString& key, const Value& value) = 0;
    virtual void removeValue(const QString& key) = 0;

    std::optional<bool> boolValue(const QString& key) const { return typed<bool>(key); }
    std::optional<qint64> integerValue(const QString& key) const { return typed<qint64>(key); }
    std::optional<double> doubleValue(const QString& key) const { return typed<double>(key); }
    std::optional<QString> stringValue(const QString& key) const { return typed<QString>(key); }
    std::optional<QByteArray> dataValue(const QString& key) const { return typed<QByteArray>(key); }

private:
    template <typename T> std::optional<T> typed(const QString& key) const
    {
        const std::optional<Value> stored = value(key);
        if (stored && std::holds_alternative<T>(*stored)) {
            return std::get<T>(*stored);
        }
        return std::nullopt;
    }
};

} // namespace kivo
