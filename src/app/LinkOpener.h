#pragma once

#include <QUrl>

namespace kivo {

// Hands a web or mail address to the system, which opens it in the user's
// browser or mail program. Tests replace it.
class LinkOpener {
public:
    virtual ~LinkOpener() = default;
    // False when the system accepted no program for the address.
    virtual bool openLink(const QUrl& url) = 0;
};

// QDesktopServices.
class DesktopLinkOpener final : public LinkOpener {
public:
    bool openLink(const QUrl& url) override;
};

} // namespace kivo
