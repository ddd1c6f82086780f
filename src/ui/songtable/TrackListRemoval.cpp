#include "ui/songtable/TrackListRemoval.h"

#include "engines/artwork/TrackRemovalCoordinator.h"
#include "platform/UndoManager.h"
#include "ui/songtable/TrackListController.h"

#include <QPointer>

using namespace Qt::Literals::StringLiterals;

namespace kivo {

TrackListRemoval::TrackListRemoval(TrackListController& screen)
    : QObject(&screen)
    , m_screen(screen)
    , m_undoManager(screen.dependencies().undoManager)
    , m_removal(new TrackRemovalCoordinator(this))
{
    connect(m_removal, &TrackRemovalCoordinator::errorMessageChanged, this,
        &TrackListRemoval::overlaysChanged);
    connect(m_removal, &TrackRemovalCoordinator::pendingPermanentDeletionChanged, this,
        &TrackListRemoval::overlaysChanged);
}

TrackListRemoval::~TrackListRemoval()
{
    // The window's undo manager may hold the coordinator's steps, and a
    // removal may still be running: it goes on under the undo manager.
    if (m_handedSteps) {
        m_removal->setParent(&m_undoManager);
    }
}

void TrackListRemoval::requestPermanentDeletion(const Track& track)
{
    m_removal->setPendingPermanentDeletion(track);
}

void TrackListRemoval::cancelPermanentDeletion()
{
    m_removal->setPendingPermanentDeletion(std::nullopt);
}

void TrackListRemoval::remove(const Track& track, bool deleteFile)
{
    if (!m_removal->inFlightTrackID()) {
        m_handedSteps = true;
    }
    const TrackListDependencies& deps = m_screen.dependencies();
    const QPointer<TrackListRemoval> self(this);
    m_removal->requestRemoval(
        track, deleteFile, &deps.library, &deps.queue, &deps.undoManager,
        [self, track] {
            if (self) {
                self->handleRemovedTrack(track);
            }
        },
        [self, track] {
            if (self) {
                self->handleRestoredTrack(track);
            }
        });
}

bool TrackListRemoval::isInFlight(const Track& track) const
{
    return m_removal->inFlightTrackID() == track.id;
}

void TrackListRemoval::handleRemovedTrack(const Track& track)
{
    m_screen.deselect(track.id);
    const std::optional<Track> selected = m_screen.selectedTrack();
    if (selected && selected->id == track.id) {
        const QList<Track> remaining = m_screen.selectedTracks();
        m_screen.setSelectedTrack(
            remaining.isEmpty() ? std::nullopt : std::optional(remaining.last()));
    }
    m_screen.tracksWereChanged();
}

void TrackListRemoval::handleRestoredTrack(const Track& track)
{
    m_screen.setSelectedTrack(track);
    m_screen.tracksWereChanged();
}

std::optional<QString> TrackListRemoval::alertMessage() const
{
    return m_removal->errorMessage();
}

void TrackListRemoval::dismissAlert()
{
    m_removal->clearErrorMessage();
}

QString TrackListRemoval::deletionConfirmationTitle()
{
    return u"Delete Track Permanently?"_s;
}

QString TrackListRemoval::deletionConfirmationMessage(const Track& track)
{
    return u"\u201C"_s + track.title
        + u"\u201D will be removed from KIVO VOVID and its original file will be deleted "
          u"from disk. This cannot be undone."_s;
}

QString TrackListRemoval::alertTitle()
{
    return u"Track Removal Failed"_s;
}

} // namespace kivo
