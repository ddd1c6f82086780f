#pragma once

#include "model/Track.h"

#include <QList>
#include <QString>
#include <functional>

class QMenu;
class QWidget;

namespace kivo {

// What the items of a song's context menu call; the track list screen does
// the work.
struct TrackContextMenuActions {
    std::function<void()> onPlay;
    std::function<void()> onEdit;
    std::function<void()> onToggleFavorite;
    std::function<void()> onChooseArtwork;
    std::function<void()> onRemoveArtwork;
    std::function<void()> onRevealInFileManager;
    std::function<void()> onRemoveFromPlayer;
    std::function<void()> onRequestPermanentDeletion;
};

// The items of a song row's context menu. The menu only decides texts, symbols and
// which items are enabled; every item calls exactly one action.
class TrackContextMenuContent {
public:
    // "Edit Metadata…" for fewer than two songs, else the shared-edit text.
    static QString editText(qint64 metadataSelectionCount);
    // Builds the menu: actions carry their symbol in the "symbolName"
    // property; the "Delete" submenu is disabled while a removal runs.
    static QMenu* build(const Track& track, qint64 metadataSelectionCount, bool isRemovalInFlight,
        TrackContextMenuActions actions, QWidget* parent);
};

} // namespace kivo
