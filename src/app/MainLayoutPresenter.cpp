#include "app/MainLayoutPresenter.h"

#include "engines/playback/QueueEngine.h"

#include <algorithm>

using namespace Qt::Literals::StringLiterals;

namespace kivo {

QList<Track> MainContent::apply(const QList<Track>& libraryTracks) const
{
    return filter == Filter::topRated ? MainLayoutPresenter::topRated(libraryTracks)
                                      : libraryTracks;
}

MainLayoutPresenter::MainLayoutPresenter(
    WorkspacePanelState& panels, QueueEngine& queue, PlaylistLookup playlists, QObject* parent)
    : QObject(parent)
    , m_panels(panels)
    , m_queue(queue)
    , m_playlists(std::move(playlists))
{
}

void MainLayoutPresenter::setSelection(const std::optional<NavigationDestination>& destination)
{
    if (m_selection == destination) {
        return;
    }
    m_selection = destination;
    Q_EMIT selectionChanged(m_selection);
    Q_EMIT contentChanged();
}

MainContent MainLayoutPresenter::content() const
{
    using Kind = NavigationDestination::Kind;
    const auto songs = [](const QString& title, MainContent::Filter filter) {
        return MainContent { MainContent::Kind::songs, title, filter, std::nullopt };
    };
    const MainContent allSongs = songs(u"All Songs"_s, MainContent::Filter::none);
    if (!m_selection) {
        return allSongs;
    }
    switch (m_selection->kind()) {
    case Kind::songs:
        return allSongs;
    case Kind::recentlyAdded:
        return songs(u"Recently Added"_s, MainContent::Filter::none);
    case Kind::recentlyPlayed:
        return songs(u"Recently Played"_s, MainContent::Filter::none);
    case Kind::topRated:
        return songs(u"Top Rated"_s, MainContent::Filter::topRated);
    case Kind::favorites:
        return { MainContent::Kind::favorites, {}, MainContent::Filter::none, std::nullopt };
    case Kind::playlist:
    case Kind::folder:
        if (std::optional<Playlist> found
            = m_playlists ? m_playlists(m_selection->id()) : std::nullopt) {
            return { MainContent::Kind::playlistDetail, {}, MainContent::Filter::none,
                std::move(found) };
        }
        return allSongs;
    }
    return allSongs;
}

void MainLayoutPresenter::setSelectedTrack(const std::optional<Track>& track)
{
    if (m_selectedTrack == track) {
        return;
    }
    m_selectedTrack = track;
    Q_EMIT selectedTrackChanged(m_selectedTrack);
}

void MainLayoutPresenter::setVisibleCommandTarget(TrackListSelectionCommandTarget* target)
{
    if (m_commandTarget == target) {
        return;
    }
    disconnect(m_commandTargetGone);
    m_commandTarget = target;
    if (target) {
        // The menus re-read their state when the list goes away with its screen.
        m_commandTargetGone = connect(target, &QObject::destroyed, this, [this] {
            m_commandTarget = nullptr;
            Q_EMIT visibleCommandTargetChanged();
        });
    }
    Q_EMIT visibleCommandTargetChanged();
}

QList<Track> MainLayoutPresenter::topRated(const QList<Track>& tracks)
{
    QList<Track> rated;
    std::copy_if(tracks.begin(), tracks.end(), std::back_inserter(rated),
        [](const Track& track) { return track.rating >= 1; });
    std::stable_sort(rated.begin(), rated.end(),
        [](const Track& a, const Track& b) { return a.rating > b.rating; });
    return rated;
}

bool MainLayoutPresenter::isPanelShown(WorkspacePanelSide side) const
{
    return m_panels.isEnabled(side) && m_panels.isExpanded(side);
}

bool MainLayoutPresenter::isRevealShown(WorkspacePanelSide side) const
{
    return m_panels.isEnabled(side) && !m_panels.isExpanded(side);
}

void MainLayoutPresenter::resize(WorkspacePanelSide side, double proposedWidth)
{
    if (m_panels.isEnabled(side) && !m_panels.isLocked(side)) {
        m_panels.setWidth(side, WorkspacePanelState::clampedWidth(side, proposedWidth));
    }
}

void MainLayoutPresenter::collapse(WorkspacePanelSide side)
{
    if (m_panels.isEnabled(side) && !m_panels.isLocked(side)) {
        m_panels.setExpanded(side, false);
    }
}

void MainLayoutPresenter::toggleLock(WorkspacePanelSide side)
{
    m_panels.setLocked(side, !m_panels.isLocked(side));
}

void MainLayoutPresenter::disable(WorkspacePanelSide side)
{
    // The state's own rule also collapses and unlocks the side.
    m_panels.setEnabled(side, false);
}

void MainLayoutPresenter::reveal(WorkspacePanelSide side)
{
    if (m_panels.isEnabled(side) && !m_panels.isLocked(side)) {
        m_panels.setExpanded(side, true);
    }
}

void MainLayoutPresenter::setInspectorVisible(bool visible)
{
    const auto right = WorkspacePanelSide::right;
    if (m_panels.isEnabled(right) && !m_panels.isLocked(right)) {
        m_panels.setExpanded(right, visible);
    }
}

bool MainLayoutPresenter::canPlayPrevious() const
{
    return m_queue.currentTrack().has_value();
}

bool MainLayoutPresenter::canPlayNext() const
{
    return m_queue.upcomingCount() > 0
        || (m_queue.currentTrack() && m_queue.repeatMode() != RepeatMode::off);
}

void MainLayoutPresenter::playPrevious()
{
    m_queue.playPreviousSong();
}

void MainLayoutPresenter::playNext()
{
    m_queue.advanceToNext();
}

void MainLayoutPresenter::applicationStateChanged(Qt::ApplicationState state)
{
    if (state != Qt::ApplicationActive) {
        m_queue.savePlaybackState(true);
    }
}

void MainLayoutPresenter::windowClosing()
{
    m_queue.savePlaybackState(true);
}

} // namespace kivo
