#include "platform/UserDefaults.h"

#include <QIODevice>
#include <QMutexLocker>
#include <QSettings>
#include <cmath>
#include <nlohmann/json.hpp>

using namespace Qt::Literals::StringLiterals;

namespace kivo {

namespace {

using SettingsJson = nlohmann::ordered_json;

// Bytes are the one type JSON lacks; they are kept as {"data": "<Base64>"}.
constexpr const char* bytesKey = "data";

SettingsJson toJson(const QVariant& value, bool& ok)
{
    ok = true;
    switch (value.metaType().id()) {
    case QMetaType::Bool:
        return value.toBool();
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
        return static_cast<std::int64_t>(value.toLongLong());
    case QMetaType::Double:
    case QMetaType::Float:
        return value.toDouble();
    case QMetaType::QString:
        return value.toString().toStdString();
    case QMetaType::QByteArray:
        return SettingsJson { { bytesKey, value.toByteArray().toBase64().toStdString() } };
    default:
        ok = false;
        return {};
    }
}

std::optional<QVariant> fromJson(const SettingsJson& value)
{
    if (value.is_boolean()) {
        return QVariant(value.get<bool>());
    }
    if (value.is_number_integer() && !value.is_number_unsigned()) {
        return QVariant(qint64(value.get<std::int64_t>()));
    }
    if (value.is_number_unsigned()) {
        const auto number = value.get<std::uint64_t>();
        if (number > std::uint64_t(std::numeric_limits<qint64>::max())) {
            return std::nullopt;
        }
        return QVariant(qint64(number));
    }
    if (value.is_number_float()) {
        return QVariant(value.get<double>());
    }
    if (value.is_string()) {
        const auto& text = value.get_ref<const std::string&>();
        return QVariant(QString::fromUtf8(text.data(), qsizetype(text.size())));
    }
    if (value.is_object() && value.size() == 1 && value.contains(bytesKey)
        && value[bytesKey].is_string()) {
        const auto& text = value[bytesKey].get_ref<const std::string&>();
        const auto decoded = QByteArray::fromBase64Encoding(
            QByteArray::fromStdString(text), QByteArray::AbortOnBase64DecodingErrors);
        if (decoded) {
            return QVariant(decoded.decoded);
        }
    }
    return std::nullopt;
}

bool readSettings(QIODevice& device, QSettings::SettingsMap& map)
{
    const QByteArray bytes = device.readAll();
    if (bytes.trimmed().isEmpty()) {
        return true;
    }
    SettingsJson document;
    try {
        document = SettingsJson::parse(bytes.constBegin(), bytes.constEnd());
    } catch (const nlohmann::json::exception&) {
        return false;
    }
    if (!document.is_object()) {
        return false;
    }
    for (const auto& [key, value] : document.items()) {
        // A value of a type we never write is skipped, not fatal.
        if (std::optional<QVariant> variant = fromJson(value)) {
            map.insert(QString::fromStdString(key), *variant);
        }
    }
    return true;
}

bool writeSettings(QIODevice& device, const QSettings::SettingsMap& map)
{
    SettingsJson document = SettingsJson::object();
    for (auto it = map.cbegin(); it != map.cend(); ++it) {
        bool ok = false;
        SettingsJson value = toJson(it.value(), ok);
        if (ok) {
            document[it.key().toStdString()] = std::move(value);
        }
    }
    const std::string text = document.dump(2) + '\n';
    return device.write(text.data(), qint64(text.size())) == qint64(text.size());
}

QSettings::Format jsonFormat()
{
    static const QSettings::Format format
        = QSettings::registerFormat(u"json"_s, readSettings, writeSettings);
    return format;
}

} // namespace

SettingsUserDefaults::SettingsUserDefaults()
    : m_fileName(
        QSettings(jsonFormat(), QSettings::UserScope, u"Halvern"_s, u"KIVO-VOVID"_s).fileName())
{
}

SettingsUserDefaults::SettingsUserDefaults(const QString& filePath)
    : m_fileName(filePath)
{
}

SettingsUserDefaults::~SettingsUserDefaults() = default;

std::optional<UserDefaults::Value> SettingsUserDefaults::value(const QString& key) const
{
    QMutexLocker lock(&m_mutex);
    const QVariant stored = QSettings(m_fileName, jsonFormat()).value(key);
    switch (stored.metaType().id()) {
    case QMetaType::Bool:
        return Value(stored.toBool());
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
        return Value(qint64(stored.toLongLong()));
    case QMetaType::Double:
    case QMetaType::Float:
        return Value(stored.toDouble());
    case QMetaType::QString:
        return Value(stored.toString());
    case QMetaType::QByteArray:
        return Value(stored.toByteArray());
    default:
        return std::nullopt;
    }
}

bool SettingsUserDefaults::setValue(const QString& key, const Value& value)
{
    QVariant variant;
    bool storable = true;
    std::visit(
        [&](const auto& v) {
            using T = std::decay_t<decltype(v)>;
            if constexpr (std::is_same_v<T, double>) {
                storable = std::isfinite(v);
            }
            if constexpr (std::is_same_v<T, qint64>) {
                variant = QVariant(qlonglong(v));
            } else {
                variant = QVariant::fromValue(v);
            }
        },
        value);
    if (!storable) {
        return false;
    }
    QMutexLocker lock(&m_mutex);
    QSettings settings(m_fileName, jsonFormat());
    settings.setValue(key, variant);
    settings.sync();
    return settings.status() != QSettings::AccessError;
}

void SettingsUserDefaults::removeValue(const QString& key)
{
    QMutexLocker lock(&m_mutex);
    QSettings settings(m_fileName, jsonFormat());
    settings.remove(key);
    settings.sync();
}

} // namespace kivo
