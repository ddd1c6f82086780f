#pragma once

#include "engines/artwork/ArtworkCache.h"
#include "ui/player/QueueListModel.h"

#include <QHash>
#include <QWidget>

class QListView;
class QStackedLayout;

namespace kivo {

class EonSymbolButton;

// The queue panel: NOW PLAYING, UPCOMING and HISTORY with thumbnails. A click
// plays a row; UPCOMING rows are dragged to move and removed with Delete or
// their "Remove" action. Everything goes through the queue engine. Thumbnails
// load for the rows in view.
class QueueView : public QWidget {
    Q_OBJECT
public:
    QueueView(QueueEngine& queue, ArtworkCache& artwork, QWidget* parent = nullptr);

    QueueListModel& model() const { return *m_model; }
    QListView& list() const { return *m_list; }
    QWidget& clearButton() const;
    bool showsEmptyState() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Artwork is asked for the rows shown and a few around them, never for a
    // whole library-sized queue at once; rows scrolled to ask then.
    static constexpr int thumbnailMarginRows = 12;
    void loadShownThumbnailsSoon();
    void loadShownThumbnails();
    QCoro::Task<> loadThumbnail(QUuid id, quint64 generation, Track track);
    void removeSelected();
    void updateContent();

    ArtworkCache& m_artwork;
    QueueListModel* m_model;
    QListView* m_list;
    QStackedLayout* m_stack;
    QWidget* m_clear;
    // Newest load per song id: an older load finishing late is dropped.
    QHash<QUuid, quint64> m_thumbnailLoads;
    quint64 m_loadCount = 0;
    bool m_shownLoadPending = false;
    int m_dragRow = -1;
};

} // namespace kivo
