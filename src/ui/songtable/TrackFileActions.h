#pragma once

#include <QUrl>

namespace kivo {

struct Track;

namespace TrackFileActions {

// What revealing a song shows: its file, or the folder that held it when the
// file is gone.
QUrl revealTarget(const Track& track);

} // namespace TrackFileActions

} // namespace kivo
