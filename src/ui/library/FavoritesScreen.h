#pragma once

#include "ui/library/FavoritesScreenModel.h"
#include "ui/songtable/TrackListController.h"

#include <QWidget>

namespace kivo {

class TrackListView;

// The favourites: the songs rated 4 or more in the song list. No header
// actions, no import.
class FavoritesScreen : public QWidget {
    Q_OBJECT
public:
    explicit FavoritesScreen(TrackListDependencies dependencies, QWidget* parent = nullptr);
    ~FavoritesScreen() override;

    // "heart", "No favorites yet", "Use the heart action on any song to add it here".
    static TrackListEmptyState emptyState();

    FavoritesScreenModel& model() const { return *m_model; }
    TrackListView& trackList() const { return *m_trackList; }

private:
    FavoritesScreenModel* m_model;
    TrackListView* m_trackList;
};

} // namespace kivo
