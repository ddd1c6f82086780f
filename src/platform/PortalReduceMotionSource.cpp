#include "platform/PortalReduceMotionSource.h"

#include "model/Logging.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>
#include <QFile>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <sys/stat.h>

using namespace Qt::Literals::StringLiterals;

namespace kivo {

namespace {

const QString portalService = u"org.freedesktop.portal.Desktop"_s;
const QString portalPath = u"/org/freedesktop/portal/desktop"_s;
const QString settingsInterface = u"org.freedesktop.portal.Settings"_s;
// A portal that is being started by the bus may take a moment.
constexpr int readTimeoutMs = 10000;

struct Setting {
    QString group;
    QString key;
};

const std::array<Setting, 3>& settings()
{
    static const std::array<Setting, 3> all { {
        { u"org.freedesktop.appearance"_s, u"reduced-motion"_s },
        { u"org.gnome.desktop.interface"_s, u"enable-animations"_s },
        { u"org.kde.kdeglobals.KDE"_s, u"AnimationDurationFactor"_s },
    } };
    return all;
}

// The older Read wraps the value in one variant more than ReadOne does.
QVariant unwrapped(QVariant value)
{
    while (value.metaType() == QMetaType::fromType<QDBusVariant>()) {
        value = value.value<QDBusVariant>().variant();
    }
    return value;
}

} // namespace

PortalReduceMotionSource::PortalReduceMotionSource(QObject* parent)
    : ReduceMotionSource(parent)
{
    if (!sessionBusRuns()) {
        qCDebug(logging::theme) << "No session bus: motion follows no desktop setting";
        return;
    }
    QTimer::singleShot(0, this, [this] { follow(QDBusConnection::sessionBus()); });
}

PortalReduceMotionSource::PortalReduceMotionSource(QDBusConnection bus, QObject* parent)
    : ReduceMotionSource(parent)
{
    follow(std::move(bus));
}

bool PortalReduceMotionSource::sessionBusRuns()
{
    if (!qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS")) {
        return true;
    }
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    struct stat status { };
    return !runtime.isEmpty()
        && ::stat(QFile::encodeName(runtime + u"/bus"_s).constData(), &status) == 0
        && S_ISSOCK(status.st_mode);
}

void PortalReduceMotionSource::follow(QDBusConnection bus)
{
    m_bus = std::move(bus);
    if (!m_bus.isConnected()) {
        qCDebug(logging::theme) << "No session bus: motion follows no desktop setting";
        return;
    }
    // The bus finds the slot's argument types by name, and this one has no
    // name until it is registered.
    qRegisterMetaType<QDBusVariant>();
    if (!m_bus.connect(portalService, portalPath, settingsInterface, u"SettingChanged"_s, this,
            SLOT(onSettingChanged(QString, QString, QDBusVariant)))) {
        qCDebug(logging::theme) << "Changes of the desktop's settings will not be followed";
    }
    for (int setting = 0; setting < int(settings().size()); ++setting) {
        read(setting, false);
    }
}

std::optional<bool> PortalReduceMotionSource::reducesMotion(
    const QString& group, const QString& key, const QVariant& value)
{
    const QVariant plain = unwrapped(value);
    const QMetaType type = plain.metaType();
    if (group == settings()[0].group && key == settings()[0].key) {
        // 1 asks for reduced motion; any other value counts as no preference.
        if (type != QMetaType::fromType<uint>() && type != QMetaType::fromType<int>()) {
            return std::nullopt;
        }
        return plain.toLongLong() == 1;
    }
    if (group == settings()[1].group && key == settings()[1].key) {
        if (type != QMetaType::fromType<bool>()) {
            return std::nullopt;
        }
        return !plain.toBool();
    }
    if (group == settings()[2].group && key == settings()[2].key) {
        // The KDE portal hands its configuration entries over as text.
        bool isNumber = false;
        const double factor = type == QMetaType::fromType<QString>()
            ? plain.toString().trimmed().toDouble(&isNumber)
            : (type == QMetaType::fromType<double>() ? plain.toDouble(&isNumber) : 0.0);
        if (!isNumber || !std::isfinite(factor)) {
            return std::nullopt;
        }
        return factor <= 0;
    }
    return std::nullopt;
}

void PortalReduceMotionSource::read(int setting, bool legacyRead)
{
    const Setting& which = settings()[size_t(setting)];
    QDBusMessage call = QDBusMessage::createMethodCall(
        portalService, portalPath, settingsInterface, legacyRead ? u"Read"_s : u"ReadOne"_s);
    call << which.group << which.key;
    auto* watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call, readTimeoutMs), this);
    // `which` is one of the static table's entries, alive as long as the program.
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
        [this, setting, legacyRead, &which](QDBusPendingCallWatcher* finished) {
            finished->deleteLater();
            const QDBusPendingReply<QDBusVariant> reply = *finished;
            if (!reply.isError()) {
                record(setting, reducesMotion(which.group, which.key, reply.argumentAt(0)));
            } else if (!legacyRead && reply.error().type() == QDBusError::UnknownMethod) {
                read(setting, true);
            } else {
                // No portal, or a desktop without this setting: nothing to follow.
                qCDebug(logging::theme).noquote() << u"Portal setting %1 %2 not read: %3"_s.arg(
                    which.group, which.key, reply.error().message());
            }
        });
}

void PortalReduceMotionSource::onSettingChanged(
    const QString& group, const QString& key, const QDBusVariant& value)
{
    for (int setting = 0; setting < int(settings().size()); ++setting) {
        const Setting& which = settings()[size_t(setting)];
        if (which.group == group && which.key == key) {
            record(setting, reducesMotion(group, key, value.variant()));
        }
    }
}

void PortalReduceMotionSource::record(int setting, std::optional<bool> reduces)
{
    m_reduces[size_t(setting)] = reduces;
    const bool enabled = std::any_of(m_reduces.begin(), m_reduces.end(),
        [](const std::optional<bool>& each) { return each.value_or(false); });
    if (enabled == m_enabled) {
        return;
    }
    m_enabled = enabled;
    qCDebug(logging::theme) << "Desktop asks for reduced motion:" << enabled;
    Q_EMIT reduceMotionChanged(enabled);
}

} // namespace kivo
