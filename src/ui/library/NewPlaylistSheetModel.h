#pragma once

#include <QString>
#include <optional>

namespace kivo {

class PlaylistEngine;

// The New Playlist sheet's state. Each opening starts from reset(): an empty
// name and no error.
class NewPlaylistSheetModel {
public:
    explicit NewPlaylistSheetModel(PlaylistEngine& playlists);

    const QString& name() const { return m_name; }
    void setName(const QString& name) { m_name = name; }
    // The last failed create's message, kept until reset().
    const std::optional<QString>& error() const { return m_error; }
    void reset();

    // Create needs a name that is not blank once trimmed.
    bool canCreate() const;
    // Creates a standard top-level playlist under the trimmed name (any
    // length; the engine's limit is for renaming). True when the sheet may
    // close; on failure the error is kept and the name stays as typed.
    bool create();

private:
    PlaylistEngine& m_playlists;
    QString m_name;
    std::optional<QString> m_error;
};

} // namespace kivo
