#pragma once

#include "platform/ReduceMotionSource.h"

#include <QDBusConnection>
#include <QString>
#include <QVariant>
#include <array>
#include <optional>

class QDBusVariant;

namespace kivo {

// The desktop's reduce-motion setting, read through the desktop portal's
// Settings interface on the session bus: the portal's own "reduced-motion"
// preference, GNOME's "enable-animations" and KDE's animation speed factor
// (0 is instant). Motion is reduced while any of them asks for it. The
// settings are asked for at construction, without waiting (the answers
// arrive later), and followed as they change. Without a portal, or without
// any of these settings, motion is not reduced and nothing is reported.
class PortalReduceMotionSource final : public ReduceMotionSource {
    Q_OBJECT
public:
    // On the session bus, once the event loop runs so that the window's
    // first paint never waits for the bus. Without a session bus none is
    // started (the bus library would launch one, and the portals with it).
    explicit PortalReduceMotionSource(QObject* parent = nullptr);
    explicit PortalReduceMotionSource(QDBusConnection bus, QObject* parent = nullptr);

    // Whether a session bus runs: its address is given, or the runtime
    // folder holds its socket.
    static bool sessionBusRuns();

    bool isReduceMotionEnabled() const override { return m_enabled; }

    // One of the settings above as a portal gives it: whether it asks for
    // less motion; nothing when it is another setting or a value of a kind
    // the setting never has.
    static std::optional<bool> reducesMotion(
        const QString& group, const QString& key, const QVariant& value);

private Q_SLOTS:
    void onSettingChanged(const QString& group, const QString& key, const QDBusVariant& value);

private:
    void follow(QDBusConnection bus);
    // `legacyRead`: the portal has no ReadOne, only the older Read.
    void read(int setting, bool legacyRead);
    void record(int setting, std::optional<bool> reduces);

    QDBusConnection m_bus { QString() };
    std::array<std::optional<bool>, 3> m_reduces;
    bool m_enabled = false;
};

} // namespace kivo
