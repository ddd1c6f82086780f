#include "ui/library/SearchOverlayResultsModel.h"

#include <algorithm>

using namespace Qt::Literals::StringLiterals;

namespace kivo {

SearchOverlayContent searchOverlayContent(const QString& query, const SearchResults& results)
{
    if (query.isEmpty()) {
        return SearchOverlayContent::nothing;
    }
    return results.isEmpty() ? SearchOverlayContent::noResults : SearchOverlayContent::results;
}

QString searchOverlayQuotedQuery(const QString& query)
{
    return u'\'' + query + u'\'';
}

SearchOverlayResultsModel::SearchOverlayResultsModel(QObject* parent)
    : QAbstractListModel(parent)
{
}

void SearchOverlayResultsModel::setResults(const SearchResults& results)
{
    beginResetModel();
    m_results = results;
    m_sections.clear();
    m_rowCount = 0;
    const auto section
        = [this](Kind kind, const QString& title, const QString& symbol, qsizetype count) {
              if (count == 0) {
                  return;
              }
              m_sections.append({ kind, title, symbol, m_rowCount, int(count) });
              m_rowCount += 1 + int(count);
          };
    section(Kind::songs, u"SONGS"_s, u"music.note"_s, results.songs.size());
    section(Kind::artists, u"ARTISTS"_s, u"music.mic"_s, results.artists.size());
    section(Kind::albums, u"ALBUMS"_s, u"square.stack"_s, results.albums.size());
    section(Kind::playlists, u"PLAYLISTS"_s, u"music.note.list"_s, results.playlists.size());
    endResetModel();
}

QString SearchOverlayResultsModel::resultText(Kind kind, int index) const
{
    switch (kind) {
    case Kind::songs:
        return m_results.songs[index].title;
    case Kind::artists:
        return m_results.artists[index];
    case Kind::albums:
        return m_results.albums[index];
    case Kind::playlists:
        return m_results.playlists[index].name;
    }
    return {};
}

int SearchOverlayResultsModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_rowCount;
}

QVariant SearchOverlayResultsModel::data(const QModelIndex& index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid)) {
        return {};
    }
    // The last section starting at or before the row.
    const auto after = std::upper_bound(m_sections.cbegin(), m_sections.cend(), index.row(),
        [](int row, const Section& section) { return row < section.firstRow; });
    const auto sectionIndex = int(std::distance(m_sections.cbegin(), after)) - 1;
    const Section& section = m_sections[sectionIndex];
    const bool isTitle = index.row() == section.firstRow;
    switch (role) {
    case Qt::DisplayRole:
        return isTitle ? section.title
                       : resultText(section.kind, index.row() - section.firstRow - 1);
    case IsSectionTitleRole:
        return isTitle;
    case SymbolNameRole:
        return isTitle ? QString() : section.symbolName;
    default:
        return {};
    }
}

} // namespace kivo
