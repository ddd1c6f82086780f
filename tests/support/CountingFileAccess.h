#pragma once

#include "platform/SecurityScopedResource.h"

#include <atomic>

namespace kivo::test {

// Scoped access that always starts and counts; bookmarks are the path, and
// the bookmark "broken" does not resolve.
class CountingFileAccess final : public FileAccessPlatform {
public:
    std::atomic<int> starts { 0 }, stops { 0 };

    bool startAccessing(const QUrl&) override
    {
        ++starts;
        return true;
    }
    void stopAccessing(const QUrl&) override { ++stops; }
    QByteArray bookmarkData(const QUrl& url) override { return url.toLocalFile().toUtf8(); }
    QUrl resolveBookmark(const QByteArray& bookmark, bool& isStale) override
    {
        isStale = false;
        if (bookmark == "broken") {
            throw Failure(QStringLiteral("The file doesn't exist."));
        }
        return QUrl::fromLocalFile(QString::fromUtf8(bookmark));
    }
    bool refusesReading(const QString&) override { return false; }
};

} // namespace kivo::test
