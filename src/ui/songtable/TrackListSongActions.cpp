#include "ui/songtable/TrackListSongActions.h"

#include "engines/artwork/ArtworkCache.h"
#include "engines/artwork/ArtworkImageLoader.h"
#include "engines/library/LibraryEngine.h"
#include "model/ErrorText.h"
#include "model/StartDetached.h"
#include "platform/FileRevealer.h"
#include "ui/editing/ImageFileChooser.h"
#include "ui/songtable/TrackFavoriteState.h"
#include "ui/songtable/TrackFileActions.h"
#include "ui/songtable/TrackListController.h"

#include <QPointer>
#include <QWidget>
#include <exception>

using namespace Qt::Literals::StringLiterals;

namespace kivo {

TrackListSongActions::TrackListSongActions(TrackListController& screen)
    : QObject(&screen)
    , m_screen(screen)
{
}

void TrackListSongActions::toggleFavorite(const Track& track)
{
    Track toggled = track;
    toggled.rating = track.toggledFavoriteRating();
    startDetached(runFavorite(std::move(toggled)));
}

QCoro::Task<> TrackListSongActions::runFavorite(Track toggled)
{
    const TrackListController::Wait wait = m_screen.beginWait();
    const QPointer<TrackListSongActions> self(this);
    const QPointer<LibraryEngine> library = &m_screen.dependencies().library;
    try {
        QCoro::Task<> updating = library->updateTracks({ toggled });
        co_await std::move(updating);
    } catch (...) {
        if (wait.screen && self) {
            self->setAlert(
                TrackListAlert { favoriteAlertTitle(), describeError(std::current_exception()) });
        }
        co_return;
    }
    if (!wait.screen) {
        co_return;
    }
    if (TrackListController::stillShowing(wait)) {
        wait.screen->setSelectedTrack(toggled);
    }
    wait.screen->tracksWereChanged();
}

void TrackListSongActions::chooseArtwork(const Track& track)
{
    ImageFileChooser* chooser = m_screen.dependencies().artworkChooser;
    static DialogImageFileChooser dialogChooser(u"Choose"_s);
    if (!chooser) {
        chooser = &dialogChooser;
    }
    const QPointer<TrackListSongActions> self(this);
    // The dialog's parent is the window the screen's widget sits in.
    QWidget* parentWidget = qobject_cast<QWidget*>(m_screen.parent());
    chooser->chooseImage(parentWidget, [self, track](QUrl file) {
        // Cancelling is silent.
        if (self && !file.isEmpty()) {
            startDetached(self->runArtwork(file, track));
        }
    });
}

QCoro::Task<> TrackListSongActions::runArtwork(QUrl file, Track track)
{
    const TrackListController::Wait wait = m_screen.beginWait();
    const QPointer<TrackListSongActions> self(this);
    const TrackListDependencies& deps = m_screen.dependencies();
    const QPointer<ArtworkCache> cache = &deps.artworkCache;
    const auto loader = deps.artworkLoader ? deps.artworkLoader : loadArtworkFileData;
    try {
        // Size, type and pixel dimensions are checked on a worker before a
        // byte reaches the cache.
        QCoro::Task<QByteArray> loading = loader(file);
        QByteArray data = co_await std::move(loading);
        if (!cache) {
            co_return;
        }
        QCoro::Task<> storing = cache->storeArtwork(std::move(data), track);
        co_await std::move(storing);
    } catch (...) {
        if (wait.screen && self) {
            self->setAlert(
                TrackListAlert { artworkAlertTitle(), describeError(std::current_exception()) });
        }
        co_return;
    }
    if (TrackListController::stillShowing(wait)) {
        wait.screen->setSelectedTrack(track);
    }
}

void TrackListSongActions::removeArtwork(const Track& track)
{
    m_screen.dependencies().artworkCache.evictArtwork(track);
}

void TrackListSongActions::revealInFileManager(const Track& track)
{
    // Only files on this machine have a folder to show.
    if (!track.fileURL.isLocalFile()) {
        return;
    }
    static DesktopFileRevealer desktop;
    FileRevealer* revealer = m_screen.dependencies().revealer;
    (revealer ? revealer : &desktop)->reveal(TrackFileActions::revealTarget(track));
}

void TrackListSongActions::setAlert(std::optional<TrackListAlert> alert)
{
    if (m_alert != alert) {
        m_alert = std::move(alert);
        Q_EMIT alertChanged();
    }
}

void TrackListSongActions::dismissAlert()
{
    setAlert(std::nullopt);
}

QString TrackListSongActions::favoriteAlertTitle()
{
    // The heart's own alert: one title for one failure.
    return TrackFavoriteState::alertTitle();
}

QString TrackListSongActions::artworkAlertTitle()
{
    return u"Artwork Could Not Be Updated"_s;
}

} // namespace kivo
