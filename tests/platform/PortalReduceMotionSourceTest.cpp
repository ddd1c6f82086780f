#include "platform/PortalReduceMotionSource.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QDBusVirtualObject>
#include <QFile>
#include <QHash>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <cstring>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

using namespace Qt::Literals::StringLiterals;

namespace kivo {
namespace {

const QString portalPath = u"/org/freedesktop/portal/desktop"_s;
const QString settingsInterface = u"org.freedesktop.portal.Settings"_s;

// A bus of the test's own, so that no desktop's portal answers.
class PrivateBus {
public:
    PrivateBus()
    {
        const QString config = m_dir.filePath(u"bus.conf"_s);
        QFile file(config);
        file.open(QIODevice::WriteOnly);
        file.write(
            R"(<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig><type>session</type><listen>unix:dir=)"
            + QFile::encodeName(m_dir.path()) + R"(</listen><auth>EXTERNAL</auth>
<policy context="default"><allow send_destination="*" eavesdrop="true"/><allow eavesdrop="true"/>
<allow own="*"/></policy>
</busconfig>)");
        file.close();
        m_daemon.start(u"dbus-daemon"_s,
            { u"--config-file="_s + config, u"--nofork"_s, u"--print-address=1"_s });
        while (m_daemon.waitForReadyRead(10000) && !m_daemon.canReadLine()) { }
        address = QString::fromUtf8(m_daemon.readLine().trimmed());
    }
    ~PrivateBus()
    {
        m_daemon.kill();
        m_daemon.waitForFinished();
    }

    QDBusConnection connect(const QString& name) const
    {
        return QDBusConnection::connectToBus(address, name);
    }

    QString address;

private:
    QTemporaryDir m_dir;
    QProcess m_daemon;
};

// The Settings interface of a desktop portal holding `values`; `version` 1
// has only the older Read, whose answer is wrapped in one variant more.
class FakePortal : public QDBusVirtualObject {
public:
    FakePortal(QDBusConnection bus, int version)
        : m_bus(std::move(bus))
        , m_version(version)
    {
        m_bus.registerVirtualObject(portalPath, this);
        m_bus.registerService(u"org.freedesktop.portal.Desktop"_s);
    }

    ~FakePortal() override
    {
        m_bus.unregisterService(u"org.freedesktop.portal.Desktop"_s);
        m_bus.unregisterObject(portalPath);
    }

    QHash<QString, QVariant> values; // "group key" → value

    void change(const QString& group, const QString& key, const QVariant& value)
    {
        values[group + u' ' + key] = value;
        QDBusMessage signal
            = QDBusMessage::createSignal(portalPath, settingsInterface, u"SettingChanged"_s);
        signal << group << key << QVariant::fromValue(QDBusVariant(value));
        m_bus.send(signal);
    }

    QString introspect(const QString&) const override { return {}; }

    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override
    {
        const bool readOne = message.member() == u"ReadOne" && m_version >= 2;
        if (!readOne && message.member() != u"Read") {
            connection.send(message.createErrorReply(QDBusError::UnknownMethod, u"no"_s));
            return true;
        }
        const QString name = message.arguments().value(0).toString() + u' '
            + message.arguments().value(1).toString();
        if (!values.contains(name)) {
            connection.send(message.createErrorReply(
                u"org.freedesktop.portal.Error.NotFound"_s, u"Requested setting not found"_s));
            return true;
        }
        QVariant answer = QVariant::fromValue(QDBusVariant(values[name]));
        if (!readOne) {
            answer = QVariant::fromValue(QDBusVariant(answer));
        }
        connection.send(message.createReply(answer));
        return true;
    }

private:
    QDBusConnection m_bus;
    int m_version;
};

bool waitFor(QSignalSpy& spy, bool enabled)
{
    return (!spy.isEmpty() || spy.wait(10000)) && spy.takeFirst().at(0).toBool() == enabled;
}

TEST(PortalReduceMotionSource, FollowsTheDesktopsSettingsThroughThePortal)
{
    PrivateBus bus;
    ASSERT_FALSE(bus.address.isEmpty());
    for (const int version : { 2, 1 }) {
        SCOPED_TRACE(version);
        const QString portalName = u"portal%1"_s.arg(version);
        const QString appName = u"app%1"_s.arg(version);
        {
            FakePortal portal(bus.connect(portalName), version);
            portal.values[u"org.gnome.desktop.interface enable-animations"_s] = false;
            PortalReduceMotionSource source(bus.connect(appName));
            EXPECT_FALSE(source.isReduceMotionEnabled()); // the answer comes later
            QSignalSpy changed(&source, &ReduceMotionSource::reduceMotionChanged);
            ASSERT_TRUE(waitFor(changed, true));
            EXPECT_TRUE(source.isReduceMotionEnabled());

            portal.change(u"org.gnome.desktop.interface"_s, u"enable-animations"_s, true);
            ASSERT_TRUE(waitFor(changed, false));
            // KDE's factor comes as text; 0 makes every animation instant.
            portal.change(u"org.kde.kdeglobals.KDE"_s, u"AnimationDurationFactor"_s, u"0"_s);
            ASSERT_TRUE(waitFor(changed, true));
            portal.change(u"org.kde.kdeglobals.KDE"_s, u"AnimationDurationFactor"_s, u"0.5"_s);
            ASSERT_TRUE(waitFor(changed, false));
            portal.change(u"org.freedesktop.appearance"_s, u"reduced-motion"_s, 1u);
            ASSERT_TRUE(waitFor(changed, true));
            portal.change(u"org.freedesktop.appearance"_s, u"reduced-motion"_s, 0u);
            ASSERT_TRUE(waitFor(changed, false));
        }
        QDBusConnection::disconnectFromBus(portalName);
        QDBusConnection::disconnectFromBus(appName);
    }
}

TEST(PortalReduceMotionSource, ReadsEachSettingsValueOnlyInItsOwnKind)
{
    using S = PortalReduceMotionSource;
    const QString gnome = u"org.gnome.desktop.interface"_s;
    const QString kde = u"org.kde.kdeglobals.KDE"_s;
    const QString portal = u"org.freedesktop.appearance"_s;
    EXPECT_EQ(S::reducesMotion(gnome, u"enable-animations"_s, false), true);
    EXPECT_EQ(S::reducesMotion(gnome, u"enable-animations"_s, u"false"_s), std::nullopt);
    EXPECT_EQ(S::reducesMotion(kde, u"AnimationDurationFactor"_s, 0.0), true);
    EXPECT_EQ(S::reducesMotion(kde, u"AnimationDurationFactor"_s, u"fast"_s), std::nullopt);
    EXPECT_EQ(S::reducesMotion(portal, u"reduced-motion"_s, 7u), false);
    EXPECT_EQ(S::reducesMotion(portal, u"color-scheme"_s, 1u), std::nullopt);
}

// Without a session bus none is started: the source only looks for one.
TEST(PortalReduceMotionSource, WithoutABusMotionIsNotReducedAndNoBusIsStarted)
{
    {
        PortalReduceMotionSource source(
            QDBusConnection::connectToBus(u"unix:path=/nonexistent/bus"_s, u"none"_s));
        EXPECT_FALSE(source.isReduceMotionEnabled());
    }
    QDBusConnection::disconnectFromBus(u"none"_s);

    const QByteArray address = qgetenv("DBUS_SESSION_BUS_ADDRESS");
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    QTemporaryDir folder;
    qunsetenv("DBUS_SESSION_BUS_ADDRESS");
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(folder.path()));
    EXPECT_FALSE(PortalReduceMotionSource::sessionBusRuns());
    {
        PortalReduceMotionSource source;
        QCoreApplication::processEvents();
        EXPECT_FALSE(source.isReduceMotionEnabled());
    }
    // A plain file of that name is no bus; a socket is.
    QFile plain(folder.filePath(u"bus"_s));
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    EXPECT_FALSE(PortalReduceMotionSource::sessionBusRuns());
    plain.remove();
    const int socket = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un where {};
    where.sun_family = AF_UNIX;
    const QByteArray path = QFile::encodeName(folder.filePath(u"bus"_s));
    std::strncpy(where.sun_path, path.constData(), sizeof(where.sun_path) - 1);
    ASSERT_EQ(::bind(socket, reinterpret_cast<sockaddr*>(&where), sizeof(where)), 0);
    EXPECT_TRUE(PortalReduceMotionSource::sessionBusRuns());
    ::close(socket);
    qputenv("XDG_RUNTIME_DIR", "");
    qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/elsewhere/bus");
    EXPECT_TRUE(PortalReduceMotionSource::sessionBusRuns());
    const auto restore = [](const char* name, const QByteArray& value) {
        if (value.isNull()) {
            qunsetenv(name);
        } else {
            qputenv(name, value);
        }
    };
    restore("DBUS_SESSION_BUS_ADDRESS", address);
    restore("XDG_RUNTIME_DIR", runtime);
}

} // namespace
} // namespace kivo
