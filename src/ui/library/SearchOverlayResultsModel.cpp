#include "ui/library/SearchOverlayResultsModel.h"

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
    m_rows.clear();
    const auto section
        = [this](const QString& title, const QString& symbol, const QStringList& texts) {
              if (texts.isEmpty()) {
                  return;
              }
              m_rows.append({ true, {}, title });
              for (const QString& text : texts) {
                  m_rows.append({ false, symbol, text });
              }
          };
    QStringList songs;
    for (const Track& track : results.songs) {
        songs.append(track.title);
    }
    QStringList playlists;
    for (const Playlist& playlist : results.playlists) {
        playlists.append(playlist.name);
    }
    section(u"SONGS"_s, u"music.note"_s, songs);
    section(u"ARTISTS"_s, u"music.mic"_s, results.artists);
    section(u"ALBUMS"_s, u"square.stack"_s, results.albums);
    section(u"PLAYLISTS"_s, u"music.note.list"_s, playlists);
    endResetModel();
}

int SearchOverlayResultsModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

QVariant SearchOverlayResultsModel::data(const QModelIndex& index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid)) {
        return {};
    }
    const Row& row = m_rows[index.row()];
    switch (role) {
    case Qt::DisplayRole:
        return row.text;
    case IsSectionTitleRole:
        return row.isSectionTitle;
    case SymbolNameRole:
        return row.symbolName;
    default:
        return {};
    }
}

} // namespace kivo
