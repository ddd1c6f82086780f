#include "ui/player/QueueListModel.h"

#include "ui/eon/TimeText.h"

#include <algorithm>

using namespace Qt::Literals::StringLiterals;

namespace kivo {

QueueListModel::QueueListModel(QueueEngine& queue, QObject* parent)
    : QAbstractListModel(parent)
    , m_queue(queue)
{
    connect(&m_queue, &QueueEngine::currentTrackChanged, this, &QueueListModel::reload);
    connect(&m_queue, &QueueEngine::upcomingChanged, this, &QueueListModel::reload);
    connect(&m_queue, &QueueEngine::historyChanged, this, &QueueListModel::reload);
    // An edit in the library changes what rows show, not which rows there are.
    connect(&m_queue, &QueueEngine::queuedTracksEdited, this, [this] { noticeChangedRows({}); });
    reload();
}

void QueueListModel::reload()
{
    beginResetModel();
    m_hasCurrent = m_queue.currentTrack().has_value();
    m_upcomingCount = m_queue.upcomingCount();
    m_historyCount = m_queue.historyCount();
    endResetModel();
    // Listed once per pass of the event loop, after the change: reading a
    // library-sized queue for new songs costs the panel tens of milliseconds,
    // which a drag, one move per row, would otherwise pay on every move.
    if (!m_listingPending) {
        m_listingPending = true;
        QMetaObject::invokeMethod(
            this,
            [this] {
                m_listingPending = false;
                Q_EMIT tracksListed();
            },
            Qt::QueuedConnection);
    }
}

std::optional<QueueListModel::Row> QueueListModel::rowAt(int row) const
{
    if (row < 0) {
        return std::nullopt;
    }
    qsizetype first = 0;
    for (const auto& [section, count] :
        { std::pair(Section::nowPlaying, qsizetype(m_hasCurrent ? 1 : 0)),
            std::pair(Section::upcoming, m_upcomingCount),
            std::pair(Section::history, m_historyCount) }) {
        if (count == 0) {
            continue;
        }
        if (row == first) {
            return Row { true, section, 0 };
        }
        if (row <= first + count) {
            return Row { false, section, row - first - 1 };
        }
        first += count + 1;
    }
    return std::nullopt;
}

bool QueueListModel::isHeader(int row) const
{
    const std::optional<Row> found = rowAt(row);
    return found && found->header;
}

Track QueueListModel::trackAt(const Row& row) const
{
    switch (row.section) {
    case Section::nowPlaying:
        return m_queue.currentTrack().value_or(Track {});
    case Section::upcoming:
        return m_queue.upcomingTrack(row.position).value_or(Track {});
    case Section::history:
        break;
    }
    return m_queue.historyTrack(row.position).value_or(Track {});
}

int QueueListModel::rowCount(const QModelIndex& parent) const
{
    if (parent.isValid()) {
        return 0;
    }
    const auto rows = [](qsizetype count) { return count > 0 ? count + 1 : 0; };
    return int(rows(m_hasCurrent ? 1 : 0) + rows(m_upcomingCount) + rows(m_historyCount));
}

QVariant QueueListModel::data(const QModelIndex& index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid)) {
        return {};
    }
    const Row row = *rowAt(index.row());
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
    const Track track = trackAt(row);
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
    const std::optional<Row> row = rowAt(index.row());
    if (!row || row->header) {
        return Qt::ItemIsEnabled;
    }
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

std::optional<Track> QueueListModel::track(int row) const
{
    const std::optional<Row> found = rowAt(row);
    if (!found || found->header) {
        return std::nullopt;
    }
    return trackAt(*found);
}

std::optional<QueueListModel::Section> QueueListModel::section(int row) const
{
    const std::optional<Row> found = rowAt(row);
    return found ? std::optional(found->section) : std::nullopt;
}

std::optional<qsizetype> QueueListModel::position(int row) const
{
    const std::optional<Row> found = rowAt(row);
    if (!found || found->header) {
        return std::nullopt;
    }
    return found->position;
}

int QueueListModel::firstUpcomingRow() const
{
    return m_upcomingCount > 0 ? (m_hasCurrent ? 2 : 0) + 1 : -1;
}

void QueueListModel::tap(int row)
{
    const std::optional<Track> song = track(row);
    if (!song || section(row) == Section::nowPlaying) {
        return;
    }
    const QList<QUuid> upcoming = m_queue.upcomingIDs();
    if (const qsizetype first = upcoming.indexOf(song->id); first >= 0) {
        m_queue.playNowByID(upcoming, first);
        return;
    }
    m_queue.playNow({ *song }, 0);
}

void QueueListModel::moveUpcoming(QList<qsizetype> sources, qsizetype destination)
{
    const qsizetype count = m_upcomingCount;
    std::sort(sources.begin(), sources.end());
    sources.erase(std::unique(sources.begin(), sources.end()), sources.end());
    sources.removeIf([count](qsizetype s) { return s < 0 || s >= count; });
    destination = std::clamp<qsizetype>(destination, 0, count);
    // One move per song, in ascending order. A song before the destination
    // has shifted up by one for each earlier song taken from before it; the
    // songs after it land one after another from the destination on.
    qsizetype movedFromBefore = 0;
    qsizetype movedFromAfter = 0;
    for (const qsizetype source : std::as_const(sources)) {
        if (source < destination) {
            m_queue.move(source - movedFromBefore++, destination - 1);
        } else {
            m_queue.move(source, destination + movedFromAfter++);
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
        if (m_thumbnails.remove(id) == 0) {
            return; // a missing image that stays missing changes no row
        }
    } else {
        m_thumbnails.insert(id, image);
    }
    // One notice however many loads end in this pass.
    noticeChangedRows({ ThumbnailRole });
}

void QueueListModel::noticeChangedRows(QList<int> roles)
{
    // No roles stands for all of them, and wins over any list of some.
    if (!m_rowNoticePending) {
        m_changedRoles = std::move(roles);
    } else if (roles.isEmpty()) {
        m_changedRoles.clear();
    } else if (!m_changedRoles.isEmpty()) {
        for (const int role : std::as_const(roles)) {
            if (!m_changedRoles.contains(role)) {
                m_changedRoles.push_back(role);
            }
        }
    }
    if (std::exchange(m_rowNoticePending, true)) {
        return;
    }
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_rowNoticePending = false;
            if (const int rows = rowCount(); rows > 0) {
                Q_EMIT dataChanged(index(0), index(rows - 1), std::exchange(m_changedRoles, {}));
            }
        },
        Qt::QueuedConnection);
}

} // namespace kivo
