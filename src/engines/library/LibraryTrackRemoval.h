#pragma once

#include "model/Track.h"

#include <qcoro/qcorotask.h>

namespace kivo {

class TavrenLibraryEngine;

// The library engine's removal and restore of one track.
//
// Removal touches four places in this order: the stored list, the file (only
// when asked to delete it), the track index, the published list. Everything
// that can be checked is checked before the stored entry goes; a failed file
// deletion writes the entry back (at the end of the stored list) and leaves
// the index and the published list alone.
class LibraryTrackRemoval {
public:
    explicit LibraryTrackRemoval(TavrenLibraryEngine& engine);

    // Throws DatabaseError::entityNotFound for a track not listed,
    // SecurityScopedAccessError when the file cannot be opened, a
    // std::system_error when it cannot be examined, LibraryTrackRemovalError
    // (a folder in its place, nothing there, deletion failed), or the store's
    // error. The file is unlinked, never removed recursively: a folder that
    // took its place after the checks stays, and the removal fails.
    QCoro::Task<> removeTrack(Track track, bool deleteFile);
    // Stores, indexes and lists the track as given: in place of a listed track
    // with its id, else at the end. Throws SecurityScopedAccessError,
    // LibraryTrackRemovalError::restorationFileMissing, or the store's error.
    QCoro::Task<> restoreTrack(Track track);

private:
    TavrenLibraryEngine& m_engine;
};

} // namespace kivo
