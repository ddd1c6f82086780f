#include "platform/UserDefaults.h"

#include "model/JsonCodec.h"
#include "model/Logging.h"
#include "model/StoreFile.h"

#include <QDir>
#include <QFileInfo>
#include <QMap>
#include <QMutexLocker>
#include <QStandardPaths>
#include <cmath>
#include <limits>

using namespace Qt::Literals::StringLiterals;

namespace kivo {

namespace {

// Bytes are the one type JSON lacks; they are kept as {"data": "<Base64>"}.
constexpr const char* bytesKey = "data";

// The document's members; sorted by key, as QSettings wrote them.
using Members = QMap<QString, Json>;

std::optional<Json> toJson(const UserDefaults::Value& value)
{
    return std::visit(
        [](const auto& v) -> std::optional<Json> {
            using T = std::decay_t<decltype(v)>;
            if constexpr (std::is_same_v<T, double>) {
                // nlohmann would write null and the value would come back as nothing.
                return std::isfinite(v) ? std::optional<Json>(v) : std::nullopt;
            } else if constexpr (std::is_same_v<T, qint64>) {
                return Json(static_cast<std::int64_t>(v));
            } else if constexpr (std::is_same_v<T, QString>) {
                return Json(v.toStdString());
            } else if constexpr (std::is_same_v<T, QByteArray>) {
                return Json { { bytesKey, v.toBase64().toStdString() } };
            } else {
                return Json(v);
            }
        },
        value);
}

// A value of a shape the program never writes reads as absent.
std::optional<UserDefaults::Value> fromJson(const Json& value)
{
    if (value.is_boolean()) {
        return value.get<bool>();
    }
    if (value.is_number_integer() && !value.is_number_unsigned()) {
        return qint64(value.get<std::int64_t>());
    }
    if (value.is_number_unsigned()) {
        const auto number = value.get<std::uint64_t>();
        if (number > std::uint64_t(std::numeric_limits<qint64>::max())) {
            return std::nullopt;
        }
        return qint64(number);
    }
    if (value.is_number_float()) {
        return value.get<double>();
    }
    if (value.is_string()) {
        return json::fromStd(value.get_ref<const std::string&>());
    }
    if (value.is_object() && value.size() == 1 && value.contains(bytesKey)
        && value[bytesKey].is_string()) {
        const auto& text = value[bytesKey].get_ref<const std::string&>();
        const auto decoded = QByteArray::fromBase64Encoding(
            QByteArray::fromStdString(text), QByteArray::AbortOnBase64DecodingErrors);
        if (decoded) {
            return decoded.decoded;
        }
    }
    return std::nullopt;
}

// The file's members; nothing when something exists in its place that cannot
// be read, which must then not be replaced either.
std::optional<Members> load(const QString& fileName)
{
    std::optional<QByteArray> bytes;
    try {
        bytes = storefile::read(fileName);
    } catch (const StoreFileError& error) {
        qCWarning(logging::storage).noquote() << error.description();
        return std::nullopt;
    }
    Members members;
    if (!bytes || bytes->trimmed().isEmpty()) {
        return members;
    }
    try {
        const Json document = json::parse(*bytes);
        if (!document.is_object()) {
            throw JsonCodingError(
                JsonCodingError::Kind::Decoding, QString(), u"Expected an object."_s);
        }
        for (const auto& [key, value] : document.items()) {
            members.insert(QString::fromStdString(key), value);
        }
    } catch (const JsonCodingError& error) {
        // Preferences the program can do without: keeping a damaged file would
        // keep the user from ever changing one again.
        qCWarning(logging::storage).noquote()
            << u"The settings file \"%1\" is damaged and reads as empty: %2"_s.arg(
                   fileName, error.description());
        return Members();
    }
    return members;
}

bool save(const QString& fileName, const Members& members)
{
    Json document = Json::object();
    for (auto it = members.cbegin(); it != members.cend(); ++it) {
        document[it.key().toStdString()] = it.value();
    }
    const std::string text = document.dump(2) + '\n';
    try {
        // A first change creates the settings folder, as QSettings did.
        QDir().mkpath(QFileInfo(fileName).absolutePath());
        storefile::writeAtomically(fileName, QByteArray::fromStdString(text));
        return true;
    } catch (const StoreFileError& error) {
        qCWarning(logging::storage).noquote() << error.description();
        return false;
    }
}

} // namespace

SettingsUserDefaults::SettingsUserDefaults()
    : m_fileName(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
        + u"/Halvern/KIVO-VOVID.json"_s)
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
    const std::optional<Members> members = load(m_fileName);
    if (!members) {
        return std::nullopt;
    }
    const auto it = members->constFind(key);
    return it == members->cend() ? std::nullopt : fromJson(*it);
}

bool SettingsUserDefaults::setValue(const QString& key, const Value& value)
{
    std::optional<Json> stored = toJson(value);
    if (!stored) {
        return false;
    }
    QMutexLocker lock(&m_mutex);
    std::optional<Members> members = load(m_fileName);
    if (!members) {
        return false;
    }
    members->insert(key, std::move(*stored));
    return save(m_fileName, *members);
}

void SettingsUserDefaults::removeValue(const QString& key)
{
    QMutexLocker lock(&m_mutex);
    std::optional<Members> members = load(m_fileName);
    if (members && members->remove(key) > 0) {
        save(m_fileName, *members);
    }
}

} // namespace kivo
