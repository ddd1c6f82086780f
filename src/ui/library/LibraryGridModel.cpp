#include "ui/library/LibraryGridModel.h"

#include "model/TextRules.h"

using namespace Qt::Literals::StringLiterals;

namespace kivo {

LibraryGridModel::LibraryGridModel(QObject* parent)
    : QAbstractListModel(parent)
{
}

void LibraryGridModel::setTracks(QList<Track> tracks)
{
    m_tracks = std::move(tracks);
    m_searchable.clear();
    m_searchable.reserve(m_tracks.size());
    for (const Track& track : m_tracks) {
        m_searchable.append({ text::nfc(track.title),
            track.artist ? std::optional<QString>(text::nfc(*track.artist)) : std::nullopt });
    }
    refilter();
}

void LibraryGridModel::setSearchText(const QString& text)
{
    if (text != m_searchText) {
        m_searchText = text;
        refilter();
    }
}

bool LibraryGridModel::matches(const Track& track, const QString& searchText)
{
    return matchesComposed(
        { text::nfc(track.title),
            track.artist ? std::optional(text::nfc(*track.artist)) : std::nullopt },
        text::nfc(searchText));
}

bool LibraryGridModel::matchesComposed(const Searchable& texts, const QString& needle)
{
    // An empty search shows every song; otherwise the title or the artist
    // contains it, ignoring case.
    const auto& [title, artist] = texts;
    return needle.isEmpty() || title.contains(needle, Qt::CaseInsensitive)
        || (artist && artist->contains(needle, Qt::CaseInsensitive));
}

void LibraryGridModel::refilter()
{
    beginResetModel();
    m_shown.clear();
    m_shown.reserve(m_tracks.size());
    // The texts are composed in advance, once per list.
    const QString needle = text::nfc(m_searchText);
    for (int i = 0; i < m_tracks.size(); ++i) {
        if (matchesComposed(m_searchable[i], needle)) {
            m_shown.append(i);
        }
    }
    endResetModel();
}

int LibraryGridModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_shown.size());
}

QVariant LibraryGridModel::data(const QModelIndex& index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid)) {
        return {};
    }
    const Track& track = m_tracks[m_shown[index.row()]];
    switch (role) {
    case Qt::DisplayRole:
        return track.title;
    case SubtitleRole:
        return track.artist.value_or(u"Unknown Artist"_s);
    case TrackIdRole:
        return track.id;
    default:
        return {};
    }
}

} // namespace kivo
