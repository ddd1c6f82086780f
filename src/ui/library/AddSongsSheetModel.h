#pragma once

#include "model/Track.h"

#include <QList>
#include <QObject>
#include <QSet>
#include <QString>
#include <QUuid>

namespace kivo {

class PlaylistDetailViewModel;

// The add-songs sheet's state: every library song with a tick, the count of
// ticks and the Add action. The ticks belong to the playlist screen and
// outlive a change of playlist; Cancel and a successful Add clear them.
class AddSongsSheetModel : public QObject {
    Q_OBJECT
public:
    explicit AddSongsSheetModel(PlaylistDetailViewModel& screen, QObject* parent = nullptr);

    // The candidates: the library's songs, in library order (also those
    // already in the playlist).
    const QList<Track>& tracks() const;
    PlaylistDetailViewModel& screen() const { return m_screen; }

    bool isOpen() const { return m_open; }
    void open();

    bool isTicked(const QUuid& id) const { return m_ticked.contains(id); }
    void toggle(const QUuid& id);
    qsizetype tickedCount() const { return m_ticked.size(); }
    // "N selected".
    QString countText() const;
    bool canAdd() const { return !m_ticked.isEmpty(); }
    // The ticked songs in library order, whatever order they were ticked in.
    QList<Track> tickedTracks() const;

    // Closes and clears the ticks.
    void cancel();
    // Adds the ticked songs to the shown playlist. Success closes and clears;
    // a failure keeps the sheet and its ticks and shows the error on the
    // screen. Nothing happens while nothing is ticked.
    void add();

Q_SIGNALS:
    void changed();
    void openChanged(bool open);

private:
    void close();

    PlaylistDetailViewModel& m_screen;
    QSet<QUuid> m_ticked;
    bool m_open = false;
};

} // namespace kivo
