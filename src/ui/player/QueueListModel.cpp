#include "ui/player/QueueListModel.h"

#include "ui/eon/TimeText.h"

#include <algorithm>
#include <numeric>

using namespace Qt::Literals::StringLiterals;

namespace kivo {

QueueListModel::QueueListModel(QueueEngine& queue, QObject* parent)
    : QAbstractListModel(parent)
    , m_queue(queue)
{
    connect(&m_queue, &QueueEngine::currentTrackChanged, this, &QueueListModel::reload);
    connect(&m_queue, &QueueEngine::upcomingChanged, this, &QueueListModel::reload);
    connect(&m_queue, &QueueEngine::historyChanged, this, &QueueListModel::reload);
    reload();
}

void QueueListModel::reload()
{
    beginResetModel();
    m_current = m_queue.currentTrack();
    m_upcoming = m_queue.upcoming();
    m_history = m_queue.history();
    m_rows.clear();
    const auto addSection = [this](Section section, qsizetype count) {
        if (count == 0) {
            return;
        }
        m_rows.append({ true, section, 0 });
        for (qsizetype i = 0; i < count; ++i) {
            m_rows.append({ false, section, i });
        }
    };
    addSection(Section::nowPlaying, m_current ? 1 : 0);
    addSection(Section::upcoming, m_upcoming.size());
    addSection(Section::history, m_history.size());
    endResetModel();
    QList<Track> listed;
    for (const Row& row : std::as_const(m_rows)) {
        if (!row.header) {
            listed.append(trackAt(row));
        }
    }
    Q_EMIT tracksListed(listed);
}

const Track& QueueListModel::trackAt(const Row& row) const
{
    switch (row.section) {
    case Section::nowPlaying:
        return *m_current;
    case Section::upcoming:
        return m_upcoming[row.position];
    case Section::history:
        break;
    }
    return m_history[row.position];
}

int QueueListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

QVariant QueueListModel::data(const QModelIndex& index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid)) {
        return {};
    }
    const Row& row = m_rows[index.row()];
    switch (role) {
    case IsHeaderRole:
        return row.header;
    case SectionRole:
        return int(row.section);
    case PositionRole:
        return row.header ? QVariant() : QVariant(row.position);
    case IsCurrentRole:
        return !row.header && row.section == Section::nowPlaying;
    default:
        break;
    }
    if (row.header) {
        if (role != Qt::DisplayRole && role != Qt::AccessibleTextRole) {
            return {};
        }
        switch (row.section) {
        case Section::nowPlaying:
            return u"NOW PLAYING"_s;
        case Section::upcoming:
            return u"UPCOMING"_s;
        case Section::history:
            break;
        }
        return u"HISTORY"_s;
    }
    const Track& track = trackAt(row);
    switch (role) {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole:
        return track.title;
    case ArtistRole:
        return track.artist && !track.artist->isEmpty() ? *track.artist : u"Unknown Artist"_s;
    case DurationTextRole:
        return formatTime(track.duration);
    case ThumbnailRole: {
        const auto found = m_thumbnails.constFind(track.id);
        return found != m_thumbnails.cend() ? QVariant(*found) : QVariant();
    }
    default:
        return {};
    }
}

Qt::ItemFlags QueueListModel::flags(const QModelIndex& index) const
{
    if (!index.isValid()) {
        return Qt::NoItemFlags;
    }
    const Row& row = m_rows[index.row()];
    if (row.header) {
        return Qt::ItemIsEnabled;
    }
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

std::optional<Track> QueueListModel::track(int row) const
{
    if (row < 0 || row >= m_rows.size() || m_rows[row].header) {
        return std::nullopt;
    }
    return trackAt(m_rows[row]);
}

std::optional<QueueListModel::Section> QueueListModel::section(int row) const
{
    if (row < 0 || row >= m_rows.size()) {
        return std::nullopt;
    }
    return m_rows[row].section;
}

std::optional<qsizetype> QueueListModel::position(int row) const
{
    if (row < 0 || row >= m_rows.size() || m_rows[row].header) {
        return std::nullopt;
    }
    return m_rows[row].position;
}

int QueueListModel::firstUpcomingRow() const
{
    for (int row = 0; row < m_rows.size(); ++row) {
        if (!m_rows[row].header && m_rows[row].section == Section::upcoming) {
            return row;
        }
    }
    return -1;
}

void QueueListModel::tap(int row)
{
    const std::optional<Track> song = track(row);
    if (!song || m_rows[row].section == Section::nowPlaying) {
        return;
    }
    const QList<Track> upcoming = m_upcoming;
    for (qsizetype i = 0; i < upcoming.size(); ++i) {
        if (upcoming[i].id == song->id) {
            m_queue.playNow(upcoming, i);
            return;
        }
    }
    m_queue.playNow({ *song }, 0);
}

void QueueListModel::moveUpcoming(QList<qsizetype> sources, qsizetype destination)
{
    const qsizetype count = m_upcoming.size();
    std::sort(sources.begin(), sources.end());
    sources.erase(std::unique(sources.begin(), sources.end()), sources.end());
    sources.removeIf([count](qsizetype s) { return s < 0 || s >= count; });
    if (sources.isEmpty()) {
        return;
    }
    destination = std::clamp<qsizetype>(destination, 0, count);
    // The wanted order, as original positions.
    QList<qsizetype> wanted;
    for (qsizetype i = 0; i < count; ++i) {
        if (!sources.contains(i)) {
            wanted.append(i);
        }
    }
    const qsizetype before = std::count_if(
        sources.cbegin(), sources.cend(), [&](qsizetype s) { return s < destination; });
    const qsizetype insertAt = destination - before;
    for (qsizetype k = 0; k < sources.size(); ++k) {
        wanted.insert(insertAt + k, sources[k]);
    }
    // Reach it one move at a time, following where each song now stands.
    QList<qsizetype> now(count);
    std::iota(now.begin(), now.end(), 0);
    for (qsizetype target = 0; target < count; ++target) {
        const qsizetype from = now.indexOf(wanted[target]);
        if (from != target) {
            m_queue.move(from, target);
            now.move(from, target);
        }
    }
}

void QueueListModel::removeUpcoming(QList<qsizetype> positions)
{
    std::sort(positions.begin(), positions.end(), std::greater<>());
    positions.erase(std::unique(positions.begin(), positions.end()), positions.end());
    for (const qsizetype position : std::as_const(positions)) {
        m_queue.remove(position);
    }
}

void QueueListModel::setThumbnail(const QUuid& id, const QImage& image)
{
    if (image.isNull()) {
        m_thumbnails.remove(id);
    } else {
        m_thumbnails.insert(id, image);
    }
    if (!m_rows.isEmpty()) {
        Q_EMIT dataChanged(index(0), index(int(m_rows.size()) - 1), { ThumbnailRole });
    }
}

} // namespace kivo
