#pragma once

#include "model/Track.h"

#include <QByteArray>
#include <QString>
#include <QUrl>
#include <exception>
#include <memory>
#include <string>

namespace kivo {

class SecurityScopedAccessError : public std::exception {
public:
    enum class Case { bookmarkCreationFailed, bookmarkResolutionFailed, permissionDenied };

    static SecurityScopedAccessError bookmarkCreationFailed(
        const QUrl& url, const QString& underlying);
    static SecurityScopedAccessError bookmarkResolutionFailed(
        const QUrl& url, const QString& underlying);
    static SecurityScopedAccessError permissionDenied(const QUrl& url);

    Case errorCase() const { return m_case; }
    const QUrl& url() const { return m_url; }
    // The underlying error's description (empty for permissionDenied).
    const QString& underlyingDescription() const { return m_underlying; }
    QString errorDescription() const;
    const char* what() const noexcept override { return m_what.c_str(); }

private:
    SecurityScopedAccessError(Case errorCase, QUrl url, QString underlying);
    Case m_case;
    QUrl m_url;
    QString m_underlying;
    std::string m_what;
};

// The platform operations behind scoped access. Linux has no sandbox: the real
// implementation starts nothing and keeps bookmarks as path plus file identity.
// Tests substitute a fake to count starts and stops.
class FileAccessPlatform {
public:
    // A platform failure with its description.
    struct Failure : std::exception {
        explicit Failure(QString text)
            : description(std::move(text))
            , utf8(description.toStdString())
        {
        }
        const char* what() const noexcept override { return utf8.c_str(); }
        QString description;
        std::string utf8;
    };

    virtual ~FileAccessPlatform() = default;
    virtual bool startAccessing(const QUrl& url) = 0;
    virtual void stopAccessing(const QUrl& url) = 0;
    // Throws Failure.
    virtual QByteArray bookmarkData(const QUrl& url) = 0;
    // Throws Failure for a bookmark that names no place; `isStale` reports one
    // whose file identity changed or whose file is gone.
    virtual QUrl resolveBookmark(const QByteArray& bookmark, bool& isStale) = 0;
    // True only when something stands at `path` and this process may not read
    // it. A missing file or a folder is not refused here: the callers report
    // those in their own words.
    virtual bool refusesReading(const QString& path) = 0;

    // The process-wide platform; replaceable for tests (nullptr restores the real one).
    static std::shared_ptr<FileAccessPlatform> shared();
    static void setShared(std::shared_ptr<FileAccessPlatform> platform);
};

// Scoped access to one track's file, held for as long as the file is in use.
class SecurityScopedResource {
public:
    ~SecurityScopedResource();
    SecurityScopedResource(const SecurityScopedResource&) = delete;
    SecurityScopedResource& operator=(const SecurityScopedResource&) = delete;

    const QUrl& url() const { return m_url; }
    bool didStartAccess() const { return m_didStartAccess; }

    // Throws SecurityScopedAccessError (bookmarkCreationFailed).
    static QByteArray makeBookmark(const QUrl& url);
    // Throws SecurityScopedAccessError.
    static std::shared_ptr<SecurityScopedResource> beginAccess(const Track& track);

private:
    SecurityScopedResource(std::shared_ptr<FileAccessPlatform> platform, QUrl url, bool started);
    std::shared_ptr<FileAccessPlatform> m_platform;
    QUrl m_url;
    bool m_didStartAccess;
};

} // namespace kivo
