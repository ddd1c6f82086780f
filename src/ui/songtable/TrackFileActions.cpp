#include "ui/songtable/TrackFileActions.h"

#include "model/Track.h"

#include <QFileInfo>

namespace kivo {

QUrl TrackFileActions::revealTarget(const Track& track)
{
    const QString path = track.fileURL.toLocalFile();
    if (QFileInfo::exists(path)) {
        return track.fileURL;
    }
    return QUrl::fromLocalFile(QFileInfo(path).absolutePath());
}

} // namespace kivo
