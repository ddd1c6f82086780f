#include "ui/library/NewPlaylistSheetModel.h"

#include "engines/library/PlaylistEngine.h"
#include "model/ErrorText.h"
#include "model/TextRules.h"

namespace kivo {

NewPlaylistSheetModel::NewPlaylistSheetModel(PlaylistEngine& playlists)
    : m_playlists(playlists)
{
}

void NewPlaylistSheetModel::reset()
{
    m_name.clear();
    m_error.reset();
}

bool NewPlaylistSheetModel::canCreate() const
{
    return !text::trimmed(m_name).isEmpty();
}

bool NewPlaylistSheetModel::create()
{
    const QString trimmed = text::trimmed(m_name);
    if (trimmed.isEmpty()) {
        return false;
    }
    try {
        m_playlists.createPlaylist(trimmed);
    } catch (...) {
        m_error = describeError(std::current_exception());
        return false;
    }
    m_name.clear();
    return true;
}

} // namespace kivo
