#pragma once

#include "ui/songtable/TrackListController.h"

#include <QWidget>

class QStackedLayout;

namespace kivo {

class TrackListHeaderView;
class TrackListEmptyStateView;
class TrackListOverlaysModifier;
class TrackListShortcutMonitor;
class TrackListTableView;

// The song list screen that the songs, favourites and playlist screens embed:
// the header, a hairline, then the song table or, for an empty list, the
// empty state; the editor sheets and alerts over it. It draws its
// controller's state and forwards input to it; the embedding screen sets the
// inputs and registers commandTarget() with the window while it shows.
class TrackListView : public QWidget {
    Q_OBJECT
public:
    explicit TrackListView(TrackListDependencies dependencies, QWidget* parent = nullptr);
    ~TrackListView() override;

    TrackListController& controller() const { return *m_controller; }
    TrackListSelectionCommandTarget* commandTarget() const { return m_controller->commandTarget(); }

    // Inputs.
    void setTitle(const QString& title) { m_controller->setTitle(title); }
    void setTracks(QList<Track> tracks) { m_controller->setTracks(std::move(tracks)); }
    void setEmptyState(TrackListEmptyState emptyState)
    {
        m_controller->setEmptyState(std::move(emptyState));
    }
    // The embedding screen's controls, shown in the header before the count.
    void setHeaderActions(const QList<QWidget*>& actions);
    void setOnTracksChanged(std::function<void()> onTracksChanged)
    {
        m_controller->setOnTracksChanged(std::move(onTracksChanged));
    }
    void setSelectedTrackBinding(
        std::function<std::optional<Track>()> get, std::function<void(std::optional<Track>)> set)
    {
        m_controller->setSelectedTrackBinding(std::move(get), std::move(set));
    }
    void setInspectorVisibleBinding(std::function<bool()> get, std::function<void(bool)> set)
    {
        m_controller->setInspectorVisibleBinding(std::move(get), std::move(set));
    }

    TrackListHeaderView* header() const { return m_header; }
    TrackListTableView* table() const { return m_table; }
    TrackListEmptyStateView* emptyStateView() const { return m_empty; }
    TrackListOverlaysModifier& overlays() const { return *m_overlays; }
    // Whether the table (not the empty state) shows.
    bool isShowingTable() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void refreshHeader();
    void refreshBody();
    void refreshShortcuts();

    TrackListController* m_controller;
    TrackListHeaderView* m_header;
    QWidget* m_body;
    QStackedLayout* m_pages;
    TrackListTableView* m_table;
    TrackListEmptyStateView* m_empty;
    TrackListShortcutMonitor* m_shortcuts;
    TrackListOverlaysModifier* m_overlays;
};

} // namespace kivo
