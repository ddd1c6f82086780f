#pragma once

#include "model/UserDefaults.h"

#include <QByteArray>
#include <QMutex>
#include <QString>
#include <optional>
#include <variant>

namespace kivo {

// UserDefaults kept in a JSON file: the one QSettings uses for organisation
// "Halvern" and application "KIVO-VOVID" with a "json" format, holding the same
// document, so settings written by earlier versions still load. Numbers,
// booleans, texts and bytes keep their types across runs. Every change is
// written whole and atomically and is on disk when setValue() returns; a
// change that cannot be written returns false and leaves the file as it was.
// A file that is damaged reads as empty and is replaced by the next change;
// anything that is not a regular file in its place is never replaced. Keys the
// program does not read are kept. Safe to use from any thread.
class SettingsUserDefaults final : public UserDefaults {
public:
    // The user's own settings file.
    SettingsUserDefaults();
    // A given settings file (tests use one in a temporary folder).
    explicit SettingsUserDefaults(const QString& filePath);
    ~SettingsUserDefaults() override;

    std::optional<Value> value(const QString& key) const override;
    bool setValue(const QString& key, const Value& value) override;
    void removeValue(const QString& key) override;

    const QString& fileName() const { return m_fileName; }

private:
    mutable QMutex m_mutex;
    QString m_fileName;
};

} // namespace kivo
