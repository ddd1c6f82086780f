#pragma once

#include "model/Playlist.h"

#include <QString>
#include <optional>

namespace kivo {

class PlaylistEngine;

// The rename sheet's state for one playlist, smart playlist or folder.
class PlaylistRenameSheetModel {
public:
    PlaylistRenameSheetModel(PlaylistEngine& playlists, Playlist playlist);

    const Playlist& playlist() const { return m_playlist; }
    // Starts as the current name.
    const QString& name() const { return m_name; }
    void setName(const QString& name) { m_name = name; }
    // The last failed rename's message; typing does not clear it.
    const std::optional<QString>& error() const { return m_error; }

    // Rename needs a trimmed name that is not blank and differs from the
    // current one.
    bool canRename() const;
    // Renames when allowed. True when the sheet may close; a refused name
    // does nothing; a failure keeps its message.
    bool submit();

private:
    PlaylistEngine& m_playlists;
    Playlist m_playlist;
    QString m_name;
    std::optional<QString> m_error;
};

} // namespace kivo
