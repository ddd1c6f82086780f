#include "ui/library/FavoritesView.h"

#include "ui/songtable/TrackListView.h"

#include <QPointer>
#include <QVBoxLayout>

using namespace Qt::Literals::StringLiterals;

namespace kivo {

FavoritesView::FavoritesView(TrackListDependencies dependencies, QWidget* parent)
    : QWidget(parent)
    , m_model(new FavoritesViewModel(dependencies.library, this))
    , m_trackList(new TrackListView(dependencies, this))
{
    setObjectName(u"favoritesView"_s);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_trackList);
    m_trackList->setTitle(u"Favorites"_s);
    // While a large library's favourites are picked, the list claims nothing.
    const auto showEmptyState = [this](bool gathering) {
        m_trackList->setEmptyState(gathering ? TrackListEmptyState {} : emptyState());
    };
    showEmptyState(m_model->isGathering());
    m_trackList->setTracks(m_model->tracks());
    m_trackList->setOnTracksChanged([model = QPointer(m_model)] {
        if (model) {
            model->reload();
        }
    });
    connect(m_model, &FavoritesViewModel::tracksChanged, m_trackList,
        [this](const QList<Track>& tracks) { m_trackList->setTracks(tracks); });
    connect(m_model, &FavoritesViewModel::gatheringChanged, m_trackList, showEmptyState);
}

FavoritesView::~FavoritesView() = default;

TrackListEmptyState FavoritesView::emptyState()
{
    return { u"heart"_s, u"No favorites yet"_s,
        u"Use the heart action on any song to add it here"_s };
}

} // namespace kivo
