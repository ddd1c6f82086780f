#pragma once

#include <QList>
#include <QUrl>

class QMimeData;

namespace kivo {

// The files a drag carries, as the screens' drop targets accept them.
struct DropExtraction {
    // Whether the drag may carry files: the screens show their drop zone only
    // for such drags.
    static bool carriesFiles(const QMimeData& data);
    // The local files that exist and are no folders, in the drag's order:
    // its URL list, or else its text read as one path or file URL per line.
    // Web URLs, folders and missing files are left out.
    static QList<QUrl> fileURLs(const QMimeData& data);
};

} // namespace kivo
