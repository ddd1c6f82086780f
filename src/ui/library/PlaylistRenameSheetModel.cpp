#include "ui/library/PlaylistRenameSheetModel.h"

#include "engines/library/PlaylistEngine.h"
#include "model/ErrorText.h"
#include "model/TextRules.h"

namespace kivo {

PlaylistRenameSheetModel::PlaylistRenameSheetModel(PlaylistEngine& playlists, Playlist playlist)
    : m_playlists(playlists)
    , m_playlist(std::move(playlist))
    , m_name(m_playlist.name)
{
}

bool PlaylistRenameSheetModel::canRename() const
{
    const QString trimmed = text::trimmed(m_name);
    return !trimmed.isEmpty() && !text::equal(trimmed, m_playlist.name);
}

bool PlaylistRenameSheetModel::submit()
{
    if (!canRename()) {
        return false;
    }
    try {
        m_playlists.rename(m_playlist.id, text::trimmed(m_name));
    } catch (...) {
        m_error = describeError(std::current_exception());
        return false;
    }
    return true;
}

} // namespace kivo
