#pragma once

#include <QUrl>

namespace kivo {

struct Track;

// Shows a file (or folder) in the desktop's file manager. Tests replace it.
class TrackFileRevealer {
public:
    virtual ~TrackFileRevealer() = default;
    virtual void reveal(const QUrl& target) = 0;
};

// The file manager's FileManager1 service selects the item; without one the
// folder opens with the desktop's default handler.
class DesktopFileRevealer final : public TrackFileRevealer {
public:
    void reveal(const QUrl& target) override;
};

namespace TrackFileActions {

// What revealing a song shows: its file, or the folder that held it when the
// file is gone.
QUrl revealTarget(const Track& track);

} // namespace TrackFileActions

} // namespace kivo
