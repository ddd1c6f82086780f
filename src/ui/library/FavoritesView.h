#pragma once

#include "ui/library/FavoritesViewModel.h"
#include "ui/songtable/TrackListController.h"

#include <QWidget>

namespace kivo {

class TrackListView;

// The favourites: the songs rated 4 or more in the song list. No header
// actions, no import.
class FavoritesView : public QWidget {
    Q_OBJECT
public:
    explicit FavoritesView(TrackListDependencies dependencies, QWidget* parent = nullptr);
    ~FavoritesView() override;

    // "heart", "No favorites yet", "Use the heart action on any song to add it here".
    static TrackListEmptyState emptyState();

    FavoritesViewModel& model() const { return *m_model; }
    TrackListView& trackList() const { return *m_trackList; }

private:
    FavoritesViewModel* m_model;
    TrackListView* m_trackList;
};

} // namespace kivo
