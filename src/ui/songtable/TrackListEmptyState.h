#pragma once

#include <QString>

namespace kivo {

// What a screen shows when its list has no songs: a symbol above two lines of
// text, all shown as given.
struct TrackListEmptyState {
    QString systemImage;
    QString title;
    QString subtitle;

    bool operator==(const TrackListEmptyState&) const = default;
};

} // namespace kivo
