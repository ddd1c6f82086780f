#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

namespace kivo::bench {

// A field of /proc/self/status in KiB ("VmHWM", "VmRSS"); -1 when unknown.
inline qint64 statusKiB(const char* field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) {
        return -1;
    }
    const QByteArray prefix = QByteArray(field) + ':';
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(prefix)) {
            return line.mid(prefix.size()).trimmed().split(' ').value(0).toLongLong();
        }
    }
    return -1;
}

} // namespace kivo::bench
