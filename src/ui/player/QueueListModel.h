#pragma once

#include "engines/playback/QueueEngine.h"

#include <QAbstractListModel>
#include <QHash>
#include <QImage>
#include <QList>
#include <QUuid>

namespace kivo {

// The queue panel's list: section headers and songs, one row per position of
// the queue engine's lists, never per song id (a song may be listed twice).
// Every action goes through the queue engine; the list follows its signals.
class QueueListModel : public QAbstractListModel {
    Q_OBJECT
public:
    enum class Section { nowPlaying, upcoming, history };
    enum Role {
        IsHeaderRole = Qt::UserRole + 1,
        SectionRole, // Section as int
        PositionRole, // index into the section's list
        IsCurrentRole,
        ArtistRole, // the artist, or "Unknown Artist"
        DurationTextRole,
        ThumbnailRole, // QImage, absent when none was loaded
    };

    explicit QueueListModel(QueueEngine& queue, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    bool isEmpty() const { return rowCount() == 0; }
    bool hasUpcoming() const { return m_upcomingCount > 0; }
    // The song of a song row; nothing for a header.
    std::optional<Track> track(int row) const;
    std::optional<Section> section(int row) const;
    // Whether the row is a section header: what the panel's layout asks of
    // every row, without the item data's checks and conversions.
    bool isHeader(int row) const;
    std::optional<qsizetype> position(int row) const;
    // The table rows of UPCOMING start here (after its header); -1 when none.
    int firstUpcomingRow() const;

    // Plays the row's song: from its first upcoming position when it is
    // upcoming, else alone. The NOW PLAYING row and headers do nothing.
    void tap(int row);
    // Moves the upcoming songs at `sources` to stand together before
    // `destination` (counted before the move). The final order is computed
    // first and reached with single moves, so several rows land as chosen.
    void moveUpcoming(QList<qsizetype> sources, qsizetype destination);
    // Removes upcoming positions, highest first, so each one is the one chosen.
    void removeUpcoming(QList<qsizetype> positions);
    void clearUpcoming() { m_queue.clearUpcoming(); }

    // The panel's decoded artwork by song id; `image` null removes it.
    void setThumbnail(const QUuid& id, const QImage& image);
    const QHash<QUuid, QImage>& thumbnails() const { return m_thumbnails; }

Q_SIGNALS:
    // The songs listed changed; the panel loads artwork for new ids. Sent
    // once per pass of the event loop, however many changes came in it.
    void tracksListed();

private:
    struct Row {
        bool header = false;
        Section section = Section::nowPlaying;
        qsizetype position = 0;
    };
    void reload();
    // Tells the view that every row may read differently, once per pass of
    // the event loop: a notice over a long queue costs the list view a pass
    // over every row.
    void noticeChangedRows(QList<int> roles);
    // Rows follow from the three counts, so a queue of 200,000 songs needs
    // no table of rows; songs are read from the queue itself, so the panel
    // never holds a list the queue would have to copy to change.
    std::optional<Row> rowAt(int row) const;
    Track trackAt(const Row& row) const;

    QueueEngine& m_queue;
    bool m_hasCurrent = false;
    qsizetype m_upcomingCount = 0;
    qsizetype m_historyCount = 0;
    QHash<QUuid, QImage> m_thumbnails;
    bool m_rowNoticePending = false;
    QList<int> m_changedRoles;
    bool m_listingPending = false;
};

} // namespace kivo
