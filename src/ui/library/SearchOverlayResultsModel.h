#pragma once

#include "engines/library/SearchEngine.h"

#include <QAbstractListModel>

namespace kivo {

// What the search overlay shows below its field for a query and its results.
enum class SearchOverlayContent {
    nothing, // an empty query: the panel ends with the divider
    noResults, // a query and five empty lists
    results, // the sections (possibly none: genres alone are never listed)
};

SearchOverlayContent searchOverlayContent(const QString& query, const SearchResults& results);
// The no-results view's second line: the query between single quotes.
QString searchOverlayQuotedQuery(const QString& query);

// The overlay's result list as flat rows: each non-empty section ("SONGS",
// "ARTISTS", "ALBUMS", "PLAYLISTS", in that order) as a title row followed by
// one row per result in the results' order. Genres are not listed. Every row
// has the same height, so the list scrolls any number of results; a row's
// text is read from the results when it is shown.
class SearchOverlayResultsModel : public QAbstractListModel {
    Q_OBJECT
public:
    enum Role {
        IsSectionTitleRole = Qt::UserRole + 1, // bool
        SymbolNameRole, // QString: "music.note", "music.mic", "square.stack", "music.note.list"
    };

    explicit SearchOverlayResultsModel(QObject* parent = nullptr);

    void setResults(const SearchResults& results);

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

private:
    // One listed section: its title row, then `count` result rows.
    enum class Kind { songs, artists, albums, playlists };
    struct Section {
        Kind kind;
        QString title;
        QString symbolName;
        int firstRow; // the title row
        int count;
    };
    QString resultText(Kind kind, int index) const;

    SearchResults m_results;
    QList<Section> m_sections;
    int m_rowCount = 0;
};

} // namespace kivo
