#include "ui/library/CompactLibraryListPresenter.h"

#include "engines/library/LibraryEngine.h"
#include "engines/playback/QueueEngine.h"

namespace kivo {

namespace {

std::optional<QUuid> idOf(const std::optional<Track>& track)
{
    return track ? std::optional<QUuid>(track->id) : std::nullopt;
}

} // namespace

CompactLibraryListPresenter::CompactLibraryListPresenter(
    LibraryEngine& library, QueueEngine& queue, QObject* parent, int backgroundThreshold)
    : QObject(parent)
    , m_library(&library)
    , m_queue(&queue)
    , m_model(nullptr, backgroundThreshold)
{
    m_model.setTracks(library.allTracks());
    m_model.setCurrentTrackID(idOf(queue.currentTrack()));
    connect(&library, &LibraryEngine::tracksChanged, this,
        [this](const QList<Track>& tracks) { m_model.setTracks(tracks); });
    connect(&queue, &QueueEngine::currentTrackChanged, this,
        [this](const std::optional<Track>& track) { m_model.setCurrentTrackID(idOf(track)); });
}

void CompactLibraryListPresenter::sortBy(TrackSortField field)
{
    m_model.sortBy(field);
}

void CompactLibraryListPresenter::select(int row)
{
    if (row >= 0 && row < m_model.rowCount()) {
        m_model.setSelectedIDs({ m_model.track(row).id });
    }
}

void CompactLibraryListPresenter::play(int row)
{
    if (!m_queue || row < 0 || row >= m_model.rowCount()) {
        return;
    }
    // The first row of the song, so a song listed twice plays from its first place.
    const Track clicked = m_model.track(row);
    const int start = m_model.firstRow(clicked.id);
    if (start < 0) {
        m_queue->playNow({ clicked }, 0);
        return;
    }
    m_queue->playNow(m_model.displayedTracks(), start);
}

} // namespace kivo
