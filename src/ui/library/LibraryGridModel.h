#pragma once

#include "model/Track.h"

#include <QAbstractListModel>

namespace kivo {

// The library grid's tiles: the songs that pass the search text, in list
// order. An empty search text shows every song; otherwise a song shows when
// its title or artist contains the text (case-insensitive, blanks included).
// Main thread only.
class LibraryGridModel : public QAbstractListModel {
    Q_OBJECT
public:
    enum Role {
        TrackIdRole = Qt::UserRole + 1, // QUuid
        SubtitleRole, // QString: the artist, or "Unknown Artist"
    };

    explicit LibraryGridModel(QObject* parent = nullptr);

    void setTracks(QList<Track> tracks);
    const QList<Track>& tracks() const { return m_tracks; }
    void setSearchText(const QString& text);
    const QString& searchText() const { return m_searchText; }

    // Whether `track` shows for `searchText`.
    static bool matches(const Track& track, const QString& searchText);

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

private:
    // A song's title and artist, composed (NFC) for searching.
    using Searchable = std::pair<QString, std::optional<QString>>;
    // The one search rule, on composed texts.
    static bool matchesComposed(const Searchable& texts, const QString& needle);
    void refilter();

    QList<Track> m_tracks;
    // Title and artist of each song in composed form, made once per list so
    // that a keystroke only searches.
    QList<Searchable> m_searchable;
    QString m_searchText;
    QList<int> m_shown; // positions in m_tracks
};

} // namespace kivo
