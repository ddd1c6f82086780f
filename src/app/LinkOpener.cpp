#include "app/LinkOpener.h"

#include <QDesktopServices>

namespace kivo {

bool DesktopLinkOpener::openLink(const QUrl& url)
{
    return QDesktopServices::openUrl(url);
}

} // namespace kivo
