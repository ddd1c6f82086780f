#pragma once

#include "support/ScriptedLibraryEngine.h"
#include "support/ScriptedQueueEngine.h"

#include <QDateTime>
#include <QTimeZone>
#include <QUrl>

namespace kivo::test {

// A song whose id sorts by `n` (ids are compared as upper-case text).
inline Track song(int n, const QString& title, const QString& extension = QStringLiteral("mp3"))
{
    const QString filename = title + u'.' + extension;
    return Track::make(QUuid(0x10000000u + uint(n), 0, 0, 0, 0, 0, 0, 0, 0, 0, 0),
        QUrl::fromLocalFile(QStringLiteral("/music/") + filename), filename, title, 200,
        Date::fromDateTime(QDateTime(QDate(2026, 1, 1), QTime(12, 0), QTimeZone::utc())));
}

} // namespace kivo::test
